#pragma once
// A local HTTP (or HTTPS) server for every network test of the project.
//
// It listens on 127.0.0.1 on a port of the system's choosing, serves each
// connection on its own thread (so concurrent requests are served
// concurrently), answers one request per connection with the exact bytes a
// test gave it and then closes the connection. It records every request it
// receives. No Qt; POSIX sockets, and OpenSSL for the https mode.
//
//   tavrin::test::LocalHttpServer server;
//   server.set_response("/page", tavrin::test::http_response(200, "hello"));
//   fetch_page(server.url("/page"));               // "http://127.0.0.1:PORT/page"
//   server.requests().at(0).header("User-Agent");
//
// Constructing a server also calls `bypass_proxy_for_loopback()`.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tavrin::test {

struct Header {
    std::string name;
    std::string value;
};

// ---------------------------------------------------------------------------
// Building raw responses. The server sends whatever bytes a route holds; these
// build the common shapes.

// "OK", "Not Found" ... for the usual codes, "Status" otherwise.
std::string reason_phrase(int status);

struct ResponseShape {
    std::string version = "HTTP/1.0";  // of the status line
    std::string reason;                // empty: `reason_phrase(status)`
    bool content_length = true;        // send "Content-Length: <body size>"
    std::vector<Header> headers;       // extra lines, after Content-Length, in this order
};

// Status line, "Content-Length" (unless turned off), the extra headers, a
// blank line and the body.
std::string http_response(int status, std::string_view body, const ResponseShape& shape = {});

// A redirect with a "Location" line and a short body.
std::string redirect_response(int status, std::string_view location);

// "HTTP/1.1", "Transfer-Encoding: chunked", then each piece as one chunk and
// the last (zero) chunk.
std::string chunked_response(int status, const std::vector<std::string>& pieces,
                             const std::vector<Header>& headers = {});

// ---------------------------------------------------------------------------

// How a route answers once its delay (and gate) have passed.
enum class Delivery {
    whole,         // the whole response, then the connection is closed
    cut,           // the first `cut_after` bytes, then a normal close (FIN)
    reset,         // the first `cut_after` bytes, then a reset (RST)
    stall,         // the first `cut_after` bytes, then silence until the client or the server closes
    never_answer,  // nothing at all until the client or the server closes
};

struct Route {
    std::string response;                   // raw bytes: status line, headers, body
    std::chrono::milliseconds delay{0};     // wait after the request arrived, before answering
    Delivery delivery = Delivery::whole;
    std::size_t cut_after = 0;              // for cut, reset and stall
    std::string gate;                       // not empty: also wait until `open_gate(gate)`
};

// One request as it arrived.
struct ReceivedRequest {
    std::string raw;      // request line and header lines, each with its CR LF, and the blank line
    std::string method;   // of the request line
    std::string target;   // as sent: path and query
    std::string version;  // "HTTP/1.0"
    std::vector<Header> headers;  // in the order sent, names as sent

    // Header lines with this name (case-insensitive).
    std::size_t header_count(std::string_view name) const;
    // The value of the first line with this name, without the blanks around it.
    std::optional<std::string> header(std::string_view name) const;
    std::string path() const;   // the target up to "?"
    std::string query() const;  // after "?", or empty
};

class LocalHttpServer {
public:
    struct Options {
        // Speak TLS with a self-signed certificate for 127.0.0.1 and
        // localhost, made when the server starts. Nothing trusts it, so a
        // client that checks certificates refuses it.
        bool tls = false;
    };

    LocalHttpServer();
    explicit LocalHttpServer(Options options);
    ~LocalHttpServer();  // stops
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // Closes the listening socket and every connection (waiting or held) and
    // joins every thread. Called by the destructor; safe to call twice.
    void stop();

    std::uint16_t port() const { return port_; }
    // "http://127.0.0.1:PORT" ("https://" in the TLS mode), no slash at the end.
    std::string origin() const;
    // origin() followed by `target` ("/path?query").
    std::string url(std::string_view target) const;

    // Routes, looked up by the whole request target first, then by its path
    // alone. Any other target gets a 404 with a small HTML body. Any thread.
    void set_route(const std::string& target, Route route);
    void set_response(const std::string& target, std::string response);

    // Lets every answer that waits on this gate go (now and later).
    void open_gate(const std::string& name);

    // Every request received so far, in the order they arrived.
    std::vector<ReceivedRequest> requests() const;
    std::size_t request_count() const;
    // Waits until at least `count` requests arrived; false on time-out.
    bool wait_for_requests(std::size_t count, std::chrono::milliseconds timeout) const;

    // Connections accepted so far (with or without a request).
    std::size_t connection_count() const;
    // The largest number of connections open at once. A connection counts as
    // open from its accept until the server begins to send its answer, or
    // closes it, whichever comes first; so a client that opens its next
    // connection only after it has a complete answer is never counted twice.
    std::size_t max_open_connections() const;

    // The TLS mode's certificate in PEM form (empty otherwise), for a test
    // that wants to trust it explicitly.
    const std::string& certificate_pem() const { return certificate_pem_; }

private:
    struct Tls;
    class Connection;

    void accept_loop();
    void serve(int fd);
    Route route_for(const std::string& target) const;
    // Waits until `deadline` (or the gate) passed; false when the client went
    // away or the server stops.
    bool wait_before_answer(Connection& connection, std::chrono::steady_clock::time_point deadline,
                            const std::string& gate);
    void answer_begins(bool& counted);

    Options options_;
    int listen_fd_ = -1;
    int wake_pipe_[2] = {-1, -1};  // written once by stop(): wakes every poll
    std::uint16_t port_ = 0;
    std::unique_ptr<Tls> tls_;
    std::string certificate_pem_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopping_ = false;
    std::map<std::string, Route> routes_;
    std::set<std::string> open_gates_;
    std::vector<ReceivedRequest> requests_;
    std::set<int> client_fds_;
    std::size_t connections_ = 0;
    std::size_t open_now_ = 0;
    std::size_t open_max_ = 0;
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

// Sets no_proxy and NO_PROXY to "127.0.0.1,localhost,::1", so that a proxy
// named in the environment never catches a loopback test. Once per process;
// call it before other threads read the environment.
void bypass_proxy_for_loopback();

}  // namespace tavrin::test
