// Whole files on Windows. A page is written to a hidden temporary file beside its name, flushed to
// disk, and moved over the name only once complete (MoveFileEx, replacing, written through); a
// failure or an ending request removes it.
#define NOMINMAX
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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
    if (!to_utf16(path, temporary, PATH_BYTES)) {
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

} // namespace

void remove_unfinished_file() {
  AcquireSRWLockExclusive(&temporary_lock); // kept: the process ends next
  if (temporary_exists != 0) {
    DeleteFileW(temporary); // open for writing, so removed as the process ends
  }
}

const char *write_file_whole(const char *dir, const char *name, FileFiller fill, const void *what) {
  char target[PATH_BYTES];
  wchar_t utf16_target[PATH_BYTES];
  if (std::snprintf(target, sizeof target, "%s\\%s", dir, name) >= PATH_BYTES ||
      !to_utf16(target, utf16_target, PATH_BYTES)) {
    return std::strerror(ENAMETOOLONG);
  }
  const HANDLE handle = create_temporary(dir, name);
  const char *why =
      handle == INVALID_HANDLE_VALUE ? system_reason() : fill_on_disk(handle, fill, what);
  if (why == nullptr && MoveFileExW(temporary, utf16_target,
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    why = system_reason();
  }
  if (why != nullptr && handle != INVALID_HANDLE_VALUE) {
    DeleteFileW(temporary);
  }
  InterlockedExchange(&temporary_exists, 0);
  return why;
}
