#pragma once
// Course and lesson pages as the website writes them, for the command-line tests.

#include <string>
#include <string_view>

#include "listing/site.h"
#include "support/local_http_server.h"

namespace tavrin::test {

// One lesson entry of a course page; `path` begins with "/lesson/".
inline std::string lesson_entry(std::string_view number, std::string_view path, std::string_view title) {
    std::string entry = "<li><span class=\"kc_ls\">";
    entry += number;
    entry += "</span><a target=\"_blank\" href=\"";
    entry += path;
    entry += "\" class=\"f_l thumbnail\">";
    entry += title;
    entry += "<span>12:30</span></a></li>\n";
    return entry;
}

inline std::string course_page(std::string_view entries) {
    return "<html><head><meta charset=\"utf-8\"><title>课程</title></head><body><ul>\n" + std::string(entries) +
           "</ul></body></html>\n";
}

// The address as a lesson page holds it: the resource prefix, then `file`.
inline std::string resource_address(std::string_view file) { return kTavrinSite.resource_prefix + std::string(file); }

// A lesson page whose video source is `address`.
inline std::string lesson_page_response(std::string_view address) {
    return http_response(200, "<html><body><video src=\"" + std::string(address) + "\" controls></video></body></html>");
}

}  // namespace tavrin::test
