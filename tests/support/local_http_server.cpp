#include "support/local_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace tavrin::test {

namespace {

constexpr std::size_t kMaxRequestHead = 1 << 20;
constexpr std::chrono::milliseconds kGateTick{20};

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

[[noreturn]] void throw_system_error(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

[[noreturn]] void throw_tls_error(const char* what) {
    std::string message = what;
    if (unsigned long code = ERR_get_error(); code != 0) {
        char text[256];
        ERR_error_string_n(code, text, sizeof text);
        message += ": ";
        message += text;
    }
    throw std::runtime_error(message);
}

ReceivedRequest parse_request(std::string raw) {
    ReceivedRequest request;
    std::string_view rest(raw);
    auto next_line = [&rest]() {
        const std::size_t end = rest.find("\r\n");
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
        return line;
    };
    const std::string_view request_line = next_line();
    const std::size_t first_space = request_line.find(' ');
    const std::size_t last_space = request_line.rfind(' ');
    if (first_space != std::string_view::npos && last_space > first_space) {
        request.method = request_line.substr(0, first_space);
        request.target = request_line.substr(first_space + 1, last_space - first_space - 1);
        request.version = request_line.substr(last_space + 1);
    } else {
        request.method = request_line;
    }
    for (std::string_view line = next_line(); !line.empty(); line = next_line()) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            request.headers.push_back({std::string(line), ""});
        } else {
            request.headers.push_back({std::string(line.substr(0, colon)), std::string(trim_blanks(line.substr(colon + 1)))});
        }
    }
    request.raw = std::move(raw);
    return request;
}

}  // namespace

// ---------------------------------------------------------------------------
// Responses

