// Files, the command line and the standard streams on Windows. Paths are UTF-8 inside the program
// and UTF-16 at the system's door, so any folder name works (C:\Users\Zoë\Bilder, 三角形). A page
// is written to a hidden temporary file beside its name, flushed to disk, and moved over the name
// only once complete (MoveFileEx, replacing, written through); a failure, Ctrl-C or Ctrl-Break
// removes it. A failure is also shown in a message box: started from Explorer, the viewer has no
// terminal, and its stderr goes to stderr.txt beside it.
#define NOMINMAX
#include <windows.h>

#include <shellapi.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "constants.h"
#include "system.h"

namespace {

constexpr int ARGUMENTS_MAX = 256;      // of the exporter's command line
constexpr int ARGUMENT_BYTES = 1 << 17; // all its arguments in UTF-8 (Windows: 32767 characters)
constexpr int REASON_SIZE = 256;        // bytes, for the system's description of an error
constexpr int TEMPORARY_ATTEMPTS = 100; // names tried for a temporary file
constexpr const wchar_t *MESSAGE_TITLE = L"triangles";

bool widen(const char *utf8, wchar_t *out, int size) {
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, out, size) > 0;
}

bool narrow(const wchar_t *wide, char *out, int size) {
  return WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, size, nullptr, nullptr) > 0;
}

// The system's words for its last error, as one line.
const char *system_reason() {
  static char reason[REASON_SIZE];
  const DWORD code = GetLastError();
  if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                     reason, sizeof reason, nullptr) == 0) {
    std::snprintf(reason, sizeof reason, "error %lu", code);
  }
  for (size_t n = std::strlen(reason); n > 0 && std::strchr("\r\n. ", reason[n - 1]); --n) {
    reason[n - 1] = '\0';
  }
  return reason;
}

bool status_of(const char *path, struct _stat64 *info) {
  wchar_t wide[PATH_BYTES];
  if (!widen(path, wide, PATH_BYTES)) {
    errno = EINVAL;
    return false;
  }
  return _wstat64(wide, info) == 0;
}

UINT original_code_page = 0;
void restore_code_page() { SetConsoleOutputCP(original_code_page); }

char argument_text[ARGUMENT_BYTES];
char *arguments[ARGUMENTS_MAX + 1];

// The page being written, for the control handler to remove.
wchar_t temporary[PATH_BYTES];
volatile LONG temporary_exists = 0;

// Runs on a thread of its own at Ctrl-C, Ctrl-Break or the console's closing, and ends the
// process as the system's default handler does (Wine 8's ends it with status 0, as if the pages
// had all been written).
BOOL WINAPI remove_temporary(DWORD /*event*/) {
  if (temporary_exists != 0) {
    DeleteFileW(temporary); // open for writing, so removed as the process ends
  }
  ExitProcess(STATUS_CONTROL_C_EXIT);
}

// Creates a new temporary file beside `target`; its handle, or INVALID_HANDLE_VALUE.
HANDLE create_temporary(const char *dir, const char *name) {
  for (int attempt = 0; attempt < TEMPORARY_ATTEMPTS; ++attempt) {
    char path[PATH_BYTES];
    std::snprintf(path, sizeof path, "%s\\.%s.%lu-%d", dir, name, GetCurrentProcessId(), attempt);
    if (!widen(path, temporary, PATH_BYTES)) {
      SetLastError(ERROR_INVALID_NAME);
      return INVALID_HANDLE_VALUE;
    }
    InterlockedExchange(&temporary_exists, 1); // before it exists: the handler may come at once
    const HANDLE file = CreateFileW(temporary, GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
      return file;
    }
  }
  return INVALID_HANDLE_VALUE;
}

} // namespace

void guard_standard_streams() {
  // Paths are printed in UTF-8: a console shows them so for as long as the program runs.
  original_code_page = GetConsoleOutputCP();
  if (original_code_page != 0 && original_code_page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    std::atexit(restore_code_page);
  }
}

char **utf8_arguments(int argc, char *argv[]) {
  int count = 0;
  LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count);
  bool whole = wide != nullptr && count == argc && count <= ARGUMENTS_MAX;
  int used = 0;
  for (int i = 0; whole && i < count; ++i) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, argument_text + used,
                                      ARGUMENT_BYTES - used, nullptr, nullptr);
    whole = n > 0;
    arguments[i] = argument_text + used;
    used += n;
  }
  if (wide != nullptr) {
    LocalFree(wide);
  }
  if (!whole) {
    return argv; // as the runtime read them, in the system's code page
  }
  arguments[count] = nullptr;
  return arguments;
}

