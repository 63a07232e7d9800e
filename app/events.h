// Waiting for the user between pages, and the signals that end the viewer. While it waits the
// viewer sleeps on its display connection, so it wakes only when there is something to handle.
#pragma once

// Signals
// Makes SIGINT, SIGTERM and SIGHUP end the run instead of turning the page (SDL would take the
// first two for a close request). Call before SDL_Init, which then leaves them alone.
bool catch_ending_signals();
int ending_signal();        // 0, or the signal that asked the viewer to end
void die_of(int signal_no); // ends the process by that signal, as if it had never been caught

// X failures
// A lost X connection or an X error ends the run with one "Couldn't ..." line instead of Xlib's
// dump. Call before SDL_Init (SDL's own handlers pass such failures on to these); watch_display
// sets them again once the window is open.
void report_x_failures();

// Waiting
// After the window opens: sleep on its X connection while waiting, and report a lost connection or
// an X error in one line. Without an X connection the wait steps as SDL's own wait does.
void watch_display();
// Blocks until a key press or a close request (true), an ending signal or an error (false).
bool wait_for_key();
