#include "text/display_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace tavrin {

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts everything it can; each byte that cannot be converted is
    // replaced by `replacement` and skipped.
    std::string convert_lossy(std::string_view input, std::string_view replacement) {
        std::string output;
        output.resize(input.size() * 2 + 16);
        char* in = const_cast<char*>(input.data());
        std::size_t in_left = input.size();
        std::size_t written = 0;
        while (in_left > 0) {
            char* out = output.data() + written;
            std::size_t out_left = output.size() - written;
            const std::size_t rc = iconv(handle_, &in, &in_left, &out, &out_left);
            written = output.size() - out_left;
            if (rc != static_cast<std::size_t>(-1)) {
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
            iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        }
        output.resize(written);
        return output;
    }

private:
    iconv_t handle_;
};

constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";
constexpr std::string_view kGb18030Replacement = "\x84\x31\xA4\x37";  // U+FFFD in GB18030

}  // namespace

std::string gb18030_to_utf8(std::string_view gb18030) {
    if (gb18030.empty()) {
        return {};
    }
    Converter converter("UTF-8", "GB18030");
    return converter.convert_lossy(gb18030, kUtf8Replacement);
}

Text utf8_to_gb18030(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    Converter converter("GB18030", "UTF-8");
    return converter.convert_lossy(utf8, kGb18030Replacement);
}

}  // namespace tavrin
