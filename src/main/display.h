#pragma once

// True when an X display can be opened, which the graphics library needs for
// its first texture or window.
bool displayAvailable();
