#include "cli/fetch_failure_words.h"

namespace tavrin {

std::string fetch_failure_words(const FetchResult& result) {
    switch (result.failure) {
    case FetchFailure::none:
        return {};
    case FetchFailure::empty_url:
        return "empty URL, nothing fetched";
    case FetchFailure::malformed_url:
        return "not a URL (no http:// or https://, or a space in it), nothing fetched";
    case FetchFailure::unsupported_scheme:
        return "not an http or https URL, nothing fetched";
    case FetchFailure::host_not_found:
        return "host not found";
    case FetchFailure::connection_refused:
        return "connection refused";
    case FetchFailure::timed_out:
        return "timed out";
    case FetchFailure::tls_failure:
        return certificate_rejected(result) ? "the server's certificate was rejected" : "secure connection failed";
    case FetchFailure::redirect_refused:
        return "redirect refused (to another scheme, or too many)";
    case FetchFailure::broken_read:
        return "connection broken, page incomplete";
    case FetchFailure::body_too_large:
        return "page too large";
    case FetchFailure::other:
        break;
    }
    // Nothing more specific is known; curl's own words are the best help.
    return result.detail.empty() ? "could not fetch the page" : "could not fetch the page (" + result.detail + ")";
}

std::string unresolved_line_words(const LineResolution& resolution) {
    switch (resolution.outcome) {
    case LineOutcome::address_found:
        return {};
    case LineOutcome::fetch_failed:
        return fetch_failure_words(resolution.fetch);
    case LineOutcome::no_address_on_page:
        break;
    }
    return "no download address on the page";
}

}  // namespace tavrin
