#pragma once
// 解析(&P): every queued lesson URL becomes an entry of the result box.

#include "listing/site.h"
#include "toolkit/form_controls.h"

namespace tavrin {

// Trims the queue (编辑框2) and writes it back, resolves its lines several at a
// time off the window's thread, appends one entry per line to 编辑框3 in queue
// order as soon as it is ready, then says how the run went.
void resolve_queued_lessons(HandlerContext& context, const Site& site);

}  // namespace tavrin
