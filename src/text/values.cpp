#include "text/values.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tavrin {

namespace {
FatalErrorReporter g_reporter = nullptr;
}

void set_fatal_error_reporter(FatalErrorReporter reporter) { g_reporter = reporter; }

void fatal_value_error(const std::string& message) {
    if (g_reporter != nullptr) {
        g_reporter(message);
    } else {
        std::fprintf(stderr, "tavrin-links: fatal error: %s\n", message.c_str());
    }
    // The program state is deliberately not released on this road.
    std::_Exit(-1);
}

void check_array_index(std::size_t size, std::int64_t index) {
    if (index < 1) {
        fatal_value_error("array index " + std::to_string(index) + " is below 1");
    }
    if (static_cast<std::uint64_t>(index) > size) {
        fatal_value_error("array index " + std::to_string(index) + " is above the element count " +
                          std::to_string(size));
    }
}

std::int32_t text_length(std::string_view text) { return static_cast<std::int32_t>(text.size()); }

int text_compare(std::string_view a, std::string_view b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    const int order = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
    if (order != 0) {
        return order < 0 ? -1 : 1;
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

Text text_concat(std::initializer_list<std::string_view> parts) {
    std::size_t total = 0;
    for (std::string_view part : parts) {
        total += part.size();
    }
    Text joined;
    joined.reserve(total);
    for (std::string_view part : parts) {
        joined.append(part);
    }
    return joined;
}

Text text_from_bytes(std::string_view bytes) {
    const std::size_t zero = bytes.find('\0');
    return Text(bytes.substr(0, zero));
}

bool text_is_ascii(std::string_view text) {
    for (const char byte : text) {
        if (static_cast<unsigned char>(byte) >= 0x80) {
            return false;
        }
    }
    return true;
}

std::int32_t real_to_integer(double value) {
    const double truncated = std::trunc(value);
    if (std::isnan(truncated)) {
        return 0;
    }
    // Saturate instead of overflowing: the callers only ever pass differences
    // of two text positions, which always fit.
    if (truncated >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (truncated <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(truncated);
}

}  // namespace tavrin
