#include "resolve/download_address.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/local_http_server.h"
#include "support/refusing_port.h"

namespace tavrin {
namespace {

using namespace std::string_literals;
using test::http_response;
using test::LocalHttpServer;

const std::string kPrefix = "http://res.tavrin.com/resources/";

struct PageCase {
    std::string name;
    std::string response;  // what the lesson page's server answers
    std::string expected;
};

std::vector<PageCase> page_cases() {
    const std::string& p = kPrefix;
    return {
        {"prefix_and_quote", http_response(200, "<a href=\"" + p + "v/1.mp4\">x</a>"), p + "v/1.mp4"},
        {"prefix_without_quote", http_response(200, "<a href=" + p + "v/1.mp4>x</a>"), ""},
        {"quote_without_prefix", http_response(200, "<a href=\"http://other/x\">"), ""},
        {"neither", http_response(200, "plain text"), ""},
        {"empty_page", http_response(200, ""), ""},
        {"first_prefix_wins",
         http_response(200, "\"" + p + "first.mp4\" \"" + p + "second.mp4\""), p + "first.mp4"},
        {"single_quotes_run_on_to_the_next_double_quote",
         http_response(200, "<a href='" + p + "a.mp4'>\r\n<b class=\"x\">"), p + "a.mp4'>\r\n<b class="},
        {"prefix_hidden_by_a_byte_pair_then_a_later_one",
         http_response(200, ">\xE4\xB8\xAD" + p + "hidden.mp4\" \"" + p + "seen.mp4\""), p + "seen.mp4"},
        {"zero_byte_before_the_prefix", http_response(200, "x\0\""s + p + "a.mp4\""), ""},
        {"not_found_page_that_holds_an_address",
         http_response(404, "<p>gone</p><a href=\"" + p + "still.mp4\">"), p + "still.mp4"},
        {"non_ascii_bytes_kept_as_they_are",
         http_response(200, "\"" + p + "\xE4\xB8\xAD.mp4\""), p + "\xE4\xB8\xAD.mp4"},
    };
}

TEST(ResolveDownloadAddress, CutsTheFirstAddressOfEachServedPage) {
    LocalHttpServer server;
    const Site site{server.origin(), kPrefix};
    for (const PageCase& c : page_cases()) {
        server.set_response("/lesson/" + c.name, c.response);
        EXPECT_EQ(resolve_download_address(server.url("/lesson/" + c.name), site), c.expected) << c.name;
    }
}

TEST(ResolveDownloadAddress, FailedFetchGivesTheEmptyText) {
    LocalHttpServer server;
    const Site site{server.origin(), kPrefix};
    const test::RefusingPort refusing;
    const std::string refused_port_url = refusing.url("/lesson/1");
    for (const std::string& line : {refused_port_url, std::string(), std::string("   "), kPrefix + "x"}) {
        EXPECT_EQ(resolve_download_address(line, site), "") << line;
    }
    EXPECT_EQ(server.request_count(), 0u);
}

TEST(ResolveDownloadAddress, TheLineGoesOutUnchanged) {
    LocalHttpServer server;
    server.set_response("/lesson/7?from=list", http_response(200, "\"" + kPrefix + "q.mp4\""));
    const Site site{server.origin(), kPrefix};
    EXPECT_EQ(resolve_download_address(server.url("/lesson/7?from=list"), site), kPrefix + "q.mp4");
    ASSERT_EQ(server.request_count(), 1u);
    EXPECT_EQ(server.requests().at(0).target, "/lesson/7?from=list");
}

TEST(ReadableAddress, ConvertsValidUtf8ToGb18030AndKeepsEverythingElse) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {kPrefix + "a.mp4", kPrefix + "a.mp4"},
        {kPrefix + "\xE4\xB8\xAD.mp4", kPrefix + "\xD6\xD0.mp4"},   // 中 as UTF-8 becomes D6 D0
        {kPrefix + "\xD6\xD0.mp4", kPrefix + "\xD6\xD0.mp4"},       // not UTF-8: kept
        {"", ""},
    };
    for (const auto& [address, expected] : cases) {
        EXPECT_EQ(readable_address(address), expected) << address;
    }
    EXPECT_EQ(result_entry(kPrefix + "\xE4\xB8\xAD"), kPrefix + "\xD6\xD0\r\n\r\n");
    EXPECT_EQ(result_entry(""), "\r\n\r\n");
}

}  // namespace
}  // namespace tavrin
