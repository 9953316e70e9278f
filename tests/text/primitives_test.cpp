#include "text/primitives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrin {
namespace {

using namespace std::string_literals;

struct FindCase {
    std::string text;
    std::string sought;
    std::int32_t start;
    std::int32_t expected;
};

TEST(TextFind, WalksUnitsFromTheStartPosition) {
    const std::vector<FindCase> cases = {
        {"pqrpq", "pq", 0, 1},             // start omitted
        {"pqrpq", "pq", 2, 4},
        {"pqrpq", "pq", 4, 4},
        {"pqrpq", "pq", 5, -1},            // one byte left
        {"pqrpq", "pq", 6, -1},            // past the end
        {"pqrpq", "pq", -1, 1},            // a negative start searches everything
        {"pqrpq", "PQ", 0, -1},            // case-sensitive
        {"pqr", "pqrs", 0, -1},
        {"", "p", 0, -1},
        {"p\xD6pq", "pq", 0, -1},          // the 'p' at 3 is the second byte of D6 70
        {"p\xD6pq", "q", 0, 4},
        {"p\xD6pq", "pq", 3, 3},           // the walk starts at position 3 itself
        {">\xE4\xB8\xADhttp://x", "http", 0, -1},  // AD pairs with 'h'
        {">\xE4\xB8\xADhttp://x http", "http", 0, 14},
        {"pq\xD6", "\xD6", 0, 3},          // a lead byte at the very end is a unit
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text_find(c.text, c.sought, c.start), c.expected)
            << "find \"" << c.sought << "\" in \"" << c.text << "\" from " << c.start;
    }
}

struct MiddleCase {
    std::int32_t start;
    std::int32_t count;
    std::string expected;
};

TEST(TextMiddle, CutsPlainBytesWithinTheText) {
    const std::vector<MiddleCase> cases = {
        {2, 3, "vwx"}, {1, 6, "uvwxyz"}, {4, 10, "xyz"}, {6, 1, "z"}, {7, 1, ""},
        {0, 3, ""},    {-1, 5, ""},      {2, 0, ""},    {2, -4, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text_middle("uvwxyz", c.start, c.count), c.expected) << c.start << "," << c.count;
    }
    EXPECT_EQ(text_middle("", 1, 3), "");
    EXPECT_EQ(text_middle("\xD6\xD0", 2, 1), "\xD0");  // may cut a character in half
}

TEST(TextTrim, RemovesOnlySpacesAndFullWidthSpacesAtTheEnds) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"  pq r  ", "pq r"},
        {"\xA1\xA1pq\xA1\xA1", "pq"},
        {" \tpq\r\n ", "\tpq\r\n"},
        {"pq \r\n", "pq \r\n"},
        {"pq\r\nrs\r\n", "pq\r\nrs\r\n"},
        {"   ", ""},
        {"\xA1\xA1\xA1\xA1", ""},
        {"", ""},
        {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},  // B0 A1 is one character, then a full-width space
        {"p \xA1\xA1 ", "p"},              // a mixed run at the end
        {"p q", "p q"},
        {" \xA1", "\xA1"},                 // a lone lead byte is not a blank
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(text_trim(text), expected) << '"' << text << '"';
    }
}

TEST(TextSplit, KeepsInnerEmptyMembersButNoEmptyLastOne) {
    using Members = std::vector<std::string>;
    const std::vector<std::pair<std::string, Members>> cases = {
        {"", {}},
        {"p", {"p"}},
        {"p\r\nq", {"p", "q"}},
        {"p\r\nq\r\n", {"p", "q"}},
        {"p\r\n\r\nq", {"p", "", "q"}},
        {"\r\np", {"", "p"}},
        {"\r\n", {""}},
        {"p\r\n\r\n", {"p", ""}},
        {"p\rq\nr", {"p\rq\nr"}},
        {"\xD6\r\nq", {"\xD6\r\nq"}},      // D6 0D is a pair, so the CR LF is not seen
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(text_split(text, "\r\n"), expected) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace tavrin
