#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>

// Telling this process's windows from other programs' on an X server, by the
// process that the server's X-Resource extension names for the client that
// made each. Over a local connection the server learns a client's process
// from the kernel, so no client can pass for another.

// This process as the server knows it, told by `connection`, one of this
// process's own: its process id in the server's PID namespace, which differs
// from getpid() where the program runs in another one. Nothing where the
// server cannot tell (no X-Resource, a client over TCP, a process it has no
// id for): then no window can be proven this process's.
std::optional<std::uint32_t> thisProcessAsTheServerKnowsIt(xcb_connection_t* connection);

// Whether the server says that a client of `process` (an id as the server
// knows it) made `window`; false where it does not say.
bool madeByProcess(xcb_connection_t* connection, xcb_window_t window, std::uint32_t process);
