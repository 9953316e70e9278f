#pragma once
// The Qt application of the program. Storage running out anywhere, also
// inside a handler that Qt called, is the fatal value error: an error box,
// then exit code -1, with the program state left as it is.

#include <QApplication>

namespace tavrin {

class Application final : public QApplication {
    Q_OBJECT

public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows a fatal error in an error box; main() installs it as the reporter
// of fatal_value_error, which ends the process once the box is closed.
void show_fatal_error(const std::string& message);

}  // namespace tavrin
