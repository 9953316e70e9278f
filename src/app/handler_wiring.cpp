#include "app/handler_wiring.h"

namespace tavrin {

WindowHandlers make_window_handlers(HandlerContext& context, ProgramState& state, const Site& site) {
    static_cast<void>(context);
    static_cast<void>(state);
    static_cast<void>(site);
    // Every event of the window is bound; no handler has any work yet.
    return WindowHandlers{
        [] {},
        [] {},
        [] {},
        [] {},
        [] {},
        [] {},
    };
}

}  // namespace tavrin
