#include <new>

#include "app/application.h"
#include "app/program.h"
#include "listing/site.h"
#include "text/values.h"
#include "toolkit/desktop.h"

int main(int argc, char** argv) {
    tavrin::Application application(argc, argv);
    tavrin::set_fatal_error_reporter(&tavrin::show_fatal_error);
    try {
        tavrin::QtDesktop desktop;
        return tavrin::run_program(tavrin::kTavrinSite, desktop);
    } catch (const std::bad_alloc&) {
        tavrin::fatal_value_error("storage is exhausted");
    }
}
