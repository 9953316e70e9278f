#include "text/values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrin {
namespace {

struct CompareCase {
    std::string a;
    std::string b;
    int expected;
};

TEST(TextCompare, OrdersBytesUnsignedAndPrefixesFirst) {
    const std::vector<CompareCase> cases = {
        {"", "", 0},          // a missing text is the empty text
        {"", "p", -1},
        {"p", "pq", -1},      // a proper beginning is the lower
        {"pq", "p", 1},
        {"q", "p", 1},
        {"pq", "pq", 0},
        {"\x80", "p", 1},     // bytes compare unsigned
        {"p\xFF", "pq", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text_compare(c.a, c.b), c.expected) << '"' << c.a << "\" vs \"" << c.b << '"';
    }
}

TEST(TextConcat, JoinsPartsAndCountsTheirLengths) {
    EXPECT_EQ(text_concat({"", ""}), "");
    const Text entry = text_concat({"pq", "\r\n\r\n"});
    EXPECT_EQ(entry, "pq\r\n\r\n");
    EXPECT_EQ(text_length(entry), 6);
    EXPECT_EQ(text_concat({"a", "", "bc", "d"}), "abcd");
}

TEST(TextFromBytes, StopsAtTheFirstZeroByte) {
    using namespace std::string_literals;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"pq\0r"s, "pq"},
        {"\0p"s, ""},
        {""s, ""},
        {"pq"s, "pq"},
        {"\xD6\xD0\0\xD6\xD0"s, "\xD6\xD0"},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(text_from_bytes(bytes), expected);
    }
}

TEST(TextIsAscii, AnyByteFromEightyUpIsNot) {
    EXPECT_TRUE(text_is_ascii(""));
    EXPECT_TRUE(text_is_ascii("http://x/\x7F"));
    EXPECT_FALSE(text_is_ascii("http://x/\x80"));
    EXPECT_FALSE(text_is_ascii("\xD6\xD0"));
}

TEST(RealToInteger, TruncatesTowardZero) {
    const std::vector<std::pair<double, std::int32_t>> cases = {
        {3.0, 3}, {-1.0, -1}, {0.999, 0}, {2.9, 2}, {-2.9, -2}, {-0.5, 0}, {-12.0, -12},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(real_to_integer(value), expected) << value;
    }
}

TEST(ArrayElement, AddressesFromOne) {
    const std::vector<Text> lines = {"p", "q"};
    EXPECT_EQ(array_element(lines, 1), "p");
    EXPECT_EQ(array_element(lines, 2), "q");
}

using ArrayElementDeathTest = ::testing::Test;

TEST_F(ArrayElementDeathTest, IndexOutsideTheArrayIsFatal) {
    const std::vector<Text> empty;
    const std::vector<Text> one = {"p"};
    EXPECT_EXIT(array_element(one, 0), ::testing::ExitedWithCode(255), "below 1");
    EXPECT_EXIT(array_element(one, 2), ::testing::ExitedWithCode(255), "above the element count 1");
    EXPECT_EXIT(array_element(empty, 1), ::testing::ExitedWithCode(255), "above the element count 0");
}

TEST_F(ArrayElementDeathTest, FatalErrorUsesTheInstalledReporterThenExits) {
    EXPECT_EXIT(
        {
            set_fatal_error_reporter([](const std::string& message) {
                std::fprintf(stderr, "reported: %s\n", message.c_str());
            });
            fatal_value_error("storage for 64 bytes");
        },
        ::testing::ExitedWithCode(255), "reported: storage for 64 bytes");
}

}  // namespace
}  // namespace tavrin
