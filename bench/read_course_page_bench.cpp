// How long 读取(&R) takes from the click to a lesson list the user can see:
// the real handler fetches the course page from a loopback server, reads it
// and fills the real lesson list, which then lays itself out and draws its
// new rows.
//
// For a 20,000-lesson course the same work is also timed piece by piece, to
// show where the time goes.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QWindow>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "course_page_generator.h"
#include "course_page_load_bench.h"
#include "listing/course_page.h"
#include "listing/fetch_batch.h"
#include "listing/read_course_page.h"
#include "offscreen_loopback.h"
#include "support/handler_form.h"
#include "support/local_http_server.h"
#include "toolkit/lesson_list.h"

namespace {

using tavrin::ByteSet;
using tavrin::CourseListingState;
using tavrin::Site;
using tavrin::Text;
using tavrin::bench::cached_course_page;
using tavrin::bench::report_page;
using tavrin::testing::HandlerForm;

constexpr int kSplitLessons = 20000;
const Text kResourcePrefix = "http://res.tavrin.com/resources/";

// One course page on a loopback server. The server keeps a finished thread
// for every connection until it stops, so a long run of small pages is moved
// to a fresh server now and then (while the clock is paused).
class CourseSite {
public:
    explicit CourseSite(const ByteSet& page) : response_(tavrin::test::http_response(200, page)) {}

    // The course URL for the next fetch.
    Text next_url() {
        if (!server_ || server_->request_count() >= kRequestsPerServer) {
            server_.reset();
            server_.emplace();
            server_->set_response("/course", response_);
        }
        return server_->url("/course");
    }
    Site site() const { return Site{server_->origin(), kResourcePrefix}; }

private:
    static constexpr std::size_t kRequestsPerServer = 200;
    std::string response_;
    std::optional<tavrin::test::LocalHttpServer> server_;
};

// A new form on the screen whose lesson list has never held a row, already
// drawn once: otherwise the window's first paint of every control would land
// in the timed work. Null if the window system never exposed it (nothing
// could be drawn).
std::unique_ptr<HandlerForm> shown_form() {
    auto form = std::make_unique<HandlerForm>();
    form->window.show();
    QCoreApplication::processEvents();
    const QWindow* window = form->window.windowHandle();
    if (window == nullptr || !window->isExposed()) {
        return nullptr;
    }
    form->window.repaint();
    return form;
}

// What the user waits for after the handler returned: the events it left
// behind (among them the list's deferred layout), then the list drawn with
// its new rows. The drawing is asked for at once: left to itself it would
// wait for the window's next frame tick, which is idle time, not work.
void draw_new_rows(HandlerForm& form) {
    QCoreApplication::processEvents();
    form.lessonList->viewport()->repaint();
}

// The whole click: a fresh form and state each time, so every iteration
// starts from an empty list, up to the list drawn with its new rows.
void read_through_handler(benchmark::State& state, const ByteSet& page, int expected_rows,
                          std::size_t expected_messages) {
    CourseSite course(page);
    int rows = 0;
    std::size_t messages = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const Text url = course.next_url();
        auto form = shown_form();
        if (!form) {
            state.SkipWithError("the window was never exposed");
            return;
        }
        auto listing = std::make_unique<CourseListingState>();
        form->setCourseUrl(url);
        state.ResumeTiming();

        tavrin::read_course_page(form->context, *listing, course.site());
        draw_new_rows(*form);

        state.PauseTiming();
        rows = form->lessonList->model()->rowCount();
        messages = form->desktop.messages.size();
        form.reset();
        listing.reset();
        state.ResumeTiming();
    }
    if (rows != expected_rows || messages != expected_messages) {
        state.SkipWithError("the list did not end as expected");
    }
    report_page(state, page, static_cast<std::size_t>(rows));
}

