#include "app/application.h"

#include <QMessageBox>

#include <new>

#include "text/values.h"
#include "toolkit/services.h"

namespace tavrin {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    // Qt cannot carry an exception through its event loop, so it is caught
    // where Qt hands an event to the program.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        fatal_value_error("storage is exhausted");
    }
}

void show_fatal_error(const std::string& message) {
    QMessageBox::critical(nullptr, QStringLiteral("Tavrin -> 课程地址解析"), text_to_qstring(message));
}

}  // namespace tavrin
