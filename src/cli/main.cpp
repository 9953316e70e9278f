// tavrin-links-cli: the lessons of a course page and the download addresses of
// lesson pages, on standard output, for scripts and machines without a display.

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/input_lines.h"
#include "cli/lessons_command.h"
#include "cli/resolve_command.h"
#include "listing/site.h"
#include "text/display_encoding.h"

namespace {

constexpr int kUsageError = 2;

std::string read_all(std::FILE* stream) {
    std::string data;
    char buffer[64 * 1024];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0) {
        data.append(buffer, got);
    }
    return data;
}

std::vector<tavrin::Text> lines_to_resolve(const std::vector<std::string>& urls, tavrin::Console& console) {
    if (urls.empty()) {
        if (isatty(fileno(stdin)) == 1 && console.err_is_terminal) {
            std::fputs("Reading lesson URLs, one a line; end with Ctrl-D.\n", console.err);
        }
        return tavrin::lesson_urls_from_input(read_all(stdin));
    }
    // Each argument is one line, taken as it stands.
    std::vector<tavrin::Text> lines;
    lines.reserve(urls.size());
    for (const std::string& url : urls) {
        lines.push_back(tavrin::utf8_to_gb18030(url));
    }
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Lists the lessons of a Tavrin course page and resolves lesson pages to the\n"
                 "download addresses of their resources. Output is UTF-8.",
                 "tavrin-links-cli"};
    app.set_version_flag("--version", std::string("tavrin-links-cli ") + TAVRIN_VERSION);
    app.require_subcommand(1);
    app.failure_message([](const CLI::App* failed, const CLI::Error& error) {
        std::string what = error.what();
        if (failed->get_subcommands().empty() && !failed->remaining().empty()) {
            // Otherwise a mistyped command is reported as a missing one.
            const std::string word = failed->remaining().front();
            what = word.rfind('-', 0) == 0 ? "unknown option: " + word
                                           : "unknown command: " + word + " (the commands are lessons and resolve)";
        }
        return "tavrin-links-cli: " + what + "\nRun 'tavrin-links-cli --help' for more.\n";
    });
    app.footer("Example, the download addresses of a whole course:\n"
               "  tavrin-links-cli lessons COURSE_URL | cut -f3 | tavrin-links-cli resolve");

    CLI::App* lessons =
        app.add_subcommand("lessons", "Print the lessons of a course page: number, title and link, tab-separated");
    lessons->footer("One lesson a line, the three cells separated by tabs, in UTF-8. A line break\n"
                    "(CR LF, CR or LF) or a tab inside a cell is printed as one space, so every\n"
                    "lesson is one line and the columns hold. When no lesson is found, or the page\n"
                    "arrived incomplete, the reason goes to standard error and the exit status is 1.");
    std::string course_url = tavrin::gb18030_to_utf8(tavrin::default_course_url(tavrin::kTavrinSite));
    lessons->add_option("COURSE_URL", course_url, "The course page")->capture_default_str();

    CLI::App* resolve =
        app.add_subcommand("resolve", "Print the download address of each lesson page, in the order given");
    resolve->footer("Without LESSON_URL, reads one URL a line from standard input (UTF-8; spaces\n"
                    "at the two ends of the whole input are dropped). Prints one address a line in\n"
                    "UTF-8, and an empty line where a lesson gave none; why goes to standard\n"
                    "error. Only http and https URLs are fetched; any other line is refused.\n"
                    "A line break or tab inside an address is printed as one space.\n"
                    "Exit status 0 when every line gave an address, 1 when some did not.");
    std::vector<std::string> lesson_urls;
    resolve->add_option("LESSON_URL", lesson_urls, "Lesson pages to resolve");
    int jobs = tavrin::kDefaultJobs;
    resolve->add_option("-j,--jobs", jobs, "Lesson pages fetched at a time")
        ->check(CLI::Range(tavrin::kMinJobs, tavrin::kMaxJobs))
        ->capture_default_str();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == static_cast<int>(CLI::ExitCodes::Success) ? 0 : kUsageError;
    }

    tavrin::Console console = tavrin::Console::standard();
    if (lessons->parsed()) {
        return tavrin::list_course_lessons(course_url, console);
    }
    return tavrin::resolve_lesson_urls(lines_to_resolve(lesson_urls, console), jobs, console);
}