std::string reason_phrase(int status) {
    switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

std::string http_response(int status, std::string_view body, const ResponseShape& shape) {
    std::string response = shape.version + " " + std::to_string(status) + " " +
                           (shape.reason.empty() ? reason_phrase(status) : shape.reason) + "\r\n";
    if (shape.content_length) response += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    for (const Header& header : shape.headers) response += header.name + ": " + header.value + "\r\n";
    response += "\r\n";
    response += body;
    return response;
}

std::string redirect_response(int status, std::string_view location) {
    ResponseShape shape;
    shape.headers.push_back({"Location", std::string(location)});
    shape.headers.push_back({"Content-Type", "text/html"});
    return http_response(status, "<html><body>moved</body></html>", shape);
}

std::string chunked_response(int status, const std::vector<std::string>& pieces, const std::vector<Header>& headers) {
    std::string response = "HTTP/1.1 " + std::to_string(status) + " " + reason_phrase(status) + "\r\n";
    response += "Transfer-Encoding: chunked\r\n";
    for (const Header& header : headers) response += header.name + ": " + header.value + "\r\n";
    response += "\r\n";
    char size[32];
    for (const std::string& piece : pieces) {
        if (piece.empty()) continue;  // an empty chunk would end the body
        std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
        response += size;
        response += piece;
        response += "\r\n";
    }
    response += "0\r\n\r\n";
    return response;
}

// ---------------------------------------------------------------------------
// Requests

std::size_t ReceivedRequest::header_count(std::string_view name) const {
    return static_cast<std::size_t>(
        std::count_if(headers.begin(), headers.end(), [name](const Header& h) { return same_name(h.name, name); }));
}

std::optional<std::string> ReceivedRequest::header(std::string_view name) const {
    for (const Header& h : headers) {
        if (same_name(h.name, name)) return h.value;
    }
    return std::nullopt;
}

std::string ReceivedRequest::path() const { return target.substr(0, target.find('?')); }

std::string ReceivedRequest::query() const {
    const std::size_t mark = target.find('?');
    return mark == std::string::npos ? std::string() : target.substr(mark + 1);
}

// ---------------------------------------------------------------------------
// TLS identity: a fresh key and a self-signed certificate for 127.0.0.1.

struct LocalHttpServer::Tls {
    SSL_CTX* context = nullptr;
    ~Tls() { SSL_CTX_free(context); }
};

namespace {

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertFree {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};

void add_extension(X509* cert, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (!extension) throw_tls_error("cannot make a certificate extension");
    X509_add_ext(cert, extension, -1);
    X509_EXTENSION_free(extension);
}

}  // namespace

// ---------------------------------------------------------------------------
// One accepted connection, plain or TLS.

class LocalHttpServer::Connection {
public:
    Connection(int fd, SSL_CTX* tls) : fd_(fd) {
        if (tls) {
            ssl_ = SSL_new(tls);
            if (ssl_) SSL_set_fd(ssl_, fd_);
        }
    }
    ~Connection() { SSL_free(ssl_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int fd() const { return fd_; }
    bool tls() const { return ssl_ != nullptr; }

    // The TLS handshake; true at once for plain connections.
    bool open(bool wants_tls) {
        if (!wants_tls) return true;
        if (!ssl_) return false;
        const bool ok = SSL_accept(ssl_) == 1;
        ERR_clear_error();
        return ok;
    }

    // Bytes read (> 0), 0 when the peer closed, < 0 on an error.
    long read(char* buffer, std::size_t size) {
        if (ssl_) {
            const int n = SSL_read(ssl_, buffer, static_cast<int>(std::min<std::size_t>(size, 1 << 20)));
            ERR_clear_error();
            return n > 0 ? n : (n == 0 ? 0 : -1);
        }
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer, size, 0);
            if (n < 0 && errno == EINTR) continue;
            return static_cast<long>(n);
        }
    }

    bool write_all(std::string_view data) {
        while (!data.empty()) {
            long n;
            if (ssl_) {
                n = SSL_write(ssl_, data.data(), static_cast<int>(std::min<std::size_t>(data.size(), 1 << 20)));
                ERR_clear_error();
            } else {
                n = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
                if (n < 0 && errno == EINTR) continue;
            }
            if (n <= 0) return false;
            data.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    // The end of a whole answer: close_notify for TLS, then FIN.
    void finish_cleanly() {
        if (ssl_) {
            SSL_shutdown(ssl_);
            ERR_clear_error();
        }
        ::shutdown(fd_, SHUT_WR);
    }

    // The next close sends a reset instead of a FIN.
    void reset_on_close() {
        const linger option{1, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &option, sizeof option);
    }

private:
    int fd_;
    SSL* ssl_ = nullptr;
};

// ---------------------------------------------------------------------------
// The server

LocalHttpServer::LocalHttpServer() : LocalHttpServer(Options{}) {}

LocalHttpServer::LocalHttpServer(Options options) : options_(options) {
    bypass_proxy_for_loopback();
    // A client that closes early must not kill the test with SIGPIPE (TLS
    // writes cannot pass MSG_NOSIGNAL).
    static std::once_flag ignore_sigpipe;
    std::call_once(ignore_sigpipe, [] { ::signal(SIGPIPE, SIG_IGN); });

    if (options_.tls) {
        tls_ = std::make_unique<Tls>();
        std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_EC_gen("P-256"));
        if (!key) throw_tls_error("cannot make a key");
        std::unique_ptr<X509, CertFree> cert(X509_new());
        if (!cert) throw_tls_error("cannot make a certificate");
        X509_set_version(cert.get(), 2);
        ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), static_cast<long>(::getpid()));
        X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
        X509_gmtime_adj(X509_getm_notAfter(cert.get()), 24 * 3600);
        X509_set_pubkey(cert.get(), key.get());
        X509_NAME* name = X509_get_subject_name(cert.get());
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
        X509_set_issuer_name(cert.get(), name);
        add_extension(cert.get(), NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
        add_extension(cert.get(), NID_basic_constraints, "critical,CA:TRUE");
        if (X509_sign(cert.get(), key.get(), EVP_sha256()) == 0) throw_tls_error("cannot sign the certificate");

        tls_->context = SSL_CTX_new(TLS_server_method());
        if (!tls_->context) throw_tls_error("cannot make a TLS context");
        if (SSL_CTX_use_certificate(tls_->context, cert.get()) != 1 ||
            SSL_CTX_use_PrivateKey(tls_->context, key.get()) != 1) {
            throw_tls_error("cannot use the certificate");
        }
        std::unique_ptr<BIO, BioFree> pem(BIO_new(BIO_s_mem()));
        if (!pem || PEM_write_bio_X509(pem.get(), cert.get()) != 1) throw_tls_error("cannot write the certificate");
        char* data = nullptr;
        const long size = BIO_get_mem_data(pem.get(), &data);
        certificate_pem_.assign(data, static_cast<std::size_t>(size));
    }

    if (::pipe2(wake_pipe_, O_CLOEXEC) != 0) throw_system_error("pipe2");
    listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_fd_ < 0) throw_system_error("socket");
    const int yes = 1;
    ::setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) throw_system_error("bind");
    if (::listen(listen_fd_, 128) != 0) throw_system_error("listen");
    socklen_t length = sizeof address;
    if (::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) throw_system_error("getsockname");
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread(&LocalHttpServer::accept_loop, this);
}

