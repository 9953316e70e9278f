// `tavrin-links-cli resolve` against a local server.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "child_process.h"
#include "cli_pages.h"
#include "support/local_http_server.h"
#include "support/refusing_port.h"

namespace tavrin::test {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::UnorderedElementsAre;

std::string address_of(int lesson) { return resource_address(std::to_string(lesson) + ".mp4"); }

// Lesson pages /lesson/1 .. /lesson/count, each with its own address.
void serve_lessons(LocalHttpServer& server, int count) {
    for (int i = 1; i <= count; ++i) {
        server.set_response("/lesson/" + std::to_string(i), lesson_page_response(address_of(i)));
    }
}

std::vector<std::string> requested_paths(const LocalHttpServer& server) {
    std::vector<std::string> paths;
    for (const ReceivedRequest& request : server.requests()) paths.push_back(request.path());
    return paths;
}

TEST(ResolveCli, PrintsTheAddressOfEachArgumentInOrder) {
    LocalHttpServer server;
    serve_lessons(server, 2);

    const ChildResult run = run_cli({"resolve", server.url("/lesson/2"), server.url("/lesson/1")});

    EXPECT_EQ(run.exit_status, 0);
    EXPECT_THAT(run.err, IsEmpty());
    EXPECT_THAT(lines_of(run.out), ElementsAre(address_of(2), address_of(1)));
}

struct InputCase {
    const char* name;
    std::string input;  // "{1}" and "{2}" stand for the URLs of lessons 1 and 2
};

void PrintTo(const InputCase& c, std::ostream* os) { *os << c.name; }

class ResolveCliInput : public ::testing::TestWithParam<InputCase> {};

std::string with_urls(std::string text, const LocalHttpServer& server) {
    for (const char* n : {"1", "2"}) {
        const std::string mark = std::string("{") + n + "}";
        for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark)) {
            text.replace(at, mark.size(), server.url(std::string("/lesson/") + n));
        }
    }
    return text;
}

