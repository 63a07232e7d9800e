// Whole files on Windows. A page is written to a hidden temporary file beside its name, flushed to
// disk, and moved over the name only once complete (MoveFileEx, replacing, written through); a
// failure or an ending request removes it.
#define NOMINMAX
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <direct.h>
#include <fcntl.h>
#include <io.h>

#include "constants.h"
#include "local.h"
#include "system.h"

namespace {

constexpr int TEMPORARY_ATTEMPTS = 100; // names tried for a temporary file

// The page being written, for the control handler to remove. The lock is held while it is named
// and created, so a handler (which runs on a thread of its own) removes it only once it exists.
wchar_t temporary[PATH_BYTES];
volatile LONG temporary_exists = 0;
SRWLOCK temporary_lock = SRWLOCK_INIT;

// Creates a new temporary file beside `dir`\`name`; its handle, or INVALID_HANDLE_VALUE.
HANDLE create_temporary(const char *dir, const char *name) {
  AcquireSRWLockExclusive(&temporary_lock);
  HANDLE file = INVALID_HANDLE_VALUE;
  DWORD error = ERROR_FILE_EXISTS;
  for (int attempt = 0; attempt < TEMPORARY_ATTEMPTS && error == ERROR_FILE_EXISTS; ++attempt) {
    char path[PATH_BYTES];
    std::snprintf(path, sizeof path, "%s\\.%s.%lu-%d", dir, name, GetCurrentProcessId(), attempt);
    if (!widen(path, temporary, PATH_BYTES)) {
      error = ERROR_INVALID_NAME;
      break;
    }
    file = CreateFileW(temporary, GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    error = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
  }
  InterlockedExchange(&temporary_exists, file != INVALID_HANDLE_VALUE ? 1 : 0);
  ReleaseSRWLockExclusive(&temporary_lock);
  SetLastError(error);
  return file;
}

// Fills the temporary file through its handle and puts it on disk; nullptr or the reason.
const char *fill_on_disk(HANDLE handle, FileFiller fill, const void *what) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  FILE *file = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
  if (file == nullptr) {
    const char *why = std::strerror(errno);
    fd >= 0 ? _close(fd) : CloseHandle(handle);
    return why;
  }
  errno = 0;
  const char *why = fill(file, what);
  if (why == nullptr && FlushFileBuffers(handle) == 0) {
    why = system_reason();
  }
  if (std::fclose(file) != 0 && why == nullptr) {
    why = std::strerror(errno);
  }
  return why;
}

bool is_separator(char c) { return c == '\\' || c == '/'; }

} // namespace

void remove_unfinished_file() {
  AcquireSRWLockExclusive(&temporary_lock); // kept: the process ends next
  if (temporary_exists != 0) {
    DeleteFileW(temporary); // open for writing, so removed as the process ends
  }
}

int make_folders(const char *dir) {
  wchar_t wide[PATH_BYTES];
  char path[PATH_BYTES];
  if (std::snprintf(path, sizeof path, "%s", dir) >= PATH_BYTES) {
    return ENAMETOOLONG;
  }
  for (char *end = path + 1;; ++end) { // each parent, then the folder itself
    if (!is_separator(*end) && *end != '\0') {
      continue;
    }
    const char separator = *end;
    *end = '\0';
    const bool drive_or_share = end[-1] == ':' || is_separator(end[-1]);
    if (!drive_or_share && !widen(path, wide, PATH_BYTES)) {
      return EINVAL;
    }
    if (!drive_or_share && _wmkdir(wide) != 0 && errno != EEXIST) {
      return errno;
    }
    if (separator == '\0') {
      return 0;
    }
    *end = separator;
  }
}

const char *write_file_whole(const char *dir, const char *name, FileFiller fill, const void *what) {
  char target[PATH_BYTES];
  wchar_t wide_target[PATH_BYTES];
  if (std::snprintf(target, sizeof target, "%s\\%s", dir, name) >= PATH_BYTES ||
      !widen(target, wide_target, PATH_BYTES)) {
    return std::strerror(ENAMETOOLONG);
  }
  const HANDLE handle = create_temporary(dir, name);
  const char *why =
      handle == INVALID_HANDLE_VALUE ? system_reason() : fill_on_disk(handle, fill, what);
  if (why == nullptr && MoveFileExW(temporary, wide_target,
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    why = system_reason();
  }
  if (why != nullptr && handle != INVALID_HANDLE_VALUE) {
    DeleteFileW(temporary);
  }
  InterlockedExchange(&temporary_exists, 0);
  return why;
}
