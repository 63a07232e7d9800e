// Triangle outlines and unit marks against hand-checked positions, including the ones where the
// single-precision storage of an angle or a length moves a pixel.
#include <gtest/gtest.h>

#include <set>
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

TEST(Marks, FirstTriangle) {
  const Marks m = marks_of(Placed{TriangleSides{19, 19, 2}, CellOrigin{10, 100}});
  ASSERT_EQ(m.base.size(), 20U);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(m.base[i], std::make_pair(10 + 12 * i, 100));
  }
  EXPECT_EQ(m.left, (Centres{{10, 100}, {10, 88}, {11, 76}}));
  EXPECT_EQ(m.right,
            (Centres{{238, 100}, {226, 98}, {214, 97}, {202, 96}, {190, 94}, {178, 93}, {166, 92},
                     {154, 91},  {142, 89}, {130, 88}, {118, 87}, {106, 86}, {94, 84},  {82, 83},
                     {70, 82},   {58, 81},  {47, 79},  {35, 78},  {23, 77},  {11, 76}}));
}

TEST(Marks, SidesDecidedBySinglePrecision) {
  // The fourth left mark reaches its exact value 14 only from below.
  const Marks tall = marks_of(Placed{TriangleSides{18, 18, 4}, CellOrigin{10, 140}});
  EXPECT_EQ(tall.left, (Centres{{10, 140}, {11, 128}, {12, 116}, {13, 104}, {15, 92}}));

  const Marks wide = marks_of(Placed{TriangleSides{15, 15, 10}, CellOrigin{250, 140}});
  ASSERT_EQ(wide.right.size(), 16U);
  EXPECT_EQ(wide.right[3], std::make_pair(402, 117));
  EXPECT_EQ(wide.right[6], std::make_pair(374, 94));
  EXPECT_EQ(wide.right[9], std::make_pair(346, 72));
  EXPECT_EQ(wide.right[12], std::make_pair(318, 49));
  EXPECT_EQ(wide.right[15], std::make_pair(290, 26));

  const Marks iso = marks_of(Placed{TriangleSides{16, 12, 12}, CellOrigin{10, 140}});
  EXPECT_EQ(iso.right, (Centres{{202, 140},
                                {193, 131},
                                {185, 122},
                                {177, 113},
                                {169, 104},
                                {161, 95},
                                {153, 86},
                                {145, 77},
                                {137, 68},
                                {129, 59},
                                {121, 50},
                                {113, 41},
                                {105, 32}}));
}

TEST(Marks, LastMarksAgainstTheApex) {
  // Triangle number, last left mark, last right mark where either differs from the apex.
  const int differing[][5] = {{11, 270, 83, 269, 83},   {14, 314, 228, 313, 228},
                              {17, 357, 384, 358, 384}, {25, 51, 360, 52, 360},
                              {26, 309, 356, 309, 356}, {28, 106, 32, 105, 32},
                              {29, 290, 26, 290, 26},   {30, 549, 22, 549, 22},
                              {31, 90, 180, 89, 180},   {33, 573, 168, 573, 168}};
  const std::vector<Placed> run = the_run();
  std::set<int> differs;
  for (const auto &d : differing) {
    differs.insert(d[0]);
    const Marks m = marks_of(run[d[0] - 1]);
    SCOPED_TRACE("triangle " + std::to_string(d[0]));
    EXPECT_EQ(m.left.back(), std::make_pair(d[1], d[2]));
    EXPECT_EQ(m.right.back(), std::make_pair(d[3], d[4]));
  }
  for (int n = 1; n <= 33; ++n) {
    if (differs.count(n) == 0) {
      SCOPED_TRACE("triangle " + std::to_string(n));
      const Marks m = marks_of(run[n - 1]);
      const auto apex = std::make_pair(EXPECTED_RUN[n - 1].apex_x, EXPECTED_RUN[n - 1].apex_y);
      EXPECT_EQ(m.left.back(), apex);
      EXPECT_EQ(m.right.back(), apex);
    }
  }
}

TEST(Marks, EveryTriangleHasFortyThreeRingsOnTheScreen) {
  for (const Placed &p : the_run()) {
    const Marks m = marks_of(p);
    EXPECT_EQ(m.base.size() + m.left.size() + m.right.size(), 43U);
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
