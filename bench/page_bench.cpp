// How long a page takes to draw into an offscreen 800x600 surface: the whole page as the viewer
// draws it (clearing, title, labels, outlines and marks), and its outlines and marks alone.
// Reported per page; the four pages of a run are drawn in each iteration.
#include <benchmark/benchmark.h>

#include "constants.h"
#include "enumeration.h"
#include "figure.h"
#include "font.h"
#include "layout.h"
#include "pages.h"
#include "screen.h"

namespace {

constexpr int PAGES = 4;

const char *keep_going(void * /*context*/, int /*page*/, const char * /*description*/) {
  return nullptr;
}

// A screen in memory in the window's format and the font, as the exporter opens them.
struct Setup {
  Setup() { ok = open_memory_screen(&screen) == nullptr && open_font(FONT_FILE, &font) == nullptr; }
  ~Setup() {
    close_font(&font);
    close_screen(&screen);
  }
  Setup(const Setup &) = delete;
  Setup &operator=(const Setup &) = delete;
  Screen screen;
  Font font;
  bool ok = false;
};

void whole_pages(benchmark::State &state) {
  const Setup setup;
  if (!setup.ok) {
    state.SkipWithError("no font: run beside times.ttf");
    return;
  }
  for (auto _ : state) {
    clear_screen(setup.screen);
    benchmark::DoNotOptimize(draw_pages(setup.screen, setup.font, keep_going, nullptr));
  }
  state.SetItemsProcessed(state.iterations() * PAGES);
}

void outlines_and_marks(benchmark::State &state) {
  const Setup setup;
  Canvas canvas{};
  lock_screen(setup.screen, &canvas);
  for (auto _ : state) {
    EnumerationState enumeration;
    TriangleSides sides{};
    CellOrigin cell = first_cell();
    while (next_triangle(&enumeration, &sides)) {
      const OutlineGeometry geometry =
          draw_triangle_outline(canvas, setup.screen.black, sides, cell);
      draw_unit_marks(canvas, setup.screen.black, sides, cell, geometry);
      advance_cell(&cell);
    }
    benchmark::ClobberMemory();
  }
  unlock_screen(setup.screen);
  state.SetItemsProcessed(state.iterations() * PAGES);
}

} // namespace

BENCHMARK(whole_pages)->Unit(benchmark::kMicrosecond);
BENCHMARK(outlines_and_marks)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
