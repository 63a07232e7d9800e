// Triangle outlines and unit marks against hand-checked positions, including the ones where the
// single-precision storage of an angle or a length moves a pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "enumeration.h"
#include "expected_run.h"
#include "figure.h"
#include "layout.h"
#include "offscreen.h"
#include "pages.h"

namespace {

struct Placed {
  TriangleSides sides;
  CellOrigin cell;
};

std::vector<Placed> the_run() {
  std::vector<Placed> out;
  EnumerationState state;
  TriangleSides sides{};
  CellOrigin cell = first_cell();
  while (next_triangle(&state, &sides)) {
    out.push_back(Placed{sides, cell});
    advance_cell(&cell);
  }
  return out;
}

using Centres = std::vector<std::pair<int, int>>;

// The marks of one triangle split into its base, left side and right side runs.
struct Marks {
  Centres base, left, right;
};

Marks marks_of(const Placed &p) {
  const OutlineGeometry geometry = triangle_outline(p.sides, p.cell, UNITS_PX).geometry;
  Point centres[MARKS_PER_TRIANGLE];
  unit_mark_centres(p.sides, p.cell, UNITS_PX, geometry, centres);
  Marks m;
  int n = 0;
  for (int i = 0; i <= p.sides.a; ++i, ++n) {
    m.base.emplace_back(centres[n].x, centres[n].y);
  }
  for (int j = 0; j <= p.sides.c; ++j, ++n) {
    m.left.emplace_back(centres[n].x, centres[n].y);
  }
  for (int k = 0; k <= p.sides.b; ++k, ++n) {
    m.right.emplace_back(centres[n].x, centres[n].y);
  }
  return m;
}

} // namespace

TEST(Outline, ApexAndBaseOfEveryTriangle) {
  const std::vector<Placed> run = the_run();
  ASSERT_EQ(run.size(), 33U);
  for (size_t i = 0; i < run.size(); ++i) {
    SCOPED_TRACE("triangle " + std::to_string(i + 1));
    const Placed &p = run[i];
    const ExpectedTriangle &e = EXPECTED_RUN[i];
    ASSERT_EQ(p.cell.x, e.cell_x);
    ASSERT_EQ(p.cell.y, e.cell_y);
    const Outline outline = triangle_outline(p.sides, p.cell, UNITS_PX);
    EXPECT_EQ(outline.apex.x, e.apex_x);
    EXPECT_EQ(outline.apex.y, e.apex_y);
    EXPECT_GT(outline.geometry.tan_alpha, 0.0F);
    const int right_x = e.cell_x + UNITS_PX * e.a;
    EXPECT_EQ(outline.right.x, right_x);
    EXPECT_EQ(outline.right.y, e.cell_y);

    Offscreen off;
    draw_triangle_outline(off.canvas, off.screen.black, p.sides, p.cell);
    EXPECT_TRUE(off.black(e.apex_x, e.apex_y));
    for (int x = e.cell_x; x <= right_x; ++x) {
      ASSERT_TRUE(off.black(x, e.cell_y)) << "base gap at x = " << x;
    }
    // Nothing above the apex, below the base, or beyond the base's ends.
    for (int y = 0; y < SCREEN_H; ++y) {
      for (int x = 0; x < SCREEN_W; ++x) {
        if (off.black(x, y)) {
          ASSERT_TRUE(y >= e.apex_y && y <= e.cell_y && x >= e.cell_x && x <= right_x)
              << "stray pixel at (" << x << ", " << y << ")";
        }
      }
    }
    EXPECT_EQ(off.padding_damage(), 0);
  }
}

TEST(Outline, EdgesAreDrawnFromApexToLeftEnd) {
  Offscreen off;
  draw_triangle_outline(off.canvas, off.screen.black, TriangleSides{19, 19, 2},
                        CellOrigin{10, 100});
  // Apex (11, 76) down to (10, 100): the one sideways step comes last, at the base.
  for (int y = 76; y < 100; ++y) {
    EXPECT_TRUE(off.black(11, y)) << "y = " << y;
    EXPECT_FALSE(off.black(10, y)) << "y = " << y;
  }
  EXPECT_TRUE(off.black(10, 100));
}

