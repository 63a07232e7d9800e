// The failure line: composed into the one line kept here (through a copy, so that the line itself
// can be one of the values), made safe to show, and written at once (stderr is unbuffered).
#include "report.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "constants.h"

namespace {

constexpr unsigned char FIRST_PRINTABLE = 0x20; // below: control characters
constexpr unsigned char DELETE = 0x7F;
constexpr const char *CUT_MARK = "...";
constexpr size_t ESCAPE_BYTES = 4; // "\xHH"

char line[FAILURE_LINE_MAX] = ""; // the latest failure, composed

bool continues_a_character(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The length of the first `n` bytes of `text` less a UTF-8 character that they would split.
size_t whole_characters(const char *text, size_t n) {
  if (!continues_a_character(text[n])) {
    return n;
  }
  while (n > 0 && continues_a_character(text[n - 1])) {
    --n;
  }
  return n > 0 ? n - 1 : 0; // before the character's first byte
}

// Copies `text` into `out` with each control character as \n, \t or \xHH, cutting it (and marking
// the cut) where the next character would not fit.
void make_one_line(const char *text, char *out, size_t size) {
  const size_t room = size - std::strlen(CUT_MARK) - 1;
  size_t n = 0;
  for (const char *p = text; *p != '\0'; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    char piece[ESCAPE_BYTES + 1] = {*p, '\0'};
    if (c == '\n' || c == '\t') {
      std::snprintf(piece, sizeof piece, "\\%c", c == '\n' ? 'n' : 't');
    } else if (c < FIRST_PRINTABLE || c == DELETE) {
      std::snprintf(piece, sizeof piece, "\\x%02X", c);
    }
    const size_t length = std::strlen(piece);
    if (n + length > room) {
      out[n] = *p; // the byte that does not fit, to see whether it ends a character
      std::strcpy(out + whole_characters(out, n), CUT_MARK);
      return;
    }
    std::memcpy(out + n, piece, length);
    n += length;
  }
  out[n] = '\0';
}

} // namespace

const char *failure(const char *format, ...) {
  char raw[2 * FAILURE_LINE_MAX]; // longer than a line can be, so a cut is always marked
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(raw, sizeof raw, format, arguments);
  va_end(arguments);
  make_one_line(raw, line, sizeof line);
  return line;
}

void report_failure(const char *failure_line) { std::fprintf(stderr, "%s\n", failure_line); }

const char *shortened(const char *value, char *buffer, size_t size) {
  const bool cut = std::strlen(value) > static_cast<size_t>(SHOWN_VALUE_MAX);
  const int kept =
      cut ? static_cast<int>(whole_characters(value, SHOWN_VALUE_MAX)) : SHOWN_VALUE_MAX;
  std::snprintf(buffer, size, "%.*s%s", kept, value, cut ? CUT_MARK : "");
  return buffer;
}

const char *with_value_shortened(const char *text, const char *value, char *buffer, size_t size) {
  const char *found = value != nullptr && value[0] != '\0' ? std::strstr(text, value) : nullptr;
  if (found == nullptr) {
    std::snprintf(buffer, size, "%s", text);
    return buffer;
  }
  char shown[SHOWN_VALUE_MAX * 2];
  std::snprintf(buffer, size, "%.*s%s%s", static_cast<int>(found - text), text,
                shortened(value, shown, sizeof shown), found + std::strlen(value));
  return buffer;
}
