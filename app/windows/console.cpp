// The console on Windows: output in UTF-8 for as long as the program runs, the arguments read
// again from the wide command line (the narrow ones are in the system's code page), and a failure
// also shown in a message box: started from Explorer, the viewer has no terminal, and its stderr
// goes to stderr.txt beside it. Standard handles that are closed need nothing: Windows gives no
// other file their numbers.
#include <windows.h>

#include <shellapi.h>

#include <cstdlib>

#include "constants.h"
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

} // namespace

char **start_console(int argc, char *argv[]) {
  print_utf8_to_console();
  return utf8_arguments(argc, argv);
}

void show_failure(const char *line) {
  wchar_t text[FAILURE_LINE_MAX];
  if (line[0] != '\0' &&
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line, -1, text, FAILURE_LINE_MAX) > 0) {
    MessageBoxW(nullptr, text, MESSAGE_TITLE, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  }
}

void describe_page(const char * /*text*/) {}
