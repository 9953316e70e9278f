#include "cli/lessons_command.h"

#include "cli/fetch_failure_words.h"
#include "listing/course_page.h"
#include "listing/fetcher.h"
#include "listing/site.h"
#include "text/display_encoding.h"

namespace tavrin {

namespace {

// Why no lesson was printed, or nothing when lessons were.
std::string no_lessons_reason(const CoursePageRead& read, const FetchResult& fetched) {
    switch (no_lessons_cause(read, fetched)) {
    case NoLessonsCause::none:
        return {};
    case NoLessonsCause::fetch_failed:
        return "could not fetch the course page: " + fetch_failure_words(fetched);
    case NoLessonsCause::empty_page:
        return "the course page is empty, no lessons";
    case NoLessonsCause::not_convertible:
        return "the course page is neither UTF-8 nor GBK, no lessons read";
    case NoLessonsCause::incomplete_page:
        return "the course page arrived incomplete (" + fetch_failure_words(fetched) + ") and holds no lessons";
    case NoLessonsCause::no_lessons:
        break;
    }
    return "no lessons on the course page";
}

}  // namespace

int list_course_lessons(const std::string& course_url, Console& console) {
    // The window reads its URL box as GB18030; the URL goes out as it would there.
    const Text url = utf8_to_gb18030(course_url);
    FetchResult fetched = fetch_page(url);

    CourseListingState listing;
    const CoursePageRead read = load_course_page(listing, std::move(fetched.body));
    // Rows are cut from the page text alone; the other two forms can go now.
    listing.course_page_bytes = ByteSet{};
    listing.course_page_gb = ByteSet{};

    {
        Utf8LineWriter out(console.out);
        for (const MatchRecord& match : listing.lesson_matches) {
            const LessonRow row = lesson_row(listing, match, kTavrinSite);
            out.append_cell(row.number);
            out.append("\t");
            out.append_cell(row.title);
            out.append("\t");
            out.append_cell(row.link);
            out.end_line();
        }
        out.flush();
        if (out.failed()) {
            std::fputs("tavrin-links-cli: could not write the lessons to standard output\n", console.err);
            return 1;
        }
    }

    const std::string reason = no_lessons_reason(read, fetched);
    if (!reason.empty()) {
        std::fprintf(console.err, "tavrin-links-cli: %s: %s\n", course_url.c_str(), reason.c_str());
        return 1;
    }
    if (fetched.failure != FetchFailure::none) {
        // A page cut short lists only the lessons before the break; a script
        // must not take that for the whole course.
        std::fprintf(console.err,
                     "tavrin-links-cli: %s: the course page arrived incomplete (%s); lessons after the break "
                     "are missing\n",
                     course_url.c_str(), fetch_failure_words(fetched).c_str());
        return 1;
    }
    return 0;
}

}  // namespace tavrin
