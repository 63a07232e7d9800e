// What the POSIX files share among themselves: catching and holding back the signals that end
// either program, the pipe that wakes the viewer's wait, and the unfinished page that an ending
// signal removes.
#pragma once

#include <csignal>

// Holds the ending signals back (the previous mask in *previous) and lets them through again.
void hold_ending_signals(sigset_t *previous);
void release_ending_signals(const sigset_t *previous);

// The viewer's ending signals caught (ending.cpp): nullptr, or the system's reason they were not.
const char *catch_ending_signals();
int ending_request_fd();       // readable once an ending signal arrived in the wait (ending.cpp)
void remove_unfinished_file(); // async-signal-safe (writing.cpp)
