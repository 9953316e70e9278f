#include "listing/charset.h"

#include <array>
#include <cerrno>
#include <cstddef>
#include <new>

#include "text/iconv_converter.h"

namespace tavrin {

namespace {

// A page converts in one call when its converted form is no longer than the
// page; UTF-8 to GB18030 never needs more than three. The limit only stops a
// conversion whose output grows far beyond its input.
constexpr int kMaxConversionCalls = 12;

// iconv takes its input through a pointer to non-const; it never writes there.
char* input_start(const ByteSet& data) { return const_cast<char*>(data.data()); }

}  // namespace

ByteSet convert_charset(const ByteSet& data, const Text& from_charset, const Text& to_charset) {
    IconvConverter converter(to_charset.c_str(), from_charset.c_str());
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
        if (result != IconvConverter::kFailed) {
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
    IconvConverter converter("UTF-8", charset.c_str());
    if (!converter.is_open()) {
        return false;
    }
    std::array<char, 64 * 1024> scratch;
    char* in = input_start(data);
    std::size_t in_left = data.size();
    while (in_left > 0) {
        char* out = scratch.data();
        std::size_t out_left = scratch.size();
        if (converter.convert(&in, &in_left, &out, &out_left) != IconvConverter::kFailed) {
            return true;
        }
        if (errno != E2BIG) {
            return false;
        }
    }
    return true;
}

}  // namespace tavrin
