#include "virtual_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Xvfb writes the display number it took, then a newline, once it accepts
// clients.
std::string readDisplayNumber(int fd)
{
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (number.empty() || number.back() != '\n') {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0)
            throw std::runtime_error("Xvfb did not report a display number in time");
        char chunk[16];
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got <= 0)
            throw std::runtime_error("Xvfb ended before it reported a display number");
        number.append(chunk, static_cast<size_t>(got));
    }
    number.pop_back();
    return number;
}

}  // namespace

VirtualDisplay::VirtualDisplay(const std::vector<std::string>& options)
{
    int numberPipe[2];
    if (pipe2(numberPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");

    // Prepared before fork: the child may only make plain system calls.
    std::vector<std::string> words{"Xvfb", "-displayfd", std::to_string(numberPipe[1]), "-noreset",
                                   "-nolisten", "tcp", "-screen", "0", "1024x768x24"};
    words.insert(words.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        fcntl(numberPipe[1], F_SETFD, 0);  // the write end goes to Xvfb
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(numberPipe[1]);
    try {
        displayName = ":" + readDisplayNumber(numberPipe[0]);
    } catch (...) {
        close(numberPipe[0]);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        throw;
    }
    close(numberPipe[0]);
}

VirtualDisplay::~VirtualDisplay()
{
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}
