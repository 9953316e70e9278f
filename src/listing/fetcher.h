#pragma once
// The program's only network client.
//
// Every request has one shape: GET, HTTP/1.0, the agent string below, one
// "Accept: */*" line, no body, no cache, cookie or conditional headers of our
// own. Only http and https are spoken, also across redirects; a URL without a
// scheme is refused, never guessed. The status code is not looked at: the body
// of any response is the result.

#include <chrono>
#include <cstddef>
#include <string>

#include "text/values.h"

namespace tavrin {

inline constexpr const char* kAgentString = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// Why a fetch gave fewer bytes than a whole body, or none.
enum class FetchFailure {
    none,                // the whole body arrived
    empty_url,           // nothing to fetch; nothing was sent
    malformed_url,       // the URL cannot be split (no scheme, spaces, ...); nothing was sent
    unsupported_scheme,  // not http or https (file://, ftp:// ...); nothing was sent
    host_not_found,
    connection_refused,
    timed_out,           // no connection (TLS handshake included) in time, or the transfer
                         // stalled; the bytes that arrived before a stall are kept
    tls_failure,         // handshake failed or the certificate was rejected
    redirect_refused,    // a redirect to another scheme, or too many redirects
    broken_read,         // the connection broke in the middle of the body (what arrived is
                         // kept), or closed before a whole response head
    body_too_large,      // the body reached the size limit; what arrived is kept
    other,
};

struct FetchOptions {
    // How long a connection attempt (TLS handshake included) may take.
    // Below 1 ms counts as 1 ms (never curl's own default).
    std::chrono::milliseconds connect_timeout{std::chrono::seconds(20)};
    // A transfer that moves less than one byte a second for this long gives up.
    // Below 1 s counts as 1 s.
    std::chrono::seconds stall_timeout{60};
    // A body is never held beyond this many bytes.
    std::size_t max_body_bytes = std::size_t{256} * 1024 * 1024;
    // Redirects followed; one more gives redirect_refused. Below 0 counts as 0.
    long max_redirects = 10;
};

struct FetchResult {
    ByteSet body;                 // what arrived; empty on most failures
    FetchFailure failure = FetchFailure::none;
    std::string detail;           // the HTTP client's own words, for messages and logs
};

// The URL as it goes out: trailing white space removed, the fragment cut, "."
// and ".." segments resolved. Empty when the URL is refused; `why` then says so.
std::string prepare_request_url(const Text& url, FetchFailure* why = nullptr);

// One fetch on the calling thread (libcurl's easy interface), blocking until
// the transfer ends. A connection attempt gives up after the connect time-out;
// a transfer gives up once it moved less than one byte a second for the stall
// time (curl averages the speed over a few seconds, so a body that stops after
// a burst gives up a few seconds later than that). The body is kept for none,
// broken_read, timed_out and body_too_large; every other failure gives the
// empty byte set. `detail` holds curl's words (empty on success). Throws only
// std::bad_alloc. Any thread; fetches on several threads do not share state.
FetchResult fetch_page(const Text& url, const FetchOptions& options = {});

// Whether a TLS failure was the server's certificate being rejected, rather
// than the handshake failing in another way.
bool certificate_rejected(const FetchResult& result);

// The body alone: any status's body, the bytes that arrived before a broken
// read, or the empty byte set.
ByteSet fetch_url(const Text& url);

}  // namespace tavrin
