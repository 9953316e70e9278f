// The life of the program: the state built before the window, released in
// order after the event loop, every way of closing ending with exit code 0,
// and storage running out ending it with -1 and nothing released.

#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <new>
#include <vector>

#include "app/application.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/program_state.h"
#include "window_fixture.h"

Q_DECLARE_METATYPE(std::vector<tavrin::ProgramValue>)

using tavrin::ProgramState;
using tavrin::ProgramValue;

namespace {

const std::vector<ProgramValue> kReleaseOrder{ProgramValue::course_page_bytes, ProgramValue::course_page_gb,
                                              ProgramValue::course_page_text, ProgramValue::lesson_pattern,
                                              ProgramValue::lesson_matches};

// Whether each value still holds something, in the release order.
std::vector<bool> held_values(const ProgramState& state) {
    const tavrin::CourseListingState& course = state.course;
    return {!course.course_page_bytes.empty(), !course.course_page_gb.empty(), !course.course_page_text.empty(),
            course.lesson_pattern != nullptr, !course.lesson_matches.empty()};
}

// The state after a read that found two lessons.
ProgramState state_after_a_read() {
    ProgramState state = tavrin::build_program_state();
    state.course.course_page_bytes = "page bytes";
    state.course.course_page_gb = "converted page";
    state.course.course_page_text = "page text";
    tavrin::pattern_compile(*state.course.lesson_pattern, "a(b)");
    state.course.lesson_matches.resize(2);
    state.course.lesson_matches[0].groups.resize(2);
    state.course.lesson_matches[1].groups.resize(2);
    state.course.next_row = 2;
    return state;
}

tavrin::MainWindow* shown_main_window() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<tavrin::MainWindow*>(widget); window != nullptr && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

// Runs `act` on the main window once run_program has shown it and the event
// loop is running.
void once_shown(std::function<void(tavrin::MainWindow&)> act) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act = std::move(act)] {
        tavrin::MainWindow* window = shown_main_window();
        if (window == nullptr || !window->isActiveWindow()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        act(*window);
    });
    poll->start(0);
}

// The child process of fatalErrorEndsWithMinusOne: storage runs out inside
// an event while the loop runs.
int run_out_of_storage() {
    tavrin::set_fatal_error_reporter([](const std::string& message) {
        std::fprintf(stderr, "fatal error shown: %s\n", message.c_str());
    });
    tavrin::testing::RecordingDesktop desktop;
    once_shown([](tavrin::MainWindow&) { throw std::bad_alloc(); });
    const int code = tavrin::run_program(tavrin::testing::kLocalSite, desktop, [](ProgramValue, const ProgramState&) {
        std::printf("released\n");
    });
    std::printf("event loop ended with %d\n", code);
    return code;
}

constexpr const char* kRunOutOfStorage = "--run-out-of-storage";

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void builtStateHoldsNothingYet();
    void releaseInOrder();
    void releaseRightAfterStartUp();
    void closingEndsWithZero_data();
    void closingEndsWithZero();
    void fatalErrorEndsWithMinusOne();
};

void ProgramTest::builtStateHoldsNothingYet() {
    const ProgramState state = tavrin::build_program_state();
    QVERIFY(state.course.lesson_pattern != nullptr);
    QCOMPARE(state.course.lesson_pattern->compiled(), nullptr);
    QCOMPARE(state.course.lesson_pattern->flags(), 1);
    QCOMPARE(held_values(state), (std::vector<bool>{false, false, false, true, false}));
    QCOMPARE(state.course.next_row, 0);
}

void ProgramTest::releaseInOrder() {
    ProgramState state = state_after_a_read();
    QCOMPARE(held_values(state), (std::vector<bool>{true, true, true, true, true}));

    std::vector<ProgramValue> released;
    tavrin::release_program_state(state, [&](ProgramValue value, const ProgramState& seen) {
        released.push_back(value);
        // Everything up to this value is gone, everything after still held.
        std::vector<bool> expected(kReleaseOrder.size(), true);
        for (std::size_t i = 0; i < released.size(); ++i) {
            expected[i] = false;
        }
        QCOMPARE(held_values(seen), expected);
    });

    QCOMPARE(released, kReleaseOrder);
    QCOMPARE(held_values(state), (std::vector<bool>(kReleaseOrder.size(), false)));
    QCOMPARE(state.course.course_page_bytes.capacity(), std::string().capacity());
    QCOMPARE(state.course.next_row, 2);
}

void ProgramTest::releaseRightAfterStartUp() {
    ProgramState state = tavrin::build_program_state();
    std::vector<ProgramValue> released;
    tavrin::release_program_state(state, [&](ProgramValue value, const ProgramState&) { released.push_back(value); });
    QCOMPARE(released, kReleaseOrder);
    QCOMPARE(state.course.lesson_pattern, nullptr);
}

void ProgramTest::closingEndsWithZero_data() {
    QTest::addColumn<QString>("focused");  // empty: the window's close button

    QTest::newRow("close button") << QString();
    for (const char* name : {"超级列表框1", "编辑框1", "按钮_读取", "编辑框2", "按钮_解析1", "编辑框3"}) {
        QTest::newRow(qPrintable(QStringLiteral("Esc in ") + QString::fromUtf8(name))) << QString::fromUtf8(name);
    }
}

void ProgramTest::closingEndsWithZero() {
    QFETCH(QString, focused);

    tavrin::testing::RecordingDesktop desktop;
    QString focusAtStartUp;
    QString urlAtStartUp;
    once_shown([&](tavrin::MainWindow& window) {
        focusAtStartUp = QApplication::focusWidget() == nullptr ? QString() : QApplication::focusWidget()->objectName();
        urlAtStartUp = window.findChild<QLineEdit*>(QStringLiteral("编辑框1"))->text();
        if (focused.isEmpty()) {
            window.close();
            return;
        }
        QWidget* control = window.findChild<QWidget*>(focused);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Escape);
    });
    std::vector<ProgramValue> released;
    const int code = tavrin::run_program(tavrin::testing::kLocalSite, desktop,
                                         [&](ProgramValue value, const ProgramState&) { released.push_back(value); });

    QCOMPARE(code, 0);
    QCOMPARE(released, kReleaseOrder);
    QCOMPARE(focusAtStartUp, QStringLiteral("超级列表框1"));
    QCOMPARE(urlAtStartUp, QStringLiteral("http://127.0.0.1:8080/lesson/897"));
    QCOMPARE(shown_main_window(), nullptr);
    QVERIFY(desktop.messages.empty());
}

void ProgramTest::fatalErrorEndsWithMinusOne() {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kRunOutOfStorage)});
    QVERIFY(child.waitForFinished(60000));

    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 255);  // -1 as a process exit status
    QVERIFY2(child.readAllStandardError().contains("fatal error shown: storage is exhausted"), "no error shown");
    const QByteArray out = child.readAllStandardOutput();
    QVERIFY2(!out.contains("released"), out.constData());
    QVERIFY2(!out.contains("event loop ended"), out.constData());
}

int main(int argc, char** argv) {
    tavrin::Application application(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], kRunOutOfStorage) == 0) {
        return run_out_of_storage();
    }
    ProgramTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "program_test.moc"
