#include "standard_streams.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <initializer_list>

void prepareStandardStreams()
{
    signal(SIGPIPE, SIG_IGN);
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(stream, F_GETFD) != -1)
            continue;
        // The lowest free number is taken: this one, since those below it are open by now.
        const int opened = open("/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != stream) {
            dup2(opened, stream);
            close(opened);
        }
    }
}
