// How long a page takes to draw into an offscreen 800x600 surface: the whole page as the viewer
// draws it (clearing, title, labels, outlines and marks), and its outlines and marks alone.
// Reported per page; the four pages of a run are drawn in each iteration.
#include <benchmark/benchmark.h>

#include "display.h"
#include "display_state.h"
#include "enumeration.h"
#include "figure.h"
#include "layout.h"
#include "pages.h"

namespace {

constexpr int PAGES = 4;

bool keep_going(int /*page*/) { return true; }

// An offscreen screen in the window's format and the font, as the viewer prepares them.
struct Setup {
  Setup() {
    screen = SDL_CreateRGBSurface(SDL_SWSURFACE, SCREEN_W, SCREEN_H, SCREEN_BPP, 0x00FF0000,
                                  0x0000FF00, 0x000000FF, 0);
    ok = screen != nullptr && prepare_screen(FONT_FILE);
  }
  ~Setup() {
    SDL_FreeSurface(screen);
    stop_display();
  }
  Setup(const Setup &) = delete;
  Setup &operator=(const Setup &) = delete;
  bool ok = false;
};

void whole_pages(benchmark::State &state) {
  const Setup setup;
  if (!setup.ok) {
    state.SkipWithError("no font: run beside times.ttf");
    return;
  }
  for (auto _ : state) {
    clear_screen();
    benchmark::DoNotOptimize(draw_pages(keep_going));
  }
  state.SetItemsProcessed(state.iterations() * PAGES);
}

void outlines_and_marks(benchmark::State &state) {
  const Setup setup;
  for (auto _ : state) {
    EnumerationState enumeration;
    TriangleSides sides{};
    CellOrigin cell = first_cell();
    while (next_triangle(&enumeration, &sides)) {
      const OutlineGeometry geometry = draw_triangle_outline(sides, cell.x, cell.y);
      draw_unit_marks(sides, cell.x, cell.y, geometry);
      advance_cell(&cell);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * PAGES);
}

} // namespace

BENCHMARK(whole_pages)->Unit(benchmark::kMicrosecond);
BENCHMARK(outlines_and_marks)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
