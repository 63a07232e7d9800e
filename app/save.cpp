// Whole-page-or-nothing writing: mkstemp in the target's folder, write and flush to disk, then
// rename over the target (atomic within one file system). BMP through SDL, PNG through libpng's
// simplified API.
#include "save.h"

#include <SDL.h>
#include <png.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "display_state.h"

namespace {

constexpr mode_t NEW_FILE_MODE = 0666; // before the umask, as for any file a program creates
constexpr int PNG_CHANNELS = 3;        // red, green, blue: a byte each
constexpr int REASON_SIZE = 128;       // bytes, for libpng's description of a failure

mode_t creation_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return NEW_FILE_MODE & ~mask;
}

// The writers put the picture into the open temporary file and return the reason of a failure:
// the system's where there is one.

const char *write_bmp(FILE *file) {
  SDL_RWops *stream = SDL_RWFromFP(file, 0);
  if (stream == nullptr) {
    return SDL_GetError();
  }
  SDL_ClearError(); // classic SDL 1.2 judges its own success by an empty error text
  if (SDL_SaveBMP_RW(screen, stream, 1) != 0) {
    return errno != 0 ? std::strerror(errno) : SDL_GetError();
  }
  return nullptr;
}

std::uint8_t rgb_picture[SCREEN_W * SCREEN_H * PNG_CHANNELS]; // the screen as libpng takes it
char png_reason[REASON_SIZE];

const char *write_png(FILE *file) {
  std::uint8_t *out = rgb_picture;
  for (int y = 0; y < SCREEN_H; ++y) {
    const auto *bytes = static_cast<const std::uint8_t *>(screen->pixels);
    const auto *row = reinterpret_cast<const std::uint32_t *>(
        bytes + static_cast<std::ptrdiff_t>(y) * screen->pitch);
    for (int x = 0; x < SCREEN_W; ++x, out += PNG_CHANNELS) {
      SDL_GetRGB(row[x], screen->format, &out[0], &out[1], &out[2]);
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
  return nullptr;
}

const char *write_picture(FILE *file, PageFormat format) {
  errno = 0;
  const char *why = format == PageFormat::PNG ? write_png(file) : write_bmp(file);
  if (why == nullptr &&
      (std::fflush(file) != 0 || std::ferror(file) != 0 || fsync(fileno(file)) != 0)) {
    why = std::strerror(errno != 0 ? errno : EIO);
  }
  return why;
}

// The temporary file being written, for the signal handler to remove.
char temporary[PATH_MAX];
volatile std::sig_atomic_t temporary_exists = 0;

void remove_temporary_and_end(int signal_no) {
  if (temporary_exists != 0) {
    unlink(temporary);
  }
  std::signal(signal_no, SIG_DFL);
  raise(signal_no);
}

} // namespace

void remove_partial_page_on_signals() {
  for (const int signal_no : ENDING_SIGNALS) {
    std::signal(signal_no, remove_temporary_and_end);
  }
}

bool save_page(const char *dir, const char *name, PageFormat format) {
  char target[PATH_MAX];
  const char *why = nullptr;
  if (std::snprintf(target, sizeof target, "%s/%s", dir, name) >= PATH_MAX ||
      std::snprintf(temporary, sizeof temporary, "%s/.%s.XXXXXX", dir, name) >= PATH_MAX) {
    std::fprintf(stderr, "Couldn't write %s into %s: path too long\n", name, dir);
    return false;
  }
  // A signal delivered as mkstemp's open() returns must already find the file recorded.
  sigset_t ending;
  sigset_t previous;
  sigemptyset(&ending);
  for (const int signal_no : ENDING_SIGNALS) {
    sigaddset(&ending, signal_no);
  }
  sigprocmask(SIG_BLOCK, &ending, &previous);
  const int fd = mkstemp(temporary);
  temporary_exists = fd >= 0 ? 1 : 0;
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  FILE *file = nullptr;
  if (fd < 0 || fchmod(fd, creation_mode()) != 0 || (file = fdopen(fd, "wb")) == nullptr) {
    why = std::strerror(errno);
  } else {
    why = write_picture(file, format);
  }
  if (file != nullptr) {
    if (std::fclose(file) != 0 && why == nullptr) {
      why = std::strerror(errno);
    }
  } else if (fd >= 0) {
    close(fd);
  }
  if (why == nullptr && std::rename(temporary, target) != 0) {
    why = std::strerror(errno);
  }
  if (why != nullptr && fd >= 0) {
    unlink(temporary);
  }
  temporary_exists = 0;
  if (why != nullptr) {
    std::fprintf(stderr, "Couldn't write %s: %s\n", target, why);
    return false;
  }
  return true;
}
