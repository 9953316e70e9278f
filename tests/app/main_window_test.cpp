// The main window: its controls, keyboard rules, event wiring and the two
// shortcuts of the course URL box.

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <vector>

#include "toolkit/lesson_list.h"
#include "toolkit/services.h"
#include "window_fixture.h"

using tavrin::MainWindow;
using tavrin::Text;
using tavrin::testing::ShownWindow;

namespace {

const char* const kTabOrder[] = {"超级列表框1", "编辑框1", "按钮_读取", "编辑框2",
                                 "按钮_解析",   "编辑框3", "按钮_读取1", "按钮_解析1"};

QString form_name(const QWidget* widget) {
    return widget == nullptr ? QStringLiteral("(none)") : widget->objectName();
}

QString visible_text(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->text();
    }
    if (const auto* line = qobject_cast<const QLineEdit*>(control)) {
        return line->text();
    }
    if (const auto* box = qobject_cast<const QPlainTextEdit*>(control)) {
        return box->toPlainText();
    }
    return {};
}

// A double-click as a desktop delivers it: press, release, double-click,
// release.
void double_click(QWidget* widget, QPoint at) {
    QTest::mousePress(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

void fill_list(QTableView* list, int rows) {
    for (int row = 0; row < rows; ++row) {
        tavrin::list_insert_row(list, row, std::to_string(row));
        tavrin::list_set_cell_text(list, row, 2, "http://127.0.0.1:8080/lesson/" + std::to_string(row));
    }
}

QPoint row_centre(const QTableView* list, int row) {
    return list->visualRect(list->model()->index(row, 0)).center();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void controlTable_data();
    void controlTable();
    void labelsAndBoxes();
    void windowFrameAndPlace();
    void listHasTheFocusAtStartUp();
    void tabOrder_data();
    void tabOrder();
    void tabSkipsADisabledControl();
    void keysOfADisabledControlPassUnfiltered();
    void enterClicksNothing_data();
    void enterClicksNothing();
    void enterStartsALineInTheQueue();
    void altShortcuts_data();
    void altShortcuts();
    void altShortcutsNeedTheirButton();
    void buttonsByMouseAndSpace_data();
    void buttonsByMouseAndSpace();
    void urlBoxLeftPressEmptiesIt();
    void urlBoxDoubleClickOpensTheLessonIndex();
    void urlBoxKeepsItsTextOtherwise();
    void listRightClick_data();
    void listRightClick();
    void listDoubleClickComesFirst();
    void focusReturnsOnActivation();
};

void MainWindowTest::controlTable_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");

    const auto row = [](const char* name, const char* kind, QRect geometry, const QString& text) {
        QTest::newRow(name) << QString::fromUtf8(name) << QString::fromLatin1(kind) << geometry << text;
    };
    row("标签1", "QLabel", {10, 10, 200, 20}, QStringLiteral("①请输入课程所在页面网址"));
    row("编辑框1", "QLineEdit", {10, 35, 230, 20}, QStringLiteral("http://127.0.0.1:8080/lesson/897"));
    row("按钮_读取", "QPushButton", {250, 35, 60, 20}, QStringLiteral("读取(&R)"));
    row("标签2", "QLabel", {10, 70, 200, 20}, QStringLiteral("②右击添加需要解析的列表"));
    row("按钮_读取1", "QPushButton", {250, 70, 60, 20}, QStringLiteral("添加(&A)"));
    row("超级列表框1", "QTableView", {10, 95, 300, 150}, QString());
    row("标签3", "QLabel", {10, 260, 200, 20}, QStringLiteral("③等待解析的列表："));
    row("按钮_解析", "QPushButton", {250, 260, 60, 20}, QStringLiteral("解析(&P)"));
    row("编辑框2", "QPlainTextEdit", {10, 285, 300, 100}, QString());
    row("标签4", "QLabel", {325, 10, 200, 20}, QStringLiteral("④解析结果："));
    row("按钮_解析1", "QPushButton", {565, 10, 60, 20}, QStringLiteral("复制(&C)"));
    row("编辑框3", "QPlainTextEdit", {325, 34, 300, 350}, QString());
}

void MainWindowTest::controlTable() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);

    ShownWindow shown;
    const QList<QWidget*> found = shown.window->findChildren<QWidget*>(name);
    QCOMPARE(found.size(), 1);
    QWidget* control = found.front();
    QVERIFY2(control->inherits(kind.toLatin1().constData()), control->metaObject()->className());
    QCOMPARE(control->parentWidget(), shown.window.get());
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(visible_text(control), text);
    QVERIFY(control->isVisible());
    QVERIFY(control->isEnabled());
    // Labels take no focus; every other control takes it with Tab.
    QCOMPARE((control->focusPolicy() & Qt::TabFocus) != 0, kind != QStringLiteral("QLabel"));
    QVERIFY(shown.window->rect().contains(control->geometry()));
}

