// How much the resolution of a queue gains from fetching several lesson
// pages at a time. 200 lesson pages, each answered 50 ms after its request
// as by a distant web site, are resolved twice in one run: by the real
// 解析(&P) handler, and strictly one page after another through the same
// resolution code. Both must leave the same bytes in the result box.
//
//   resolve_queue_bench    prints both times and their ratio; exits 1 when
//                          the result boxes differ

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "offscreen_loopback.h"
#include "resolve/download_address.h"
#include "resolve/resolve_handler.h"
#include "resolve/resolve_run.h"
#include "support/handler_form.h"
#include "support/local_http_server.h"
#include "text/primitives.h"
#include "toolkit/services.h"

namespace {

using tavrin::Site;
using tavrin::Text;
using tavrin::testing::HandlerForm;

constexpr int kLessonPages = 200;
constexpr std::chrono::milliseconds kAnswerDelay{50};
constexpr double kGoalRatio = 5.0;
const Text kResourcePrefix = "http://res.tavrin.com/resources/";

Text lesson_address(int number) { return kResourcePrefix + "video/" + std::to_string(number) + ".mp4"; }

// A small lesson page whose one resource address names the lesson.
std::string lesson_page(int number) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>第" + std::to_string(number) +
           "课</title></head>\n<body><div class=\"player\"><video controls src=\"" + lesson_address(number) +
           "\"></video></div></body></html>\n";
}

// Serves every lesson page after the delay and returns the queue of their
// URLs, one a line, as the queue box holds it.
Text serve_lessons(tavrin::test::LocalHttpServer& server) {
    Text queue;
    for (int number = 1; number <= kLessonPages; ++number) {
        const std::string path = "/lesson/" + std::to_string(number);
        tavrin::test::Route route;
        route.response = tavrin::test::http_response(200, lesson_page(number));
        route.delay = kAnswerDelay;
        server.set_route(path, std::move(route));
        queue += server.url(path) + "\r\n";
    }
    return queue;
}

// What the handler does, one page at a time on the calling thread: the queue
// trimmed and split the same way, the same resolution with a single fetch at
// a time, the same entries appended in queue order.
void resolve_one_after_another(HandlerForm& form, const Site& site) {
    tavrin::set_control_text(form.queueEdit, tavrin::text_trim(form.queue()));
    const std::vector<Text> lines = tavrin::text_split(form.queue(), "\r\n");
    tavrin::ResolveOptions options;
    options.max_parallel = 1;
    tavrin::ResolveCallbacks callbacks;
    callbacks.resolved = [&](std::size_t, tavrin::LineResolution resolution) {
        tavrin::append_edit_text(form.resultEdit, tavrin::result_entry(resolution.address));
    };
    tavrin::resolve_lines(lines, site.resource_prefix, options, callbacks);
}

template <typename Run>
double seconds_of(Run&& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

Text expected_results() {
    Text results;
    for (int number = 1; number <= kLessonPages; ++number) {
        results += lesson_address(number) + "\r\n\r\n";
    }
    return results;
}

}  // namespace

int main(int argc, char** argv) {
    tavrin::bench::prepare_offscreen_loopback();
    QApplication application(argc, argv);

    tavrin::test::LocalHttpServer server;
    const Text queue = serve_lessons(server);
    const Site site{server.origin(), kResourcePrefix};

    HandlerForm parallel;
    parallel.window.show();
    parallel.setQueue(queue);
    const double parallel_seconds = seconds_of([&] { tavrin::resolve_queued_lessons(parallel.context, site); });

    HandlerForm sequential;
    sequential.window.show();
    sequential.setQueue(queue);
    const double sequential_seconds = seconds_of([&] { resolve_one_after_another(sequential, site); });

    const double ratio = sequential_seconds / parallel_seconds;
    std::printf("%d lesson pages, each answered after %lld ms\n", kLessonPages,
                static_cast<long long>(kAnswerDelay.count()));
    std::printf("  %d at a time (解析 handler): %8.3f s\n", tavrin::kParallelLessonFetches, parallel_seconds);
    std::printf("  one after another:          %8.3f s\n", sequential_seconds);
    std::printf("  ratio: %.2f (goal: at least %.0f) %s\n", ratio, kGoalRatio,
                ratio >= kGoalRatio ? "met" : "NOT met");

    const Text parallel_results = parallel.results();
    const bool same = parallel_results == sequential.results();
    const bool complete = parallel_results == expected_results();
    std::printf("  result boxes: %s; every page's address in queue order: %s\n",
                same ? "byte for byte the same" : "DIFFERENT", complete ? "yes" : "NO");
    std::printf("  end message: %s\n",
                parallel.desktop.messages.empty() ? "(none)"
                                                  : parallel.desktop.messages.back().text.toStdString().c_str());
    return same && complete ? 0 : 1;
}
