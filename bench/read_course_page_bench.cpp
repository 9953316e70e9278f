// How long 读取(&R) takes from the click to a lesson list the user can see:
// the real handler fetches the course page from a loopback server, reads it
// and fills the real lesson list, which then lays itself out and repaints.
// For a 20,000-lesson course the same work is also timed piece by piece, to
// show where the time goes.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "course_page_generator.h"
#include "listing/course_page.h"
#include "listing/fetch_batch.h"
#include "listing/read_course_page.h"
#include "support/handler_form.h"
#include "support/local_http_server.h"
#include "toolkit/lesson_list.h"

namespace {

using tavrin::ByteSet;
using tavrin::CourseListingState;
using tavrin::Site;
using tavrin::Text;
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

// Pages are built once per size; building the largest takes longer than reading it.
const ByteSet& cached_course_page(int lessons) {
    static std::map<int, ByteSet> pages;
    auto found = pages.find(lessons);
    if (found == pages.end()) {
        found = pages.emplace(lessons, tavrin::bench::course_page(lessons)).first;
    }
    return found->second;
}

// A new, shown form whose lesson list has never held a row.
std::unique_ptr<HandlerForm> shown_form() {
    auto form = std::make_unique<HandlerForm>();
    form->window.show();
    QCoreApplication::processEvents();
    return form;
}

void report_page(benchmark::State& state, const ByteSet& page, int rows) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    state.counters["page_MB"] = static_cast<double>(page.size()) / 1e6;
    state.counters["rows"] = rows;
}

// The whole click: a fresh form and state each time, so every iteration
// starts from an empty list. The events processed after the handler returns
// are the list's layout and first repaint with its new rows.
void read_through_handler(benchmark::State& state, const ByteSet& page, int expected_rows,
                          std::size_t expected_messages) {
    CourseSite course(page);
    int rows = 0;
    std::size_t messages = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const Text url = course.next_url();
        auto form = shown_form();
        auto listing = std::make_unique<CourseListingState>();
        form->setCourseUrl(url);
        state.ResumeTiming();

        tavrin::read_course_page(form->context, *listing, course.site());
        QCoreApplication::processEvents();

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
    report_page(state, page, rows);
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
    const ByteSet& page = cached_course_page(static_cast<int>(state.range(0)));
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
    report_page(state, page, 0);
}
BENCHMARK(BM_Split_Fetch)->ArgName("lessons")->Arg(100)->Arg(kSplitLessons)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Split_LoadCoursePage(benchmark::State& state) {
    const ByteSet& page = cached_course_page(kSplitLessons);
    CourseListingState listing;
    for (auto _ : state) {
        state.PauseTiming();
        ByteSet fetched = page;
        state.ResumeTiming();
        tavrin::load_course_page(listing, std::move(fetched));
    }
    if (listing.lesson_matches.size() != kSplitLessons) {
        state.SkipWithError("unexpected number of lessons");
    }
    report_page(state, page, 0);
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
    report_page(state, cached_course_page(kSplitLessons), static_cast<int>(rows));
}
BENCHMARK(BM_Split_BuildRows)->Unit(benchmark::kMillisecond)->UseRealTime();

// Handing the rows to an empty list (range 1: 1 also lets the shown list lay
// itself out and repaint, 0 times the model and view notification alone).
void BM_Split_FillList(benchmark::State& state) {
    const ListRows rows = build_rows(loaded_split_page(), kSplitSite);
    const bool repaint = state.range(0) != 0;
    int filled = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto form = shown_form();
        ListRows copy = rows;
        state.ResumeTiming();

        tavrin::list_append_rows(form->lessonList, std::move(copy));
        if (repaint) {
            QCoreApplication::processEvents();
        }

        state.PauseTiming();
        filled = form->lessonList->model()->rowCount();
        form.reset();
        state.ResumeTiming();
    }
    if (filled != kSplitLessons) {
        state.SkipWithError("unexpected number of rows");
    }
    report_page(state, cached_course_page(kSplitLessons), filled);
}
BENCHMARK(BM_Split_FillList)->ArgName("repaint")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();


}  // namespace

int main(int argc, char** argv) {
    // The list needs a window system; without a display the widgets draw
    // into memory, as they do in the tests.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    // Before any thread starts: keeps a proxy of the environment away from
    // the loopback server.
    tavrin::test::bypass_proxy_for_loopback();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
