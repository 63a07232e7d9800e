// The main walk. The screen is locked only around the direct pixel writes of one figure, never
// around a text blit, and never once per pixel.
#include "pages.h"

#include "display.h"
#include "enumeration.h"
#include "figure.h"
#include "layout.h"
#include "text.h"

namespace {

bool draw_figure(TriangleSides sides, CellOrigin cell) {
  if (!lock_screen()) {
    return false;
  }
  const OutlineGeometry geometry = draw_triangle_outline(sides, cell.x, cell.y);
  draw_unit_marks(sides, cell.x, cell.y, geometry);
  unlock_screen();
  return true;
}

} // namespace

bool draw_pages(PageDone page_done) {
  if (!draw_title()) {
    return false;
  }
  CellOrigin cell = first_cell();
  EnumerationState enumeration;
  TriangleSides sides{};
  int page = 1;
  while (next_triangle(&enumeration, &sides)) {
    if (!draw_triangle_label(sides, cell) || !draw_figure(sides, cell)) {
      return false;
    }
    if (advance_cell(&cell)) {
      if (!page_done(page)) {
        return false;
      }
      clear_screen();
      ++page;
    }
  }
  return page_done(page);
}
