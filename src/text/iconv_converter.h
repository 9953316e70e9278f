#pragma once
// One iconv descriptor, closed on every way out of a conversion. The callers
// decide what a failure means: the display conversion replaces bad bytes, the
// page conversion gives up.

#include <iconv.h>

#include <cstddef>

namespace tavrin {

class IconvConverter {
public:
    static constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

    IconvConverter(const char* to_charset, const char* from_charset)
        : handle_(iconv_open(to_charset, from_charset)) {}
    ~IconvConverter() {
        if (is_open()) {
            iconv_close(handle_);
        }
    }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    // False when iconv knows one of the two names not.
    bool is_open() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // One iconv call; `kFailed` and errno on failure.
    std::size_t convert(char** in, std::size_t* in_left, char** out, std::size_t* out_left) {
        return iconv(handle_, in, in_left, out, out_left);
    }

    // Back to the initial shift state, after a byte that was skipped.
    void reset() { iconv(handle_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t handle_;
};

}  // namespace tavrin
