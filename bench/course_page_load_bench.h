#pragma once
// Timing the read of a course page that has already arrived, for every
// benchmark that reports it: the read alone, and the read as one piece of
// the 读取(&R) click.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "listing/course_page.h"

namespace tavrin::bench {

// The page's size and the lessons found, next to the time.
inline void report_page(benchmark::State& state, const std::string& page, std::size_t lessons) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    state.counters["page_MB"] = static_cast<double>(page.size()) / 1e6;
    state.counters["lessons"] = static_cast<double>(lessons);
}

// `load_course_page` on a fresh copy of the page each time, as the window runs
// it on the fetched bytes: conversion, pattern compilation and the search.
inline void time_load_course_page(benchmark::State& state, const std::string& page,
                                  std::size_t expected_lessons) {
    CourseListingState listing;
    for (auto _ : state) {
        state.PauseTiming();
        std::string fetched = page;
        state.ResumeTiming();
        load_course_page(listing, std::move(fetched));
        benchmark::DoNotOptimize(listing.lesson_matches.data());
    }
    if (listing.lesson_matches.size() != expected_lessons) {
        state.SkipWithError("unexpected number of lessons");
    }
    report_page(state, page, listing.lesson_matches.size());
}

}  // namespace tavrin::bench
