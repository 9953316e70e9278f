#pragma once
// The value model every handler shares.
//
// A Text is a run of bytes in the program's text encoding (GB18030) and never
// holds a zero byte of its own; a missing text and the empty text are the same
// value. A ByteSet is a counted run of any bytes, zero bytes included, used for
// raw page bodies. Lengths and positions are 32-bit signed byte counts, and
// positions start at 1. Arrays are std::vector and are addressed from 1 where
// the handlers address them by position.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

using Text = std::string;
using ByteSet = std::string;

// Stops the program: reports `message` through the installed reporter (the
// window shows an error box), then ends the process with exit code -1.
// Storage exhaustion and an array index outside the array are fatal.
[[noreturn]] void fatal_value_error(const std::string& message);

// The front end installs how a fatal error is shown. Without one the message
// goes to standard error. The reporter must return; the process ends after it.
using FatalErrorReporter = void (*)(const std::string& message);
void set_fatal_error_reporter(FatalErrorReporter reporter);

// Number of bytes of the text.
std::int32_t text_length(std::string_view text);

// -1, 0 or 1: bytes compared as unsigned values; a proper beginning of the
// other text is the lower one.
int text_compare(std::string_view a, std::string_view b);

// The parts one after the other, as a new text.
Text text_concat(std::initializer_list<std::string_view> parts);

// The bytes up to, and not including, the first zero byte.
Text text_from_bytes(std::string_view bytes);

// Whether every byte is below 0x80: such a text reads the same in GB18030,
// UTF-8 and Latin-1, and needs no conversion.
bool text_is_ascii(std::string_view text);

// Drops the fraction (toward zero) and takes the result as a 32-bit integer.
std::int32_t real_to_integer(double value);

// Element `index` (counted from 1) of an array; an index outside 1..size is a
// fatal value error.
void check_array_index(std::size_t size, std::int64_t index);

template <typename T>
const T& array_element(const std::vector<T>& array, std::int64_t index) {
    check_array_index(array.size(), index);
    return array[static_cast<std::size_t>(index - 1)];
}

}  // namespace tavrin
