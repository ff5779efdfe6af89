#include "standard_streams.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <thread>

namespace {

// A child writes far more than a pipe holds to a standard output left
// non-blocking, while nobody reads it yet: every byte must arrive, and the
// stream must stay good.
TEST(StandardOutput, ANonBlockingOutputThatFillsUpLosesNoLine)
{
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const std::string line(99, 'x');
    const int lines = 4000;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(ends[1], STDOUT_FILENO);
        close(ends[0]);
        close(ends[1]);
        fcntl(STDOUT_FILENO, F_SETFL, fcntl(STDOUT_FILENO, F_GETFL) | O_NONBLOCK);
        prepareStandardStreams();
        for (int i = 0; i < lines; ++i)
            std::cout << line << std::endl;
        _exit(std::cout.good() ? 0 : 1);
    }
    close(ends[1]);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    size_t received = 0;
    char chunk[65536];
    for (ssize_t got; (got = read(ends[0], chunk, sizeof chunk)) > 0;)
        received += static_cast<size_t>(got);
    close(ends[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(received, static_cast<size_t>(lines) * (line.size() + 1));
}

}  // namespace
