// Files on POSIX systems. A page is written into an unnamed file in its folder (O_TMPFILE) that
// is linked under its name only once complete and on disk, so not even SIGKILL or a power cut
// leaves anything but whole pages. Where the file system refuses unnamed files, a hidden named
// one (mkstemp) takes its place, removed on failure and by an ending signal; only SIGKILL or a
// power cut can leave it behind.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "constants.h"
#include "local.h"
#include "system.h"

namespace {

constexpr mode_t NEW_FILE_MODE = 0666;   // before the umask, as for any file a program creates
constexpr mode_t NEW_FOLDER_MODE = 0777; // before the umask, as `mkdir -p` makes folders
constexpr int FD_PATH_SIZE = 32;         // bytes, for "/proc/self/fd/N"
constexpr int LINK_ATTEMPTS = 100;       // names tried for a hidden link before giving up

// The hidden file being written or linked, for the signal handler to remove.
char temporary[PATH_BYTES];
volatile std::sig_atomic_t temporary_exists = 0;
int temporary_dir = -1;

// Runs `make` (which creates the hidden file `temporary` in `dir`) with the ending signals held
// back, so a signal arriving as the file appears still finds it recorded.
template <typename Make> int make_recorded(int dir, Make make) {
  sigset_t previous;
  hold_ending_signals(&previous);
  temporary_dir = dir;
  const int made = make();
  temporary_exists = made >= 0 ? 1 : 0;
  release_ending_signals(&previous);
  return made;
}

PathFacts facts_of(const struct stat &info) {
  PathFacts facts;
  facts.kind = S_ISREG(info.st_mode)   ? PathKind::REGULAR
               : S_ISDIR(info.st_mode) ? PathKind::DIRECTORY
                                       : PathKind::OTHER;
  facts.size = info.st_size;
  return facts;
}

mode_t creation_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return NEW_FILE_MODE & ~mask;
}

// A new file in `folder` (the folder `dir`) for the page `name`: unnamed where the file system
// has unnamed files, else hidden and named (*named). Its descriptor, or -1 with errno set.
int open_new_file(int folder, const char *dir, const char *name, bool *named) {
  int fd = openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, NEW_FILE_MODE);
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
    return fd;
  }
  *named = true;
  if (std::snprintf(temporary, sizeof temporary, "%s/.%s.XXXXXX", dir, name) >= PATH_BYTES) {
    errno = ENAMETOOLONG;
    return -1;
  }
  fd = make_recorded(AT_FDCWD, [] { return mkstemp(temporary); });
  if (fd >= 0 && fchmod(fd, creation_mode()) != 0) {
    const int error = errno;
    close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

// Gives the complete unnamed file `fd` the name `name` in `dir`: directly where nothing has that
// name yet, else through a hidden link renamed over it (whatever was there is never opened).
const char *link_unnamed(int fd, int dir, const char *name) {
  char fd_path[FD_PATH_SIZE];
  std::snprintf(fd_path, sizeof fd_path, "/proc/self/fd/%d", fd);
  if (linkat(AT_FDCWD, fd_path, dir, name, AT_SYMLINK_FOLLOW) == 0) {
    return nullptr;
  }
  for (int attempt = 0; errno == EEXIST && attempt < LINK_ATTEMPTS; ++attempt) {
    std::snprintf(temporary, sizeof temporary, ".%s.%ld-%d", name, static_cast<long>(getpid()),
                  attempt);
    if (make_recorded(dir, [&] {
          return linkat(AT_FDCWD, fd_path, dir, temporary, AT_SYMLINK_FOLLOW);
        }) == 0) {
      return renameat(dir, temporary, dir, name) == 0 ? nullptr : std::strerror(errno);
    }
  }
  return std::strerror(errno);
}

// Fills the file and puts it on disk: nullptr, or the reason of a failure.
const char *fill_on_disk(FILE *file, FileFiller fill) {
  errno = 0;
  const char *why = fill(file);
  if (why == nullptr && fsync(fileno(file)) != 0) {
    why = std::strerror(errno);
  }
  return why;
}

const char *give_name(int fd, bool named, int folder, const char *name) {
  if (named) {
    return renameat(AT_FDCWD, temporary, folder, name) == 0 ? nullptr : std::strerror(errno);
  }
  return link_unnamed(fd, folder, name);
}

} // namespace

void remove_unfinished_file() {
  if (temporary_exists != 0) {
    unlinkat(temporary_dir, temporary, 0);
    temporary_exists = 0;
  }
}

PathFacts path_facts(const char *path) {
  struct stat info {};
  if (stat(path, &info) != 0) {
    PathFacts missing;
    missing.error = errno;
    return missing;
  }
  PathFacts facts = facts_of(info);
  if (facts.kind == PathKind::DIRECTORY && access(path, W_OK | X_OK) != 0) {
    facts.write_error = errno;
  }
  return facts;
}

FILE *open_regular_file(const char *path, PathFacts *facts) {
  *facts = PathFacts{};
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0) {
    facts->error = errno;
    if (fd >= 0) {
      close(fd);
    }
    return nullptr;
  }
  *facts = facts_of(info);
  // Opening did not block; reading may, as it does for any file.
  FILE *file = nullptr;
  if (facts->kind == PathKind::REGULAR &&
      (fcntl(fd, F_SETFL, 0) != 0 || (file = fdopen(fd, "rb")) == nullptr)) {
    facts->error = errno;
  }
  if (file == nullptr) {
    close(fd);
  }
  return file;
}

int make_folders(const char *dir) {
  char path[PATH_BYTES];
  if (std::snprintf(path, sizeof path, "%s", dir) >= PATH_BYTES) {
    return ENAMETOOLONG;
  }
  for (char *end = path + 1;; ++end) { // each parent, then the folder itself
    if (*end != '/' && *end != '\0') {
      continue;
    }
    const char separator = *end;
    *end = '\0';
    if (mkdir(path, NEW_FOLDER_MODE) != 0 && errno != EEXIST) {
      return errno;
    }
    if (separator == '\0') {
      return 0;
    }
    *end = separator;
  }
}

bool absolute_path(const char *path, char *out, size_t size) {
  char here[PATH_BYTES];
  if (path[0] == '/') {
    return std::snprintf(out, size, "%s", path) < static_cast<int>(size);
  }
  return getcwd(here, sizeof here) != nullptr &&
         std::snprintf(out, size, "%s/%s", here, path) < static_cast<int>(size);
}

bool program_folder(char *out, size_t size) {
  const ssize_t n = readlink("/proc/self/exe", out, size - 1);
  if (n <= 0) {
    return false;
  }
  out[n] = '\0';
  char *slash = std::strrchr(out, '/');
  if (slash == nullptr) {
    return false;
  }
  *slash = '\0';
  return true;
}

const char *write_file_whole(const char *dir, const char *name, FileFiller fill) {
  const int folder = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) {
    return std::strerror(errno);
  }
  bool named = false;
  const int fd = open_new_file(folder, dir, name, &named);
  FILE *file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
  const char *why = file == nullptr ? std::strerror(errno) : fill_on_disk(file, fill);
  if (why == nullptr) {
    why = give_name(fd, named, folder, name);
  }
  if (file != nullptr) {
    if (std::fclose(file) != 0 && why == nullptr) {
      why = std::strerror(errno);
    }
  } else if (fd >= 0) {
    close(fd);
  }
  if (why != nullptr) {
    remove_unfinished_file();
  }
  temporary_exists = 0;
  close(folder);
  return why;
}
