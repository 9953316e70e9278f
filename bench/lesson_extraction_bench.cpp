// How long reading a course page takes, from the fetched bytes to the lesson
// matches: conversion, pattern compilation and the search.

#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "course_page_generator.h"
#include "course_page_load_bench.h"
#include "listing/course_page.h"
#include "listing/pattern.h"

namespace {

using tavrin::ByteSet;
using tavrin::CourseListingState;
using tavrin::bench::report_page;

void BM_LoadCoursePage(benchmark::State& state) {
    const int lessons = static_cast<int>(state.range(0));
    tavrin::bench::time_load_course_page(state, tavrin::bench::cached_course_page(lessons), static_cast<std::size_t>(lessons));
}
BENCHMARK(BM_LoadCoursePage)->Arg(100)->Arg(1000)->Arg(10000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LoadBrokenPage_UnlinkedSpans(benchmark::State& state) {
    static const ByteSet page = tavrin::bench::page_with_unlinked_spans(2000, 5'000'000);
    tavrin::bench::time_load_course_page(state, page, 0);
}
BENCHMARK(BM_LoadBrokenPage_UnlinkedSpans)->Unit(benchmark::kMillisecond);

void BM_LoadBrokenPage_ForeignLinks(benchmark::State& state) {
    static const ByteSet page = tavrin::bench::page_with_foreign_links(20000);
    tavrin::bench::time_load_course_page(state, page, 0);
}
BENCHMARK(BM_LoadBrokenPage_ForeignLinks)->Unit(benchmark::kMillisecond);

// The search alone over the GB18030 text, with and without the literal-piece
// guard (range 1: 1 guarded, 0 plain Boost.Regex).
void search_text(benchmark::State& state, const tavrin::Text& text, std::size_t expected_lessons) {
    auto pattern = tavrin::pattern_create();
    tavrin::pattern_compile(*pattern, tavrin::kLessonPattern);
    const bool guarded = state.range(1) != 0;
    const std::vector<std::string_view> no_pieces;
    std::size_t found = 0;
    for (auto _ : state) {
        const auto matches =
            tavrin::pattern_search_all(*pattern, text, guarded ? tavrin::lesson_pattern_pieces() : no_pieces);
        found = matches.size();
        benchmark::DoNotOptimize(matches.data());
    }
    if (found != expected_lessons) {
        state.SkipWithError("unexpected number of lessons");
    }
    report_page(state, text, found);
}

tavrin::Text converted_text(const ByteSet& page) {
    CourseListingState listing;
    tavrin::load_course_page(listing, page);
    return listing.course_page_text;
}

void BM_Search_CoursePage(benchmark::State& state) {
    const int lessons = static_cast<int>(state.range(0));
    static std::map<int, tavrin::Text> texts;
    if (texts.find(lessons) == texts.end()) {
        texts.emplace(lessons, converted_text(tavrin::bench::cached_course_page(lessons)));
    }
    search_text(state, texts.at(lessons), static_cast<std::size_t>(lessons));
}
BENCHMARK(BM_Search_CoursePage)
    ->ArgNames({"lessons", "guarded"})
    ->Args({20000, 1})
    ->Args({20000, 0})
    ->Unit(benchmark::kMillisecond);

// Plain Boost.Regex on broken pages far smaller than the ones above: its time
// grows with the square of the page, so the full-size pages would take minutes.
void BM_Search_SmallUnlinkedSpans(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0));
    static const tavrin::Text text =
        converted_text(tavrin::bench::page_with_unlinked_spans(static_cast<int>(bytes / 2500), bytes));
    search_text(state, text, 0);
}
BENCHMARK(BM_Search_SmallUnlinkedSpans)
    ->ArgNames({"bytes", "guarded"})
    ->Args({1000000, 1})
    ->Args({1000000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_Search_SmallForeignLinks(benchmark::State& state) {
    static const tavrin::Text text =
        converted_text(tavrin::bench::page_with_foreign_links(static_cast<int>(state.range(0))));
    search_text(state, text, 0);
}
BENCHMARK(BM_Search_SmallForeignLinks)
    ->ArgNames({"links", "guarded"})
    ->Args({4000, 1})
    ->Args({4000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