FILE *open_font_file(const char *path, const char **why) {
  struct _stat64 info {};
  wchar_t wide[PATH_BYTES];
  FILE *file = nullptr;
  if (!status_of(path, &info) || !widen(path, wide, PATH_BYTES)) {
    *why = std::strerror(errno);
  } else if ((info.st_mode & _S_IFMT) == _S_IFDIR) {
    *why = "is a directory, not a font file";
  } else if ((info.st_mode & _S_IFMT) != _S_IFREG) {
    *why = "not a regular file"; // a device such as NUL or CON: never read from
  } else if (info.st_size == 0) {
    *why = "the file is empty";
  } else if ((file = _wfopen(wide, L"rb")) == nullptr) {
    *why = std::strerror(errno);
  }
  return file;
}

const char *file_problem(const char *path) {
  struct _stat64 info {};
  if (!status_of(path, &info)) {
    return std::strerror(errno);
  }
  return (info.st_mode & _S_IFMT) == _S_IFREG ? nullptr : "not a regular file";
}

const char *folder_problem(const char *dir) {
  struct _stat64 info {};
  wchar_t wide[PATH_BYTES];
  if (!status_of(dir, &info) || !widen(dir, wide, PATH_BYTES)) {
    return std::strerror(errno);
  }
  if ((info.st_mode & _S_IFMT) != _S_IFDIR) {
    return "not a directory";
  }
  return _waccess(wide, 2) != 0 ? std::strerror(errno) : nullptr; // 2: may be written to
}

bool absolute_path(const char *path, char *out, size_t size) {
  wchar_t wide[PATH_BYTES];
  wchar_t full[PATH_BYTES];
  return widen(path, wide, PATH_BYTES) && GetFullPathNameW(wide, PATH_BYTES, full, nullptr) > 0 &&
         narrow(full, out, static_cast<int>(size));
}

bool program_folder(char *out, size_t size) {
  wchar_t wide[PATH_BYTES];
  const DWORD n = GetModuleFileNameW(nullptr, wide, PATH_BYTES);
  if (n == 0 || n >= PATH_BYTES) {
    return false;
  }
  wchar_t *slash = std::wcsrchr(wide, L'\\');
  if (slash == nullptr) {
    return false;
  }
  *slash = L'\0';
  return narrow(wide, out, static_cast<int>(size));
}

const char *write_file_whole(const char *dir, const char *name, FileWriter write) {
  char target[PATH_BYTES];
  wchar_t wide_target[PATH_BYTES];
  if (std::snprintf(target, sizeof target, "%s\\%s", dir, name) >= PATH_BYTES ||
      !widen(target, wide_target, PATH_BYTES)) {
    return std::strerror(ENAMETOOLONG);
  }
  const HANDLE handle = create_temporary(dir, name);
  if (handle == INVALID_HANDLE_VALUE) {
    InterlockedExchange(&temporary_exists, 0);
    return system_reason();
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  FILE *file = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
  const char *why = nullptr;
  if (file == nullptr) {
    why = std::strerror(errno);
    if (fd >= 0) {
      _close(fd);
    } else {
      CloseHandle(handle);
    }
  } else {
    errno = 0;
    why = write(file);
    if (why == nullptr && (std::fflush(file) != 0 || std::ferror(file) != 0)) {
      why = std::strerror(errno != 0 ? errno : EIO);
    } else if (why == nullptr && FlushFileBuffers(handle) == 0) {
      why = system_reason();
    }
    if (std::fclose(file) != 0 && why == nullptr) {
      why = std::strerror(errno);
    }
  }
  if (why == nullptr && MoveFileExW(temporary, wide_target,
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    why = system_reason();
  }
  if (why != nullptr) {
    DeleteFileW(temporary);
  }
  InterlockedExchange(&temporary_exists, 0);
  return why;
}

void prepare_page_files() { SetConsoleCtrlHandler(remove_temporary, TRUE); }

void show_failure(const char *line) {
  wchar_t text[FAILURE_LINE_MAX];
  if (line[0] != '\0' && widen(line, text, FAILURE_LINE_MAX)) {
    MessageBoxW(nullptr, text, MESSAGE_TITLE, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  }
}
