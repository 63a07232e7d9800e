// The console in a web page: there are no standard descriptors to guard and no command line;
// stdout and stderr go to the browser's console. What the user must see is put on the page
// itself by the page's script (web/page.js): a failure line, and the text alternative of each
// page shown, which a screen reader announces, as the canvas says nothing to it.
#include <emscripten.h>

#include <cstdio>
#include <cstring>

#include "constants.h"
#include "system.h"

namespace {

constexpr int DESCRIPTION_BYTES = 512; // the longest, a page of nine labels, needs about 140

char labels[DESCRIPTION_BYTES] = ""; // those drawn on the page being drawn, comma-separated

EM_JS(void, put_on_page, (const char *what, const char *text), {
  var show = Module[UTF8ToString(what)];
  if (show) {
    show(UTF8ToString(text));
  }
});

} // namespace

void reopen_closed_standard_streams() {}

void print_utf8_to_console() {}

char **utf8_arguments(int /*argc*/, char *argv[]) { return argv; }

void show_failure(const char *line) { put_on_page("showFailure", line); }

void describe_label(const char *label) {
  const size_t used = std::strlen(labels);
  std::snprintf(labels + used, sizeof labels - used, "%s%s", used > 0 ? ", " : "", label);
}

void describe_page(int page) {
  char description[DESCRIPTION_BYTES + TEXT_BUFFER_SIZE];
  std::snprintf(description, sizeof description, "Page %d of %d: triangles %s", page, PAGE_COUNT,
                labels);
  put_on_page("describePage", description);
  labels[0] = '\0';
}
