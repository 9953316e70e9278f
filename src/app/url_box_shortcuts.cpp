#include "app/url_box_shortcuts.h"

#include <QLineEdit>

#include "toolkit/services.h"

namespace tavrin {

void clear_course_url(HandlerContext& context) {
    set_control_text(context.controls.courseUrlEdit, Text());
}

void open_lesson_index(HandlerContext& context, const Site& site) {
    open_url(context.desktop, lesson_index_url(site));
}

}  // namespace tavrin
