#pragma once

// Opens each of standard input, output and error that the program was
// started without on the null device (input for reading, the others for
// writing), so that no file or connection opened later, by the program or a
// library, takes one of their numbers and receives the console's text.
void openClosedStandardStreams();
