// Preloaded into the exporter by a test: a file system without unnamed files, as vfat or an older
// NFS is, where opening a folder with O_TMPFILE fails with EOPNOTSUPP.
#include <dlfcn.h>
#include <fcntl.h>

#include <cerrno>
#include <cstdarg>

namespace {

using OpenAt = int (*)(int, const char *, int, ...);

int open_without_unnamed_files(OpenAt real, int folder, const char *path, int flags, va_list rest) {
  const mode_t mode = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE
                          ? static_cast<mode_t>(va_arg(rest, int))
                          : 0;
  if ((flags & O_TMPFILE) == O_TMPFILE) {
    errno = EOPNOTSUPP;
    return -1;
  }
  return real(folder, path, flags, mode);
}

} // namespace

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
extern "C" int openat(int folder, const char *path, int flags, ...) {
  static const auto real = reinterpret_cast<OpenAt>(dlsym(RTLD_NEXT, "openat"));
  va_list rest;
  va_start(rest, flags);
  const int fd = open_without_unnamed_files(real, folder, path, flags, rest);
  va_end(rest);
  return fd;
}

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
extern "C" int openat64(int folder, const char *path, int flags, ...) {
  static const auto real = reinterpret_cast<OpenAt>(dlsym(RTLD_NEXT, "openat64"));
  va_list rest;
  va_start(rest, flags);
  const int fd = open_without_unnamed_files(real, folder, path, flags, rest);
  va_end(rest);
  return fd;
}
