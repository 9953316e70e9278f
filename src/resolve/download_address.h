#pragma once
// Cutting the download address of a lesson's resource out of its page.

#include <string_view>

#include "listing/fetcher.h"
#include "listing/site.h"
#include "text/values.h"

namespace tavrin {

// The first address on the page: from the first `resource_prefix` that stands
// at a unit start up to, not including, the next double quote. The page is
// searched as fetched, without conversion, and ends at its first zero byte.
// The empty text when there is no prefix or no quote after it.
Text cut_download_address(std::string_view page_bytes, std::string_view resource_prefix);

// Fetches the line, unchanged, as a URL and cuts the address out of the page.
Text resolve_download_address(const Text& line, const Site& site);

// An address whose bytes are valid UTF-8 and not all ASCII is converted to
// GB18030 so that it reads and copies as the page wrote it; any other address
// is kept as it is.
Text readable_address(const Text& address);

// The entry the result box receives for one queued line.
Text result_entry(const Text& address);

}  // namespace tavrin