void BM_ReadCoursePage(benchmark::State& state) {
    const int lessons = static_cast<int>(state.range(0));
    read_through_handler(state, cached_course_page(lessons), lessons, 0);
}
BENCHMARK(BM_ReadCoursePage)
    ->ArgName("lessons")
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Broken pages add no row; the handler says so in one message.
void BM_ReadBrokenPage_UnlinkedSpans(benchmark::State& state) {
    static const ByteSet page = tavrin::bench::page_with_unlinked_spans(2000, 5'000'000);
    read_through_handler(state, page, 0, 1);
}
BENCHMARK(BM_ReadBrokenPage_UnlinkedSpans)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadBrokenPage_ForeignLinks(benchmark::State& state) {
    static const ByteSet page = tavrin::bench::page_with_foreign_links(20000);
    read_through_handler(state, page, 0, 1);
}
BENCHMARK(BM_ReadBrokenPage_ForeignLinks)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---------------------------------------------------------------------------
// The pieces of one 20,000-lesson read, each with the functions the handler
// calls, in the order it calls them.

using ListRows = std::vector<std::array<Text, 3>>;

const Site kSplitSite{"http://127.0.0.1", kResourcePrefix};

// The state after reading the page, as the handler has it before building rows.
const CourseListingState& loaded_split_page() {
    static const auto listing = [] {
        auto loaded = std::make_unique<CourseListingState>();
        tavrin::load_course_page(*loaded, cached_course_page(kSplitLessons));
        return loaded;
    }();
    return *listing;
}

ListRows build_rows(const CourseListingState& listing, const Site& site) {
    ListRows rows;
    rows.reserve(listing.lesson_matches.size());
    for (const tavrin::MatchRecord& match : listing.lesson_matches) {
        tavrin::LessonRow row = tavrin::lesson_row(listing, match, site);
        rows.push_back({std::move(row.number), std::move(row.title), std::move(row.link)});
    }
    return rows;
}

// The fetch alone; the smallest page shows what one request over the
// loopback costs whatever the page's size.
void BM_Split_Fetch(benchmark::State& state) {
    const int lessons = static_cast<int>(state.range(0));
    const ByteSet& page = cached_course_page(lessons);
    CourseSite course(page);
    std::size_t received = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const Text url = course.next_url();
        state.ResumeTiming();
        tavrin::FetchCancellation cancellation;
        received = tavrin::fetch_page(url, cancellation).body.size();
    }
    if (received != page.size()) {
        state.SkipWithError("the page did not arrive whole");
    }
    report_page(state, page, static_cast<std::size_t>(lessons));
}
BENCHMARK(BM_Split_Fetch)->ArgName("lessons")->Arg(100)->Arg(kSplitLessons)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Split_LoadCoursePage(benchmark::State& state) {
    tavrin::bench::time_load_course_page(state, cached_course_page(kSplitLessons), kSplitLessons);
}
BENCHMARK(BM_Split_LoadCoursePage)->Unit(benchmark::kMillisecond)->UseRealTime();

// Cutting the three cells of every row out of the page text.
void BM_Split_BuildRows(benchmark::State& state) {
    const CourseListingState& listing = loaded_split_page();
    std::size_t rows = 0;
    for (auto _ : state) {
        const ListRows built = build_rows(listing, kSplitSite);
        rows = built.size();
        benchmark::DoNotOptimize(built.data());
    }
    report_page(state, cached_course_page(kSplitLessons), rows);
}
BENCHMARK(BM_Split_BuildRows)->Unit(benchmark::kMillisecond)->UseRealTime();

// Handing the rows to an empty list (range 0 "draw": 1 also lays the list out
// and draws it, 0 times the model and view notification alone).
void BM_Split_FillList(benchmark::State& state) {
    const ListRows rows = build_rows(loaded_split_page(), kSplitSite);
    const bool draw = state.range(0) != 0;
    int filled = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto form = shown_form();
        if (!form) {
            state.SkipWithError("the window was never exposed");
            return;
        }
        ListRows copy = rows;
        state.ResumeTiming();

        tavrin::list_append_rows(form->lessonList, std::move(copy));
        if (draw) {
            draw_new_rows(*form);
        }

        state.PauseTiming();
        filled = form->lessonList->model()->rowCount();
        form.reset();
        state.ResumeTiming();
    }
    if (filled != kSplitLessons) {
        state.SkipWithError("unexpected number of rows");
    }
    report_page(state, cached_course_page(kSplitLessons), static_cast<std::size_t>(filled));
}
BENCHMARK(BM_Split_FillList)->ArgName("draw")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    tavrin::bench::prepare_offscreen_loopback();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
