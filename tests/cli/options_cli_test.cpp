// The options of tavrin-links-cli: help, version, the number of jobs, and
// what a mistyped command line gives.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "child_process.h"
#include "cli_pages.h"
#include "support/local_http_server.h"

namespace tavrin::test {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct UsageErrorCase {
    const char* name;
    std::vector<std::string> arguments;  // "{url}" stands for a lesson page of the test's server
    const char* message;
};

void PrintTo(const UsageErrorCase& c, std::ostream* os) { *os << c.name; }

class UsageError : public ::testing::TestWithParam<UsageErrorCase> {};

TEST_P(UsageError, ExitsWithStatusTwoAndSaysWhatIsWrongWithoutFetching) {
    LocalHttpServer server;
    server.set_response("/lesson/1", lesson_page_response(resource_address("1.mp4")));
    std::vector<std::string> arguments = GetParam().arguments;
    for (std::string& argument : arguments) {
        if (argument == "{url}") argument = server.url("/lesson/1");
    }

    const ChildResult run = run_cli(arguments);

    EXPECT_EQ(run.exit_status, 2);
    EXPECT_THAT(run.out, IsEmpty());
    EXPECT_THAT(run.err, AllOf(HasSubstr(GetParam().message), HasSubstr("--help")));
    EXPECT_EQ(server.request_count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsageError,
    ::testing::Values(UsageErrorCase{"UnknownOption", {"resolve", "--bogus", "{url}"}, "not expected: --bogus"},
                      UsageErrorCase{"UnknownOptionBeforeTheCommand", {"--bogus", "resolve", "{url}"},
                                     "not expected: --bogus"},
                      UsageErrorCase{"UnknownOptionAlone", {"--bogus"}, "unknown option: --bogus"},
                      UsageErrorCase{"UnknownCommand", {"frobnicate"}, "unknown command: frobnicate"},
                      UsageErrorCase{"NoCommand", {}, "A subcommand is required"},
                      UsageErrorCase{"NoJobs", {"resolve", "--jobs", "0", "{url}"}, "Value 0 not in range 1 to 16"},
                      UsageErrorCase{"TooManyJobs", {"resolve", "--jobs", "17", "{url}"},
                                     "Value 17 not in range 1 to 16"},
                      UsageErrorCase{"JobsNotANumber", {"resolve", "-j", "many", "{url}"}, "many"},
                      UsageErrorCase{"JobsWithoutValue", {"resolve", "{url}", "--jobs"}, "--jobs"},
                      UsageErrorCase{"TwoCourseUrls", {"lessons", "{url}", "{url}"}, "not expected"}),
    [](const ::testing::TestParamInfo<UsageErrorCase>& info) { return std::string(info.param.name); });

TEST(CliOptions, AcceptsTheFirstAndLastNumberOfJobs) {
    LocalHttpServer server;
    server.set_response("/lesson/1", lesson_page_response(resource_address("1.mp4")));
    for (const char* jobs : {"1", "16"}) {
        const ChildResult run = run_cli({"resolve", "--jobs", jobs, server.url("/lesson/1")});
        EXPECT_EQ(run.exit_status, 0) << jobs << ": " << run.err;
        EXPECT_THAT(lines_of(run.out), ElementsAre(resource_address("1.mp4"))) << jobs;
    }
}

TEST(CliOptions, HelpDescribesTheCommandsAndTheLessonFormat) {
    const ChildResult main_help = run_cli({"--help"});
    const ChildResult lessons_help = run_cli({"lessons", "--help"});
    const ChildResult resolve_help = run_cli({"resolve", "--help"});

    for (const ChildResult* run : {&main_help, &lessons_help, &resolve_help}) {
        EXPECT_EQ(run->exit_status, 0);
        EXPECT_THAT(run->err, IsEmpty());
    }
    EXPECT_THAT(main_help.out, AllOf(HasSubstr("lessons"), HasSubstr("resolve"), HasSubstr("cut -f3")));
    EXPECT_THAT(lessons_help.out, AllOf(HasSubstr("separated by tabs"), HasSubstr("(CR LF, CR or LF) or a tab"),
                                        HasSubstr(kTavrinSite.origin + "/lesson/897")));
    EXPECT_THAT(resolve_help.out, AllOf(HasSubstr("--jobs"), HasSubstr("[1 - 16]=6"), HasSubstr("standard input")));
}

TEST(CliOptions, VersionIsTheProjectVersion) {
    const ChildResult run = run_cli({"--version"});

    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.out, std::string("tavrin-links-cli ") + TAVRIN_VERSION + "\n");
}

}  // namespace
}  // namespace tavrin::test
