// libFuzzer target: the program's own font path on every input, as the exporter takes it. The
// bytes become the font file, which is opened and checked, and when it is accepted the four pages
// are drawn into an 800x600 surface in memory. SDL_ttf runs under the same sanitizers.
//   font_fuzz [libFuzzer options] CORPUS_FOLDER...   (scripts/test: seeds from make_fonts.py)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "font.h"
#include "pages.h"
#include "screen.h"

namespace {

char font_path[] = "/tmp/triangles-fuzz-XXXXXX"; // each input in turn, removed at the end
Screen screen;

const char *keep_going(void * /*context*/, int /*page*/, const char * /*description*/) {
  return nullptr;
}

void remove_font() { std::remove(font_path); }

} // namespace

extern "C" int LLVMFuzzerInitialize(int * /*argc*/, char *** /*argv*/) {
  const int fd = mkstemp(font_path);
  if (fd < 0 || close(fd) != 0 || std::atexit(remove_font) != 0 ||
      open_memory_screen(&screen) != nullptr) {
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  FILE *file = std::fopen(font_path, "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
    std::abort();
  }
  Font font;
  if (open_font(font_path, &font) == nullptr) {
    draw_pages(screen, font, keep_going, nullptr);
  }
  close_font(&font);
  return 0;
}
