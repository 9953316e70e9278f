#pragma once
// Inside the fetcher: the one request shape and the one result mapping that
// `fetch_page` (easy interface) and `fetch_batch` (multi interface) share.
// Not for use outside src/listing.

#include <curl/curl.h>

#include <exception>
#include <string>

#include "listing/fetcher.h"

namespace tavrin::detail {

// curl_global_init, once per process, from any thread.
void ensure_curl_initialised();

// One transfer of one prepared URL (see `prepare_request_url`): an easy handle
// shaped by `shape_request`, the body it collects and curl's error text.
// The object hands its own address to curl, so it never moves.
class PageTransfer {
public:
    // `request_url` must come from `prepare_request_url` (http or https, no
    // fragment, dot segments resolved). Throws std::bad_alloc when curl cannot
    // make a handle.
    PageTransfer(const std::string& request_url, const FetchOptions& options);
    ~PageTransfer();
    PageTransfer(const PageTransfer&) = delete;
    PageTransfer& operator=(const PageTransfer&) = delete;

    CURL* handle() const { return easy_; }

    // False when the request could not be shaped; `finish` then reports why
    // and the handle must not be performed.
    bool ready() const { return setup_ == CURLE_OK; }

    // Maps curl's result of this transfer to the fetch result and hands over
    // the body. Called once, after the transfer ended (or instead of it when
    // not `ready()`). Rethrows an exception raised while storing the body.
    FetchResult finish(CURLcode code);

private:
    static std::size_t receive(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t receive_header(char* data, std::size_t size, std::size_t count, void* self);

    CURL* easy_ = nullptr;
    curl_slist* headers_ = nullptr;
    CURLcode setup_ = CURLE_OK;
    std::size_t max_body_bytes_;
    bool limit_reached_ = false;
    // False from a status line until the blank line that ends its headers:
    // curl takes a response whose headers were cut short for a whole one.
    bool headers_complete_ = true;
    std::exception_ptr receive_error_;
    ByteSet body_;
    char error_text_[CURL_ERROR_SIZE] = {};
};

// A URL as `prepare_request_url` makes it, with the reason and the words for
// a refusal.
struct PreparedUrl {
    std::string url;                           // empty when refused
    FetchFailure refusal = FetchFailure::none;
    std::string detail;
};
PreparedUrl prepare_url(const Text& url);

// The result for a refused URL: the empty byte set, nothing sent.
FetchResult refused_result(const PreparedUrl& prepared);

}  // namespace tavrin::detail
