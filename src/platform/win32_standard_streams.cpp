#include "standard_streams.h"

#include <windows.h>

#include <iostream>

// The C runtime keeps the numbers of the three standard streams for them even
// when the program is started without them, so nothing opened later takes
// their place; and a write to a pipe whose reader has gone fails with no
// signal.
void prepareStandardStreams() {}

// Told at the end from std::cout's failure, which does not say why: a pipe
// fails once its reader has gone, and a stream the program was started
// without fails from the start, and both lose only their own text, quietly.
// A file or a console that fails has lost what someone meant to keep.
bool standardOutputLost()
{
    std::cout.flush();
    if (!std::cout.fail())
        return false;
    const DWORD type = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE));
    if (type != FILE_TYPE_DISK && type != FILE_TYPE_CHAR)
        return false;
    std::cerr << "spritebench: standard output could not be written: some of what the program printed there "
                 "was lost.\n";
    return true;
}
