#include "listing/charset.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace tavrin {
namespace {

struct ConversionCase {
    const char* name;
    ByteSet input;
    Text from;
    Text to;
    ByteSet expected;
};

void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.name; }

class ConvertCharsetTable : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ConvertCharsetTable, GivesTheWholeConversionOrNothing) {
    const ConversionCase& c = GetParam();
    EXPECT_EQ(convert_charset(c.input, c.from, c.to), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertCharsetTable,
    ::testing::Values(
        ConversionCase{"ascii_unchanged", "<a href=\"/lesson/1\">Intro</a>\r\n\t~", "UTF-8", "GB18030",
                       "<a href=\"/lesson/1\">Intro</a>\r\n\t~"},
        ConversionCase{"zhong", "\xE4\xB8\xAD", "UTF-8", "GB18030", "\xD6\xD0"},
        ConversionCase{"zhong_between_ascii", "a\xE4\xB8\xAD" "b", "UTF-8", "GB18030", "a\xD6\xD0" "b"},
        ConversionCase{"zero_byte_kept", std::string("a\0\xE4\xB8\xAD", 5), "UTF-8", "GB18030",
                       std::string("a\0\xD6\xD0", 4)},
        ConversionCase{"ff_first", "\xFF" "abc\xE4\xB8\xAD", "UTF-8", "GB18030", ""},
        ConversionCase{"ff_middle", "abc\xFF\xE4\xB8\xAD", "UTF-8", "GB18030", ""},
        ConversionCase{"ff_last", "abc\xE4\xB8\xAD\xFF", "UTF-8", "GB18030", ""},
        ConversionCase{"truncated_at_end", "abc\xE4\xB8", "UTF-8", "GB18030", ""},
        ConversionCase{"lone_continuation_byte", "abc\xB8" "def", "UTF-8", "GB18030", ""},
        ConversionCase{"empty", "", "UTF-8", "GB18030", ""},
        ConversionCase{"lower_case_names", "\xE4\xB8\xAD", "utf-8", "gb18030", "\xD6\xD0"},
        ConversionCase{"unknown_source", "abc", "NO-SUCH-CHARSET", "GB18030", ""},
        ConversionCase{"unknown_target", "abc", "UTF-8", "NO-SUCH-CHARSET", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A second, independent conversion: one iconv call with room for anything.
ByteSet convert_in_one_call(const ByteSet& input, const char* from, const char* to) {
    iconv_t handle = iconv_open(to, from);
    EXPECT_NE(handle, reinterpret_cast<iconv_t>(-1));
    ByteSet output(input.size() * 16 + 64, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    char* out = output.data();
    std::size_t out_left = output.size();
    const std::size_t result = iconv(handle, &in, &in_left, &out, &out_left);
    iconv_close(handle);
    EXPECT_NE(result, static_cast<std::size_t>(-1));
    output.resize(output.size() - out_left);
    return output;
}

// UTF-8 of every character from U+00A2 to U+00FF, `rounds` times over: two
// bytes each, and most of them take four bytes in GB18030.
ByteSet latin_supplement(int rounds) {
    ByteSet text;
    for (int round = 0; round < rounds; ++round) {
        for (unsigned code = 0xA2; code <= 0xFF; ++code) {
            text.push_back(static_cast<char>(0xC0 | (code >> 6)));
            text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return text;
}

TEST(ConvertCharset, OutputLongerThanInputIsConvertedCompletely) {
    for (int rounds : {1, 7, 300}) {
        SCOPED_TRACE(rounds);
        const ByteSet input = latin_supplement(rounds);
        const ByteSet converted = convert_charset(input, "UTF-8", "GB18030");
        EXPECT_GT(converted.size(), input.size() * 3 / 2);
        EXPECT_EQ(converted, convert_in_one_call(input, "UTF-8", "GB18030"));
        // U+00A2 opens the text and is 81 30 84 34 in GB18030.
        EXPECT_EQ(converted.substr(0, 4), "\x81\x30\x84\x34");
        EXPECT_EQ(convert_charset(converted, "GB18030", "UTF-8"), input);
    }
}

// TSCII byte 82 is four Tamil characters, twelve bytes of UTF-8, so a page
// of 1000 bytes can outgrow every buffer. The k-th call's buffer ends at
// 1000 + 628 (k - 1) bytes: 7280 for the 11th, 7908 for the 12th and last.
// The expanding bytes are placed so that no buffer end falls inside one's
// twelve bytes: glibc's TSCII converter mishandles a character cut by a full
// buffer, which has nothing to do with the growth rule tested here.
constexpr int kBufferEnds = 12;

ByteSet tscii_page(int expanding) {
    ByteSet input;
    long output = 0;
    while (input.size() < 1000) {
        bool cut = false;
        for (int k = 0; k < kBufferEnds; ++k) {
            const long buffer_end = 1000 + 628L * k;
            cut = cut || (buffer_end > output && buffer_end < output + 12);
        }
        if (expanding > 0 && !cut) {
            input += '\x82';
            output += 12;
            --expanding;
        } else {
            input += 'a';
            output += 1;
        }
    }
    return input;
}

long utf8_length_of_tscii_page(const ByteSet& page) {
    long length = 0;
    for (char byte : page) {
        length += byte == 'a' ? 1 : 12;
    }
    return length;
}

TEST(ConvertCharset, GrowsTheBufferForAtMostTwelveCalls) {
    const ByteSet fills_last_buffer = tscii_page(628);
    ASSERT_EQ(utf8_length_of_tscii_page(fills_last_buffer), 7908);
    const ByteSet converted = convert_charset(fills_last_buffer, "TSCII", "UTF-8");
    EXPECT_EQ(converted.size(), 7908u);
    EXPECT_TRUE(converted == convert_in_one_call(fills_last_buffer, "TSCII", "UTF-8"));

    const ByteSet needs_more = tscii_page(629);
    ASSERT_GT(utf8_length_of_tscii_page(needs_more), 7908);
    EXPECT_EQ(convert_charset(needs_more, "TSCII", "UTF-8").size(), 0u);
}

struct ValidityCase {
    const char* name;
    ByteSet input;
    Text charset;
    bool valid;
};

void PrintTo(const ValidityCase& c, std::ostream* os) { *os << c.name; }

class ValidInCharsetTable : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(ValidInCharsetTable, TellsWhetherTheBytesReadCompletely) {
    const ValidityCase& c = GetParam();
    EXPECT_EQ(is_valid_in_charset(c.input, c.charset), c.valid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValidInCharsetTable,
    ::testing::Values(ValidityCase{"empty", "", "GB18030", true},
                      ValidityCase{"ascii", "abc\r\n", "GB18030", true},
                      ValidityCase{"gbk_zhongwen", "a\xD6\xD0\xCE\xC4" "b", "GB18030", true},
                      ValidityCase{"four_byte_form", "\x81\x30\x84\x34", "GB18030", true},
                      ValidityCase{"ff", "a\xD6\xD0\xFF", "GB18030", false},
                      ValidityCase{"lead_byte_cut_off", "a\xD6", "GB18030", false},
                      ValidityCase{"utf8_is_not_gb18030", "\xE4\xB8\xAD", "GB18030", false},
                      ValidityCase{"utf8_as_utf8", "\xE4\xB8\xAD", "UTF-8", true},
                      ValidityCase{"gbk_as_utf8", "\xD6\xD0", "UTF-8", false},
                      ValidityCase{"unknown_name", "abc", "NO-SUCH-CHARSET", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IsValidInCharset, ReadsPastItsScratchBuffer) {
    // Far more output than one scratch buffer holds, with the fault at the end.
    ByteSet page;
    for (int i = 0; i < 60000; ++i) {
        page += "\xD6\xD0\xCE\xC4";
    }
    EXPECT_TRUE(is_valid_in_charset(page, "GB18030"));
    page += '\xFF';
    EXPECT_FALSE(is_valid_in_charset(page, "GB18030"));
}

}  // namespace
}  // namespace tavrin
