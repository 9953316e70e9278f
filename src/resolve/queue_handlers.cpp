#include "resolve/queue_handlers.h"

#include <QPlainTextEdit>
#include <QTableView>

#include "text/values.h"
#include "toolkit/lesson_list.h"
#include "toolkit/services.h"

namespace tavrin {

namespace {

constexpr int kLinkColumn = 2;

// One queue line: the lesson's link and CR LF, added at the end of the queue.
void queue_row(HandlerContext& context, int row) {
    const Text link = list_get_cell_text(context.controls.lessonList, row, kLinkColumn);
    append_edit_text(context.controls.queueEdit, text_concat({link, "\r\n"}));
}

}  // namespace

void queue_clicked_lesson(HandlerContext& context) {
    const int row = list_first_selected_row(context.controls.lessonList);
    // A right click on empty space leaves nothing selected; a bare line break
    // in the queue would only resolve to an empty entry.
    if (row < 0) {
        return;
    }
    queue_row(context, row);
}

void queue_selected_lessons(HandlerContext& context) {
    for (const int row : list_selected_rows(context.controls.lessonList)) {
        queue_row(context, row);
    }
}

void open_selected_lesson(HandlerContext& context) {
    const int row = list_first_selected_row(context.controls.lessonList);
    if (row < 0) {
        return;
    }
    open_url(context.desktop, list_get_cell_text(context.controls.lessonList, row, kLinkColumn));
}

}  // namespace tavrin
