#pragma once
// 复制(&C): the whole result box onto the clipboard.

#include "toolkit/form_controls.h"

namespace tavrin {

void copy_results(HandlerContext& context);

}  // namespace tavrin
