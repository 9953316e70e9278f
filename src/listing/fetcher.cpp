#include "listing/fetcher.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <string_view>

#include "listing/curl_request.h"

namespace tavrin {
namespace detail {
namespace {

struct CurlUrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlStringDeleter {
    void operator()(char* text) const { curl_free(text); }
};
using CurlUrl = std::unique_ptr<CURLU, CurlUrlDeleter>;
using CurlString = std::unique_ptr<char, CurlStringDeleter>;

bool is_trailing_space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The whole request, for `fetch_page` and `fetch_batch` alike. Every option
// that shapes what goes on the wire is set here and nowhere else.
CURLcode shape_request(CURL* easy, const std::string& request_url, const FetchOptions& options,
                       curl_slist* headers, char* error_text, curl_write_callback receive,
                       curl_write_callback receive_header, void* receiver) {
    using namespace std::chrono;
    // Zero would mean curl's own defaults (300 s, no stall check): never that.
    const long connect_ms = static_cast<long>(std::max<milliseconds::rep>(options.connect_timeout.count(), 1));
    const long stall_s = static_cast<long>(std::max<seconds::rep>(options.stall_timeout.count(), 1));
    const long max_redirects = std::max(options.max_redirects, 0L);

    CURLcode code = CURLE_OK;
    const auto step = [&code](CURLcode result) {
        if (code == CURLE_OK) code = result;
    };

    step(curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, error_text));
    step(curl_easy_setopt(easy, CURLOPT_URL, request_url.c_str()));
    // Only http and https, also for every redirect.
    step(curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https"));
    step(curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"));
    // GET, HTTP/1.0, the agent string, one "Accept: */*" line, no body.
    step(curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L));
    step(curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0)));
    step(curl_easy_setopt(easy, CURLOPT_USERAGENT, kAgentString));
    step(curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers));  // replaces curl's own Accept line
    // Redirects followed, a bounded number. The user name and password of the
    // URL go to its own host only (curl's default).
    step(curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L));
    step(curl_easy_setopt(easy, CURLOPT_MAXREDIRS, max_redirects));
    // The body of any status is the result.
    step(curl_easy_setopt(easy, CURLOPT_FAILONERROR, 0L));
    // Each fetch makes its own connection and leaves none behind.
    step(curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L));
    step(curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L));
    // Time-outs: the connection attempt (TLS handshake included), and a
    // transfer that moves less than one byte a second for the stall time.
    step(curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, connect_ms));
    step(curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L));
    step(curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, stall_s));
    // Certificates checked against the system's trust store (curl's default
    // store is the system's; said here so that nothing turns it off).
    step(curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L));
    step(curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L));
    // Fetches may run on any thread: no signals for time-outs.
    step(curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L));
    step(curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, receive));
    step(curl_easy_setopt(easy, CURLOPT_WRITEDATA, receiver));
    step(curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, receive_header));
    step(curl_easy_setopt(easy, CURLOPT_HEADERDATA, receiver));
    // Not set, so curl's defaults hold: no Accept-Encoding (no content coding
    // asked for), no cookie engine, no referrer, the proxy of the environment.
    return code;
}

// Bytes that arrived before one of these failures are returned.
bool keeps_partial_body(CURLcode code) {
    switch (code) {
    case CURLE_PARTIAL_FILE:        // fewer bytes than Content-Length, or a cut chunked body
    case CURLE_RECV_ERROR:          // connection reset or broken in the middle of the body
    case CURLE_OPERATION_TIMEDOUT:  // the body stalled
        return true;
    default:
        return false;
    }
}

FetchFailure failure_of(CURLcode code, CURL* easy) {
    switch (code) {
    case CURLE_OK:
        return FetchFailure::none;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return FetchFailure::host_not_found;
    case CURLE_COULDNT_CONNECT:
        return FetchFailure::connection_refused;
    case CURLE_OPERATION_TIMEDOUT:
        return FetchFailure::timed_out;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CLIENTCERT:
    case CURLE_USE_SSL_FAILED:
        return FetchFailure::tls_failure;
    case CURLE_TOO_MANY_REDIRECTS:
        return FetchFailure::redirect_refused;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT: {
        // The first URL was checked before sending, so after a response this
        // is a redirect to another scheme or to a URL that cannot be split.
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        if (status != 0) return FetchFailure::redirect_refused;
        return code == CURLE_URL_MALFORMAT ? FetchFailure::malformed_url : FetchFailure::other;
    }
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return FetchFailure::broken_read;
    default:
        return FetchFailure::other;
    }
}

}  // namespace

void ensure_curl_initialised() {
    static std::once_flag once;
    static CURLcode result = CURLE_OK;
    std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (result == CURLE_OUT_OF_MEMORY) throw std::bad_alloc();
}

