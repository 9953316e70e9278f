#include "cli/input_lines.h"

#include "text/display_encoding.h"
#include "text/primitives.h"

namespace tavrin {

std::vector<Text> lesson_urls_from_input(std::string_view utf8) {
    // The converted text is valid GB18030, so the unit walk of the split meets
    // every LF at a unit start.
    std::vector<Text> lines = text_split(text_trim(utf8_to_gb18030(utf8)), "\n");
    for (Text& line : lines) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
    }
    return lines;
}

}  // namespace tavrin
