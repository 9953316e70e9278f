#pragma once
// Course pages for benchmarks, in UTF-8 as the website serves them.
//
// `course_page` writes well-formed lesson entries with Chinese titles, about
// 250 bytes each. The two broken pages hold number spans that no complete
// lesson entry follows, the shape that makes a plain regular-expression search
// scan to the end of the page from every such span.

#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace tavrin::bench {

inline constexpr std::array<std::string_view, 8> kTitleWords{
    "函数与极限", "导数的应用", "不定积分", "定积分及其应用",
    "微分方程", "向量代数", "多元函数微分", "重积分与曲线积分",
};

inline constexpr std::string_view kPageHead =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>课程目录</title></head>\n"
    "<body><div class=\"kc_list\"><ul>\n";
inline constexpr std::string_view kPageTail = "</ul></div></body></html>\n";

// A link tag to lesson `number` and its title; a lesson entry's link has
// the target "_blank" and the class "f_l thumbnail".
inline void append_link(std::string& page, std::string_view target, std::string_view link_class, int number) {
    page += "<a target=\"";
    page += target;
    page += "\" href=\"/lesson/";
    page += std::to_string(100000 + number);
    page += "\" class=\"";
    page += link_class;
    page += "\">";
    page += kTitleWords[static_cast<std::size_t>(number) % kTitleWords.size()];
}

// One complete lesson entry: number span, lesson link, title, then the
// duration span where the title ends.
inline void append_lesson_entry(std::string& page, int number) {
    const std::string n = std::to_string(number);
    page += "<li class=\"kc_item\">\n<span class=\"kc_ls\">第";
    page += n;
    page += "课</span>";
    append_link(page, "_blank", "f_l thumbnail", number);
    page += "（第";
    page += n;
    page += "讲）<span>";
    page += std::to_string(10 + number % 50);
    page += ":";
    page += std::to_string(10 + number % 49);
    page += "</span></a>\n<p class=\"kc_info\">讲师：王老师 · 已有";
    page += std::to_string(number * 7 % 10000);
    page += "人学习</p>\n</li>\n";
}

inline std::string course_page(int lessons) {
    std::string page(kPageHead);
    page.reserve(static_cast<std::size_t>(lessons) * 260 + 256);
    for (int number = 1; number <= lessons; ++number) {
        append_lesson_entry(page, number);
    }
    page += kPageTail;
    return page;
}

// The page of `course_page`, built once per size for the whole program:
// building the largest takes longer than reading it.
inline const std::string& cached_course_page(int lessons) {
    static std::map<int, std::string> pages;
    auto found = pages.find(lessons);
    if (found == pages.end()) {
        found = pages.emplace(lessons, course_page(lessons)).first;
    }
    return found->second;
}

// Chinese filler text up to `length` bytes, cut at a character boundary.
inline void append_filler(std::string& page, std::size_t length) {
    constexpr std::string_view kSentence = "本节内容包括例题讲解与课后练习。";  // 3-byte characters
    const std::size_t end = page.size() + length;
    page += "<p class=\"kc_desc\">";
    while (page.size() + kSentence.size() + 4 <= end) {
        page += kSentence;
    }
    page += "</p>\n";
}

// `spans` number spans, each followed by a link that is not a lesson link
// (another target), padded with filler to about `page_bytes` in all.
inline std::string page_with_unlinked_spans(int spans, std::size_t page_bytes) {
    std::string page(kPageHead);
    page.reserve(page_bytes + 1024);
    const std::size_t per_span = page_bytes / static_cast<std::size_t>(spans);
    for (int number = 1; number <= spans; ++number) {
        const std::size_t start = page.size();
        page += "<li><span class=\"kc_ls\">第";
        page += std::to_string(number);
        page += "课</span>";
        append_link(page, "_self", "f_l thumbnail", number);
        page += "<span>12:34</span></a></li>\n";
        const std::size_t used = page.size() - start;
        append_filler(page, per_span > used ? per_span - used : 0);
    }
    page += kPageTail;
    return page;
}

// One number span followed by `links` lesson links of another class: every
// link matches the start of a lesson entry, none of them completes one.
inline std::string page_with_foreign_links(int links) {
    std::string page(kPageHead);
    page.reserve(static_cast<std::size_t>(links) * 120 + 256);
    page += "<li><span class=\"kc_ls\">第1课";
    for (int number = 1; number <= links; ++number) {
        page += "</span>";
        append_link(page, "_blank", "f_l recommend", number);
        page += "<span>\n";
    }
    page += kPageTail;
    return page;
}

}  // namespace tavrin::bench
