// 读取(&R) through the real handler, the real lesson list and a local server.

#include <QEvent>
#include <QKeyEvent>
#include <QProgressBar>
#include <QTest>

#include <string>
#include <vector>

#include "listing/read_course_page.h"
#include "support/handler_form.h"
#include "support/local_http_server.h"
#include "support/progress_dialog_watch.h"
#include "support/refusing_port.h"
#include "text/display_encoding.h"

using namespace tavrin;
using tavrin::test::http_response;
using tavrin::test::LocalHttpServer;
using tavrin::test::Route;
using tavrin::testing::HandlerForm;
using tavrin::testing::when_progress_dialog_shows;

namespace {

const std::string kPrefix = "http://res.tavrin.com/resources/";

std::string lesson_entry(const std::string& number, const std::string& path, const std::string& title) {
    return "<li><span class=\"kc_ls\">" + number + "</span><a target=\"_blank\" href=\"" + path +
           "\" class=\"f_l thumbnail\">" + title + "<span>12:30</span></a></li>\n";
}

QString cell(const HandlerForm& form, int row, int column) {
    return form.lessonList->model()->index(row, column).data().toString();
}

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++count;
        }
        return false;
    }
};

}  // namespace

class ReadCoursePageTest : public QObject {
    Q_OBJECT

private slots:
    void emptyUrlShowsItsMessageAndChangesNothing() {
        LocalHttpServer server;
        HandlerForm form;
        CourseListingState state;
        state.course_page_bytes = "kept";
        form.setCourseUrl("");
        read_course_page(form.context, state, Site{server.origin(), kPrefix});

        QCOMPARE(form.desktop.messages.size(), size_t{1});
        QCOMPARE(form.desktop.messages[0].text, QStringLiteral("请输入视频页面所在的地址!  "));
        QCOMPARE(form.desktop.messages[0].caption, QStringLiteral("信息："));
        QCOMPARE(state.course_page_bytes, std::string("kept"));
        QCOMPARE(form.lessonList->model()->rowCount(), 0);
        QCOMPARE(server.request_count(), size_t{0});
    }

    void literalLessonGivesOneRowAndNoMessage() {
        LocalHttpServer server;
        server.set_response("/lesson/897", http_response(200, "<span class=\"kc_ls\">12</span><a target=\"_blank\" "
                                                              "href=\"/lesson/900\" class=\"f_l thumbnail\">Intro<span>"));
        HandlerForm form;
        CourseListingState state;
        const Site site{server.origin(), kPrefix};
        form.setCourseUrl(server.url("/lesson/897"));
        read_course_page(form.context, state, site);

        QCOMPARE(form.lessonList->model()->rowCount(), 1);
        QCOMPARE(list_get_cell_text(form.lessonList, 0, 0), Text("12"));
        QCOMPARE(list_get_cell_text(form.lessonList, 0, 1), Text("Intro"));
        QCOMPARE(list_get_cell_text(form.lessonList, 0, 2), server.origin() + "/lesson/900");
        QCOMPARE(state.next_row, 1);
        QVERIFY(form.desktop.messages.empty());
    }

    void chineseCoursePageShowsItsTitlesInTheList() {
        LocalHttpServer server;
        const std::string page = "<html><head><meta charset=\"utf-8\"><title>课程</title></head><body><ul>\n" +
                                 lesson_entry("第1课", "/lesson/1001", "入门：环境与工具") +
                                 lesson_entry("第2课", "/lesson/1002", "变量 &amp; 类型") +
                                 lesson_entry("第3课", "/lesson/1003", "函数\r\n与作用域") + "</ul></body></html>";
        server.set_response("/course/5", http_response(200, page));
        HandlerForm form;
        CourseListingState state;
        form.setCourseUrl(server.url("/course/5"));
        read_course_page(form.context, state, Site{server.origin(), kPrefix});

        QCOMPARE(form.lessonList->model()->rowCount(), 3);
        QCOMPARE(cell(form, 0, 0), QStringLiteral("第1课"));
        QCOMPARE(cell(form, 0, 1), QStringLiteral("入门：环境与工具"));
        QCOMPARE(cell(form, 1, 1), QStringLiteral("变量 &amp; 类型"));  // entities stay as written
        QCOMPARE(list_get_cell_text(form.lessonList, 2, 1), utf8_to_gb18030("函数\r\n与作用域"));
        QCOMPARE(cell(form, 2, 2), QString::fromStdString(server.origin() + "/lesson/1003"));
        QVERIFY(form.desktop.messages.empty());
    }

