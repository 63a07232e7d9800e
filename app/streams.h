// The standard streams of both programs: safe to use whatever the caller left open or closed, and
// standard output checked at the end, so output that was lost is never reported as success.
#pragma once

// Reopens a closed descriptor 0, 1 or 2 on /dev/null before anything else can take its number (an
// X connection that took descriptor 2 would receive every error message). Each is opened in the
// direction it is not used in, so a write to a standard output that was closed still fails.
void guard_standard_streams();

// Flushes and closes standard output; false, with one line on stderr, if anything written to it
// was lost.
bool finish_standard_output();
