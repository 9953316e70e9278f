#include "app/handler_wiring.h"

#include "listing/read_course_page.h"
#include "resolve/export_handler.h"
#include "resolve/queue_handlers.h"
#include "resolve/resolve_handler.h"

namespace tavrin {

WindowHandlers make_window_handlers(HandlerContext& context, ProgramState& state, const Site& site) {
    return WindowHandlers{
        [&] { read_course_page(context, state.course, site); },
        [&] { queue_selected_lessons(context); },
        [&] { resolve_queued_lessons(context, site); },
        [&] { copy_results(context); },
        [&] { queue_clicked_lesson(context); },
        [&] { open_selected_lesson(context); },
    };
}

}  // namespace tavrin