void MainWindowTest::labelsAndBoxes() {
    ShownWindow shown;
    for (const char* name : {"标签1", "标签2", "标签3", "标签4"}) {
        const auto* label = shown.control<QLabel>(name);
        QVERIFY(label != nullptr);
        QCOMPARE(label->alignment(), Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        QVERIFY(!label->wordWrap());
        const QColor expected = qstrcmp(name, "标签4") == 0 ? QColor(255, 0, 0) : QColor(0, 0, 0);
        QCOMPARE(label->palette().color(QPalette::WindowText), expected);
    }
    for (const char* name : {"编辑框2", "编辑框3"}) {
        const auto* box = shown.control<QPlainTextEdit>(name);
        QCOMPARE(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(box->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
        QVERIFY(box->tabChangesFocus());
        QVERIFY(!box->isReadOnly());
        QCOMPARE(box->frameShadow(), QFrame::Sunken);
    }
    const auto* urlBox = shown.control<QLineEdit>("编辑框1");
    QVERIFY(urlBox->hasFrame());
    QCOMPARE(urlBox->echoMode(), QLineEdit::Normal);
    QVERIFY(urlBox->maxLength() > 100000);
    for (const char* name : {"按钮_读取", "按钮_读取1", "按钮_解析", "按钮_解析1"}) {
        const auto* button = shown.control<QPushButton>(name);
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
    const auto* list = shown.control<QTableView>("超级列表框1");
    QCOMPARE(list->horizontalHeader()->sectionSize(0), 80);
    QCOMPARE(list->horizontalHeader()->sectionSize(1), 220);
    QCOMPARE(list->horizontalHeader()->sectionSize(2), 0);
    QVERIFY(!list->horizontalHeader()->isSectionHidden(2));
    QCOMPARE(list->model()->rowCount(), 0);
}

void MainWindowTest::windowFrameAndPlace() {
    ShownWindow shown;
    MainWindow& window = *shown.window;
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.windowTitle(), QStringLiteral("Tavrin -> 课程地址解析"));
    QVERIFY(!window.windowIcon().pixmap(32, 32).isNull());
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags.testFlag(Qt::Window));
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowStaysOnTopHint));

    // Fixed: the client size cannot change, and with the frame the desktop
    // draws the window measures 646 x 432, centred on its screen.
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.size(), window.minimumSize());
    const QRect outer = window.frameGeometry();
    QCOMPARE(outer.size(), QSize(646, 432));
    const QRect screen = window.screen()->geometry();
    QCOMPARE(outer.topLeft(), QPoint(screen.left() + (screen.width() - 646) / 2,
                                     screen.top() + (screen.height() - 432) / 2));
    // Every control fits into the client area.
    QVERIFY(window.rect().contains(window.childrenRect()));
}

void MainWindowTest::listHasTheFocusAtStartUp() {
    ShownWindow shown;
    QVERIFY(shown.activate());
    QCOMPARE(form_name(QApplication::focusWidget()), QStringLiteral("超级列表框1"));
    // So a first Tab goes to the URL box.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(form_name(QApplication::focusWidget()), QStringLiteral("编辑框1"));
}

void MainWindowTest::tabOrder_data() {
    QTest::addColumn<bool>("forward");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");

    QTest::newRow("Tab") << true << int(Qt::Key_Tab) << int(Qt::NoModifier);
    QTest::newRow("Shift+Tab as a desktop reports it") << false << int(Qt::Key_Backtab) << int(Qt::ShiftModifier);
    QTest::newRow("Shift+Tab as Tab with Shift") << false << int(Qt::Key_Tab) << int(Qt::ShiftModifier);
}

void MainWindowTest::tabOrder() {
    QFETCH(bool, forward);
    QFETCH(int, key);
    QFETCH(int, modifiers);

    ShownWindow shown;
    QVERIFY(shown.activate());
    const int count = static_cast<int>(std::size(kTabOrder));
    // Twice round, from the list, so that both ends wrap.
    QStringList visited;
    QStringList expected;
    for (int step = 1; step <= 2 * count; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        visited << form_name(QApplication::focusWidget());
        const int position = ((forward ? step : -step) % count + count) % count;
        expected << QString::fromUtf8(kTabOrder[position]);
    }
    QCOMPARE(visited, expected);
    QCOMPARE(shown.totalCalls(), 0);
    QVERIFY(shown.window->isVisible());
}

