// The whole road through the real window: read a course page from a local
// server, queue lessons, resolve them and copy the addresses.

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <string>

#include "app/handler_wiring.h"
#include "app/main_window.h"
#include "app/program_state.h"
#include "support/local_http_server.h"
#include "support/real_clipboard_desktop.h"

using namespace tavrin;
using tavrin::test::http_response;
using tavrin::test::LocalHttpServer;
using tavrin::testing::RealClipboardDesktop;

namespace {

const std::string kPrefix = "http://res.tavrin.com/resources/";

std::string course_page() {
    std::string page = "<html><body><ul>\n";
    for (int n = 1; n <= 4; ++n) {
        page += "<li><span class=\"kc_ls\">第" + std::to_string(n) + "课</span><a target=\"_blank\" href=\"/lesson/" +
                std::to_string(1000 + n) + "\" class=\"f_l thumbnail\">课程 " + std::to_string(n) +
                "<span>10:00</span></a></li>\n";
    }
    return page + "</ul></body></html>";
}

std::string address(int n) { return kPrefix + "course/" + std::to_string(n) + ".mp4"; }

QPoint row_centre(QTableView* list, int row) { return list->visualRect(list->model()->index(row, 1)).center(); }

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void courseUrlToClipboard() {
        LocalHttpServer server;
        server.set_response("/lesson/897", http_response(200, course_page()));
        for (int n = 1; n <= 4; ++n) {
            server.set_response("/lesson/" + std::to_string(1000 + n),
                                http_response(200, "<a class=\"dl\" href=\"" + address(n) + "\">下载</a>"));
        }
        const Site site{server.origin(), kPrefix};
        RealClipboardDesktop desktop;
        ProgramState state = build_program_state();
        MainWindow window(site, desktop);
        window.setHandlers(make_window_handlers(window.handlerContext(), state, site));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const FormControls& controls = window.controls();

        // The URL box starts with the course page; 读取(&R) lists its lessons.
        QCOMPARE(controls.courseUrlEdit->text(), QString::fromStdString(server.url("/lesson/897")));
        QTest::mouseClick(controls.readButton, Qt::LeftButton);
        QCOMPARE(controls.lessonList->model()->rowCount(), 4);
        QCOMPARE(controls.lessonList->model()->index(2, 1).data().toString(), QStringLiteral("课程 3"));

        // A right click on lesson 4 queues it; lessons 1 and 3 then go by Alt+A.
        QWidget* viewport = controls.lessonList->viewport();
        QTest::mousePress(viewport, Qt::RightButton, {}, row_centre(controls.lessonList, 3));
        QContextMenuEvent menu(QContextMenuEvent::Mouse, row_centre(controls.lessonList, 3),
                               viewport->mapToGlobal(row_centre(controls.lessonList, 3)));
        QApplication::sendEvent(viewport, &menu);
        QTest::mouseRelease(viewport, Qt::RightButton, {}, row_centre(controls.lessonList, 3));
        QTest::mouseClick(viewport, Qt::LeftButton, {}, row_centre(controls.lessonList, 0));
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, row_centre(controls.lessonList, 2));
        QTest::keyClick(controls.lessonList, Qt::Key_A, Qt::AltModifier);
        const QString queue = controls.queueEdit->toPlainText();
        QCOMPARE(queue, QString::fromStdString(server.url("/lesson/1004") + "\n" + server.url("/lesson/1001") + "\n" +
                                               server.url("/lesson/1003") + "\n"));

        // Alt+P resolves the queue, Alt+C copies the results.
        QTest::keyClick(controls.lessonList, Qt::Key_P, Qt::AltModifier);
        QTest::keyClick(controls.lessonList, Qt::Key_C, Qt::AltModifier);
        const std::string expected = address(4) + "\r\n\r\n" + address(1) + "\r\n\r\n" + address(3) + "\r\n\r\n";
        QCOMPARE(QGuiApplication::clipboard()->text().toStdString(), expected);
        QCOMPARE(desktop.messages,
                 (QStringList{QStringLiteral("解析完毕!  "), QStringLiteral("下载地址已复制到剪切板!  ")}));

        // One course page and three lesson pages, all in the one request shape.
        const auto requests = server.requests();
        QCOMPARE(requests.size(), size_t{4});
        for (const auto& request : requests) {
            QCOMPARE(request.method, std::string("GET"));
            QCOMPARE(request.version, std::string("HTTP/1.0"));
            QCOMPARE(request.header("User-Agent").value_or(""),
                     std::string("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"));
            QCOMPARE(request.header_count("Accept"), size_t{1});
            QCOMPARE(request.header("Accept").value_or(""), std::string("*/*"));
        }
    }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
