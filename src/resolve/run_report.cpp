#include "resolve/run_report.h"

#include "listing/fetch_failure_text.h"
#include "text/display_encoding.h"

namespace tavrin {

std::string unresolved_reason(const LineResolution& resolution) {
    switch (resolution.outcome) {
    case LineOutcome::address_found:
        return {};
    case LineOutcome::fetch_failed:
        return "无法读取页面：" + fetch_failure_reason(resolution.fetch);
    case LineOutcome::no_address_on_page:
        break;
    }
    return "页面中没有下载地址";
}

void RunReport::add(const Text& line, const LineResolution& resolution) {
    ++resolved_;
    if (resolution.address.empty()) {
        unresolved_.push_back({line, unresolved_reason(resolution)});
    }
}

Text RunReport::message() const {
    Text message;
    const auto add_utf8 = [&message](const std::string& utf8) { message += utf8_to_gb18030(utf8); };

    if (cancelled_) {
        add_utf8("解析已取消!  \r\n已解析 " + std::to_string(resolved_) + " 条，共 " +
                 std::to_string(line_count_) + " 条。");
    } else {
        add_utf8("解析完毕!  ");
    }
    if (unresolved_.empty()) {
        return message;
    }
    add_utf8("\r\n其中 " + std::to_string(unresolved_.size()) + " 条未找到下载地址。");
    std::size_t named = 0;
    for (const Unresolved& entry : unresolved_) {
        if (named == kUnresolvedLinesNamed) {
            add_utf8("\r\n……另有 " + std::to_string(unresolved_.size() - named) + " 条未列出。");
            break;
        }
        message += "\r\n";
        if (entry.line.empty()) {
            add_utf8("（空行）");
        } else {
            message += entry.line;
        }
        add_utf8("：" + entry.reason);
        ++named;
    }
    return message;
}

}  // namespace tavrin
