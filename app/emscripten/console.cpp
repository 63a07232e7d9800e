// The console in a web page: there are no standard descriptors to guard and no command line;
// stdout and stderr go to the browser's console. What the user must see is put on the page itself
// by the page's script (web/page.js): a failure line, and the text alternative of each page shown,
// which a screen reader announces, as the canvas says nothing to it.
#include <emscripten.h>

#include "system.h"

namespace {

EM_JS(void, put_on_page, (const char *what, const char *text), {
  var show = Module[UTF8ToString(what)];
  if (show) {
    show(UTF8ToString(text));
  }
});

} // namespace

char **start_console(int /*argc*/, char *argv[]) { return argv; }

void show_user(Shown what, const char *text) {
  put_on_page(what == Shown::FAILURE ? "showFailure" : "describePage", text);
}
