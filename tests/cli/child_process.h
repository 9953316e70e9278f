#pragma once
// Runs a program as a child process, feeds its standard input and collects
// what it writes, for tests of the command line.

#include <string>
#include <vector>

namespace tavrin::test {

struct ChildOptions {
    std::string input;             // written to standard input, which is then closed
    bool stderr_terminal = false;  // standard error on a pseudo-terminal instead of a pipe
};

struct ChildResult {
    int exit_status = -1;  // -1 when the child did not exit normally
    std::string out;
    std::string err;       // as the terminal shows it, with the terminal's line ends, when on one
};

// `program` with `arguments` (argv[1]...). The environment is the test's own.
ChildResult run_child(const std::string& program, const std::vector<std::string>& arguments,
                      const ChildOptions& options = {});

// The built tavrin-links-cli with `arguments`.
ChildResult run_cli(const std::vector<std::string>& arguments, const ChildOptions& options = {});

// The lines of `text` without their LF; a final LF ends the last line.
std::vector<std::string> lines_of(const std::string& text);

}  // namespace tavrin::test
