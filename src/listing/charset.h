#pragma once
// Character-set conversion over iconv, all or nothing.

#include "text/values.h"

namespace tavrin {

// `data` converted from `from_charset` to `to_charset` (names as iconv knows
// them, letter case ignored). Any failure (an unknown name, an invalid or
// truncated sequence, output that keeps outgrowing its buffer) gives the empty
// byte set, never a part of the output.
ByteSet convert_charset(const ByteSet& data, const Text& from_charset, const Text& to_charset);

// Whether `data` reads completely as `charset`: no invalid sequence anywhere
// and none cut off at the end. The empty byte set is valid in every known
// character set; an unknown name gives false. Nothing of the converted form is
// kept, so this costs no memory beyond a small scratch buffer.
bool is_valid_in_charset(const ByteSet& data, const Text& charset);

}  // namespace tavrin
