// 解析(&P) and 复制(&C) through the real handlers and a local server.

#include <QApplication>
#include <QClipboard>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <chrono>
#include <string>
#include <vector>

#include "resolve/export_handler.h"
#include "resolve/resolve_handler.h"
#include "support/handler_form.h"
#include "support/local_http_server.h"
#include "support/progress_dialog_watch.h"
#include "support/real_clipboard_desktop.h"
#include "support/refusing_port.h"
#include "text/display_encoding.h"
#include "toolkit/desktop.h"

using namespace tavrin;
using tavrin::test::http_response;
using tavrin::test::LocalHttpServer;
using tavrin::test::Route;
using tavrin::testing::HandlerForm;
using tavrin::testing::RealClipboardDesktop;
using tavrin::testing::when_progress_dialog_shows;

namespace {

const std::string kPrefix = "http://res.tavrin.com/resources/";

std::string address(int n) { return kPrefix + "v" + std::to_string(n) + ".mp4"; }

Route lesson_route(int n, std::chrono::milliseconds delay = {}, std::string gate = {}) {
    Route route;
    route.response = http_response(200, "<video src=\"" + address(n) + "\"></video>");
    route.delay = delay;
    route.gate = std::move(gate);
    return route;
}

struct Served {
    LocalHttpServer server;
    Site site{server.origin(), kPrefix};

    std::string lesson(int n, std::chrono::milliseconds delay = {}, std::string gate = {}) {
        const std::string path = "/lesson/" + std::to_string(n);
        server.set_route(path, lesson_route(n, delay, std::move(gate)));
        return server.url(path);
    }
};

const QString kDone = QStringLiteral("解析完毕!  ");


}  // namespace

class ResolveHandlerTest : public QObject {
    Q_OBJECT

private slots:
    void twoQueuedLessonsGiveTwoEntries() {
        Served served;
        HandlerForm form;
        form.setQueue(served.lesson(1) + "\r\n" + served.lesson(2) + "\r\n");
        resolve_queued_lessons(form.context, served.site);

        QCOMPARE(form.results(), address(1) + "\r\n\r\n" + address(2) + "\r\n\r\n");
        QCOMPARE(form.desktop.messages.size(), size_t{1});
        QCOMPARE(form.desktop.messages[0].text, kDone);
        QCOMPARE(form.desktop.messages[0].caption, QStringLiteral("信息："));
        // Every request has the fetcher's one shape.
        for (const auto& request : served.server.requests()) {
            QCOMPARE(request.version, std::string("HTTP/1.0"));
            QCOMPARE(request.header("User-Agent").value_or(""),
                     std::string("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"));
            QCOMPARE(request.header_count("Accept"), size_t{1});
        }
    }

    void aBlankLineGivesAnEmptyEntryAndIsCounted() {
        Served served;
        HandlerForm form;
        form.setQueue(served.lesson(1) + "\r\n\r\n" + served.lesson(2) + "\r\n");
        resolve_queued_lessons(form.context, served.site);

        QCOMPARE(form.results(), address(1) + "\r\n\r\n\r\n\r\n" + address(2) + "\r\n\r\n");
        QCOMPARE(served.server.request_count(), size_t{2});
        QCOMPARE(form.desktop.messages.back().text,
                 kDone + QStringLiteral("\r\n其中 1 条未找到下载地址。\r\n（空行）：无法读取页面：没有网址"));
    }

    void theWholeQueueIsTrimmedAndInnerLinesKeepTheirSpaces() {
        Served served;
        HandlerForm form;
        const std::string first = served.lesson(1);
        const std::string second = served.lesson(2);
        form.setQueue("  " + first + " \r\n " + second + "\r\n \xA1\xA1");
        resolve_queued_lessons(form.context, served.site);

        QCOMPARE(form.queue(), first + " \r\n " + second + "\r\n");
        // The trailing space goes (the fetcher trims it), the leading one makes
        // the line unusable as a URL.
        QCOMPARE(form.results(), address(1) + "\r\n\r\n" + "\r\n\r\n");
    }

    void aQueueOfSpacesIsEmptiedAndResolvesNothing() {
        Served served;
        HandlerForm form;
        form.setQueue("    ");
        resolve_queued_lessons(form.context, served.site);

        QCOMPARE(form.queue(), Text());
        QCOMPARE(form.results(), Text());
        QCOMPARE(form.desktop.messages.size(), size_t{1});
        QCOMPARE(form.desktop.messages[0].text, kDone);
    }

    void anEmptyQueueWarnsAndStops() {
        Served served;
        HandlerForm form;
        set_control_text(form.resultEdit, "earlier\r\n\r\n");
        resolve_queued_lessons(form.context, served.site);

        QCOMPARE(form.desktop.messages.size(), size_t{1});
        QCOMPARE(form.desktop.messages[0].text, QStringLiteral("请在上面的超级列表框中右击需要分析的列表!  "));
        QCOMPARE(form.desktop.messages[0].caption, QString());
        QCOMPARE(form.results(), Text("earlier\r\n\r\n"));
    }

    void entriesOfTwoPressesAccumulate() {
        Served served;
        HandlerForm form;
        form.setQueue(served.lesson(1) + "\r\n");
        resolve_queued_lessons(form.context, served.site);
        form.setQueue(served.lesson(2) + "\r\n");
        resolve_queued_lessons(form.context, served.site);
        QCOMPARE(form.results(), address(1) + "\r\n\r\n" + address(2) + "\r\n\r\n");
    }

