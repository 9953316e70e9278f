#include "app/program.h"

#include <QApplication>

#include <exception>
#include <memory>
#include <new>
#include <string>

#include "app/handler_wiring.h"
#include "app/main_window.h"

namespace tavrin {

namespace {

std::unique_ptr<MainWindow> create_main_window(const Site& site, Desktop& desktop, ProgramState& state) {
    try {
        auto window = std::make_unique<MainWindow>(site, desktop);
        window->setHandlers(make_window_handlers(window->handlerContext(), state, site));
        return window;
    } catch (const std::bad_alloc&) {
        fatal_value_error("storage is exhausted");
    } catch (const std::exception& error) {
        fatal_value_error(std::string("the main window cannot be created: ") + error.what());
    }
}

}  // namespace

int run_program(const Site& site, Desktop& desktop, const ReleaseObserver& observer) {
    ProgramState state = build_program_state();
    int exitCode = 0;
    {
        const std::unique_ptr<MainWindow> window = create_main_window(site, desktop, state);
        window->show();
        exitCode = QApplication::exec();
        // The window and its handlers go before the state they refer to.
    }
    release_program_state(state, observer);
    return exitCode;
}

}  // namespace tavrin
