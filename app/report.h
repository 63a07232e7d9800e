// Failures, in the way SDL's own programs word them: one line "Couldn't ...: <reason>". A step that
// can fail returns nullptr, or its failure line composed by failure(); a check below it returns
// nullptr or just its reason (the `..._problem` functions), composed by failure() too where it
// holds values. The entry function reports the line it got, once. Whatever the values in a line
// (file names, the environment, SDL's own texts), it stays one line: control characters are shown
// escaped and an over-long line is cut.
#pragma once

#include <cstddef>

// Composes a failure line or a reason (printf-like, without a newline) into the one line kept here
// and returns it. It lives until the next failure() call, which may take it as an argument: a
// reason worded into a whole line. Meant to be returned up to the entry function, reported there.
const char *failure(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Writes `line` to stderr as one line, at once.
void report_failure(const char *line);

// A value from outside (the environment, say) as a message shows it: its first SHOWN_VALUE_MAX
// characters, with "..." where it was cut. Returns `buffer`.
const char *shortened(const char *value, char *buffer, size_t size);
// `text` (such as SDL's reason for a failure) with its first copy of `value` shortened so.
const char *with_value_shortened(const char *text, const char *value, char *buffer, size_t size);
