#include "listing/pattern.h"

#include <boost/regex.hpp>

#include <cstddef>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>

namespace tavrin {

struct PatternObject::Compiled {
    boost::basic_regex<char> expression;
};

PatternObject::PatternObject() = default;
PatternObject::~PatternObject() = default;

void PatternObject::replace(std::unique_ptr<Compiled> compiled) {
    // The new expression exists before the old one goes.
    compiled_ = std::move(compiled);
}

std::unique_ptr<PatternObject> pattern_create() { return std::make_unique<PatternObject>(); }

void pattern_release(std::unique_ptr<PatternObject>& pattern) { pattern.reset(); }

namespace {

// A text ends at its first zero byte.
std::string_view up_to_zero_byte(std::string_view text) { return text.substr(0, text.find('\0')); }

// Whether every piece stands in `text` at or after `start`, in order, each one
// after the end of the one before. The earliest occurrences are taken, so this
// never reads past the end of the first match that could contain them.
bool pieces_follow(std::string_view text, std::size_t start, const std::vector<std::string_view>& pieces) {
    std::size_t position = start;
    for (std::string_view piece : pieces) {
        const std::size_t found = text.find(piece, position);
        if (found == std::string_view::npos) {
            return false;
        }
        position = found + piece.size();
    }
    return true;
}

constexpr auto kMaxOffset = static_cast<std::ptrdiff_t>(std::numeric_limits<std::int32_t>::max());

// Offsets are 32-bit; a match that ends beyond them cannot be recorded.
bool fits_in_record(const boost::cmatch& match, const char* base) {
    return match[0].second - base <= kMaxOffset;
}

MatchRecord record_of(const boost::cmatch& match, const char* base) {
    MatchRecord record;
    record.groups.reserve(match.size());
    for (std::size_t index = 0; index < match.size(); ++index) {
        GroupSpan span;
        if (match[index].matched) {
            span.offset = static_cast<std::int32_t>(match[index].first - base);
            span.length = static_cast<std::int32_t>(match[index].second - match[index].first);
            span.matched = true;
        }
        record.groups.push_back(span);
    }
    return record;
}

}  // namespace

bool pattern_compile(PatternObject& pattern, std::string_view pattern_text, bool case_sensitive) {
    const std::string_view source = up_to_zero_byte(pattern_text);
    // Perl syntax with its extensions: the syntax flags are 0.
    boost::regex_constants::syntax_option_type flags = boost::regex_constants::normal;
    if (!case_sensitive) {
        flags |= boost::regex_constants::icase;
    }
    auto compiled = std::make_unique<PatternObject::Compiled>();
    try {
        compiled->expression.assign(source.data(), source.data() + source.size(), flags);
    } catch (const boost::regex_error&) {
        return false;
    }
    pattern.replace(std::move(compiled));
    return true;
}

std::vector<MatchRecord> pattern_search_all(const PatternObject& pattern, std::string_view text,
                                            const std::vector<std::string_view>& required_pieces) {
    std::vector<MatchRecord> records;
    // A private copy: the records' offsets count from its first byte.
    const std::string buffer(up_to_zero_byte(text));
    const std::size_t length = buffer.size();
    if (length == 0 || pattern.compiled() == nullptr) {
        return records;
    }
    const boost::basic_regex<char>& expression = pattern.compiled()->expression;
    const char* const base = buffer.data();
    const char* const end = base + length;

    boost::cmatch match;
    std::size_t start = 0;
    while (start <= length) {
        if (!required_pieces.empty() && !pieces_follow(buffer, start, required_pieces)) {
            break;
        }
        // Default match flags: "." takes every byte, CR and LF included, and
        // without match_prev_avail the search sees `start` as the start of the
        // text, so "^" matches there and nothing before it is looked at.
        bool found = false;
        try {
            found = boost::regex_search(base + start, end, match, expression, boost::match_default);
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception&) {
            // Above all Boost's own limit on the effort of one search: the
            // records found so far stand.
            break;
        }
        if (!found || !fits_in_record(match, base)) {
            break;
        }
        records.push_back(record_of(match, base));
        const std::size_t match_end = static_cast<std::size_t>(match[0].second - base);
        // An empty match would be found again at the same place.
        start = match[0].length() == 0 ? match_end + 1 : match_end;
    }
    return records;
}

Text match_group_text(const MatchRecord& record, std::string_view searched_text, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= record.groups.size()) {
        return {};
    }
    const GroupSpan& span = record.groups[static_cast<std::size_t>(index)];
    if (!span.matched || span.length <= 0 || span.offset < 0) {
        return {};
    }
    // A text other than the searched one may be shorter: cut at its end.
    const auto offset = static_cast<std::size_t>(span.offset);
    if (offset >= searched_text.size()) {
        return {};
    }
    return Text(searched_text.substr(offset, static_cast<std::size_t>(span.length)));
}

void match_release(MatchRecord& record) {
    record.groups.clear();
    record.groups.shrink_to_fit();
}

}  // namespace tavrin
