#include "resolve/resolve_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/local_http_server.h"
#include "support/refusing_port.h"

namespace tavrin {
namespace {

using std::chrono::milliseconds;
using test::http_response;
using test::LocalHttpServer;
using test::Route;

const std::string kPrefix = "http://res.tavrin.com/resources/";

std::string lesson_page(int n) { return http_response(200, "<a href=\"" + kPrefix + std::to_string(n) + ".mp4\">"); }

Route lesson_route(int n, milliseconds delay = milliseconds(0), std::string gate = {}) {
    Route route;
    route.response = lesson_page(n);
    route.delay = delay;
    route.gate = std::move(gate);
    return route;
}

TEST(ResolveLines, DeliversInQueueOrderWhenPagesAnswerInReverse) {
    LocalHttpServer server;
    std::vector<Text> lines;
    const int count = 8;
    for (int i = 0; i < count; ++i) {
        // The first line answers last.
        server.set_route("/lesson/" + std::to_string(i), lesson_route(i, milliseconds(20 * (count - i))));
        lines.push_back(server.url("/lesson/" + std::to_string(i)));
    }
    std::vector<std::size_t> order;
    std::vector<Text> addresses;
    ResolveCallbacks callbacks;
    callbacks.resolved = [&](std::size_t index, LineResolution resolution) {
        order.push_back(index);
        addresses.push_back(resolution.address);
    };
    resolve_lines(lines, kPrefix, ResolveOptions{}, callbacks);

    ASSERT_EQ(order.size(), lines.size());
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(order[i], static_cast<std::size_t>(i));
        EXPECT_EQ(addresses[i], kPrefix + std::to_string(i) + ".mp4");
    }
}

TEST(ResolveLines, TellsWhyALineGaveNoAddress) {
    LocalHttpServer server;
    server.set_response("/lesson/found", lesson_page(1));
    server.set_response("/lesson/plain", http_response(200, "no address here"));
    const test::RefusingPort refusing;
    const std::string refused = refusing.url("/lesson/x");
    const std::vector<Text> lines = {server.url("/lesson/found"), "", server.url("/lesson/plain"), refused,
                                     "ftp://127.0.0.1/x"};
    std::vector<LineResolution> got;
    ResolveCallbacks callbacks;
    callbacks.resolved = [&](std::size_t, LineResolution resolution) { got.push_back(std::move(resolution)); };
    resolve_lines(lines, kPrefix, ResolveOptions{}, callbacks);

    ASSERT_EQ(got.size(), lines.size());
    EXPECT_EQ(got[0].outcome, LineOutcome::address_found);
    EXPECT_EQ(got[1].outcome, LineOutcome::fetch_failed);
    EXPECT_EQ(got[1].fetch.failure, FetchFailure::empty_url);
    EXPECT_EQ(got[2].outcome, LineOutcome::no_address_on_page);
    EXPECT_EQ(got[3].outcome, LineOutcome::fetch_failed);
    EXPECT_EQ(got[3].fetch.failure, FetchFailure::connection_refused);
    EXPECT_EQ(got[4].fetch.failure, FetchFailure::unsupported_scheme);
    EXPECT_TRUE(got[2].fetch.body.empty());  // pages are not kept
}

TEST(ResolveLines, CancelStopsDeliveryAndFetching) {
    LocalHttpServer server;
    std::vector<Text> lines;
    for (int i = 0; i < 20; ++i) {
        // Every page after the first two is held until the test ends.
        server.set_route("/lesson/" + std::to_string(i), lesson_route(i, milliseconds(0), i >= 2 ? "later" : ""));
        lines.push_back(server.url("/lesson/" + std::to_string(i)));
    }
    FetchCancellation cancellation;
    std::vector<std::size_t> delivered;
    ResolveCallbacks callbacks;
    callbacks.resolved = [&](std::size_t index, LineResolution) {
        delivered.push_back(index);
        if (delivered.size() == 2) {
            cancellation.cancel();
        }
    };
    ResolveOptions options;
    options.max_parallel = 3;
    resolve_lines(lines, kPrefix, options, callbacks, &cancellation);
    server.open_gate("later");

    EXPECT_EQ(delivered, (std::vector<std::size_t>{0, 1}));
    // Only the pages of the first transfers were ever asked for.
    EXPECT_LE(server.request_count(), 5u);
}

}  // namespace
}  // namespace tavrin
