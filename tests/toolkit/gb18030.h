#pragma once
// Writing GB18030 texts in tests: the sources are UTF-8.

#include "text/display_encoding.h"

namespace tavrin::testing {

inline Text gb(std::string_view utf8) { return utf8_to_gb18030(utf8); }

}  // namespace tavrin::testing
