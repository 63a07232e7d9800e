// An X server of the tests' own (Xvfb) and what the window tests and the window benchmark ask of
// an X server.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <sys/types.h>
#include <vector>

// An Xvfb server of its own (1024x768x24, no TCP) with `extra` arguments: its display (":N"), or
// "" if it did not start. stop_xvfb kills it.
std::string start_xvfb(pid_t *pid, const std::vector<std::string> &extra = {});
void stop_xvfb(pid_t *pid);

// The window manager's close request, as the close button sends it.
void send_close(Display *dpy, ::Window win);

// The process id a top-level window names as its own (_NET_WM_PID): 0 if it names none clearly,
// -1 if it has no such property (or has gone).
pid_t window_pid(Display *dpy, ::Window win);
