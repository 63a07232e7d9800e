// Failures, reported the way SDL's own programs report them: one line "Couldn't ...: <reason>" on
// stderr. Whatever the values in it (file names, the environment, SDL's own texts), the line stays
// one line: control characters are shown escaped and an over-long line is cut.
#pragma once

#include <cstddef>

// printf-like; the newline is added.
void report_failure(const char *format, ...) __attribute__((format(printf, 1, 2)));
const char *first_failure(); // the first line reported (without its newline), "" if none

// A value from outside (the environment, say) as a message shows it: its first SHOWN_VALUE_MAX
// characters, with "..." where it was cut. Returns `buffer`.
const char *shortened(const char *value, char *buffer, size_t size);
// `text` (such as SDL's reason for a failure) with its first copy of `value` shortened so.
const char *with_value_shortened(const char *text, const char *value, char *buffer, size_t size);
