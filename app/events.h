// Waiting for the user between pages, asleep until the system has something for the viewer
// (system.h, sleep_until_input).
#pragma once

#include "screen.h"

// Blocks until a key press or a close request (nullptr), an ending request or a failure (its
// failure line; an ending request is not reported but ends the run as the request would). A
// modifier key pressed alone (Shift, Ctrl, Alt, the locks, ...) is no key press: it is how a user
// begins a combination such as Alt+Tab, not a request to turn the page. Exposures repaint the page.
const char *wait_for_key(const Screen &screen);
