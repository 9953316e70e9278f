// The listing and the resolving composed in a shell pipeline, as the README
// shows them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "child_process.h"
#include "cli_pages.h"
#include "support/local_http_server.h"

namespace tavrin::test {
namespace {

using ::testing::ElementsAreArray;

// Quoted for the shell: between single quotes nothing is special but the quote itself.
std::string shell_quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

TEST(PipelineCli, ListingCutAndResolveGiveTheAddressesOfTheWholeCourse) {
    LocalHttpServer server;
    const int count = 7;
    std::string entries;
    std::vector<std::string> links;
    std::vector<std::string> addresses;
    for (int i = 1; i <= count; ++i) {
        const std::string path = "/lesson/" + std::to_string(i);
        entries += lesson_entry("第" + std::to_string(i) + "课", path, "第" + std::to_string(i) + "讲\r\n习题");
        server.set_response(path, lesson_page_response(resource_address("课程/" + std::to_string(i) + ".mp4")));
        links.push_back(kTavrinSite.origin + path);
        addresses.push_back(resource_address("课程/" + std::to_string(i) + ".mp4"));
    }
    server.set_response("/course", http_response(200, course_page(entries)));
    const std::string cli = shell_quoted(TAVRIN_CLI_PATH);

    // The links name the website; the lesson pages of this test live on the
    // local server under the same paths.
    const ChildResult listed = run_child("/bin/sh", {"-c", cli + " lessons " + shell_quoted(server.url("/course")) +
                                                               " | cut -f3"});
    // pipefail: a failure anywhere in the pipeline fails the whole of it.
    const ChildResult resolved = run_child(
        "/bin/bash", {"-c", "set -o pipefail; " + cli + " lessons " + shell_quoted(server.url("/course")) +
                              " | cut -f3 | sed " + shell_quoted("s#^" + kTavrinSite.origin + "#" + server.origin() + "#") +
                              " | " + cli + " resolve"});

    EXPECT_EQ(listed.exit_status, 0) << listed.err;
    EXPECT_THAT(lines_of(listed.out), ElementsAreArray(links));
    EXPECT_EQ(resolved.exit_status, 0) << resolved.err;
    EXPECT_THAT(lines_of(resolved.out), ElementsAreArray(addresses));
}

}  // namespace
}  // namespace tavrin::test
