// The batch fetcher against the local server: every index gets its result,
// results come in completion order, the parallel limit holds, cancellation
// stops it, and each request has the shape of fetch_page's.

#include "listing/fetch_batch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "support/local_http_server.h"

namespace tavrin {
namespace {

using namespace std::chrono_literals;
using test::Delivery;
using test::http_response;
using test::LocalHttpServer;
using test::ReceivedRequest;
using test::Route;

// What the callbacks saw, in order.
struct Recorder {
    std::vector<std::size_t> started;
    std::vector<std::size_t> finished;
    std::map<std::size_t, FetchResult> results;
    std::size_t running = 0;
    std::size_t most_running = 0;
    std::vector<std::string> problems;

    BatchCallbacks callbacks() {
        BatchCallbacks callbacks;
        callbacks.started = [this](std::size_t index) {
            if (std::count(started.begin(), started.end(), index) != 0) problems.push_back("started twice");
            started.push_back(index);
            most_running = std::max(most_running, ++running);
        };
        callbacks.finished = [this](std::size_t index, FetchResult result) {
            if (std::count(started.begin(), started.end(), index) == 0) problems.push_back("finished before started");
            if (results.count(index) != 0) problems.push_back("finished twice");
            --running;
            finished.push_back(index);
            results.emplace(index, std::move(result));
        };
        return callbacks;
    }
};

Route delayed(std::string response, std::chrono::milliseconds delay) {
    Route route;
    route.response = std::move(response);
    route.delay = delay;
    return route;
}

TEST(FetchBatch, GivesEveryIndexItsResult) {
    LocalHttpServer server;
    std::vector<Text> urls;
    std::vector<std::string> expected;
    for (int i = 0; i < 9; ++i) {
        const std::string body = "<p>lesson " + std::to_string(i) + "</p>";
        server.set_response("/lesson/" + std::to_string(i), http_response(200, body));
        urls.push_back(server.url("/lesson/" + std::to_string(i)));
        expected.push_back(body);
    }
    urls.push_back(server.url("/missing"));  // 9: the server's 404 page
    urls.push_back("");                      // 10: refused
    urls.push_back("127.0.0.1:" + std::to_string(server.port()) + "/lesson/1");  // 11: refused, no scheme
    urls.push_back("ftp://127.0.0.1:" + std::to_string(server.port()) + "/x");   // 12: refused, other scheme

    Recorder recorder;
    BatchOptions options;
    options.max_parallel = 3;
    fetch_batch(urls, options, recorder.callbacks());

    EXPECT_TRUE(recorder.problems.empty()) << recorder.problems.front();
    ASSERT_EQ(recorder.results.size(), urls.size());
    EXPECT_EQ(recorder.started.size(), urls.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(recorder.results[i].body, expected[i]) << i;
        EXPECT_EQ(recorder.results[i].failure, FetchFailure::none) << i;
    }
    EXPECT_NE(recorder.results[9].body.find("404"), std::string::npos);
    EXPECT_EQ(recorder.results[10].failure, FetchFailure::empty_url);
    EXPECT_EQ(recorder.results[11].failure, FetchFailure::malformed_url);
    EXPECT_EQ(recorder.results[12].failure, FetchFailure::unsupported_scheme);
    for (std::size_t i = 10; i < 13; ++i) EXPECT_EQ(recorder.results[i].body, "") << i;

    server.stop();
    // The refused URLs sent nothing.
    EXPECT_EQ(server.connection_count(), 10u);
    EXPECT_EQ(server.request_count(), 10u);
}

TEST(FetchBatch, ResultsAreTheSameAsFetchPagesForEveryKindOfAnswer) {
    LocalHttpServer server;
    const std::string head = "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n";
    Route cut;
    cut.response = head + std::string(100, 'b');
    cut.delivery = Delivery::cut;
    cut.cut_after = head.size() + 40;
    server.set_route("/cut", cut);
    server.set_response("/err", http_response(500, "oops"));
    server.set_response("/big", http_response(200, std::string(5000, 'x')));
    server.set_response("/redirect", test::redirect_response(302, "/err"));
    Route silent;
    silent.delivery = Delivery::never_answer;
    server.set_route("/silent", silent);

    std::vector<Text> urls = {server.url("/cut"), server.url("/err"), server.url("/big"), server.url("/redirect"),
                              server.url("/silent")};
    BatchOptions options;
    options.fetch.max_body_bytes = 1000;
    options.fetch.stall_timeout = 1s;
    Recorder recorder;
    fetch_batch(urls, options, recorder.callbacks());

    ASSERT_EQ(recorder.results.size(), urls.size());
    for (std::size_t i = 0; i < urls.size(); ++i) {
        const FetchResult alone = fetch_page(urls[i], options.fetch);
        EXPECT_EQ(recorder.results[i].failure, alone.failure) << urls[i];
        EXPECT_EQ(recorder.results[i].body, alone.body) << urls[i];
    }
    EXPECT_EQ(recorder.results[0].body, std::string(40, 'b'));
    EXPECT_EQ(recorder.results[0].failure, FetchFailure::broken_read);
    EXPECT_EQ(recorder.results[1].body, "oops");
    EXPECT_EQ(recorder.results[2].failure, FetchFailure::body_too_large);
    EXPECT_EQ(recorder.results[2].body, std::string(1000, 'x'));
    EXPECT_EQ(recorder.results[3].body, "oops");
    EXPECT_EQ(recorder.results[4].failure, FetchFailure::timed_out);
}

TEST(FetchBatch, FinishedComeInCompletionOrder) {
    LocalHttpServer server;
    // The first page is the slowest, the last the fastest.
    const std::vector<std::chrono::milliseconds> delays = {900ms, 600ms, 300ms, 0ms};
    std::vector<Text> urls;
    for (std::size_t i = 0; i < delays.size(); ++i) {
        const std::string target = "/page/" + std::to_string(i);
        server.set_route(target, delayed(http_response(200, "page " + std::to_string(i)), delays[i]));
        urls.push_back(server.url(target));
    }
    Recorder recorder;
    BatchOptions options;
    options.max_parallel = 4;
    fetch_batch(urls, options, recorder.callbacks());

    EXPECT_EQ(recorder.started, (std::vector<std::size_t>{0, 1, 2, 3}));
    EXPECT_EQ(recorder.finished, (std::vector<std::size_t>{3, 2, 1, 0}));
    for (std::size_t i = 0; i < urls.size(); ++i) EXPECT_EQ(recorder.results[i].body, "page " + std::to_string(i));
}

// The same order, decided by the test instead of by the clock: each page is
// held until the test lets it go, and the test lets the next one go from the
// finished callback of the one before.
TEST(FetchBatch, FinishedFollowTheAnswersNotTheUrls) {
    LocalHttpServer server;
    const std::size_t count = 5;
    std::vector<Text> urls;
    for (std::size_t i = 0; i < count; ++i) {
        Route route;
        route.response = http_response(200, "held " + std::to_string(i));
        route.gate = "gate" + std::to_string(i);
        server.set_route("/held/" + std::to_string(i), route);
        urls.push_back(server.url("/held/" + std::to_string(i)));
    }
    // Release order: 2, 4, 0, 3, 1.
    const std::vector<std::size_t> order = {2, 4, 0, 3, 1};
    std::thread opener([&] {
        if (server.wait_for_requests(count, 30s)) server.open_gate("gate" + std::to_string(order[0]));
    });
    Recorder recorder;
    BatchCallbacks callbacks = recorder.callbacks();
    const auto record = callbacks.finished;
    callbacks.finished = [&](std::size_t index, FetchResult result) {
        record(index, std::move(result));
        if (recorder.finished.size() < order.size()) server.open_gate("gate" + std::to_string(order[recorder.finished.size()]));
    };
    BatchOptions options;
    options.max_parallel = static_cast<int>(count);
    fetch_batch(urls, options, callbacks);
    opener.join();

    EXPECT_EQ(recorder.finished, order);
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(recorder.results[i].body, "held " + std::to_string(i));
}

TEST(FetchBatch, NeverRunsMoreThanMaxParallelAtOnce) {
    LocalHttpServer server;
    std::vector<Text> urls;
    for (int i = 0; i < 12; ++i) {
        const std::string target = "/slow/" + std::to_string(i);
        server.set_route(target, delayed(http_response(200, target), 150ms));
        urls.push_back(server.url(target));
    }
    Recorder recorder;
    BatchOptions options;
    options.max_parallel = 3;
    fetch_batch(urls, options, recorder.callbacks());

    ASSERT_EQ(recorder.results.size(), urls.size());
    for (std::size_t i = 0; i < urls.size(); ++i) EXPECT_EQ(recorder.results[i].body, "/slow/" + std::to_string(i));
    EXPECT_EQ(recorder.most_running, 3u);
    EXPECT_EQ(server.max_open_connections(), 3u);
    EXPECT_EQ(server.connection_count(), 12u);
}

TEST(FetchBatch, MaxParallelBelowOneRunsOneAtATime) {
    LocalHttpServer server;
    std::vector<Text> urls;
    for (int i = 0; i < 4; ++i) {
        server.set_route("/p" + std::to_string(i), delayed(http_response(200, "p"), 50ms));
        urls.push_back(server.url("/p" + std::to_string(i)));
    }
    Recorder recorder;
    BatchOptions options;
    options.max_parallel = 0;
    fetch_batch(urls, options, recorder.callbacks());
    EXPECT_EQ(recorder.results.size(), 4u);
    EXPECT_EQ(recorder.most_running, 1u);
    EXPECT_EQ(server.max_open_connections(), 1u);
    EXPECT_EQ(recorder.finished, (std::vector<std::size_t>{0, 1, 2, 3}));
}

TEST(FetchBatch, CancelFromAnotherThreadStopsAtOnce) {
    LocalHttpServer server;
    Route silent;
    silent.delivery = Delivery::never_answer;
    std::vector<Text> urls;
    for (int i = 0; i < 20; ++i) {
        server.set_route("/silent/" + std::to_string(i), silent);
        urls.push_back(server.url("/silent/" + std::to_string(i)));
    }
    FetchCancellation cancellation;
    std::thread canceller([&] {
        server.wait_for_requests(2, 30s);
        cancellation.cancel();
    });
    Recorder recorder;
    BatchOptions options;
    options.max_parallel = 2;
    options.fetch.stall_timeout = 600s;  // only the cancellation can end these transfers
    fetch_batch(urls, options, recorder.callbacks(), &cancellation);
    canceller.join();

    EXPECT_TRUE(cancellation.cancelled());
    EXPECT_EQ(recorder.started, (std::vector<std::size_t>{0, 1}));
    EXPECT_TRUE(recorder.finished.empty());
    // The dropped transfers closed their connections, and nothing new came.
    server.stop();
    EXPECT_EQ(server.request_count(), 2u);
    EXPECT_EQ(server.connection_count(), 2u);
}

TEST(FetchBatch, CancelFromACallbackStartsNothingMore) {
    LocalHttpServer server;
    std::vector<Text> urls;
    for (int i = 0; i < 10; ++i) {
        server.set_response("/p" + std::to_string(i), http_response(200, "p"));
        urls.push_back(server.url("/p" + std::to_string(i)));
    }
    FetchCancellation cancellation;
    Recorder recorder;
    BatchCallbacks callbacks = recorder.callbacks();
    const auto record = callbacks.finished;
    callbacks.finished = [&](std::size_t index, FetchResult result) {
        record(index, std::move(result));
        if (recorder.finished.size() == 3) cancellation.cancel();
    };
    BatchOptions options;
    options.max_parallel = 1;
    fetch_batch(urls, options, callbacks, &cancellation);
    EXPECT_EQ(recorder.finished, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(recorder.started, (std::vector<std::size_t>{0, 1, 2}));
    server.stop();
    EXPECT_EQ(server.request_count(), 3u);
}

TEST(FetchBatch, AlreadyCancelledSendsNothing) {
    LocalHttpServer server;
    FetchCancellation cancellation;
    cancellation.cancel();
    Recorder recorder;
    fetch_batch({server.url("/a"), server.url("/b")}, BatchOptions{}, recorder.callbacks(), &cancellation);
    EXPECT_TRUE(recorder.started.empty());
    EXPECT_TRUE(recorder.finished.empty());
    server.stop();
    EXPECT_EQ(server.connection_count(), 0u);
}

TEST(FetchBatch, SendsTheRequestOfFetchPage) {
    LocalHttpServer server;
    server.set_response("/shape", http_response(200, "s"));
    const std::string url = "http://user:pw@127.0.0.1:" + std::to_string(server.port()) + "/./a/../shape?q=1#frag";

    ASSERT_EQ(fetch_page(url).body, "s");
    Recorder recorder;
    fetch_batch({url}, BatchOptions{}, recorder.callbacks());
    ASSERT_EQ(recorder.results.size(), 1u);
    EXPECT_EQ(recorder.results[0].body, "s");

    const std::vector<ReceivedRequest> requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].raw, requests[0].raw);
    EXPECT_EQ(requests[1].target, "/shape?q=1");
    EXPECT_EQ(requests[1].version, "HTTP/1.0");
    EXPECT_EQ(requests[1].header_count("Accept"), 1u);
    EXPECT_EQ(requests[1].header("User-Agent"), kAgentString);
    EXPECT_EQ(requests[1].header_count("Authorization"), 1u);
}

TEST(FetchBatch, EmptyListCallsNothing) {
    Recorder recorder;
    fetch_batch({}, BatchOptions{}, recorder.callbacks());
    EXPECT_TRUE(recorder.started.empty());
    EXPECT_TRUE(recorder.finished.empty());
}

TEST(FetchBatch, EmptyCallbacksAreAllowed) {
    LocalHttpServer server;
    server.set_response("/a", http_response(200, "a"));
    fetch_batch({server.url("/a"), ""}, BatchOptions{}, BatchCallbacks{});
    EXPECT_EQ(server.request_count(), 1u);
}

}  // namespace
}  // namespace tavrin
