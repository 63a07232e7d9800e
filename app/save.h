// Saving the screen as a picture file, whole or not at all.
#pragma once

enum class PageFormat { BMP, PNG };

// Writes the screen as a picture file `name` in the folder `dir`. The folder never holds a partial
// page, and whatever was at `name` (even a FIFO or a device) is never opened. On failure nothing
// is left behind and the failure is reported (report.h).
bool save_page(const char *dir, const char *name, PageFormat format);
