#pragma once
// The life of the program between start-up and shut-down.

#include "app/program_state.h"
#include "listing/site.h"
#include "toolkit/desktop.h"

namespace tavrin {

// Builds the program state, creates and shows the main window for `site`,
// runs the event loop until the window is closed (close button, window
// menu, Alt+F4 or Esc), releases the state and returns the loop's exit code,
// 0. A window that cannot be created, or storage running out, is a fatal
// error: the process ends with -1 and the state is not released.
int run_program(const Site& site, Desktop& desktop, const ReleaseObserver& observer = {});

}  // namespace tavrin
