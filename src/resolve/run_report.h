#pragma once
// What the end-of-run message of a resolution run says.

#include <cstddef>
#include <string>
#include <vector>

#include "resolve/resolve_run.h"
#include "text/values.h"

namespace tavrin {

// The message names at most this many of the lines that gave no address.
inline constexpr std::size_t kUnresolvedLinesNamed = 10;

// Why a line gave no address, in the words the user reads (UTF-8).
std::string unresolved_reason(const LineResolution& resolution);

class RunReport {
public:
    explicit RunReport(std::size_t line_count) : line_count_(line_count) {}

    // Line by line, in queue order.
    void add(const Text& line, const LineResolution& resolution);
    void mark_cancelled() { cancelled_ = true; }

    std::size_t resolved() const { return resolved_; }
    std::size_t unresolved() const { return unresolved_.size(); }

    // The end-of-run message (GB18030): "解析完毕!  " alone when every line gave
    // an address; otherwise followed by the count of lines without one and up
    // to ten of them with their reasons. A cancelled run says so and how many
    // lines were resolved.
    Text message() const;

private:
    struct Unresolved {
        Text line;
        std::string reason;
    };
    std::size_t line_count_;
    std::size_t resolved_ = 0;
    std::vector<Unresolved> unresolved_;
    bool cancelled_ = false;
};

}  // namespace tavrin
