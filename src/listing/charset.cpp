#include "listing/charset.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstddef>
#include <new>

namespace tavrin {

namespace {

// A page converts in one call when its converted form is no longer than the
// page; UTF-8 to GB18030 never needs more than three. The limit only stops a
// conversion whose output grows far beyond its input.
constexpr int kMaxConversionCalls = 12;

const std::size_t kConversionFailed = static_cast<std::size_t>(-1);

// One iconv descriptor, closed on every way out of the conversion.
class Converter {
public:
    Converter(const Text& to_charset, const Text& from_charset)
        : handle_(iconv_open(to_charset.c_str(), from_charset.c_str())) {}
    ~Converter() {
        if (is_open()) {
            iconv_close(handle_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool is_open() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // One iconv call; on failure errno tells why.
    std::size_t convert(char** in, std::size_t* in_left, char** out, std::size_t* out_left) {
        return iconv(handle_, in, in_left, out, out_left);
    }

private:
    iconv_t handle_;
};

// iconv takes its input through a pointer to non-const; it never writes there.
char* input_start(const ByteSet& data) { return const_cast<char*>(data.data()); }

}  // namespace

ByteSet convert_charset(const ByteSet& data, const Text& from_charset, const Text& to_charset) {
    Converter converter(to_charset, from_charset);
    if (!converter.is_open()) {
        return {};
    }
    const std::size_t input_length = data.size();
    if (input_length == 0) {
        return {};
    }

    // A page too large for memory gives no lessons instead of ending the program.
    ByteSet output;
    try {
        output.resize(input_length);
    } catch (const std::bad_alloc&) {
        return {};
    }
    const std::size_t growth_step = input_length / 2 + 128;

    char* in = input_start(data);
    std::size_t in_left = input_length;
    std::size_t written = 0;
    for (int call = 1;; ++call) {
        char* out = output.data() + written;
        std::size_t out_left = output.size() - written;
        const std::size_t result = converter.convert(&in, &in_left, &out, &out_left);
        const int error = errno;
        written = output.size() - out_left;
        if (result != kConversionFailed) {
            // Characters converted in a non-reversible way still count as converted.
            output.resize(written);
            return output;
        }
        // An invalid sequence anywhere, or one cut off at the end, fails the
        // whole conversion: half a page would give a wrong lesson list.
        if (error != E2BIG || call == kMaxConversionCalls) {
            return {};
        }
        try {
            output.resize(output.size() + growth_step);
        } catch (const std::bad_alloc&) {
            return {};
        }
    }
}

bool is_valid_in_charset(const ByteSet& data, const Text& charset) {
    // UTF-8 holds every character that any character set can name.
    Converter converter("UTF-8", charset);
    if (!converter.is_open()) {
        return false;
    }
    std::array<char, 64 * 1024> scratch;
    char* in = input_start(data);
    std::size_t in_left = data.size();
    while (in_left > 0) {
        char* out = scratch.data();
        std::size_t out_left = scratch.size();
        if (converter.convert(&in, &in_left, &out, &out_left) != kConversionFailed) {
            return true;
        }
        if (errno != E2BIG) {
            return false;
        }
    }
    return true;
}

}  // namespace tavrin