void MainWindowTest::tabSkipsADisabledControl() {
    ShownWindow shown;
    QVERIFY(shown.activate());
    shown.control("按钮_读取")->setEnabled(false);
    shown.control("编辑框1")->setFocus();

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(form_name(QApplication::focusWidget()), QStringLiteral("编辑框2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(form_name(QApplication::focusWidget()), QStringLiteral("编辑框1"));
}

void MainWindowTest::keysOfADisabledControlPassUnfiltered() {
    ShownWindow shown;
    QVERIFY(shown.activate());
    QWidget* queue = shown.control("编辑框2");
    queue->setEnabled(false);

    QTest::keyClick(queue, Qt::Key_R, Qt::AltModifier);
    QTest::keyClick(queue, Qt::Key_Escape);

    QCOMPARE(shown.totalCalls(), 0);
    QVERIFY(shown.window->isVisible());
}

void MainWindowTest::enterClicksNothing_data() {
    QTest::addColumn<QString>("focused");
    QTest::addColumn<int>("key");

    for (const char* name : {"编辑框1", "按钮_读取", "按钮_解析1", "超级列表框1"}) {
        QTest::newRow(qPrintable(QString::fromUtf8(name) + QStringLiteral(", Return")))
            << QString::fromUtf8(name) << int(Qt::Key_Return);
        QTest::newRow(qPrintable(QString::fromUtf8(name) + QStringLiteral(", Enter")))
            << QString::fromUtf8(name) << int(Qt::Key_Enter);
    }
}

void MainWindowTest::enterClicksNothing() {
    QFETCH(QString, focused);
    QFETCH(int, key);

    ShownWindow shown;
    QVERIFY(shown.activate());
    QWidget* control = shown.window->findChild<QWidget*>(focused);
    control->setFocus();
    const Text urlBefore = tavrin::get_control_text(shown.control("编辑框1"));

    QTest::keyClick(control, Qt::Key(key));

    QCOMPARE(form_name(QApplication::focusWidget()), focused);
    QCOMPARE(shown.totalCalls(), 0);
    QCOMPARE(tavrin::get_control_text(shown.control("编辑框1")), urlBefore);
    QVERIFY(shown.window->isVisible());
}

void MainWindowTest::enterStartsALineInTheQueue() {
    ShownWindow shown;
    QVERIFY(shown.activate());
    for (const char* name : {"编辑框2", "编辑框3"}) {
        QWidget* box = shown.control(name);
        box->setFocus();
        QTest::keyClicks(box, "http://a/1");
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, "http://a/2");
        QCOMPARE(tavrin::get_control_text(box), Text("http://a/1\r\nhttp://a/2"));
        QCOMPARE(form_name(QApplication::focusWidget()), QString::fromUtf8(name));
    }
    QCOMPARE(shown.totalCalls(), 0);
}

void MainWindowTest::altShortcuts_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("handler");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("focused");

    const struct {
        Qt::Key key;
        const char* handler;
        const char* button;
    } shortcuts[] = {{Qt::Key_R, "read", "按钮_读取"},
                     {Qt::Key_A, "add", "按钮_读取1"},
                     {Qt::Key_P, "parse", "按钮_解析"},
                     {Qt::Key_C, "copy", "按钮_解析1"}};
    for (const auto& shortcut : shortcuts) {
        for (const char* focused : {"超级列表框1", "编辑框1", "编辑框3", "按钮_读取1"}) {
            QTest::newRow(qPrintable(QStringLiteral("Alt+%1 from %2")
                                         .arg(QKeySequence(shortcut.key).toString(), QString::fromUtf8(focused))))
                << int(shortcut.key) << QString::fromLatin1(shortcut.handler) << QString::fromUtf8(shortcut.button)
                << QString::fromUtf8(focused);
        }
    }
}

