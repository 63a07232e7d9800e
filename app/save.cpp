// Pages as picture files: BMP through SDL, PNG through libpng's simplified API, each written whole
// or not at all by the system's file writer.
#include "save.h"

#include <SDL.h>
#include <png.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "constants.h"
#include "report.h"
#include "streams.h"
#include "system.h"

namespace {

constexpr int PNG_CHANNELS = 3;  // red, green, blue: a byte each
constexpr int REASON_SIZE = 128; // bytes, for libpng's description of a failure

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

std::uint8_t rgb_picture[SCREEN_W * SCREEN_H * PNG_CHANNELS]; // the screen as libpng takes it
char png_reason[REASON_SIZE];

const char *write_png(FILE *file, const void *screen) {
  const auto *saved = static_cast<const SDL_Surface *>(screen);
  std::uint8_t *out = rgb_picture;
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
  if (png_image_write_to_stdio(&image, file, 0, rgb_picture, 0, nullptr) == 0) {
    std::snprintf(png_reason, sizeof png_reason, "%s", image.message);
    return errno != 0 ? std::strerror(errno) : png_reason;
  }
  return flush_problem(file);
}

} // namespace

const char *save_page(const Screen &screen, const char *dir, const char *name, PageFormat format) {
  const char *why = write_file_whole(dir, name, format == PageFormat::PNG ? write_png : write_bmp,
                                     screen.surface);
  return why == nullptr ? nullptr : failure("Couldn't write %s/%s: %s", dir, name, why);
}
