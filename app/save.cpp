// Pages as picture files: BMP through SDL, PNG through libpng's simplified API, each written whole
// or not at all by the system's file writer.
#include "save.h"

#include <SDL.h>
#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

#include "constants.h"
#include "report.h"
#include "streams.h"
#include "system.h"

namespace {

constexpr int PNG_CHANNELS = 3;    // red, green, blue: a byte each
constexpr int PAGE_NAME_SIZE = 32; // bytes, for "page-N.bmp"

// The writers put the picture of the surface `screen` into the open file, flushed, and return the
// reason of a failure: the system's where there is one.

const char *write_bmp(FILE *file, const void *screen) {
  SDL_RWops *stream = SDL_RWFromFP(file, 0);
  if (stream == nullptr) {
    return SDL_GetError();
  }
  SDL_ClearError(); // classic SDL 1.2 judges its own success by an empty error text
  auto *surface =
      const_cast<SDL_Surface *>(static_cast<const SDL_Surface *>(screen)); // not changed
  if (SDL_SaveBMP_RW(surface, stream, 1) != 0) {
    return errno != 0 ? std::strerror(errno) : SDL_GetError();
  }
  return flush_problem(file);
}

const char *write_png(FILE *file, const void *screen) {
  const auto *saved = static_cast<const SDL_Surface *>(screen);
  std::vector<std::uint8_t> picture(std::size_t{SCREEN_W} * SCREEN_H * PNG_CHANNELS); // for libpng
  std::uint8_t *out = picture.data();
  for (int y = 0; y < SCREEN_H; ++y) {
    const auto *bytes = static_cast<const std::uint8_t *>(saved->pixels);
    const auto *row = reinterpret_cast<const std::uint32_t *>(
        bytes + static_cast<std::ptrdiff_t>(y) * saved->pitch);
    for (int x = 0; x < SCREEN_W; ++x, out += PNG_CHANNELS) {
      SDL_GetRGB(row[x], saved->format, &out[0], &out[1], &out[2]);
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = SCREEN_W;
  image.height = SCREEN_H;
  image.format = PNG_FORMAT_RGB;
  if (png_image_write_to_stdio(&image, file, 0, picture.data(), 0, nullptr) == 0) {
    return errno != 0 ? std::strerror(errno) : failure("%s", image.message);
  }
  return flush_problem(file);
}

} // namespace

struct PageFormat {
  const char *name;
  FileFiller write;
};
constexpr PageFormat FORMATS[] = {{"bmp", write_bmp}, {"png", write_png}};

const PageFormat *page_format(const char *name) {
  const auto *found = std::find_if(std::begin(FORMATS), std::end(FORMATS), [name](const auto &f) {
    return std::strcmp(name, f.name) == 0;
  });
  return found == std::end(FORMATS) ? nullptr : found;
}

const char *save_page(const Screen &screen, const char *dir, int page, const PageFormat &format,
                      char (&path)[PATH_BYTES]) {
  char name[PAGE_NAME_SIZE];
  std::snprintf(name, sizeof name, "page-%d.%s", page, format.name);
  std::snprintf(path, sizeof path, "%s/%s", dir, name);
  const char *why = write_file_whole(dir, name, format.write, screen.surface);
  return why == nullptr ? nullptr : failure("Couldn't write %s: %s", path, why);
}
