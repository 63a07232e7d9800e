// Requests to end in a web page: there are none to catch. Closing the page or going elsewhere
// ends the program at once, with none of its code running, and leaves nothing behind.
#include "system.h"

const char *prepare_viewer() { return nullptr; }

void set_waiting(bool /*waiting*/) {}

bool ending_requested() { return false; }

void end_if_requested() {}