LocalHttpServer::~LocalHttpServer() { stop(); }

void LocalHttpServer::stop() {
    {
        const std::lock_guard lock(mutex_);
        if (!stopping_) {
            stopping_ = true;
            for (int fd : client_fds_) ::shutdown(fd, SHUT_RDWR);
        }
    }
    changed_.notify_all();
    if (wake_pipe_[1] >= 0) {
        const char byte = 'x';
        [[maybe_unused]] const ssize_t written = ::write(wake_pipe_[1], &byte, 1);
    }
    if (acceptor_.joinable()) acceptor_.join();
    std::vector<std::thread> workers;
    {
        const std::lock_guard lock(mutex_);
        workers.swap(workers_);
    }
    for (std::thread& worker : workers) worker.join();
    for (int* fd : {&listen_fd_, &wake_pipe_[0], &wake_pipe_[1]}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

std::string LocalHttpServer::origin() const {
    return std::string(options_.tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_);
}

std::string LocalHttpServer::url(std::string_view target) const { return origin() + std::string(target); }

void LocalHttpServer::set_route(const std::string& target, Route route) {
    const std::lock_guard lock(mutex_);
    routes_[target] = std::move(route);
}

void LocalHttpServer::set_response(const std::string& target, std::string response) {
    Route route;
    route.response = std::move(response);
    set_route(target, std::move(route));
}

void LocalHttpServer::open_gate(const std::string& name) {
    const std::lock_guard lock(mutex_);
    open_gates_.insert(name);
}

std::vector<ReceivedRequest> LocalHttpServer::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

std::size_t LocalHttpServer::request_count() const {
    const std::lock_guard lock(mutex_);
    return requests_.size();
}

bool LocalHttpServer::wait_for_requests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

std::size_t LocalHttpServer::connection_count() const {
    const std::lock_guard lock(mutex_);
    return connections_;
}

std::size_t LocalHttpServer::max_open_connections() const {
    const std::lock_guard lock(mutex_);
    return open_max_;
}

Route LocalHttpServer::route_for(const std::string& target) const {
    const std::lock_guard lock(mutex_);
    if (auto found = routes_.find(target); found != routes_.end()) return found->second;
    if (auto found = routes_.find(target.substr(0, target.find('?'))); found != routes_.end()) return found->second;
    Route missing;
    ResponseShape shape;
    shape.headers.push_back({"Content-Type", "text/html"});
    missing.response = http_response(404, "<html><body><h1>404 Not Found</h1></body></html>", shape);
    return missing;
}

void LocalHttpServer::accept_loop() {
    for (;;) {
        pollfd watched[2] = {{listen_fd_, POLLIN, 0}, {wake_pipe_[0], POLLIN, 0}};
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (watched[1].revents != 0) return;
        const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        const std::lock_guard lock(mutex_);
        if (stopping_) {
            ::close(fd);
            return;
        }
        ++connections_;
        ++open_now_;
        open_max_ = std::max(open_max_, open_now_);
        client_fds_.insert(fd);
        workers_.emplace_back(&LocalHttpServer::serve, this, fd);
    }
}

void LocalHttpServer::answer_begins(bool& counted) {
    const std::lock_guard lock(mutex_);
    if (counted) --open_now_;
    counted = false;
}

bool LocalHttpServer::wait_before_answer(Connection& connection, std::chrono::steady_clock::time_point deadline,
                                         const std::string& gate) {
    using clock = std::chrono::steady_clock;
    for (;;) {
        bool gate_open;
        {
            const std::lock_guard lock(mutex_);
            if (stopping_) return false;
            gate_open = gate.empty() || open_gates_.count(gate) != 0;
        }
        const auto now = clock::now();
        if (gate_open && now >= deadline) return true;
        int timeout_ms = -1;
        if (deadline != clock::time_point::max()) {
            timeout_ms = static_cast<int>(std::max<long long>(
                1, std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count()));
        }
        if (!gate_open && (timeout_ms < 0 || timeout_ms > kGateTick.count())) timeout_ms = static_cast<int>(kGateTick.count());
        pollfd watched[2] = {{connection.fd(), POLLIN, 0}, {wake_pipe_[0], POLLIN, 0}};
        if (::poll(watched, 2, timeout_ms) < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (watched[1].revents != 0) return false;
        if (watched[0].revents != 0) {
            // The client sent more, or went away.
            char scratch[4096];
            if (connection.read(scratch, sizeof scratch) <= 0) return false;
        }
    }
}

void LocalHttpServer::serve(int fd) {
    bool counted = true;
    {
        Connection connection(fd, tls_ ? tls_->context : nullptr);
        [&] {
            if (!connection.open(options_.tls)) return;

            std::string head;
            char buffer[16384];
            std::size_t end = std::string::npos;
            while ((end = head.find("\r\n\r\n")) == std::string::npos) {
                if (head.size() > kMaxRequestHead) return;
                const long n = connection.read(buffer, sizeof buffer);
                if (n <= 0) return;
                head.append(buffer, static_cast<std::size_t>(n));
            }
            head.resize(end + 4);  // a GET has no body; anything after is ignored
            ReceivedRequest request = parse_request(std::move(head));
            const std::string target = request.target;
            {
                const std::lock_guard lock(mutex_);
                requests_.push_back(std::move(request));
            }
            changed_.notify_all();

            const Route route = route_for(target);
            if (route.delay.count() > 0 || !route.gate.empty()) {
                if (!wait_before_answer(connection, std::chrono::steady_clock::now() + route.delay, route.gate)) return;
            }
            const std::string_view response(route.response);
            const std::string_view part = response.substr(0, std::min(route.cut_after, response.size()));
            switch (route.delivery) {
            case Delivery::whole:
                answer_begins(counted);
                if (connection.write_all(response)) connection.finish_cleanly();
                return;
            case Delivery::cut:
                answer_begins(counted);
                connection.write_all(part);
                ::shutdown(fd, SHUT_WR);
                return;
            case Delivery::reset:
                answer_begins(counted);
                connection.write_all(part);
                connection.reset_on_close();
                return;
            case Delivery::stall:
                answer_begins(counted);
                if (connection.write_all(part)) {
                    wait_before_answer(connection, std::chrono::steady_clock::time_point::max(), {});
                }
                return;
            case Delivery::never_answer:
                wait_before_answer(connection, std::chrono::steady_clock::time_point::max(), {});
                return;
            }
        }();
    }
    answer_begins(counted);
    const std::lock_guard lock(mutex_);
    client_fds_.erase(fd);
    ::close(fd);
}

// ---------------------------------------------------------------------------

void bypass_proxy_for_loopback() {
    static std::once_flag once;
    std::call_once(once, [] {
        ::setenv("no_proxy", "127.0.0.1,localhost,::1", 1);
        ::setenv("NO_PROXY", "127.0.0.1,localhost,::1", 1);
    });
}

}  // namespace tavrin::test