void MainWindowTest::altShortcuts() {
    QFETCH(int, key);
    QFETCH(QString, handler);
    QFETCH(QString, button);
    QFETCH(QString, focused);

    ShownWindow shown;
    QVERIFY(shown.activate());
    auto* pressed = shown.window->findChild<QPushButton*>(button);
    QWidget* control = shown.window->findChild<QWidget*>(focused);
    control->setFocus();
    const Text textBefore = tavrin::get_control_text(control);

    // The handler runs with the button not drawn pressed.
    bool drawnPressed = false;
    tavrin::WindowHandlers handlers;
    const auto count = [&](const char* name) {
        return [&, name] {
            ++shown.calls[name];
            drawnPressed = drawnPressed || pressed->isDown();
        };
    };
    handlers.read = count("read");
    handlers.add = count("add");
    handlers.parse = count("parse");
    handlers.copy = count("copy");
    shown.window->setHandlers(handlers);

    QTest::keyClick(control, Qt::Key(key), Qt::AltModifier);

    QCOMPARE(shown.callsOf(handler.toStdString()), 1);
    QCOMPARE(shown.totalCalls(), 1);
    QVERIFY(!drawnPressed);
    QCOMPARE(form_name(QApplication::focusWidget()), focused);
    // The letter went nowhere else.
    QCOMPARE(tavrin::get_control_text(control), textBefore);
}

void MainWindowTest::altShortcutsNeedTheirButton() {
    ShownWindow shown;
    QVERIFY(shown.activate());
    QWidget* queue = shown.control("编辑框2");
    queue->setFocus();

    // A letter that no caption marks, and a marked letter with Shift or Ctrl.
    QTest::keyClick(queue, Qt::Key_X, Qt::AltModifier);
    QTest::keyClick(queue, Qt::Key_R, Qt::AltModifier | Qt::ShiftModifier);
    QTest::keyClick(queue, Qt::Key_R, Qt::AltModifier | Qt::ControlModifier);
    QCOMPARE(shown.totalCalls(), 0);

    // A disabled or hidden button is not clicked.
    shown.control("按钮_读取")->setEnabled(false);
    shown.control("按钮_解析1")->hide();
    QTest::keyClick(queue, Qt::Key_R, Qt::AltModifier);
    QTest::keyClick(queue, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(shown.totalCalls(), 0);
    QTest::keyClick(queue, Qt::Key_P, Qt::AltModifier);
    QCOMPARE(shown.callsOf("parse"), 1);
}

void MainWindowTest::buttonsByMouseAndSpace_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("handler");

    QTest::newRow("读取") << QStringLiteral("按钮_读取") << QStringLiteral("read");
    QTest::newRow("添加") << QStringLiteral("按钮_读取1") << QStringLiteral("add");
    QTest::newRow("解析") << QStringLiteral("按钮_解析") << QStringLiteral("parse");
    QTest::newRow("复制") << QStringLiteral("按钮_解析1") << QStringLiteral("copy");
}

void MainWindowTest::buttonsByMouseAndSpace() {
    QFETCH(QString, button);
    QFETCH(QString, handler);

    ShownWindow shown;
    QVERIFY(shown.activate());
    auto* clicked = shown.window->findChild<QPushButton*>(button);

    QTest::mouseClick(clicked, Qt::LeftButton);
    QCOMPARE(shown.callsOf(handler.toStdString()), 1);
    QCOMPARE(QApplication::focusWidget(), clicked);

    QTest::keyClick(clicked, Qt::Key_Space);
    QCOMPARE(shown.callsOf(handler.toStdString()), 2);
    QCOMPARE(shown.totalCalls(), 2);
}

void MainWindowTest::urlBoxLeftPressEmptiesIt() {
    ShownWindow shown;
    QVERIFY(shown.activate());
    auto* urlBox = shown.control<QLineEdit>("编辑框1");
    QCOMPARE(urlBox->text(), QStringLiteral("http://127.0.0.1:8080/lesson/897"));

    QTest::mouseClick(urlBox, Qt::LeftButton, {}, QPoint(40, 10));
    QCOMPARE(urlBox->text(), QString());
    // The box handled the press after it was emptied: it has the focus.
    QCOMPARE(QApplication::focusWidget(), urlBox);

    // Typing a URL and clicking into it to correct it empties it again.
    QTest::keyClicks(urlBox, "http://127.0.0.1:8080/lesson/12");
    QCOMPARE(urlBox->text(), QStringLiteral("http://127.0.0.1:8080/lesson/12"));
    QTest::mouseClick(urlBox, Qt::LeftButton, {}, QPoint(60, 10));
    QCOMPARE(urlBox->text(), QString());
    QVERIFY(shown.desktop.openedUrls.isEmpty());
    QCOMPARE(shown.totalCalls(), 0);
}

