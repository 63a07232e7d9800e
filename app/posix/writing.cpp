// Whole files on POSIX systems. A page is written into an unnamed file in its folder (O_TMPFILE)
// that is linked under its name only once complete and on disk, so not even SIGKILL or a power cut
// leaves anything but whole pages. Where the file system refuses unnamed files, a hidden named one
// takes its place, removed on failure and by an ending signal; only SIGKILL or a power cut can
// leave it behind. Every name is relative to the folder, opened once.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "constants.h"
#include "local.h"
#include "system.h"

namespace {

constexpr mode_t NEW_FILE_MODE = 0666; // before the umask, as for any file a program creates
constexpr int FD_PATH_SIZE = 32;       // bytes, for "/proc/self/fd/N"
constexpr int HIDDEN_NAME_ATTEMPTS = 100;

// The hidden name in `hidden_folder` of the file being written or linked, for the signal handler
// to remove while hidden_exists is set.
char hidden[PATH_BYTES];
int hidden_folder = -1;
volatile std::sig_atomic_t hidden_exists = 0;

// Makes a hidden name beside `name` in `folder` with make(hidden name), which returns -1 with
// EEXIST while the name is taken; the ending signals are held back meanwhile, so a signal arriving
// as the name appears still finds it recorded. make's result, or -1 with errno set.
template <typename Make> int make_hidden(int folder, const char *name, Make make) {
  int made = -1;
  errno = EEXIST;
  for (int attempt = 0; made < 0 && errno == EEXIST && attempt < HIDDEN_NAME_ATTEMPTS; ++attempt) {
    if (std::snprintf(hidden, sizeof hidden, ".%s.%ld-%d", name, static_cast<long>(getpid()),
                      attempt) >= PATH_BYTES) {
      errno = ENAMETOOLONG;
      return -1;
    }
    sigset_t previous;
    hold_ending_signals(&previous);
    hidden_folder = folder;
    made = make(hidden);
    hidden_exists = made >= 0 ? 1 : 0;
    release_ending_signals(&previous);
  }
  return made;
}

// A new file for the page `name` in `folder`: unnamed where the file system has unnamed files,
// else hidden. The umask applies to its mode, as to any file a program creates.
FILE *open_new_file(int folder, const char *name) {
  int fd = openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, NEW_FILE_MODE);
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    fd = make_hidden(folder, name, [folder](const char *hidden_name) {
      return openat(folder, hidden_name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, NEW_FILE_MODE);
    });
  }
  FILE *file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
  if (file == nullptr && fd >= 0) {
    const int error = errno;
    close(fd);
    errno = error;
  }
  return file;
}

// Fills the file and puts it on disk: nullptr, or the reason of a failure.
const char *fill_on_disk(FILE *file, FileFiller fill, const void *what) {
  errno = 0;
  const char *why = fill(file, what);
  if (why == nullptr && fsync(fileno(file)) != 0) {
    why = std::strerror(errno);
  }
  return why;
}

// Gives the complete file its name: an unnamed one is linked to it directly where nothing has that
// name yet, else first to a hidden name; the hidden name is then renamed over it, so whatever was
// there is never opened.
const char *give_name(FILE *file, int folder, const char *name) {
  if (hidden_exists == 0) {
    char fd_path[FD_PATH_SIZE];
    std::snprintf(fd_path, sizeof fd_path, "/proc/self/fd/%d", fileno(file));
    if (linkat(AT_FDCWD, fd_path, folder, name, AT_SYMLINK_FOLLOW) == 0) {
      return nullptr;
    }
    if (errno != EEXIST || make_hidden(folder, name, [&](const char *hidden_name) {
                             return linkat(AT_FDCWD, fd_path, folder, hidden_name,
                                           AT_SYMLINK_FOLLOW);
                           }) != 0) {
      return std::strerror(errno);
    }
  }
  return renameat(folder, hidden, folder, name) == 0 ? nullptr : std::strerror(errno);
}

} // namespace

void remove_unfinished_file() {
  if (hidden_exists != 0) {
    unlinkat(hidden_folder, hidden, 0);
    hidden_exists = 0;
  }
}

const char *write_file_whole(const char *dir, const char *name, FileFiller fill, const void *what) {
  const int folder = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) {
    return std::strerror(errno);
  }
  FILE *file = open_new_file(folder, name);
  const char *why = file == nullptr ? std::strerror(errno) : fill_on_disk(file, fill, what);
  if (why == nullptr) {
    why = give_name(file, folder, name);
  }
  if (file != nullptr && std::fclose(file) != 0 && why == nullptr) {
    why = std::strerror(errno);
  }
  if (why != nullptr) {
    remove_unfinished_file();
  }
  hidden_exists = 0;
  close(folder);
  return why;
}
