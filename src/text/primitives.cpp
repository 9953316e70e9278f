#include "text/primitives.h"

#include <cstring>

namespace tavrin {

namespace {

// Bytes in the unit that starts at `pos`; a lead byte at the very end of the
// text stands alone.
std::size_t unit_size(std::string_view text, std::size_t pos) {
    const bool lead = static_cast<unsigned char>(text[pos]) >= 0x80;
    return (lead && pos + 1 < text.size()) ? 2 : 1;
}

bool stands_at(std::string_view text, std::size_t pos, std::string_view sought) {
    return pos + sought.size() <= text.size() &&
           std::memcmp(text.data() + pos, sought.data(), sought.size()) == 0;
}

constexpr std::string_view kSpace = " ";
constexpr std::string_view kFullWidthSpace = "\xA1\xA1";

bool is_blank_unit(std::string_view text, std::size_t pos) {
    return text[pos] == ' ' || (unit_size(text, pos) == 2 && stands_at(text, pos, kFullWidthSpace));
}

}  // namespace

std::int32_t text_find(std::string_view text, std::string_view sought, std::int32_t start) {
    const std::size_t from = start >= 1 ? static_cast<std::size_t>(start) - 1 : 0;
    if (from >= text.size()) {
        return -1;
    }
    for (std::size_t pos = from; pos + sought.size() <= text.size(); pos += unit_size(text, pos)) {
        if (stands_at(text, pos, sought)) {
            return static_cast<std::int32_t>(pos + 1);
        }
    }
    return -1;
}

Text text_middle(std::string_view text, std::int32_t start, std::int32_t count) {
    const std::int64_t from = static_cast<std::int64_t>(start) - 1;
    if (from < 0 || from >= static_cast<std::int64_t>(text.size()) || count <= 0) {
        return {};
    }
    return Text(text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(count)));
}

Text text_trim(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && is_blank_unit(text, begin)) {
        begin += unit_size(text, begin);
    }
    // The result ends where the last unbroken run of blanks begins, if that run
    // reaches the end of the text.
    std::size_t end = text.size();
    bool in_run = false;
    for (std::size_t pos = begin; pos < text.size(); pos += unit_size(text, pos)) {
        if (is_blank_unit(text, pos)) {
            if (!in_run) {
                end = pos;
                in_run = true;
            }
        } else {
            in_run = false;
            end = text.size();
        }
    }
    return Text(text.substr(begin, end - begin));
}

std::vector<Text> text_split(std::string_view text, std::string_view separator) {
    std::vector<Text> members;
    if (text.empty()) {
        return members;
    }
    std::size_t member_begin = 0;
    std::size_t pos = 0;
    while (pos + separator.size() <= text.size()) {
        if (!separator.empty() && stands_at(text, pos, separator)) {
            members.emplace_back(text.substr(member_begin, pos - member_begin));
            pos += separator.size();
            member_begin = pos;
        } else {
            pos += unit_size(text, pos);
        }
    }
    if (member_begin < text.size()) {
        members.emplace_back(text.substr(member_begin));
    }
    return members;
}

}  // namespace tavrin
