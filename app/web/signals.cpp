// Requests to end in a web page: there are none to catch. Closing the page or going elsewhere
// ends the program at once, with none of its code running, and leaves nothing behind.
#include <cstdlib>

#include "constants.h"
#include "system.h"

bool catch_ending_requests() { return true; }

int ending_request() { return 0; }

void end_as(int /*request*/) { std::exit(EXIT_FAILURE_STATUS); } // never called: none arrives

void set_waiting(bool /*waiting*/) {}

void remove_unfinished_file_on_ending() {}
