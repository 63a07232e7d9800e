// Files on Windows: what a path is, reading a regular file, and the paths messages show. Paths are
// UTF-8 inside the program and UTF-16 at the system's door, so any folder name works
// (C:\Users\Zoë\Bilder, 三角形).
#define NOMINMAX
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <sys/stat.h>

#include "constants.h"
#include "local.h"
#include "system.h"

namespace {

constexpr int REASON_SIZE = 256; // bytes, for the system's description of an error
constexpr int WRITABLE = 2;      // _waccess mode: may be written to

char reason[REASON_SIZE]; // the latest system_reason(), as strerror keeps its own

bool to_utf8(const wchar_t *utf16, char *out, int size) {
  return WideCharToMultiByte(CP_UTF8, 0, utf16, -1, out, size, nullptr, nullptr) > 0;
}

// The facts of `path` (its UTF-16 form in `utf16`), or the error number in facts.error.
PathFacts facts_of(const char *path, wchar_t *utf16) {
  PathFacts facts;
  struct _stat64 info = {};
  if (!to_utf16(path, utf16, PATH_BYTES)) {
    facts.error = EINVAL;
  } else if (_wstat64(utf16, &info) != 0) {
    facts.error = errno;
  } else {
    const int type = info.st_mode & _S_IFMT;
    facts.kind = type == _S_IFREG   ? PathKind::REGULAR
                 : type == _S_IFDIR ? PathKind::DIRECTORY
                                    : PathKind::OTHER; // a device such as NUL or CON
    facts.size = info.st_size;
  }
  return facts;
}

} // namespace

bool to_utf16(const char *utf8, wchar_t *out, int size) {
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, out, size) > 0;
}

const char *system_reason() {
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

PathFacts path_facts(const char *path) {
  wchar_t utf16[PATH_BYTES];
  PathFacts facts = facts_of(path, utf16);
  if (facts.kind == PathKind::DIRECTORY && _waccess(utf16, WRITABLE) != 0) {
    facts.write_error = errno;
  }
  return facts;
}

FILE *open_regular_file(const char *path, PathFacts *facts) {
  wchar_t utf16[PATH_BYTES];
  *facts = facts_of(path, utf16);
  if (facts->error != 0 || facts->kind != PathKind::REGULAR) {
    return nullptr; // a device such as NUL or CON is never read from
  }
  FILE *file = _wfopen(utf16, L"rb");
  if (file == nullptr) {
    facts->error = errno;
  }
  return file;
}

bool absolute_path(const char *path, char *out, size_t size) {
  wchar_t utf16[PATH_BYTES];
  wchar_t full[PATH_BYTES];
  return to_utf16(path, utf16, PATH_BYTES) &&
         GetFullPathNameW(utf16, PATH_BYTES, full, nullptr) > 0 &&
         to_utf8(full, out, static_cast<int>(size));
}

bool program_folder(char *out, size_t size) {
  wchar_t utf16[PATH_BYTES];
  const DWORD n = GetModuleFileNameW(nullptr, utf16, PATH_BYTES);
  if (n == 0 || n >= PATH_BYTES) {
    return false;
  }
  wchar_t *slash = std::wcsrchr(utf16, L'\\');
  if (slash == nullptr) {
    return false;
  }
  *slash = L'\0';
  return to_utf8(utf16, out, static_cast<int>(size));
}
