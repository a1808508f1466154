#include "ProcessRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace e2e {
namespace {

void Check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input, std::chrono::milliseconds limit) {
    int in[2], out[2], err[2];
    Check(pipe2(in, O_CLOEXEC) == 0 && pipe2(out, O_CLOEXEC) == 0 && pipe2(err, O_CLOEXEC) == 0,
          "pipe");

    std::vector<std::string> argvStore{program};
    argvStore.insert(argvStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(argvStore.size() + 1);
    for (auto& arg : argvStore) argv.push_back(arg.data());
    argv.push_back(nullptr);

    pid_t pid = fork();
    Check(pid >= 0, "fork");
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    // A program that stops reading early must not kill the test with SIGPIPE.
    signal(SIGPIPE, SIG_IGN);

    ProcessResult result;
    std::size_t written = 0;
    int inFd = in[1];
    if (input.empty()) {
        close(inFd);
        inFd = -1;
    } else {
        fcntl(inFd, F_SETFL, O_NONBLOCK);
    }
    bool outOpen = true, errOpen = true;
    auto deadline = std::chrono::steady_clock::now() + limit;
    char buffer[65536];
    while (outOpen || errOpen) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill(pid, SIGKILL);
            result.timedOut = true;
            break;
        }
        pollfd fds[3];
        int count = 0;
        int outAt = -1, errAt = -1, inAt = -1;
        if (outOpen) fds[outAt = count++] = {out[0], POLLIN, 0};
        if (errOpen) fds[errAt = count++] = {err[0], POLLIN, 0};
        if (inFd >= 0) fds[inAt = count++] = {inFd, POLLOUT, 0};
        int ready = poll(fds, static_cast<nfds_t>(count), static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        Check(ready >= 0, "poll");
        auto drain = [&](int at, int fd, std::string& into, bool& open) {
            if (at < 0 || fds[at].revents == 0) return;
            ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0) {
                into.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                open = false;
            }
        };
        drain(outAt, out[0], result.out, outOpen);
        drain(errAt, err[0], result.err, errOpen);
        if (inAt >= 0 && fds[inAt].revents != 0) {
            ssize_t n = write(inFd, input.data() + written, input.size() - written);
            if (n > 0) written += static_cast<std::size_t>(n);
            if (n < 0 && errno != EAGAIN && errno != EINTR) written = input.size();
            if (written >= input.size()) {
                close(inFd);
                inFd = -1;
            }
        }
    }
    if (inFd >= 0) close(inFd);
    close(out[0]);
    close(err[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::vector<std::string> Lines(const std::string& text) {
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

}  // namespace e2e
