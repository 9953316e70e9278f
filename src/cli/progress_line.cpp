#include "cli/progress_line.h"

namespace tavrin {

void ProgressLine::show(std::size_t resolved) {
    if (!enabled_) {
        return;
    }
    // The count only grows, so the new line always covers the old one.
    const int length = std::fprintf(stream_, "\rresolved %zu/%zu", resolved, total_);
    shown_length_ = length > 1 ? length - 1 : 0;
    std::fflush(stream_);
}

void ProgressLine::clear() {
    if (!enabled_ || shown_length_ == 0) {
        return;
    }
    std::fprintf(stream_, "\r%*s\r", shown_length_, "");
    shown_length_ = 0;
    std::fflush(stream_);
}

}  // namespace tavrin