PreparedUrl prepare_url(const Text& url) {
    PreparedUrl prepared;
    std::string_view text(url);
    while (!text.empty() && is_trailing_space(text.back())) text.remove_suffix(1);
    if (text.empty()) {
        prepared.refusal = FetchFailure::empty_url;
        prepared.detail = "the URL is empty";
        return prepared;
    }
    ensure_curl_initialised();
    CurlUrl handle(curl_url());
    if (!handle) throw std::bad_alloc();
    // No flags: a scheme is required (never guessed), spaces are refused,
    // and "." and ".." segments are resolved.
    const std::string trimmed(text);
    if (CURLUcode rc = curl_url_set(handle.get(), CURLUPART_URL, trimmed.c_str(), 0); rc != CURLUE_OK) {
        if (rc == CURLUE_OUT_OF_MEMORY) throw std::bad_alloc();
        prepared.refusal = FetchFailure::malformed_url;
        prepared.detail = std::string("the URL cannot be split: ") + curl_url_strerror(rc);
        return prepared;
    }
    char* raw = nullptr;
    if (curl_url_get(handle.get(), CURLUPART_SCHEME, &raw, 0) != CURLUE_OK) {
        prepared.refusal = FetchFailure::malformed_url;
        prepared.detail = "the URL has no scheme";
        return prepared;
    }
    const CurlString scheme(raw);  // curl gives it in lower case
    if (std::string_view(scheme.get()) != "http" && std::string_view(scheme.get()) != "https") {
        prepared.refusal = FetchFailure::unsupported_scheme;
        prepared.detail = std::string("the scheme \"") + scheme.get() + "\" is not http or https";
        return prepared;
    }
    // The fragment is never sent.
    if (CURLUcode rc = curl_url_set(handle.get(), CURLUPART_FRAGMENT, nullptr, 0); rc != CURLUE_OK) {
        if (rc == CURLUE_OUT_OF_MEMORY) throw std::bad_alloc();
    }
    raw = nullptr;
    if (CURLUcode rc = curl_url_get(handle.get(), CURLUPART_URL, &raw, 0); rc != CURLUE_OK) {
        if (rc == CURLUE_OUT_OF_MEMORY) throw std::bad_alloc();
        prepared.refusal = FetchFailure::malformed_url;
        prepared.detail = std::string("the URL cannot be put together: ") + curl_url_strerror(rc);
        return prepared;
    }
    const CurlString whole(raw);
    prepared.url = whole.get();
    return prepared;
}

FetchResult refused_result(const PreparedUrl& prepared) {
    FetchResult result;
    result.failure = prepared.refusal;
    result.detail = prepared.detail;
    return result;
}

PageTransfer::PageTransfer(const std::string& request_url, const FetchOptions& options)
    : max_body_bytes_(options.max_body_bytes) {
    ensure_curl_initialised();
    easy_ = curl_easy_init();
    if (!easy_) throw std::bad_alloc();
    headers_ = curl_slist_append(nullptr, "Accept: */*");
    if (!headers_) {
        curl_easy_cleanup(easy_);
        throw std::bad_alloc();
    }
    setup_ = shape_request(easy_, request_url, options, headers_, error_text_, &PageTransfer::receive,
                           &PageTransfer::receive_header, this);
}

PageTransfer::~PageTransfer() {
    curl_easy_cleanup(easy_);
    curl_slist_free_all(headers_);
}

std::size_t PageTransfer::receive(char* data, std::size_t size, std::size_t count, void* self_pointer) {
    auto* self = static_cast<PageTransfer*>(self_pointer);
    const std::size_t length = size * count;
    try {
        const std::size_t room = self->max_body_bytes_ - self->body_.size();
        if (length > room) {
            // Keep what fits, then stop the transfer (curl: write error).
            self->body_.append(data, room);
            self->limit_reached_ = true;
            return 0;
        }
        self->body_.append(data, length);
        return length;
    } catch (...) {
        // No exception may cross curl; it is raised again after the transfer.
        self->receive_error_ = std::current_exception();
        return 0;
    }
}

std::size_t PageTransfer::receive_header(char* data, std::size_t size, std::size_t count, void* self_pointer) {
    auto* self = static_cast<PageTransfer*>(self_pointer);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) self->headers_complete_ = false;
    if (line == "\r\n" || line == "\n") self->headers_complete_ = true;
    return size * count;
}

FetchResult PageTransfer::finish(CURLcode code) {
    if (receive_error_) std::rethrow_exception(receive_error_);
    FetchResult result;
    if (setup_ != CURLE_OK) {
        result.failure = FetchFailure::other;
        result.detail = std::string("the request cannot be made: ") + curl_easy_strerror(setup_);
        return result;
    }
    if (limit_reached_) {
        result.failure = FetchFailure::body_too_large;
        result.detail = "the body reached the limit of " + std::to_string(max_body_bytes_) + " bytes";
        result.body = std::move(body_);
        return result;
    }
    if (code == CURLE_OK && !headers_complete_) {
        result.failure = FetchFailure::broken_read;
        result.detail = "the connection closed in the middle of the response headers";
        return result;
    }
    result.failure = failure_of(code, easy_);
    if (code == CURLE_OK || keeps_partial_body(code)) result.body = std::move(body_);
    if (code != CURLE_OK) result.detail = error_text_[0] != '\0' ? error_text_ : curl_easy_strerror(code);
    return result;
}

}  // namespace detail

std::string prepare_request_url(const Text& url, FetchFailure* why) {
    detail::PreparedUrl prepared = detail::prepare_url(url);
    if (why) *why = prepared.refusal;
    return std::move(prepared.url);
}

FetchResult fetch_page(const Text& url, const FetchOptions& options) {
    const detail::PreparedUrl prepared = detail::prepare_url(url);
    if (prepared.url.empty()) return detail::refused_result(prepared);
    detail::PageTransfer transfer(prepared.url, options);
    const CURLcode code = transfer.ready() ? curl_easy_perform(transfer.handle()) : CURLE_OK;
    return transfer.finish(code);
}

ByteSet fetch_url(const Text& url) { return fetch_page(url).body; }

bool certificate_rejected(const FetchResult& result) {
    return result.failure == FetchFailure::tls_failure && result.detail.find("certificate") != std::string::npos;
}

}  // namespace tavrin
