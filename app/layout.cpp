// Cell advance with strict limits: a cell_x of exactly WRAP_LIMIT_X stays on its row and a cell_y
// of exactly PAGE_LIMIT_Y stays on its page.
#include "layout.h"

#include "constants.h"

CellOrigin first_cell() { return CellOrigin{LEFT_MARGIN, FIRST_ROW_Y}; }

bool advance_cell(CellOrigin *cell) {
  cell->x += CELL_W;
  if (cell->x > WRAP_LIMIT_X) {
    cell->y += ROW_H;
    cell->x = LEFT_MARGIN;
  }
  if (cell->y > PAGE_LIMIT_Y) {
    *cell = CellOrigin{LEFT_MARGIN, PAGE_TOP_Y};
    return true;
  }
  return false;
}
