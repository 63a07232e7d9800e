// Output that was lost is never reported as success: written streams are checked when they are
// finished, in the manner of gnulib's close_stdout.
#pragma once

#include <cstdio>

// Flushes `file`: nullptr, or the reason some of what was written to it was lost.
const char *flush_problem(FILE *file);

// Flushes and closes standard output: nullptr, or the failure line if anything written was lost.
const char *finish_standard_output();
