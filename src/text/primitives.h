#pragma once
// Searching and cutting texts by byte positions counted from 1.
//
// `text_find`, `text_trim` and `text_split` read a text in units: a byte below
// 0x80 is a unit of one byte, a byte of 0x80 or above starts a unit of two
// bytes (itself and the byte after it). A match is only tried where a unit
// starts, so a sought text is never found beginning on the second byte of a
// pair. The walk starts where the operation starts reading and takes that byte
// as a unit start. `text_middle` works on plain bytes.

#include <cstdint>
#include <string_view>
#include <vector>

#include "text/values.h"

namespace tavrin {

// Position (from 1, counted from the start of `text`) of the first unit start
// at or after `start` where `sought` stands, or -1. A start of 0 or below
// searches the whole text.
std::int32_t text_find(std::string_view text, std::string_view sought, std::int32_t start = 0);

// `count` bytes from position `start`, cut at the end of the text; the empty
// text for a start outside the text or a count of 0 or below.
Text text_middle(std::string_view text, std::int32_t start, std::int32_t count);

// Without the spaces (0x20) and full-width spaces (A1 A1) at both ends. Tabs,
// line breaks and every other byte stay.
Text text_trim(std::string_view text);

// The pieces between separators. Empty pieces between separators are kept,
// an empty last piece after a final separator is not; the empty text has none.
std::vector<Text> text_split(std::string_view text, std::string_view separator);

}  // namespace tavrin
