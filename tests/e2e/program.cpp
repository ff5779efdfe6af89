#include "program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace {

std::vector<std::string> environmentFor(const std::string& display)
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        if (variable.rfind("DISPLAY=", 0) != 0)
            variables.push_back(variable);
    }
    if (!display.empty())
        variables.push_back("DISPLAY=" + display);
    return variables;
}

void closeIfOpen(int& fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

// Appends what `fd` holds now; closes it at its end.
void drain(int& fd, std::string& text)
{
    char chunk[65536];
    while (fd >= 0) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got > 0) {
            text.append(chunk, static_cast<size_t>(got));
            continue;
        }
        if (got == 0)
            closeIfOpen(fd);
        if (got == 0 || errno != EINTR)
            return;
    }
}

}  // namespace

Program::Program(const std::vector<std::string>& command, const std::filesystem::path& workingDirectory,
                 const std::string& display, const Streams& streams)
{
    // A write to a program that has gone must fail, not end the test.
    signal(SIGPIPE, SIG_IGN);

    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) || pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC))
        throw std::runtime_error("pipe failed");
    // The flag belongs to the pipe's reading end, which the program shares.
    if (streams.inputNonBlocking)
        fcntl(in[0], F_SETFL, O_NONBLOCK);

    // Prepared before fork: the child may only make plain system calls.
    const std::vector<std::string> variables = environmentFor(display);
    std::vector<char*> envp;
    for (const std::string& variable : variables)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    const std::string directory = workingDirectory.string();
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    const Input input = streams.input;
    const std::string inputFile = streams.inputFile.string();

    pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        // As a shell starts it: the test's own disregard of SIGPIPE would be inherited.
        signal(SIGPIPE, SIG_DFL);
        if (input == Input::DevNull || input == Input::DevZero || input == Input::File)
            in[0] = open(input == Input::File      ? inputFile.c_str()
                         : input == Input::DevNull ? "/dev/null"
                                                   : "/dev/zero",
                         O_RDONLY);
        dup2(in[0], STDIN_FILENO);
        if (streams.outputFull)
            out[1] = open("/dev/full", O_WRONLY);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        if (chdir(directory.c_str()) != 0)
            _exit(126);
        // Closed last: the descriptors of the pipes are closed at exec anyway.
        if (input == Input::Closed)
            close(STDIN_FILENO);
        if (streams.outputClosed)
            close(STDOUT_FILENO);
        if (streams.errorsClosed)
            close(STDERR_FILENO);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    inputFd = in[1];
    outputFd = out[0];
    errorFd = err[0];
    if (input != Input::Typed)
        closeIfOpen(inputFd);
    else
        fcntl(inputFd, F_SETFL, O_NONBLOCK);
    fcntl(outputFd, F_SETFL, O_NONBLOCK);
    fcntl(errorFd, F_SETFL, O_NONBLOCK);
}

Program::~Program()
{
    closeIfOpen(inputFd);
    // Asked to end first, so that a server or a bus can remove its socket
    // and its lock, and those it started; ended by force where it has not
    // within a few seconds.
    if (!exitCode) {
        kill(pid, SIGTERM);
        if (!waitForExit(5s)) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    closeIfOpen(outputFd);
    closeIfOpen(errorFd);
}

void Program::collect(int waitMs)
{
    pollfd fds[2] = {{outputFd, POLLIN, 0}, {errorFd, POLLIN, 0}};
    if (waitMs > 0)
        poll(fds, 2, waitMs);
    drain(outputFd, outputText);
    drain(errorFd, errorText);
}

void Program::type(const std::string& text)
{
    if (inputFd < 0)
        throw std::logic_error("standard input is closed");
    size_t written = 0;
    const auto deadline = Clock::now() + patience;
    while (written < text.size()) {
        if (Clock::now() > deadline)
            throw std::runtime_error("the program stopped reading its input");
        const ssize_t put = write(inputFd, text.data() + written, text.size() - written);
        if (put > 0)
            written += static_cast<size_t>(put);
        else if (errno == EAGAIN)
            collect(2);
        else if (errno != EINTR)
            throw std::runtime_error("the program's input is closed");
    }
}

void Program::endInput() { closeIfOpen(inputFd); }

void Program::stopReadingOutput() { closeIfOpen(outputFd); }

const std::string& Program::output()
{
    collect(0);
    return outputText;
}

const std::string& Program::errors()
{
    collect(0);
    return errorText;
}

bool Program::waitUntil(const std::function<bool()>& done, Clock::duration limit)
{
    const auto deadline = Clock::now() + limit;
    for (;;) {
        collect(0);
        if (done())
            return true;
        if (Clock::now() > deadline)
            return false;
        collect(2);
    }
}

bool Program::waitForOutput(const std::string& ending, Clock::duration limit)
{
    return waitUntil(
        [&] {
            return outputText.size() >= ending.size() &&
                   outputText.compare(outputText.size() - ending.size(), ending.size(), ending) == 0;
        },
        limit);
}

std::optional<int> Program::waitForExit(Clock::duration limit)
{
    waitUntil(
        [&] {
            int status = 0;
            if (!exitCode && waitpid(pid, &status, WNOHANG) == pid)
                exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return exitCode.has_value();
        },
        limit);
    if (exitCode)
        collect(0);
    return exitCode;
}

std::chrono::milliseconds Program::cpuTime() const
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(file)), {});
    // Fields after the command name, which is in parentheses and may hold spaces.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long userTicks = 0, systemTicks = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14)
            userTicks = std::stol(field);
        if (index == 15) {
            systemTicks = std::stol(field);
            break;
        }
    }
    return std::chrono::milliseconds((userTicks + systemTicks) * 1000 / sysconf(_SC_CLK_TCK));
}

long Program::residentKiB() const
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}
