#pragma once
// Which handler of the listing and resolve folders answers each event of the
// main window.

#include "app/program_state.h"
#include "app/window_handlers.h"
#include "listing/site.h"
#include "toolkit/form_controls.h"

namespace tavrin {

// The context, state and site must outlive the handlers.
WindowHandlers make_window_handlers(HandlerContext& context, ProgramState& state, const Site& site);

}  // namespace tavrin
