#pragma once
// Conversion between the program's GB18030 texts and UTF-8 at the edges where
// a text is shown (a widget, a terminal) or read from one.
//
// Showing never fails: a byte sequence that is not valid GB18030 becomes
// U+FFFD and the rest of the text is still shown.

#include <string>
#include <string_view>

#include "text/values.h"

namespace tavrin {

std::string gb18030_to_utf8(std::string_view gb18030);

// Every Unicode character has a GB18030 form; an invalid UTF-8 byte becomes
// the GB18030 form of U+FFFD.
Text utf8_to_gb18030(std::string_view utf8);

}  // namespace tavrin
