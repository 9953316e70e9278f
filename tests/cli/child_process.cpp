#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace tavrin::test {

namespace {

// Only guards against a child that never ends; no test depends on it.
constexpr auto kRunawayLimit = std::chrono::minutes(2);

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what + ": " + std::to_string(errno)); }

struct Pipe {
    int read_end = -1;
    int write_end = -1;
    Pipe() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) fail("pipe");
        read_end = fds[0];
        write_end = fds[1];
    }
};

void close_fd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

// A pseudo-terminal whose other side stands in for the child's standard error.
void open_terminal(int& controller, int& terminal) {
    controller = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (controller < 0 || grantpt(controller) != 0 || unlockpt(controller) != 0) fail("posix_openpt");
    // Opened here, before the child exists, so that the terminal side is open
    // for as long as the child lives and a read never sees it closed too early.
    terminal = open(ptsname(controller), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0) fail("open pty");
}

}  // namespace

ChildResult run_child(const std::string& program, const std::vector<std::string>& arguments,
                      const ChildOptions& options) {
    // Writing to a child that stopped reading must fail, not end the test.
    signal(SIGPIPE, SIG_IGN);

    Pipe in;
    Pipe out;
    Pipe err_pipe;
    int err_read = err_pipe.read_end;
    int err_write = err_pipe.write_end;
    if (options.stderr_terminal) {
        close_fd(err_read);
        close_fd(err_write);
        open_terminal(err_read, err_write);
    }

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0) fail("fork");
    if (pid == 0) {
        signal(SIGPIPE, SIG_DFL);  // an ignored signal would stay ignored across exec
        dup2(in.read_end, 0);
        dup2(out.write_end, 1);
        dup2(err_write, 2);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close_fd(in.read_end);
    close_fd(out.write_end);
    close_fd(err_write);

    ChildResult result;
    std::size_t written = 0;
    if (options.input.empty()) close_fd(in.write_end);
    const auto deadline = std::chrono::steady_clock::now() + kRunawayLimit;
    while (out.read_end >= 0 || err_read >= 0) {
        pollfd fds[3];
        nfds_t count = 0;
        const auto watch = [&](int fd, short events) {
            if (fd >= 0) fds[count++] = pollfd{fd, events, 0};
        };
        watch(out.read_end, POLLIN);
        watch(err_read, POLLIN);
        watch(in.write_end, POLLOUT);
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            break;
        }
        if (poll(fds, count, 1000) < 0) {
            if (errno == EINTR) continue;
            fail("poll");
        }
        for (nfds_t i = 0; i < count; ++i) {
            if (fds[i].revents == 0) continue;
            if (fds[i].fd == in.write_end) {
                const ssize_t n = write(in.write_end, options.input.data() + written, options.input.size() - written);
                if (n > 0) written += static_cast<std::size_t>(n);
                if (n < 0 || written == options.input.size()) close_fd(in.write_end);
                continue;
            }
            std::string& sink = fds[i].fd == out.read_end ? result.out : result.err;
            char buffer[16384];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sink.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                // The end, or EIO once the terminal's other side has closed.
                close_fd(fds[i].fd == out.read_end ? out.read_end : err_read);
            }
        }
    }
    close_fd(in.write_end);
    close_fd(out.read_end);
    close_fd(err_read);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) fail("waitpid");
    }
    result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

ChildResult run_cli(const std::vector<std::string>& arguments, const ChildOptions& options) {
    return run_child(TAVRIN_CLI_PATH, arguments, options);
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace tavrin::test
