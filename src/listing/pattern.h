#pragma once
// Regular-expression operations on Boost.Regex (Perl syntax, bytes).

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "text/values.h"

namespace tavrin {

// Where one group of a match stands in the searched text.
struct GroupSpan {
    std::int32_t offset = 0;  // bytes from the start of the searched text
    std::int32_t length = 0;
    bool matched = false;     // whether the group took part in the match
};

// One search result: index 0 is the whole match, then one entry per group.
// It holds no text; texts are cut out of the searched text when needed.
struct MatchRecord {
    std::vector<GroupSpan> groups;
};

// A compiled expression over single-byte characters, created empty.
class PatternObject {
public:
    PatternObject();
    ~PatternObject();
    PatternObject(const PatternObject&) = delete;
    PatternObject& operator=(const PatternObject&) = delete;

    struct Compiled;
    // Null until a pattern has compiled.
    const Compiled* compiled() const { return compiled_.get(); }
    void replace(std::unique_ptr<Compiled> compiled);
    // Set at creation and never changed.
    int flags() const { return flags_; }

private:
    std::unique_ptr<Compiled> compiled_;
    int flags_ = 1;
};

std::unique_ptr<PatternObject> pattern_create();
void pattern_release(std::unique_ptr<PatternObject>& pattern);

// Compiles `pattern_text` (Perl syntax; `icase` added when not case-sensitive).
// A pattern that fails to compile leaves the object with what it held before.
bool pattern_compile(PatternObject& pattern, std::string_view pattern_text, bool case_sensitive = true);

// Every non-overlapping match from left to right. Each search treats its start
// as the start of the text; "." matches every byte, line breaks included. An
// error that Boost.Regex raises during a search ends the search with the
// records found so far; an empty match moves the next search one byte on.
//
// `required_pieces`, when given, are literal pieces that every match of this
// pattern contains in this order, each after the end of the one before. When
// they do not all follow a start position, no search from there or later can
// succeed, so the search stops without running the expression. This keeps a
// search over a broken page linear; the matches are exactly Boost.Regex's.
std::vector<MatchRecord> pattern_search_all(const PatternObject& pattern, std::string_view text,
                                            const std::vector<std::string_view>& required_pieces = {});

// The text of group `index` (0 for the whole match), cut out of the text that
// was searched; the empty text when the group did not take part or is empty.
Text match_group_text(const MatchRecord& record, std::string_view searched_text, int index);

void match_release(MatchRecord& record);

}  // namespace tavrin
