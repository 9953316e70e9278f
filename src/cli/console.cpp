#include "cli/console.h"

#include <unistd.h>

#include <algorithm>

#include "text/display_encoding.h"

namespace tavrin {

namespace {

// Lines gathered before one conversion; large enough that the conversion's
// set-up cost vanishes, small enough to start writing early.
constexpr std::size_t kChunkBytes = 64 * 1024;

}  // namespace

Console Console::standard() {
    Console console;
    console.err_is_terminal = isatty(fileno(stderr)) == 1;
    return console;
}

void Utf8LineWriter::append_cell(std::string_view gb18030) {
    // Neither CR, LF nor tab can be the second byte of a GB18030 character, so
    // replacing them byte by byte never splits a character. Runs without them
    // are copied whole: a long listing is mostly such runs.
    const auto is_break = [](char c) { return c == '\r' || c == '\n' || c == '\t'; };
    auto at = gb18030.begin();
    for (;;) {
        const auto special = std::find_if(at, gb18030.end(), is_break);
        line_.append(at, special);
        if (special == gb18030.end()) {
            return;
        }
        line_.push_back(' ');
        at = special + 1;
        if (*special == '\r' && at != gb18030.end() && *at == '\n') {
            ++at;  // CR LF is one line break
        }
    }
}

void Utf8LineWriter::end_line() {
    line_.push_back('\n');
    if (line_.size() >= kChunkBytes) {
        flush();
    }
}

void Utf8LineWriter::flush() {
    if (!line_.empty()) {
        const std::string utf8 = gb18030_to_utf8(line_);
        line_.clear();
        std::fwrite(utf8.data(), 1, utf8.size(), stream_);
    }
    std::fflush(stream_);
}

bool Utf8LineWriter::failed() const { return std::ferror(stream_) != 0; }

}  // namespace tavrin
