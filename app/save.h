// Saving the screen as a picture file, whole or not at all (system.h, write_file_whole).
#pragma once

#include "screen.h"

enum class PageFormat : unsigned char { BMP, PNG };

// Writes the screen as the picture file `name` in the folder `dir`: nullptr, or the failure line.
const char *save_page(const Screen &screen, const char *dir, const char *name, PageFormat format);
