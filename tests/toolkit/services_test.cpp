// The toolkit services: message captions, the clipboard, control texts,
// appending to an edit box and opening a URL.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <optional>

#include "support/recording_desktop.h"
#include "toolkit/services.h"
#include "gb18030.h"

Q_DECLARE_METATYPE(tavrin::Text)
Q_DECLARE_METATYPE(std::optional<tavrin::Text>)

using tavrin::Text;
using tavrin::testing::gb;
using tavrin::testing::RecordingDesktop;

namespace {

// What a real message box showed before the test closed it.
struct ShownBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::WindowModality modality = Qt::NonModal;
    bool hasParent = true;
    bool seen = false;
};

// Watches for the modal box that the code under test opens, notes what it
// shows and presses its OK button, as the user would.
void close_next_message_box(ShownBox& shown) {
    auto* watcher = new QTimer(qApp);
    QObject::connect(watcher, &QTimer::timeout, watcher, [watcher, &shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        shown.text = box->text();
        shown.title = box->windowTitle();
        shown.icon = box->icon();
        shown.buttons = box->standardButtons();
        shown.modality = box->windowModality();
        shown.hasParent = box->parentWidget() != nullptr;
        shown.seen = true;
        box->button(QMessageBox::Ok)->click();
        watcher->deleteLater();
        watcher->stop();
    });
    watcher->start(0);
}

}  // namespace

class ServicesTest : public QObject {
    Q_OBJECT

private slots:
    void showMessageCaptions_data();
    void showMessageCaptions();
    void realMessageBox_data();
    void realMessageBox();
    void clipboardRoundTrip_data();
    void clipboardRoundTrip();
    void openUrlGoesThroughTheDesktop();
    void controlTextRoundTrip_data();
    void controlTextRoundTrip();
    void typedLinesComeBackWithCrLf();
    void appendEditText_data();
    void appendEditText();
    void appendedTextCannotBeUndone();
    void appendScrollsToTheEnd();
};

void ServicesTest::showMessageCaptions_data() {
    QTest::addColumn<Text>("text");
    QTest::addColumn<std::optional<Text>>("caption");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<QString>("shownCaption");

    QTest::newRow("no caption gives the default")
        << gb("请输入视频页面所在的地址!  ") << std::optional<Text>() << QStringLiteral("请输入视频页面所在的地址!  ")
        << QStringLiteral("信息：");
    QTest::newRow("the empty caption gives an empty title")
        << gb("请在上面的超级列表框中右击需要分析的列表!  ") << std::optional<Text>(Text())
        << QStringLiteral("请在上面的超级列表框中右击需要分析的列表!  ") << QString();
    QTest::newRow("a given caption is used as it is")
        << gb("解析完毕!  ") << std::optional<Text>(gb("提示")) << QStringLiteral("解析完毕!  ") << QStringLiteral("提示");
    QTest::newRow("the empty text gives an empty body")
        << Text() << std::optional<Text>() << QString() << QStringLiteral("信息：");
    QTest::newRow("bytes that are not GB18030 still show the rest")
        << Text("ok \xFF end") << std::optional<Text>() << QStringLiteral("ok \uFFFD end") << QStringLiteral("信息：");
}

void ServicesTest::showMessageCaptions() {
    QFETCH(Text, text);
    QFETCH(std::optional<Text>, caption);
    QFETCH(QString, shownText);
    QFETCH(QString, shownCaption);

    RecordingDesktop desktop;
    tavrin::show_message(desktop, text, 64, caption);

    QCOMPARE(desktop.messages.size(), std::size_t{1});
    QCOMPARE(desktop.messages[0].text, shownText);
    QCOMPARE(desktop.messages[0].caption, shownCaption);
    QVERIFY(desktop.clipboardTexts.isEmpty());
    QVERIFY(desktop.openedUrls.isEmpty());
}