TEST_P(ResolveCliInput, ReadsOneUrlALineFromStandardInput) {
    LocalHttpServer server;
    serve_lessons(server, 2);

    const ChildResult run = run_cli({"resolve"}, {with_urls(GetParam().input, server)});

    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_THAT(lines_of(run.out), ElementsAre(address_of(1), address_of(2)));
    EXPECT_THAT(requested_paths(server), UnorderedElementsAre("/lesson/1", "/lesson/2"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolveCliInput,
    ::testing::Values(InputCase{"LineFeeds", "{1}\n{2}\n"}, InputCase{"CrLf", "{1}\r\n{2}\r\n"},
                      InputCase{"NoFinalLineBreak", "{1}\n{2}"},
                      InputCase{"SpacesAroundTheWholeInput", "  {1}\n{2}\n  "},
                      InputCase{"FullWidthSpacesAroundTheWholeInput", "\u3000{1}\r\n{2}\u3000"}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return std::string(info.param.name); });

TEST(ResolveCli, KeepsTheOrderOfTheLinesWhenPagesAnswerOutOfOrder) {
    LocalHttpServer server;
    const int count = 10;
    std::string input;
    std::vector<std::string> expected;
    for (int i = 1; i <= count; ++i) {
        Route route;
        route.response = lesson_page_response(address_of(i));
        // The first lines answer last.
        route.delay = std::chrono::milliseconds(15 * (count - i));
        server.set_route("/lesson/" + std::to_string(i), route);
        input += server.url("/lesson/" + std::to_string(i)) + "\n";
        expected.push_back(address_of(i));
    }
    for (const char* jobs : {"1", "4", "16"}) {
        const ChildResult run = run_cli({"resolve", "--jobs", jobs}, {input});
        EXPECT_EQ(run.exit_status, 0) << "--jobs " << jobs << ": " << run.err;
        EXPECT_THAT(lines_of(run.out), ElementsAreArray(expected)) << "--jobs " << jobs;
    }
}

TEST(ResolveCli, PrintsAnEmptyLineAndSaysWhyForEachLineWithoutAnAddress) {
    LocalHttpServer server;
    serve_lessons(server, 2);
    server.set_response("/lesson/plain", http_response(200, "<html>本课暂无视频</html>"));
    const tavrin::test::RefusingPort refusing;
    const std::string refused = refusing.url("/lesson/3");
    const std::string input = server.url("/lesson/1") + "\n" + server.url("/lesson/plain") + "\n\n" + refused +
                              "\n" + server.url("/lesson/2") + "\n";

    const ChildResult run = run_cli({"resolve"}, {input});

    EXPECT_EQ(run.exit_status, 1);
    EXPECT_THAT(lines_of(run.out), ElementsAre(address_of(1), "", "", "", address_of(2)));
    EXPECT_THAT(run.err, AllOf(HasSubstr("line 2: " + server.url("/lesson/plain") + ": no download address on the page"),
                               HasSubstr("line 3: empty line, nothing fetched"),
                               HasSubstr("line 4: " + refused + ": connection refused"),
                               HasSubstr("3 of 5 lines gave no download address")));
    EXPECT_THAT(run.err, Not(HasSubstr("line 1:")));
    EXPECT_THAT(run.err, Not(HasSubstr("line 5:")));
}

TEST(ResolveCli, RefusesLinesThatAreNotHttpOrHttpsWithoutSendingAnything) {
    LocalHttpServer server;
    serve_lessons(server, 1);
    const std::string port = std::to_string(server.port());
    const std::vector<std::string> refused = {"127.0.0.1:" + port + "/lesson/1", "localhost:" + port + "/lesson/1",
                                              "file:///etc/hostname", "ftp://127.0.0.1:" + port + "/lesson/1"};
    std::string input = server.url("/lesson/1") + "\n";
    for (const std::string& line : refused) input += line + "\n";

    const ChildResult run = run_cli({"resolve"}, {input});

    EXPECT_EQ(run.exit_status, 1);
    EXPECT_THAT(lines_of(run.out), ElementsAre(address_of(1), "", "", "", ""));
    EXPECT_THAT(requested_paths(server), ElementsAre("/lesson/1"));
    EXPECT_THAT(run.err, AllOf(HasSubstr("line 2: " + refused[0] + ": not a URL"),
                               HasSubstr("line 3: " + refused[1] + ": not a URL"),
                               HasSubstr("line 4: " + refused[2] + ": not an http or https URL, nothing fetched"),
                               HasSubstr("line 5: " + refused[3] + ": not an http or https URL, nothing fetched")));
}

TEST(ResolveCli, PrintsAddressesAsThePageWroteThemOneALine) {
    LocalHttpServer server;
    const std::string chinese = resource_address("微积分/第1讲.mp4");  // UTF-8 on the page
    server.set_response("/lesson/zh", lesson_page_response(chinese));
    // Between single quotes the address runs on to the next double quote,
    // over a line break.
    server.set_response("/lesson/quote",
                        http_response(200, "<a href='" + resource_address("2.mp4'>下载</a>\r\n<p class=") + "\"x\">"));
    server.set_response("/lesson/1", lesson_page_response(address_of(1)));

    const ChildResult run =
        run_cli({"resolve", server.url("/lesson/zh"), server.url("/lesson/quote"), server.url("/lesson/1")});

    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_THAT(lines_of(run.out),
                ElementsAre(chinese, resource_address("2.mp4'>下载</a> <p class="), address_of(1)));
}

TEST(ResolveCli, EmptyInputIsAFailure) {
    for (const char* input : {"", "   ", "\u3000 "}) {
        const ChildResult run = run_cli({"resolve"}, {input});
        EXPECT_EQ(run.exit_status, 1) << '"' << input << '"';
        EXPECT_THAT(run.out, IsEmpty());
        EXPECT_THAT(run.err, HasSubstr("no lesson URL to resolve"));
    }
}

TEST(ResolveCli, ShowsProgressOnlyWhenStandardErrorIsATerminal) {
    LocalHttpServer server;
    serve_lessons(server, 2);
    const std::vector<std::string> arguments = {"resolve", server.url("/lesson/1"), server.url("/lesson/2")};

    const ChildResult on_terminal = run_cli(arguments, {.input = {}, .stderr_terminal = true});
    const ChildResult on_pipe = run_cli(arguments);

    EXPECT_THAT(on_terminal.err, AllOf(HasSubstr("\rresolved 0/2"), HasSubstr("\rresolved 2/2")));
    EXPECT_THAT(on_pipe.err, IsEmpty());
    for (const ChildResult* run : {&on_terminal, &on_pipe}) {
        EXPECT_EQ(run->exit_status, 0);
        EXPECT_THAT(lines_of(run->out), ElementsAre(address_of(1), address_of(2)));
    }
}

}  // namespace
}  // namespace tavrin::test
