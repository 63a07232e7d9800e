// The console on Windows: output in UTF-8 for as long as the program runs, the arguments read
// again from the wide command line (the narrow ones are in the system's code page), and a failure
// also shown in a message box: started from Explorer, the viewer has no terminal, and its stderr
// goes to stderr.txt beside it. Standard handles that are closed need nothing: Windows gives no
// other file their numbers.
#include <windows.h>

#include <shellapi.h>

#include <cstdlib>

#include "constants.h"
#include "local.h"
#include "system.h"

namespace {

constexpr int ARGUMENTS_MAX = 256;      // of the exporter's command line
constexpr int ARGUMENT_BYTES = 1 << 17; // all its arguments in UTF-8 (Windows: 32767 characters)
constexpr const wchar_t *MESSAGE_TITLE = L"triangles";

UINT original_code_page = 0;
void restore_code_page() { SetConsoleOutputCP(original_code_page); }

char argument_text[ARGUMENT_BYTES];
char *arguments[ARGUMENTS_MAX + 1];

void print_utf8_to_console() {
  original_code_page = GetConsoleOutputCP();
  if (original_code_page != 0 && original_code_page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    std::atexit(restore_code_page);
  }
}

char **utf8_arguments(int argc, char *argv[]) {
  int count = 0;
  LPWSTR *utf16 = CommandLineToArgvW(GetCommandLineW(), &count);
  bool whole = utf16 != nullptr && count == argc && count <= ARGUMENTS_MAX;
  int used = 0;
  for (int i = 0; whole && i < count; ++i) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, utf16[i], -1, argument_text + used,
                                      ARGUMENT_BYTES - used, nullptr, nullptr);
    whole = n > 0;
    arguments[i] = argument_text + used;
    used += n;
  }
  if (utf16 != nullptr) {
    LocalFree(utf16);
  }
  if (!whole) {
    return argv; // as the runtime read them, in the system's code page
  }
  arguments[count] = nullptr;
  return arguments;
}

} // namespace

char **start_console(int argc, char *argv[]) {
  print_utf8_to_console();
  return utf8_arguments(argc, argv);
}

void show_user(Shown what, const char *text) {
  wchar_t utf16[FAILURE_LINE_MAX];
  if (what == Shown::FAILURE && text[0] != '\0' && to_utf16(text, utf16, FAILURE_LINE_MAX)) {
    MessageBoxW(nullptr, utf16, MESSAGE_TITLE, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  }
}
