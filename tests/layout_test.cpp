// Page layout: where each of the 33 cells lies and where the pages break.
#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "constants.h"
#include "expected_run.h"
#include "layout.h"

namespace {

constexpr int TRIANGLES = static_cast<int>(std::size(EXPECTED_RUN));

struct Placed {
  CellOrigin cell;
  int page;
};

// Runs the walk's layout over `count` triangles.
std::vector<Placed> lay_out(int count) {
  std::vector<Placed> out;
  CellOrigin cell = first_cell();
  int page = 1;
  for (int i = 0; i < count; ++i) {
    out.push_back(Placed{cell, page});
    if (advance_cell(&cell)) {
      ++page;
    }
  }
  return out;
}

} // namespace

TEST(Layout, CellsOfEveryPage) {
  const int columns[] = {10, 250, 490};
  const int first_rows[] = {100, 260, 420};
  const int later_rows[] = {140, 300, 460};
  const std::vector<Placed> placed = lay_out(TRIANGLES);
  for (int i = 0; i < TRIANGLES; ++i) {
    SCOPED_TRACE("triangle " + std::to_string(i + 1));
    const int page = i / 9 + 1;
    const int slot = i % 9;
    EXPECT_EQ(placed[i].page, page);
    EXPECT_EQ(placed[i].cell.x, columns[slot % 3]);
    EXPECT_EQ(placed[i].cell.y, (page == 1 ? first_rows : later_rows)[slot / 3]);
  }
}

TEST(Layout, PagesBreakAfterNineCells) {
  CellOrigin cell = first_cell();
  std::vector<int> breaks;
  for (int i = 1; i <= TRIANGLES; ++i) {
    if (advance_cell(&cell)) {
      breaks.push_back(i);
      EXPECT_EQ(cell.x, LEFT_MARGIN);
      EXPECT_EQ(cell.y, PAGE_TOP_Y);
    }
  }
  // Pages of 9, 9, 9 and 6: the last one ends with the run, not with a break.
  EXPECT_EQ(breaks, (std::vector<int>{9, 18, 27}));
}

TEST(Layout, LimitsAreStrict) {
  CellOrigin at_wrap{WRAP_LIMIT_X - CELL_W, 300};
  EXPECT_FALSE(advance_cell(&at_wrap));
  EXPECT_EQ(at_wrap.x, WRAP_LIMIT_X); // exactly 560 stays on its row
  EXPECT_EQ(at_wrap.y, 300);

  CellOrigin at_bottom{490, PAGE_LIMIT_Y - ROW_H};
  EXPECT_FALSE(advance_cell(&at_bottom)); // exactly 480 stays on its page
  EXPECT_EQ(at_bottom.x, LEFT_MARGIN);
  EXPECT_EQ(at_bottom.y, PAGE_LIMIT_Y);
}
