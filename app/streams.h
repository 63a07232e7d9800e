// Standard output checked at the end, so output that was lost is never reported as success.
#pragma once

// Flushes and closes standard output; false, with one line on stderr, if anything written to it
// was lost.
bool finish_standard_output();
