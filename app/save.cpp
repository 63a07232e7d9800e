// Whole-page-or-nothing writing: mkstemp in the target's folder, write and flush to disk, then
// rename over the target (atomic within one file system).
#include "save.h"

#include <SDL.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "display_state.h"

namespace {

constexpr mode_t NEW_FILE_MODE = 0666; // before the umask, as for any file a program creates

mode_t creation_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return NEW_FILE_MODE & ~mask;
}

// Writes the BMP into the open temporary file; the system's reason on failure where there is one.
const char *write_bmp(FILE *file) {
  SDL_RWops *stream = SDL_RWFromFP(file, 0);
  if (stream == nullptr) {
    return SDL_GetError();
  }
  errno = 0;
  SDL_ClearError(); // classic SDL 1.2 judges its own success by an empty error text
  if (SDL_SaveBMP_RW(screen, stream, 1) != 0) {
    return errno != 0 ? std::strerror(errno) : SDL_GetError();
  }
  if (std::fflush(file) != 0 || std::ferror(file) != 0 || fsync(fileno(file)) != 0) {
    return std::strerror(errno != 0 ? errno : EIO);
  }
  return nullptr;
}

} // namespace

bool save_page(const char *dir, const char *name) {
  char target[PATH_MAX];
  char temporary[PATH_MAX];
  const char *why = nullptr;
  if (std::snprintf(target, sizeof target, "%s/%s", dir, name) >= PATH_MAX ||
      std::snprintf(temporary, sizeof temporary, "%s/.%s.XXXXXX", dir, name) >= PATH_MAX) {
    std::fprintf(stderr, "Couldn't write %s into %s: path too long\n", name, dir);
    return false;
  }
  const int fd = mkstemp(temporary);
  FILE *file = nullptr;
  if (fd < 0 || fchmod(fd, creation_mode()) != 0 || (file = fdopen(fd, "wb")) == nullptr) {
    why = std::strerror(errno);
  } else {
    why = write_bmp(file);
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
  if (why != nullptr) {
    if (fd >= 0) {
      unlink(temporary);
    }
    std::fprintf(stderr, "Couldn't write %s: %s\n", target, why);
    return false;
  }
  return true;
}