    void twoReadsListEveryLessonTwiceInPageOrder() {
        LocalHttpServer server;
        server.set_response("/c", http_response(200, lesson_entry("1", "/lesson/1", "a") +
                                                          lesson_entry("2", "/lesson/2", "b")));
        HandlerForm form;
        CourseListingState state;
        form.setCourseUrl(server.url("/c"));
        const Site site{server.origin(), kPrefix};
        read_course_page(form.context, state, site);
        read_course_page(form.context, state, site);

        QCOMPARE(state.next_row, 4);
        const std::vector<Text> expected = {"1", "2", "1", "2"};
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(list_get_cell_text(form.lessonList, row, 0), expected[row]);
        }
        QCOMPARE(state.lesson_matches.size(), size_t{2});  // only the latest read is held
    }

    void gbkCoursePageIsReadAsItIs() {
        LocalHttpServer server;
        const Text gbk_page = utf8_to_gb18030(lesson_entry("一", "/lesson/7", "旧版页面的课程"));
        server.set_response("/old", http_response(200, gbk_page));
        HandlerForm form;
        CourseListingState state;
        form.setCourseUrl(server.url("/old"));
        read_course_page(form.context, state, Site{server.origin(), kPrefix});

        QCOMPARE(form.lessonList->model()->rowCount(), 1);
        QCOMPARE(cell(form, 0, 1), QStringLiteral("旧版页面的课程"));
        QVERIFY(form.desktop.messages.empty());
    }

    void readsThatAddNoRowSayWhy_data() {
        QTest::addColumn<QString>("target");  // empty: a URL made by the row itself
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected");
        QTest::newRow("refused") << "" << "refused" << "无法读取课程页面：服务器拒绝连接!  ";
        QTest::newRow("spaces") << "" << "   " << "无法读取课程页面：没有网址!  ";
        QTest::newRow("no scheme") << "" << "127.0.0.1/course" << "无法读取课程页面：不是有效的网址!  ";
        QTest::newRow("ftp") << "" << "ftp://127.0.0.1/course" << "无法读取课程页面：不是 http 或 https 网址!  ";
        QTest::newRow("invalid") << "/invalid" << "" << "课程页面不是 UTF-8 或 GBK 编码的网页，无法读取!  ";
        QTest::newRow("no lessons") << "/plain" << "" << "课程页面中没有找到课程!  ";
        QTest::newRow("empty") << "/empty" << "" << "课程页面是空的，没有找到课程!  ";
    }

    void readsThatAddNoRowSayWhy() {
        QFETCH(QString, target);
        QFETCH(QString, url);
        QFETCH(QString, expected);
        LocalHttpServer server;
        server.set_response("/invalid", http_response(200, lesson_entry("1", "/lesson/1", "a\xFF")));
        server.set_response("/plain", http_response(200, "<html><body>课程已下线</body></html>"));
        server.set_response("/empty", http_response(200, ""));
        const tavrin::test::RefusingPort refusing;
        std::string course_url = target.isEmpty() ? url.toStdString() : server.url(target.toStdString());
        if (url == QLatin1String("refused")) {
            course_url = refusing.url("/course");
        }
        HandlerForm form;
        CourseListingState state;
        form.setCourseUrl(course_url);
        read_course_page(form.context, state, Site{server.origin(), kPrefix});

        QCOMPARE(form.lessonList->model()->rowCount(), 0);
        QCOMPARE(form.desktop.messages.size(), size_t{1});
        QCOMPARE(form.desktop.messages[0].text, expected);
        QCOMPARE(form.desktop.messages[0].caption, QStringLiteral("信息："));
        if (target == QLatin1String("/invalid")) {
            QVERIFY(!state.course_page_bytes.empty());  // the fetched bytes are kept
            QVERIFY(state.course_page_text.empty());
        }
    }

    void rejectedCertificateIsNamed() {
        LocalHttpServer server(LocalHttpServer::Options{true});
        server.set_response("/c", http_response(200, lesson_entry("1", "/lesson/1", "a")));
        HandlerForm form;
        CourseListingState state;
        form.setCourseUrl(server.url("/c"));
        read_course_page(form.context, state, Site{server.origin(), kPrefix});

        QCOMPARE(form.lessonList->model()->rowCount(), 0);
        QCOMPARE(form.desktop.messages.size(), size_t{1});
        QCOMPARE(form.desktop.messages[0].text, QStringLiteral("无法读取课程页面：服务器的安全证书被拒绝!  "));
    }

    void slowFetchShowsTheDialogWhileTheWindowRepaints() {
        LocalHttpServer server;
        Route slow;
        slow.response = http_response(200, lesson_entry("1", "/lesson/1", "a"));
        slow.gate = "go";
        server.set_route("/slow", slow);
        HandlerForm form;
        form.window.show();
        PaintCounter paints(&form.window);
        CourseListingState state;
        form.setCourseUrl(server.url("/slow"));

        QString label;
        bool busy = false;
        bool repainted = false;
        when_progress_dialog_shows([&](QProgressDialog* dialog) {
            label = dialog->labelText();
            busy = dialog->minimum() == 0 && dialog->maximum() == 0;
            const int before = paints.count;
            form.window.update();
            QTRY_VERIFY_WITH_TIMEOUT(paints.count > before, 5000);
            repainted = true;
            server.open_gate("go");
        });
        read_course_page(form.context, state, Site{server.origin(), kPrefix});

        QVERIFY(label.contains(QString::fromStdString(server.url("/slow"))));
        QVERIFY(busy);
        QVERIFY(repainted);
        QCOMPARE(form.lessonList->model()->rowCount(), 1);  // the run went on to its end
        QVERIFY(form.desktop.messages.empty());
    }

    void escCancelsTheReadAndLeavesTheListAlone() {
        LocalHttpServer server;
        Route held;
        held.response = http_response(200, lesson_entry("1", "/lesson/1", "a"));
        held.gate = "never";
        server.set_route("/held", held);
        HandlerForm form;
        form.window.show();
        CourseListingState state;
        form.setCourseUrl(server.url("/held"));
        when_progress_dialog_shows([](QProgressDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        read_course_page(form.context, state, Site{server.origin(), kPrefix});

        QCOMPARE(form.lessonList->model()->rowCount(), 0);
        QCOMPARE(state.next_row, 0);
        QCOMPARE(form.desktop.messages.size(), size_t{1});
        QCOMPARE(form.desktop.messages[0].text, QStringLiteral("读取已取消，课程列表没有改变!  "));
    }
};

QTEST_MAIN(ReadCoursePageTest)
#include "read_course_page_test.moc"
