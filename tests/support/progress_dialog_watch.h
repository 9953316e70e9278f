#pragma once
// Acting on the progress dialog of a run while the handler under test waits
// for the run to end, as the user would.

#include <QApplication>
#include <QProgressDialog>
#include <QTimer>

#include <functional>

namespace tavrin::testing {

// Calls `act` once, with the dialog, as soon as a progress dialog is shown.
inline void when_progress_dialog_shows(std::function<void(QProgressDialog*)> act) {
    auto* watcher = new QTimer(qApp);
    QObject::connect(watcher, &QTimer::timeout, watcher, [watcher, act = std::move(act)] {
        auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        watcher->stop();
        watcher->deleteLater();
        act(dialog);
    });
    watcher->start(10);
}

}  // namespace tavrin::testing
