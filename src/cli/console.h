#pragma once
// Where the command line writes: lines of GB18030 text go out as UTF-8.

#include <cstdio>
#include <string>
#include <string_view>

namespace tavrin {

// Standard output and standard error of one run.
struct Console {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    bool err_is_terminal = false;  // only a person at a terminal wants a progress line

    static Console standard();
};

// Writes GB18030 lines to a stream as UTF-8. Whole lines are gathered and
// converted together, so that a long listing costs one conversion per chunk
// instead of one per cell.
class Utf8LineWriter {
public:
    explicit Utf8LineWriter(std::FILE* stream) : stream_(stream) {}
    ~Utf8LineWriter() { flush(); }
    Utf8LineWriter(const Utf8LineWriter&) = delete;
    Utf8LineWriter& operator=(const Utf8LineWriter&) = delete;

    // Part of the current line, as it stands.
    void append(std::string_view gb18030) { line_.append(gb18030); }
    // Part of the current line, with each line break (CR LF, a lone CR or a
    // lone LF) and each tab written as one space: one record stays one line,
    // and a tab-separated column stays in its place.
    void append_cell(std::string_view gb18030);
    void end_line();
    // Converts and writes everything held, and flushes the stream.
    void flush();
    // Whether any write to the stream failed.
    bool failed() const;

private:
    std::FILE* stream_;
    std::string line_;
};

}  // namespace tavrin
