// Saving the screen as a picture file, whole or not at all.
#pragma once

enum class PageFormat { BMP, PNG };

// Writes the screen as a picture file `name` in the folder `dir`. The picture goes to a new
// temporary file in `dir` that replaces `name` only once it is complete, so `dir` never holds a
// partial page, and whatever was at `name` (even a FIFO or a device) is never opened. On failure
// nothing is left behind and one line "Couldn't write dir/name: <reason>" goes to stderr.
bool save_page(const char *dir, const char *name, PageFormat format);

// Makes SIGINT, SIGTERM and SIGHUP remove the temporary file of a page being written before they
// end the program, so an interrupted run leaves nothing half-written either.
void remove_partial_page_on_signals();
