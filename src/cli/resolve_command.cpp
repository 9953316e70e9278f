#include "cli/resolve_command.h"

#include <string>

#include "cli/fetch_failure_words.h"
#include "cli/progress_line.h"
#include "listing/site.h"
#include "resolve/download_address.h"
#include "resolve/resolve_run.h"
#include "text/display_encoding.h"

namespace tavrin {

namespace {

void report_unresolved(std::FILE* err, std::size_t index, const Text& line, const LineResolution& resolution) {
    if (line.empty()) {
        std::fprintf(err, "tavrin-links-cli: line %zu: empty line, nothing fetched\n", index + 1);
        return;
    }
    std::fprintf(err, "tavrin-links-cli: line %zu: %s: %s\n", index + 1, gb18030_to_utf8(line).c_str(),
                 unresolved_line_words(resolution).c_str());
}

}  // namespace

int resolve_lesson_urls(const std::vector<Text>& lines, int jobs, Console& console) {
    if (lines.empty()) {
        // Most likely the listing before it in a pipeline failed; an empty
        // result must not pass for a resolved course.
        std::fputs("tavrin-links-cli: no lesson URL to resolve\n", console.err);
        return 1;
    }

    std::size_t resolved = 0;
    std::size_t unresolved = 0;
    ProgressLine progress(console.err, console.err_is_terminal, lines.size());
    progress.show(0);
    {
        Utf8LineWriter out(console.out);
        ResolveCallbacks callbacks;
        callbacks.resolved = [&](std::size_t index, LineResolution resolution) {
            if (resolution.address.empty()) {
                ++unresolved;
                progress.clear();
                report_unresolved(console.err, index, lines[index], resolution);
            }
            // One address is one line, like a lesson; an address that runs
            // over a line break would shift every address after it.
            out.append_cell(readable_address(resolution.address));
            out.end_line();
            // Each address goes out at once, so that a downloader further down
            // the pipeline can start on it.
            out.flush();
            progress.show(++resolved);
        };
        ResolveOptions options;
        options.max_parallel = jobs;
        resolve_lines(lines, kTavrinSite.resource_prefix, options, callbacks);
        progress.clear();
        if (out.failed()) {
            std::fputs("tavrin-links-cli: could not write the addresses to standard output\n", console.err);
            return 1;
        }
    }
    if (unresolved > 0) {
        std::fprintf(console.err, "tavrin-links-cli: %zu of %zu lines gave no download address\n", unresolved,
                     lines.size());
        return 1;
    }
    return 0;
}

}  // namespace tavrin
