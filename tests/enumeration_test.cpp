// The enumeration: every triangle of perimeter 40 exactly once, in the fixed order.
#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "constants.h"
#include "enumeration.h"

namespace {

std::vector<TriangleSides> all_triangles() {
  std::vector<TriangleSides> out;
  EnumerationState state;
  TriangleSides sides{};
  while (next_triangle(&state, &sides)) {
    out.push_back(sides);
  }
  return out;
}

// The complete sequence, by hand: longest side descending in blocks, middle side descending
// within a block.
const int EXPECTED[][3] = {{19, 19, 2},  {19, 18, 3},  {19, 17, 4},  {19, 16, 5},  {19, 15, 6},
                           {19, 14, 7},  {19, 13, 8},  {19, 12, 9},  {19, 11, 10}, {18, 18, 4},
                           {18, 17, 5},  {18, 16, 6},  {18, 15, 7},  {18, 14, 8},  {18, 13, 9},
                           {18, 12, 10}, {18, 11, 11}, {17, 17, 6},  {17, 16, 7},  {17, 15, 8},
                           {17, 14, 9},  {17, 13, 10}, {17, 12, 11}, {16, 16, 8},  {16, 15, 9},
                           {16, 14, 10}, {16, 13, 11}, {16, 12, 12}, {15, 15, 10}, {15, 14, 11},
                           {15, 13, 12}, {14, 14, 12}, {14, 13, 13}};

} // namespace

TEST(Enumeration, GivesTheWholeSequenceInOrder) {
  const std::vector<TriangleSides> got = all_triangles();
  ASSERT_EQ(got.size(), std::size(EXPECTED));
  for (size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE("triangle " + std::to_string(i + 1));
    EXPECT_EQ(got[i].a, EXPECTED[i][0]);
    EXPECT_EQ(got[i].b, EXPECTED[i][1]);
    EXPECT_EQ(got[i].c, EXPECTED[i][2]);
  }
  // The right triangle is number 20.
  EXPECT_EQ(got[19].a * got[19].a, got[19].b * got[19].b + got[19].c * got[19].c);
}

TEST(Enumeration, EveryTripleIsAValidDistinctTriangle) {
  const std::vector<TriangleSides> got = all_triangles();
  for (size_t i = 0; i < got.size(); ++i) {
    const TriangleSides &t = got[i];
    SCOPED_TRACE("triangle " + std::to_string(i + 1));
    EXPECT_EQ(t.a + t.b + t.c, PERIMETER);
    EXPECT_GE(t.a, t.b);
    EXPECT_GE(t.b, t.c);
    EXPECT_GE(t.c, 1);
    EXPECT_LT(t.a, t.b + t.c);
    for (size_t j = 0; j < i; ++j) {
      EXPECT_FALSE(got[j].a == t.a && got[j].b == t.b && got[j].c == t.c);
    }
  }
  // Counted independently: every (a, b, c) with a >= b >= c, perimeter 40, a < b + c.
  int count = 0;
  for (int a = 1; a <= PERIMETER; ++a) {
    for (int b = 1; b <= a; ++b) {
      const int c = PERIMETER - a - b;
      count += c >= 1 && c <= b && a < b + c;
    }
  }
  EXPECT_EQ(count, static_cast<int>(got.size()));
}

TEST(Enumeration, BlocksOfEqualSlack) {
  // Slack b + c - a = 2, 4, ..., 12 gives blocks of 9, 8, 6, 5, 3 and 2 triangles.
  const int expected[] = {9, 8, 6, 5, 3, 2};
  int counts[6] = {};
  for (const TriangleSides &t : all_triangles()) {
    const int slack = t.b + t.c - t.a;
    ASSERT_EQ(slack % 2, 0);
    ++counts[slack / 2 - 1];
  }
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(counts[i], expected[i]) << "slack " << 2 * (i + 1);
  }
}

TEST(Enumeration, StaysExhausted) {
  EnumerationState state;
  TriangleSides sides{};
  while (next_triangle(&state, &sides)) {
  }
  const TriangleSides last = sides;
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(next_triangle(&state, &sides));
  }
  EXPECT_EQ(last.a, 14);
  EXPECT_EQ(last.b, 13);
  EXPECT_EQ(last.c, 13);
}
