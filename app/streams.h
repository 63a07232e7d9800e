// Output that was lost is never reported as success: written streams are checked when they are
// finished.
#pragma once

#include <cstdio>

// Flushes `file`: nullptr, or the reason some of what was written to it was lost.
const char *flush_problem(FILE *file);

// Flushes and closes standard output; false, with one line on stderr, if anything written to it
// was lost.
bool finish_standard_output();