void ServicesTest::realMessageBox_data() {
    QTest::addColumn<std::optional<Text>>("caption");
    QTest::addColumn<QString>("title");

    QTest::newRow("default caption") << std::optional<Text>() << QStringLiteral("信息：");
    // A blank title: desktops replace an empty one by the program's name.
    QTest::newRow("empty caption") << std::optional<Text>(Text()) << QStringLiteral(" ");
}

void ServicesTest::realMessageBox() {
    QFETCH(std::optional<Text>, caption);
    QFETCH(QString, title);

    // The default caption ends in the full-width colon, bytes A3 BA.
    QVERIFY(tavrin::kDefaultMessageCaption.ends_with("\xA3\xBA"));

    QWidget mainWindow;
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));

    ShownBox shown;
    close_next_message_box(shown);
    tavrin::QtDesktop desktop;
    tavrin::show_message(desktop, gb("下载地址已复制到剪切板!  "), 64, caption);

    QVERIFY(shown.seen);
    QCOMPARE(shown.text, QStringLiteral("下载地址已复制到剪切板!  "));
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.icon, QMessageBox::Information);
    QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(shown.modality, Qt::ApplicationModal);
    QVERIFY(!shown.hasParent);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void ServicesTest::clipboardRoundTrip_data() {
    QTest::addColumn<Text>("text");

    QTest::newRow("Chinese and a link") << gb("第1课 入门\r\nhttp://res.tavrin.com/resources/课程/1.mp4\r\n\r\n");
    QTest::newRow("the empty text") << Text();
    QTest::newRow("four-byte GB18030") << gb("𠀀 and € and ·");
}

void ServicesTest::clipboardRoundTrip() {
    QFETCH(Text, text);

    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("what was there before"));

    tavrin::QtDesktop desktop;
    QVERIFY(tavrin::set_clipboard_text(desktop, text));

    const QString held = clipboard->text();
    QCOMPARE(held, tavrin::text_to_qstring(text));
    QCOMPARE(tavrin::qstring_to_text(held), text);
}

void ServicesTest::openUrlGoesThroughTheDesktop() {
    RecordingDesktop desktop;
    tavrin::open_url(desktop, "http://127.0.0.1:8080/lesson");
    tavrin::open_url(desktop, gb("http://www.tavrin.com/课程?名=值"));

    QCOMPARE(desktop.openedUrls,
             QStringList({QStringLiteral("http://127.0.0.1:8080/lesson"), QStringLiteral("http://www.tavrin.com/课程?名=值")}));
    QVERIFY(desktop.messages.empty());
}

void ServicesTest::controlTextRoundTrip_data() {
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<Text>("text");
    QTest::addColumn<Text>("readBack");
    QTest::addColumn<int>("lines");

    const Text longChinese = gb(QString(300, QChar(0x8BFE)).toStdString());  // 600 bytes of 课
    QTest::newRow("line edit, Chinese") << false << gb("http://www.tavrin.com/课程") << gb("http://www.tavrin.com/课程") << 1;
    QTest::newRow("line edit, empty") << false << Text() << Text() << 1;
    QTest::newRow("line edit, 600 bytes") << false << longChinese << longChinese << 1;
    QTest::newRow("box, two lines") << true << Text("a\r\nb") << Text("a\r\nb") << 2;
    QTest::newRow("box, final line end kept") << true << Text("a\r\nb\r\n") << Text("a\r\nb\r\n") << 3;
    QTest::newRow("box, empty lines") << true << Text("\r\n\r\n") << Text("\r\n\r\n") << 3;
    QTest::newRow("box, empty") << true << Text() << Text() << 1;
    QTest::newRow("box, Chinese lines") << true << gb("第一行\r\n第二行") << gb("第一行\r\n第二行") << 2;
    QTest::newRow("box, lone line feeds are line ends") << true << Text("a\nb\rc") << Text("a\r\nb\r\nc") << 3;
    QTest::newRow("box, no-break space kept") << true << gb("a\u00A0b") << gb("a\u00A0b") << 1;
}

