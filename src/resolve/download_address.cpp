#include "resolve/download_address.h"

#include "listing/charset.h"
#include "text/primitives.h"

namespace tavrin {

Text cut_download_address(std::string_view page_bytes, std::string_view resource_prefix) {
    const Text page = text_from_bytes(page_bytes);
    const std::int32_t prefix_at = text_find(page, resource_prefix);
    // Without a prefix the quote search runs from the start of the page and
    // the cut below gives the empty text for the start of -1.
    const std::int32_t quote_at = text_find(page, "\"", prefix_at);
    const std::int32_t count =
        real_to_integer(static_cast<double>(quote_at) - static_cast<double>(prefix_at));
    return text_middle(page, prefix_at, count);
}

Text resolve_download_address(const Text& line, const Site& site) {
    return cut_download_address(fetch_url(line), site.resource_prefix);
}

Text readable_address(const Text& address) {
    if (text_is_ascii(address)) {
        return address;
    }
    // All or nothing: an address that is not valid UTF-8 stays as the page had it.
    ByteSet converted = convert_charset(address, "UTF-8", "GB18030");
    return converted.empty() ? address : converted;
}

Text result_entry(const Text& address) { return text_concat({readable_address(address), "\r\n\r\n"}); }

}  // namespace tavrin
