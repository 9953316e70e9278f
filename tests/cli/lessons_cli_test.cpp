// `tavrin-links-cli lessons` against a local server.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "child_process.h"
#include "cli_pages.h"
#include "support/local_http_server.h"
#include "support/refusing_port.h"
#include "text/display_encoding.h"

namespace tavrin::test {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

const std::string kOrigin = kTavrinSite.origin;

// A cell as the page writes it and as the command prints it.
struct CellCase {
    std::string on_page;
    std::string printed;
};

const std::vector<CellCase> kTitleCases = {
    {"函数与极限", "函数与极限"},
    {"导数\r\n的应用", "导数 的应用"},          // CR LF is one break
    {"不定\r积分", "不定 积分"},                // a lone CR
    {"定积分\n及其应用", "定积分 及其应用"},    // a lone LF
    {"微分\r\n\r\n方程", "微分  方程"},         // two breaks, two spaces
    {"向量\t代数", "向量 代数"},                // a tab would add a column
    {"\n\r多元", "  多元"},                     // LF then CR: two breaks
    {"<b>重积分</b> &amp; 曲线积分", "<b>重积分</b> &amp; 曲线积分"},  // markup and entities as written
};

TEST(LessonsCli, PrintsEveryLessonOneALineInUtf8) {
    LocalHttpServer server;
    std::string entries;
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < kTitleCases.size(); ++i) {
        const std::string path = "/lesson/" + std::to_string(900 + i);
        entries += lesson_entry("第" + std::to_string(i + 1) + "课", path, kTitleCases[i].on_page);
        expected.push_back("第" + std::to_string(i + 1) + "课\t" + kTitleCases[i].printed + "\t" + kOrigin + path);
    }
    // A number over a line break, and an empty number.
    entries += lesson_entry("第\r\n9课", "/lesson/a", "标题");
    expected.push_back("第 9课\t标题\t" + kOrigin + "/lesson/a");
    entries += lesson_entry("", "/lesson/b", "无编号");
    expected.push_back("\t无编号\t" + kOrigin + "/lesson/b");
    server.set_response("/course", http_response(200, course_page(entries)));

    const ChildResult run = run_cli({"lessons", server.url("/course")});

    EXPECT_EQ(run.exit_status, 0);
    EXPECT_THAT(run.err, IsEmpty());
    EXPECT_THAT(lines_of(run.out), ElementsAreArray(expected));
    ASSERT_EQ(server.request_count(), 1u);
    EXPECT_EQ(server.requests()[0].path(), "/course");
}

TEST(LessonsCli, ReadsAnOlderPageServedInGbk) {
    LocalHttpServer server;
    const std::string page = course_page(lesson_entry("第1课", "/lesson/1", "函数与极限"));
    server.set_response("/course", http_response(200, utf8_to_gb18030(page)));

    const ChildResult run = run_cli({"lessons", server.url("/course")});

    EXPECT_EQ(run.exit_status, 0);
    EXPECT_THAT(lines_of(run.out), ElementsAreArray({"第1课\t函数与极限\t" + kOrigin + "/lesson/1"}));
}

struct FailureCase {
    const char* name;
    Route route;               // how /course answers; unused for a closed port
    bool closed_port;          // the URL names a port that refuses connections
    std::size_t lines_printed; // lessons before the failure
    const char* reason;
};

Route answer(std::string response) {
    Route route;
    route.response = std::move(response);
    return route;
}

Route cut_after_first_lesson() {
    const std::string first = lesson_entry("第1课", "/lesson/1", "函数与极限");
    const std::string page = course_page(first + lesson_entry("第2课", "/lesson/2", "导数的应用"));
    Route route = answer(http_response(200, page));
    route.delivery = Delivery::cut;
    route.cut_after = route.response.find(first) + first.size();
    return route;
}

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class LessonsCliFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(LessonsCliFailure, SaysWhyOnStandardErrorWithStatusOne) {
    const FailureCase& failure = GetParam();
    std::string url;
    LocalHttpServer server;
    const tavrin::test::RefusingPort refusing;
    if (failure.closed_port) {
        url = refusing.url("/course");
    } else {
        server.set_route("/course", failure.route);
        url = server.url("/course");
    }

    const ChildResult run = run_cli({"lessons", url});

    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(lines_of(run.out).size(), failure.lines_printed);
    EXPECT_THAT(run.err, HasSubstr(url));
    EXPECT_THAT(run.err, HasSubstr(failure.reason));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LessonsCliFailure,
    ::testing::Values(
        FailureCase{"NobodyListens", {}, true, 0, "could not fetch the course page: connection refused"},
        FailureCase{"NeitherUtf8NorGbk", answer(http_response(200, "<html>\xff\xfe\xff</html>")), false, 0,
                    "neither UTF-8 nor GBK"},
        FailureCase{"NoLessons", answer(http_response(200, course_page("<li>即将开课</li>\n"))), false, 0,
                    "no lessons on the course page"},
        FailureCase{"EmptyPage", answer(http_response(200, "")), false, 0, "the course page is empty"},
        FailureCase{"CutShort", cut_after_first_lesson(), false, 1, "arrived incomplete (connection broken"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavrin::test