void MainWindowTest::urlBoxDoubleClickOpensTheLessonIndex() {
    ShownWindow shown;
    QVERIFY(shown.activate());
    auto* urlBox = shown.control<QLineEdit>("编辑框1");

    double_click(urlBox, QPoint(40, 10));

    QCOMPARE(urlBox->text(), QString());
    QCOMPARE(shown.desktop.openedUrls, QStringList{QStringLiteral("http://127.0.0.1:8080/lesson")});
    QVERIFY(shown.desktop.messages.empty());
    QCOMPARE(shown.totalCalls(), 0);
}

void MainWindowTest::urlBoxKeepsItsTextOtherwise() {
    ShownWindow shown;
    QVERIFY(shown.activate());
    auto* urlBox = shown.control<QLineEdit>("编辑框1");
    const QString url = QStringLiteral("http://127.0.0.1:8080/lesson/897");

    // Focus by Tab from the list.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), urlBox);
    QCOMPARE(urlBox->text(), url);

    // A right press, and a middle one.
    QTest::mouseClick(urlBox, Qt::RightButton, {}, QPoint(40, 10));
    QTest::mouseClick(urlBox, Qt::MiddleButton, {}, QPoint(40, 10));
    QCOMPARE(urlBox->text(), url);
    QVERIFY(shown.desktop.openedUrls.isEmpty());
}

void MainWindowTest::listRightClick_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<std::vector<int>>("selectedBefore");
    QTest::addColumn<int>("clickedRow");  // -1: empty space below the rows
    QTest::addColumn<int>("firstSelectedInHandler");

    QTest::newRow("a row while none is selected") << 5 << std::vector<int>{} << 4 << 4;
    QTest::newRow("one of three selected rows") << 5 << std::vector<int>{1, 2, 4} << 4 << 1;
    QTest::newRow("an unselected row among selected ones") << 5 << std::vector<int>{1, 2} << 3 << 3;
    QTest::newRow("empty space") << 2 << std::vector<int>{1} << -1 << -1;
}

void MainWindowTest::listRightClick() {
    QFETCH(int, rows);
    QFETCH(std::vector<int>, selectedBefore);
    QFETCH(int, clickedRow);
    QFETCH(int, firstSelectedInHandler);

    ShownWindow shown;
    QVERIFY(shown.activate());
    auto* list = shown.control<QTableView>("超级列表框1");
    fill_list(list, rows);
    for (const int row : selectedBefore) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, row_centre(list, row));
    }
    std::vector<int> seen;
    tavrin::WindowHandlers handlers;
    handlers.listRightClicked = [&] { seen.push_back(tavrin::list_first_selected_row(list)); };
    handlers.listDoubleClicked = [&] { seen.push_back(-100); };
    shown.window->setHandlers(handlers);

    const QPoint at = clickedRow >= 0 ? row_centre(list, clickedRow) : QPoint(20, list->viewport()->height() - 4);
    QCOMPARE(list->indexAt(at).row(), clickedRow);
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &request);
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, at);

    QCOMPARE(seen, std::vector<int>{firstSelectedInHandler});
}

void MainWindowTest::listDoubleClickComesFirst() {
    ShownWindow shown;
    QVERIFY(shown.activate());
    auto* list = shown.control<QTableView>("超级列表框1");
    fill_list(list, 5);

    QStringList order;
    int selectedInHandler = -2;
    tavrin::WindowHandlers handlers;
    handlers.listDoubleClicked = [&] {
        order << QStringLiteral("handler");
        selectedInHandler = tavrin::list_first_selected_row(list);
    };
    shown.window->setHandlers(handlers);
    connect(list, &QAbstractItemView::doubleClicked, list, [&] { order << QStringLiteral("list"); });

    double_click(list->viewport(), row_centre(list, 3));

    QCOMPARE(order, QStringList({QStringLiteral("handler"), QStringLiteral("list")}));
    QCOMPARE(selectedInHandler, 3);
    QCOMPARE(tavrin::get_control_text(shown.control("编辑框2")), Text());
}

void MainWindowTest::focusReturnsOnActivation() {
    ShownWindow shown;
    QVERIFY(shown.activate());
    QWidget* queue = shown.control("编辑框2");
    queue->setFocus();
    QCOMPARE(QApplication::focusWidget(), queue);

    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(QApplication::focusWidget() != queue);

    QVERIFY(shown.activate());
    QCOMPARE(QApplication::focusWidget(), queue);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