void ServicesTest::controlTextRoundTrip() {
    QFETCH(bool, multiLine);
    QFETCH(Text, text);
    QFETCH(Text, readBack);
    QFETCH(int, lines);

    QLineEdit line;
    QPlainTextEdit box;
    QWidget* control = multiLine ? static_cast<QWidget*>(&box) : static_cast<QWidget*>(&line);
    tavrin::set_control_text(control, "something to replace");
    tavrin::set_control_text(control, text);

    QCOMPARE(tavrin::get_control_text(control), readBack);
    if (multiLine) {
        QCOMPARE(box.document()->blockCount(), lines);
    }
}

void ServicesTest::typedLinesComeBackWithCrLf() {
    QPlainTextEdit box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::keyClicks(&box, "first");
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClicks(&box, "second");
    QTest::keyClick(&box, Qt::Key_Return);

    QCOMPARE(tavrin::get_control_text(&box), Text("first\r\nsecond\r\n"));
    QCOMPARE(tavrin::get_control_text(nullptr), Text());
    QPushButton notAnEditBox(QStringLiteral("text"));
    QCOMPARE(tavrin::get_control_text(&notAnEditBox), Text());
}

void ServicesTest::appendEditText_data() {
    QTest::addColumn<Text>("before");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionEnd");
    QTest::addColumn<Text>("appended");

    QTest::newRow("empty box") << Text() << 0 << 0 << Text("http://www.tavrin.com/lesson/900\r\n");
    QTest::newRow("selection in the middle")
        << Text("http://a/1\r\nhttp://b/2\r\n") << 3 << 14 << Text("http://c/3\r\n");
    QTest::newRow("caret at the start, no line end before")
        << gb("课程一") << 0 << 0 << gb("课程二\r\n");
    QTest::newRow("an empty line") << Text("x\r\n") << 1 << 1 << Text("\r\n");
}

void ServicesTest::appendEditText() {
    QFETCH(Text, before);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionEnd);
    QFETCH(Text, appended);

    QPlainTextEdit box;
    tavrin::set_control_text(&box, before);
    QTextCursor selection(box.document());
    selection.setPosition(selectionStart);
    selection.setPosition(selectionEnd, QTextCursor::KeepAnchor);
    box.setTextCursor(selection);

    tavrin::append_edit_text(&box, appended);

    QCOMPARE(tavrin::get_control_text(&box), before + appended);
    QVERIFY(!box.textCursor().hasSelection());
    QCOMPARE(box.textCursor().position(), box.document()->characterCount() - 1);
}

void ServicesTest::appendedTextCannotBeUndone() {
    QPlainTextEdit box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::keyClicks(&box, "typed");
    QVERIFY(box.document()->isUndoAvailable());

    tavrin::append_edit_text(&box, "\r\nadded\r\n");
    QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(tavrin::get_control_text(&box), Text("typed\r\nadded\r\n"));

    // What the user types afterwards can be undone as usual.
    QTest::keyClicks(&box, "more");
    QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(tavrin::get_control_text(&box), Text("typed\r\nadded\r\n"));
}

void ServicesTest::appendScrollsToTheEnd() {
    QPlainTextEdit box;
    box.resize(300, 100);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    Text many;
    for (int line = 0; line < 200; ++line) {
        many += "line\r\n";
    }
    tavrin::set_control_text(&box, many);
    box.moveCursor(QTextCursor::Start);
    box.verticalScrollBar()->setValue(0);
    QVERIFY(box.verticalScrollBar()->maximum() > 0);

    QTextCursor end(box.document());
    end.movePosition(QTextCursor::End);
    QVERIFY(!box.viewport()->rect().contains(box.cursorRect(end)));

    tavrin::append_edit_text(&box, "last\r\n");

    // The caret, after the appended text, is in view.
    QVERIFY(box.verticalScrollBar()->value() > 0);
    QVERIFY(box.viewport()->rect().contains(box.cursorRect()));
    QCOMPARE(tavrin::get_control_text(&box), many + "last\r\n");
}

QTEST_MAIN(ServicesTest)
#include "services_test.moc"
