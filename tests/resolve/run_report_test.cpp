#include "resolve/run_report.h"

#include <gtest/gtest.h>

#include <string>

#include "text/display_encoding.h"

namespace tavrin {
namespace {

LineResolution found() {
    LineResolution r;
    r.address = "http://res.tavrin.com/resources/a.mp4";
    r.outcome = LineOutcome::address_found;
    return r;
}

LineResolution no_address() { return LineResolution{}; }

LineResolution refused() {
    LineResolution r;
    r.outcome = LineOutcome::fetch_failed;
    r.fetch.failure = FetchFailure::connection_refused;
    return r;
}

std::string shown(const RunReport& report) { return gb18030_to_utf8(report.message()); }

TEST(RunReport, EveryLineFoundSaysDoneAlone) {
    RunReport report(2);
    report.add("http://a/1", found());
    report.add("http://a/2", found());
    EXPECT_EQ(report.message(), utf8_to_gb18030("解析完毕!  "));
}

TEST(RunReport, CountsAndNamesTheLinesWithoutAnAddress) {
    RunReport report(4);
    report.add("http://a/1", found());
    report.add("http://a/2", no_address());
    report.add("", refused());
    report.add("http://a/4", refused());
    EXPECT_EQ(shown(report),
              "解析完毕!  \r\n其中 3 条未找到下载地址。"
              "\r\nhttp://a/2：页面中没有下载地址"
              "\r\n（空行）：无法读取页面：服务器拒绝连接"
              "\r\nhttp://a/4：无法读取页面：服务器拒绝连接");
}

TEST(RunReport, NamesAtMostTenLines) {
    RunReport report(12);
    for (int i = 1; i <= 12; ++i) {
        report.add("http://a/" + std::to_string(i), no_address());
    }
    const std::string message = shown(report);
    EXPECT_NE(message.find("其中 12 条未找到下载地址。"), std::string::npos);
    EXPECT_NE(message.find("http://a/10："), std::string::npos);
    EXPECT_EQ(message.find("http://a/11："), std::string::npos);
    EXPECT_NE(message.find("……另有 2 条未列出。"), std::string::npos);
}

TEST(RunReport, CancelledRunSaysHowManyLinesWereResolved) {
    RunReport report(5);
    report.add("http://a/1", found());
    report.add("http://a/2", no_address());
    report.mark_cancelled();
    EXPECT_EQ(shown(report),
              "解析已取消!  \r\n已解析 2 条，共 5 条。\r\n其中 1 条未找到下载地址。\r\nhttp://a/2：页面中没有下载地址");
}

}  // namespace
}  // namespace tavrin
