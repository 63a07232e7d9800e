// Waiting for the user between pages. While it waits the viewer sleeps until the system has
// something for it (see system.h), so it wakes only when there is something to handle.
#pragma once

// Blocks until a key press or a close request (true), an ending request or an error (false).
// A modifier key pressed alone (Shift, Ctrl, Alt, the locks, ...) is no key press: it is how a
// user begins a combination such as Alt+Tab, not a request to turn the page.
bool wait_for_key();
