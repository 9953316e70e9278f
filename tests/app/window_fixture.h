#pragma once
// A main window shown for a test, with handlers that count their calls.

#include <QApplication>
#include <QTest>

#include <map>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "support/recording_desktop.h"

namespace tavrin::testing {

inline const Site kLocalSite{"http://127.0.0.1:8080", "http://127.0.0.1:8081/resources/"};

class ShownWindow {
public:
    ShownWindow() : window(std::make_unique<MainWindow>(kLocalSite, desktop)) {
        const auto count = [this](const std::string& name) {
            return [this, name] { ++calls[name]; };
        };
        window->setHandlers(WindowHandlers{count("read"), count("add"), count("parse"), count("copy"),
                                           count("listRightClicked"), count("listDoubleClicked")});
        window->show();
    }

    bool activate() {
        QApplication::setActiveWindow(window.get());
        return QTest::qWaitForWindowActive(window.get());
    }

    template <typename Control = QWidget>
    Control* control(const char* formName) const {
        return window->findChild<Control*>(QString::fromUtf8(formName));
    }

    int callsOf(const std::string& name) const {
        const auto found = calls.find(name);
        return found == calls.end() ? 0 : found->second;
    }
    int totalCalls() const {
        int total = 0;
        for (const auto& [name, count] : calls) {
            total += count;
        }
        return total;
    }

    RecordingDesktop desktop;
    std::map<std::string, int> calls;
    std::unique_ptr<MainWindow> window;
};

}  // namespace tavrin::testing