    void theEndMessageNamesTheLinesWithoutAnAddressAndWhy() {
        Served served;
        served.server.set_response("/lesson/plain", http_response(200, "<p>no video</p>"));
        const tavrin::test::RefusingPort refusing;
        const std::string refused = refusing.url("/lesson/9");
        HandlerForm form;
        form.setQueue(served.lesson(1) + "\r\n" + served.server.url("/lesson/plain") + "\r\n" + refused + "\r\n" +
                      "file:///etc/passwd\r\n");
        resolve_queued_lessons(form.context, served.site);

        const QString expected = kDone + QStringLiteral("\r\n其中 3 条未找到下载地址。") +
                                 QStringLiteral("\r\n%1：页面中没有下载地址").arg(QString::fromStdString(served.server.url("/lesson/plain"))) +
                                 QStringLiteral("\r\n%1：无法读取页面：服务器拒绝连接").arg(QString::fromStdString(refused)) +
                                 QStringLiteral("\r\nfile:///etc/passwd：无法读取页面：不是 http 或 https 网址");
        QCOMPARE(form.desktop.messages.back().text, expected);
        QCOMPARE(form.results(), address(1) + "\r\n\r\n" + "\r\n\r\n\r\n\r\n\r\n\r\n");
    }

    void entriesKeepQueueOrderWhenPagesAnswerInReverse() {
        Served served;
        HandlerForm form;
        Text queue;
        Text expected;
        for (int n = 0; n < 8; ++n) {
            queue += served.lesson(n, std::chrono::milliseconds(40 * (8 - n))) + "\r\n";
            expected += address(n) + "\r\n\r\n";
        }
        form.setQueue(queue);
        resolve_queued_lessons(form.context, served.site);
        QCOMPARE(form.results(), expected);
        // Six pages at a time, no more: the first six all waited together.
        QCOMPARE(served.server.max_open_connections(), size_t{6});
    }

    void aNonAsciiAddressReadsRightInTheBoxAndOnTheClipboard() {
        Served served;
        served.server.set_response("/lesson/zh",
                                   http_response(200, "<a href=\"" + kPrefix + "第一课.mp4\">"));  // UTF-8 page
        HandlerForm form;
        form.setQueue(served.server.url("/lesson/zh") + "\r\n");
        resolve_queued_lessons(form.context, served.site);
        QCOMPARE(form.resultEdit->toPlainText(), QString::fromStdString(kPrefix) + QStringLiteral("第一课.mp4\n\n"));

        RealClipboardDesktop desktop;
        HandlerContext withClipboard{form.context.controls, desktop};
        copy_results(withClipboard);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString::fromStdString(kPrefix) + QStringLiteral("第一课.mp4\r\n\r\n"));
    }

    void slowRunShowsProgressAndCancelKeepsWhatWasAppended() {
        Served served;
        HandlerForm form;
        form.window.show();
        Text queue;
        for (int n = 0; n < 12; ++n) {
            // The first two answer, the rest wait for a gate that never opens.
            queue += served.lesson(n, {}, n < 2 ? "" : "held") + "\r\n";
        }
        form.setQueue(queue);
        int progressMaximum = -1;
        QString label;
        when_progress_dialog_shows([&](QProgressDialog* dialog) {
            QTRY_COMPARE_WITH_TIMEOUT(dialog->value(), 2, 5000);
            progressMaximum = dialog->maximum();
            label = dialog->labelText();
            // Through the dialog's window, as a click of the desktop arrives.
            const QPushButton* cancel = dialog->findChild<QPushButton*>();
            QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {},
                              cancel->mapTo(dialog, cancel->rect().center()));
        });
        resolve_queued_lessons(form.context, served.site);
        const std::size_t requestsAtEnd = served.server.request_count();
        QTest::qWait(200);

        QCOMPARE(progressMaximum, 12);
        QVERIFY2(label.startsWith(QStringLiteral("已解析 2 / 12 条\n正在读取：")), qPrintable(label));
        QCOMPARE(form.results(), address(0) + "\r\n\r\n" + address(1) + "\r\n\r\n");
        QCOMPARE(form.desktop.messages.back().text, QStringLiteral("解析已取消!  \r\n已解析 2 条，共 12 条。"));
        QCOMPARE(served.server.request_count(), requestsAtEnd);  // nothing more is fetched
        QVERIFY(requestsAtEnd <= 2 + 6);
    }

    void copyPutsTheWholeResultBoxOnTheClipboard() {
        HandlerForm form;
        const Text results = kPrefix + "a.mp4\r\n\r\n\r\n\r\n" + kPrefix + "b.mp4\r\n\r\n";
        set_control_text(form.resultEdit, results);
        copy_results(form.context);

        QCOMPARE(form.desktop.clipboardTexts, QStringList{QString::fromStdString(results)});
        QCOMPARE(form.desktop.messages.size(), size_t{1});
        QCOMPARE(form.desktop.messages[0].text, QStringLiteral("下载地址已复制到剪切板!  "));
        QCOMPARE(form.desktop.messages[0].caption, QStringLiteral("信息："));
        QCOMPARE(form.results(), results);  // the box stays as it was
    }

    void copyOfAnEmptyBoxEmptiesTheClipboard() {
        QGuiApplication::clipboard()->setText(QStringLiteral("old"));
        HandlerForm form;
        RealClipboardDesktop desktop;
        HandlerContext withClipboard{form.context.controls, desktop};
        copy_results(withClipboard);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
        QCOMPARE(desktop.messages, QStringList{QStringLiteral("下载地址已复制到剪切板!  ")});
    }
};

QTEST_MAIN(ResolveHandlerTest)
#include "resolve_handler_test.moc"
