#pragma once
// The literal-piece guard of pattern_search_all may only skip searches that
// cannot succeed: with and without it the records must be the same.

#include <gtest/gtest.h>

#include <string_view>
#include <tuple>
#include <vector>

#include "listing/pattern.h"

namespace tavrin {

inline void expect_guard_changes_nothing(const PatternObject& pattern, std::string_view text,
                                         const std::vector<std::string_view>& pieces) {
    const auto unguarded = pattern_search_all(pattern, text);
    const auto guarded = pattern_search_all(pattern, text, pieces);
    ASSERT_EQ(guarded.size(), unguarded.size()) << ::testing::PrintToString(text);
    for (std::size_t i = 0; i < guarded.size(); ++i) {
        ASSERT_EQ(guarded[i].groups.size(), unguarded[i].groups.size());
        for (std::size_t group = 0; group < guarded[i].groups.size(); ++group) {
            const GroupSpan& with = guarded[i].groups[group];
            const GroupSpan& without = unguarded[i].groups[group];
            ASSERT_EQ(std::tie(with.offset, with.length, with.matched),
                      std::tie(without.offset, without.length, without.matched))
                << "match " << i << ", group " << group << " of " << ::testing::PrintToString(text);
        }
    }
}

}  // namespace tavrin