TEST(Marks, SidesAsWorkedOutByHand) {
  const std::vector<Placed> run = the_run();
  for (const ExpectedMark &e : EXPECTED_MARKS) {
    SCOPED_TRACE("triangle " + std::to_string(e.triangle) + ", side " + e.side + ", mark " +
                 std::to_string(e.k));
    const Marks m = marks_of(run[e.triangle - 1]);
    const Centres &side = e.side == 'L' ? m.left : m.right;
    ASSERT_LT(static_cast<size_t>(e.k), side.size());
    EXPECT_EQ(side[e.k], std::make_pair(e.x, e.y));
  }
}

TEST(Marks, LastMarksAgainstTheApex) {
  // Each side ends on the apex of the outline, but where the table gives its last mark elsewhere:
  // for the triangles of APEX_OFF_MARK, and for those alone.
  const std::vector<Placed> run = the_run();
  for (int n = 1; n <= 33; ++n) {
    SCOPED_TRACE("triangle " + std::to_string(n));
    const Marks m = marks_of(run[n - 1]);
    const auto apex = std::make_pair(EXPECTED_RUN[n - 1].apex_x, EXPECTED_RUN[n - 1].apex_y);
    const auto last_of = [&](char side, const Centres &marks) {
      for (const ExpectedMark &e : EXPECTED_MARKS) {
        if (e.triangle == n && e.side == side && static_cast<size_t>(e.k) + 1 == marks.size()) {
          return std::make_pair(e.x, e.y);
        }
      }
      return apex;
    };
    EXPECT_EQ(m.left.back(), last_of('L', m.left));
    EXPECT_EQ(m.right.back(), last_of('R', m.right));
    const bool off =
        std::find(std::begin(APEX_OFF_MARK), std::end(APEX_OFF_MARK), n) != std::end(APEX_OFF_MARK);
    EXPECT_EQ(off, last_of('L', m.left) != apex || last_of('R', m.right) != apex);
  }
}

TEST(Marks, EveryTriangleHasFortyThreeRingsOnTheScreen) {
  for (const Placed &p : the_run()) {
    const Marks m = marks_of(p);
    EXPECT_EQ(m.base.size() + m.left.size() + m.right.size(), 43U);
    for (size_t i = 0; i < m.base.size(); ++i) {
      EXPECT_EQ(m.base[i], std::make_pair(p.cell.x + UNITS_PX * static_cast<int>(i), p.cell.y));
    }
    EXPECT_EQ(m.left.front(), std::make_pair(p.cell.x, p.cell.y));
    EXPECT_EQ(m.right.front(), std::make_pair(p.cell.x + UNIT_PX * p.sides.a, p.cell.y));
    for (const Centres *run : {&m.base, &m.left, &m.right}) {
      for (const auto &c : *run) {
        EXPECT_TRUE(c.first - MARK_RADIUS >= 0 && c.first + MARK_RADIUS < SCREEN_W &&
                    c.second - MARK_RADIUS >= 0 && c.second + MARK_RADIUS < SCREEN_H);
      }
    }
  }
}

TEST(Marks, DrawnAsRings) {
  Offscreen off;
  const TriangleSides sides{19, 19, 2};
  const CellOrigin cell{10, 100};
  const OutlineGeometry geometry = triangle_outline(sides, cell, UNITS_PX).geometry;
  draw_unit_marks(off.canvas, off.screen.black, sides, cell, geometry);
  // Two base rings, 12 pixels apart, and nothing in the middle of either.
  EXPECT_EQ(off.grid(8, 98, 17, 5), ".###.........###.\n"
                                    "##.##.......##.##\n"
                                    "#...#.......#...#\n"
                                    "##.##.......##.##\n"
                                    ".###.........###.\n");
  EXPECT_EQ(off.padding_damage(), 0);
}
