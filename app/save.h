// Saving the screen as a picture file, whole or not at all (system.h, write_file_whole).
#pragma once

#include "constants.h"
#include "screen.h"

// The picture formats of pages by name, also the file name extension: nullptr for another.
struct PageFormat;
const PageFormat *page_format(const char *name);

// Writes the screen as the picture file DIR/page-N.EXT (EXT the format's name), its path into
// `path`: nullptr, or the failure line.
const char *save_page(const Screen &screen, const char *dir, int page, const PageFormat &format,
                      char (&path)[PATH_BYTES]);
