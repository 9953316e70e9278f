// Running slow work off the window's thread: input held back, the dialog,
// the order of posted work and cancelling.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "support/progress_dialog_watch.h"
#include "toolkit/background_run.h"

using tavrin::BackgroundRun;
using tavrin::RunControl;
using tavrin::testing::when_progress_dialog_shows;

namespace {

// Waits on the job's thread until `release` is set or the run is cancelled.
void wait_for(const std::atomic<bool>& release, const RunControl& control) {
    while (!release.load() && !control.cancelled()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

class BackgroundRunTest : public QObject {
    Q_OBJECT

private slots:
    void aQuickRunShowsNoDialogAndRunsPostedTasksInOrder() {
        QWidget window;
        BackgroundRun run(&window, QStringLiteral("title"));
        QStringList order;
        const bool completed = run.exec([&](RunControl& control) {
            for (int i = 0; i < 50; ++i) {
                control.post([&order, i] { order.append(QString::number(i)); });
            }
        });
        QVERIFY(completed);
        QVERIFY(!run.dialogShown());
        QCOMPARE(order.size(), 50);
        for (int i = 0; i < 50; ++i) {
            QCOMPARE(order[i], QString::number(i));
        }
    }

    void escThatReachesTheDialogItselfCancelsToo() {
        // Before the dialog is the active window, Esc is no shortcut yet: the
        // dialog receives the key itself and rejects.
        QWidget window;
        window.show();
        BackgroundRun run(&window, QStringLiteral("title"));
        when_progress_dialog_shows([](QProgressDialog* dialog) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(dialog, &escape);
        });
        const bool completed = run.exec([](RunControl& control) {
            while (!control.cancelled()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
        QVERIFY(!completed);
    }

    void progressShownByATaskRunsNoLaterTaskInsideIt() {
        QWidget window;
        window.show();
        BackgroundRun run(&window, QStringLiteral("title"));
        std::atomic<bool> shown{false};
        connect(&run, &BackgroundRun::dialogShownChanged, [&shown] { shown = true; });
        int depth = 0;
        int deepest = 0;
        int ran = 0;
        QVERIFY(run.exec([&](RunControl& control) {
            while (!shown.load()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            for (int i = 0; i < 100; ++i) {
                control.post([&, i] {
                    deepest = std::max(deepest, ++depth);
                    run.setProgress(i + 1, 100, QStringLiteral("working"));
                    ++ran;
                    --depth;
                });
            }
        }));
        QCOMPARE(ran, 100);
        QCOMPARE(deepest, 1);
        QCOMPARE(run.dialog()->value(), 100);
    }

    void anExceptionOfTheJobReachesTheWindowsThread() {
        QWidget window;
        BackgroundRun run(&window, QStringLiteral("title"));
        QVERIFY_THROWS_EXCEPTION(std::bad_alloc, run.exec([](RunControl&) { throw std::bad_alloc(); }));
    }

    void inputToTheWindowIsHeldBackWhileTheRunWorks() {
        QWidget window;
        auto* button = new QPushButton(QStringLiteral("other"), &window);
        auto* edit = new QLineEdit(&window);
        edit->move(0, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int clicks = 0;
        connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });

        std::atomic<bool> release{false};
        BackgroundRun run(&window, QStringLiteral("title"));
        QTimer::singleShot(50, [&] {
            // Through the window, as the desktop delivers them.
            QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
            QTest::keyClick(window.windowHandle(), Qt::Key_X);
            release = true;
        });
        QVERIFY(run.exec([&](RunControl& control) { wait_for(release, control); }));

        QCOMPARE(clicks, 0);
        QCOMPARE(edit->text(), QString());
        // Once the run is over the window takes input again.
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
        QCOMPARE(clicks, 1);
    }

    void aSlowRunShowsTheDialogAndCancelDropsLaterTasks() {
        QWidget window;
        window.show();
        bool cancelCalled = false;
        BackgroundRun run(&window, QStringLiteral("title"), [&cancelCalled] { cancelCalled = true; });
        run.setProgress(0, 10, QStringLiteral("working"));
        std::atomic<bool> posted{false};
        QStringList ran;
        QString label;
        int maximum = -1;
        when_progress_dialog_shows([&](QProgressDialog* dialog) {
            label = dialog->labelText();
            maximum = dialog->maximum();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        const bool completed = run.exec([&](RunControl& control) {
            control.post([&ran] { ran.append(QStringLiteral("before")); });
            while (!control.cancelled()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            control.post([&ran] { ran.append(QStringLiteral("after")); });
            posted = true;
        });

        QVERIFY(!completed);
        QVERIFY(cancelCalled);
        QVERIFY(posted.load());
        QCOMPARE(ran, QStringList{QStringLiteral("before")});
        QCOMPARE(label, QStringLiteral("working"));
        QCOMPARE(maximum, 10);
        QVERIFY(!run.dialog()->isVisible());
    }
};

QTEST_MAIN(BackgroundRunTest)
#include "background_run_test.moc"
