#include "text/display_encoding.h"

#include <cerrno>
#include <stdexcept>

#include "text/iconv_converter.h"

namespace tavrin {

namespace {

// Converts everything it can; each byte that cannot be converted is replaced
// by `replacement` and skipped.
std::string convert_lossy(const char* to, const char* from, std::string_view input, std::string_view replacement) {
    IconvConverter converter(to, from);
    if (!converter.is_open()) {
        throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    std::string output;
    output.resize(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    std::size_t written = 0;
    while (in_left > 0) {
        char* out = output.data() + written;
        std::size_t out_left = output.size() - written;
        const std::size_t rc = converter.convert(&in, &in_left, &out, &out_left);
        written = output.size() - out_left;
        if (rc != IconvConverter::kFailed) {
            break;
        }
        if (errno == E2BIG) {
            output.resize(output.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: mark the byte and go on after it.
        output.resize(written);
        output.append(replacement);
        written = output.size();
        ++in;
        --in_left;
        output.resize(written + in_left * 2 + 16);
        converter.reset();
    }
    output.resize(written);
    return output;
}

constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";
constexpr std::string_view kGb18030Replacement = "\x84\x31\xA4\x37";  // U+FFFD in GB18030

}  // namespace

std::string gb18030_to_utf8(std::string_view gb18030) {
    if (gb18030.empty()) {
        return {};
    }
    return convert_lossy("UTF-8", "GB18030", gb18030, kUtf8Replacement);
}

Text utf8_to_gb18030(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    return convert_lossy("GB18030", "UTF-8", utf8, kGb18030Replacement);
}

}  // namespace tavrin
