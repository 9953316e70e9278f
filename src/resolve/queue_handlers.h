#pragma once
// Filling the parse queue (编辑框2) from the lesson list, and opening a lesson.

#include "toolkit/form_controls.h"

namespace tavrin {

// The list's right click: queues the topmost selected lesson. The list has
// already updated its selection, so that is the clicked row unless the click
// fell on one of several selected rows. With no row selected nothing is queued.
void queue_clicked_lesson(HandlerContext& context);

// 添加(&A): queues every selected lesson, in ascending row order.
void queue_selected_lessons(HandlerContext& context);

// The list's double-click: opens the topmost selected lesson in the browser.
void open_selected_lesson(HandlerContext& context);

}  // namespace tavrin
