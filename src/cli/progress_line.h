#pragma once
// "resolved 12/200" on a terminal, written over itself as lines resolve.

#include <cstddef>
#include <cstdio>

namespace tavrin {

// Shows nothing unless enabled: a log file or a pipe wants no carriage returns.
class ProgressLine {
public:
    ProgressLine(std::FILE* stream, bool enabled, std::size_t total)
        : stream_(stream), enabled_(enabled), total_(total) {}
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(std::size_t resolved);
    // Removes the line, so that a message can take its place; the next
    // `show` writes it again.
    void clear();

private:
    std::FILE* stream_;
    bool enabled_;
    std::size_t total_;
    int shown_length_ = 0;  // characters of the line on the screen now
};

}  // namespace tavrin
