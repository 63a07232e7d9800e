// Files and standard streams on POSIX systems. A page is written into an unnamed file in its
// folder (O_TMPFILE) that is linked under its name only once complete and on disk, so not even
// SIGKILL or a power cut leaves anything but whole pages. Where the file system refuses unnamed
// files, a hidden named one (mkstemp) takes its place and is removed on failure and on SIGINT,
// SIGTERM and SIGHUP; only SIGKILL or a power cut can leave it behind.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "constants.h"
#include "posix_signals.h"
#include "system.h"

namespace {

constexpr mode_t NEW_FILE_MODE = 0666; // before the umask, as for any file a program creates
constexpr int FD_PATH_SIZE = 32;       // bytes, for "/proc/self/fd/N"
constexpr int LINK_ATTEMPTS = 100;     // names tried for a hidden link before giving up

// The hidden file being written or linked, for the signal handler to remove.
char temporary[PATH_BYTES];
volatile std::sig_atomic_t temporary_exists = 0;
int temporary_dir = -1;

void remove_temporary_and_end(int signal_no) {
  if (temporary_exists != 0) {
    unlinkat(temporary_dir, temporary, 0);
  }
  std::signal(signal_no, SIG_DFL);
  raise(signal_no);
}

// Runs `make` (which creates the hidden file `temporary` in `dir`) with the ending signals held
// back, so a signal arriving as the file appears still finds it recorded.
template <typename Make> int make_recorded(int dir, Make make) {
  sigset_t ending;
  sigset_t previous;
  sigemptyset(&ending);
  for (const int signal_no : ENDING_SIGNALS) {
    sigaddset(&ending, signal_no);
  }
  sigprocmask(SIG_BLOCK, &ending, &previous);
  temporary_dir = dir;
  const int made = make();
  temporary_exists = made >= 0 ? 1 : 0;
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  return made;
}

void forget_temporary() {
  if (temporary_exists != 0) {
    unlinkat(temporary_dir, temporary, 0);
    temporary_exists = 0;
  }
}

mode_t creation_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return NEW_FILE_MODE & ~mask;
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

// Writes the file through `write` and flushes it to disk; nullptr or the reason of a failure.
const char *fill(FILE *file, FileWriter write) {
  errno = 0;
  const char *why = write(file);
  if (why == nullptr &&
      (std::fflush(file) != 0 || std::ferror(file) != 0 || fsync(fileno(file)) != 0)) {
    why = std::strerror(errno != 0 ? errno : EIO);
  }
  return why;
}

} // namespace

void guard_standard_streams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      // The lowest free number is taken, and every lower one is open by now. Each is opened in
      // the direction it is not used in, so a write to a closed standard output still fails.
      const int reopened = open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
      if (reopened != fd && reopened >= 0) {
        close(reopened);
      }
    }
  }
}

char **utf8_arguments(int /*argc*/, char *argv[]) { return argv; }

FILE *open_font_file(const char *path, const char **why) {
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *why = std::strerror(errno);
    return nullptr;
  }
  struct stat info {};
  const char *refusal = nullptr;
  // Opening did not block; reading may, as it does for any file.
  if (fstat(fd, &info) != 0 || fcntl(fd, F_SETFL, 0) != 0) {
    refusal = std::strerror(errno);
  } else if (S_ISDIR(info.st_mode)) {
    refusal = "is a directory, not a font file";
  } else if (!S_ISREG(info.st_mode)) {
    refusal = "not a regular file";
  } else if (info.st_size == 0) {
    refusal = "the file is empty";
  }
  FILE *file = refusal == nullptr ? fdopen(fd, "rb") : nullptr;
  if (file == nullptr) {
    *why = refusal != nullptr ? refusal : std::strerror(errno);
    close(fd);
  }
  return file;
}

const char *file_problem(const char *path) {
  struct stat info {};
  if (stat(path, &info) != 0) {
    return std::strerror(errno);
  }
  return S_ISREG(info.st_mode) ? nullptr : "not a regular file";
}

const char *folder_problem(const char *dir) {
  struct stat info {};
  const bool exists = stat(dir, &info) == 0;
  if (exists && !S_ISDIR(info.st_mode)) {
    return "not a directory";
  }
  return !exists || access(dir, W_OK | X_OK) != 0 ? std::strerror(errno) : nullptr;
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

const char *write_file_whole(const char *dir, const char *name, FileWriter write) {
  const int folder = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) {
    return std::strerror(errno);
  }
  bool named = false;
  int fd = openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, NEW_FILE_MODE);
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    named = true; // the file system has no unnamed files
    if (std::snprintf(temporary, sizeof temporary, "%s/.%s.XXXXXX", dir, name) >= PATH_BYTES) {
      close(folder);
      return std::strerror(ENAMETOOLONG);
    }
    fd = make_recorded(AT_FDCWD, [] { return mkstemp(temporary); });
  }
  FILE *file = nullptr;
  const char *why = nullptr;
  if (fd < 0 || (named && fchmod(fd, creation_mode()) != 0) ||
      (file = fdopen(fd, "wb")) == nullptr) {
    why = std::strerror(errno);
  } else if ((why = fill(file, write)) == nullptr) {
    why = named
              ? (renameat(AT_FDCWD, temporary, folder, name) == 0 ? nullptr : std::strerror(errno))
              : link_unnamed(fd, folder, name);
  }
  if (file != nullptr) {
    if (std::fclose(file) != 0 && why == nullptr) {
      why = std::strerror(errno);
    }
  } else if (fd >= 0) {
    close(fd);
  }
  if (why != nullptr) {
    forget_temporary();
  }
  temporary_exists = 0;
  close(folder);
  return why;
}

void prepare_page_files() {
  for (const int signal_no : ENDING_SIGNALS) {
    std::signal(signal_no, remove_temporary_and_end);
  }
  std::signal(SIGXFSZ, SIG_IGN);
}

void show_failure(const char * /*line*/) {} // already on stderr, where it is seen
