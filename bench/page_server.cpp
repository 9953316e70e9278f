// A loopback web site for comparing tavrin-links-cli with shell pipelines.
//
// Serves on 127.0.0.1 (a port of the system's choosing):
//   /course                 a course page of 20,000 lessons with Chinese titles
//   /course-200             the course page of its first 200 lessons, the size
//                           of a course that people take
//   /lesson/100001 ...      the lesson pages of the first 200 lessons, each
//                           answering 50 ms after its request, as a distant
//                           web site would
// Prints its origin ("http://127.0.0.1:PORT") on one line, then serves until
// its standard input closes or it is killed.

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

#include "course_page_generator.h"
#include "support/local_http_server.h"

namespace {

constexpr int kCourseLessons = 20000;
constexpr int kLessonPages = 200;
constexpr std::chrono::milliseconds kLessonPageDelay{50};

// The lesson page of lesson `number` (as numbered in the course page's links):
// some text around one video source whose address holds the lesson number.
std::string lesson_page(int number) {
    std::string page(tavrin::bench::kPageHead);
    tavrin::bench::append_filler(page, 600);
    page += "<video controls src=\"http://res.tavrin.com/resources/course/";
    page += std::to_string(100000 + number);
    page += ".mp4\" type=\"video/mp4\"></video>\n";
    tavrin::bench::append_filler(page, 300);
    page += tavrin::bench::kPageTail;
    return page;
}

}  // namespace

int main() {
    tavrin::test::LocalHttpServer server;
    server.set_response("/course", tavrin::test::http_response(200, tavrin::bench::course_page(kCourseLessons)));
    server.set_response("/course-200", tavrin::test::http_response(200, tavrin::bench::course_page(kLessonPages)));
    for (int number = 1; number <= kLessonPages; ++number) {
        tavrin::test::Route route;
        route.response = tavrin::test::http_response(200, lesson_page(number));
        route.delay = kLessonPageDelay;
        server.set_route("/lesson/" + std::to_string(100000 + number), std::move(route));
    }
    std::cout << server.origin() << std::endl;

    // The script that started the server holds the other end of standard input.
    char buffer[256];
    while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
    }
    server.stop();
    return 0;
}
