// Pixels, lines and circles on a padded offscreen surface, checked against small drawn grids.
#include <gtest/gtest.h>

#include "offscreen.h"
#include "raster.h"

namespace {

class Raster : public ::testing::Test {
protected:
  Offscreen off;
  void TearDown() override { EXPECT_EQ(off.padding_damage(), 0) << "drawn outside the picture"; }
};

} // namespace

TEST_F(Raster, PixelsAreAddressedByPitch) {
  put_pixel(off.canvas, 799, 599, off.screen.black);
  put_pixel(off.canvas, 0, 1, off.screen.black);
  EXPECT_TRUE(off.black(799, 599));
  EXPECT_TRUE(off.black(0, 1));
  EXPECT_EQ(get_pixel(off.canvas, 799, 599), off.screen.black);
  EXPECT_EQ(get_pixel(off.canvas, 1, 1), off.screen.white);
  EXPECT_EQ(off.black_count(), 2);
}

TEST_F(Raster, ShallowLineStepsLateForwardAndBackward) {
  draw_line(off.canvas, 0, 0, 5, 2, off.screen.black);
  EXPECT_EQ(off.grid(0, 0, 6, 3), "###...\n...##.\n.....#\n");
  off.clear();
  draw_line(off.canvas, 5, 2, 0, 0, off.screen.black); // not the same pixels backwards
  EXPECT_EQ(off.grid(0, 0, 6, 3), "#.....\n.##...\n...###\n");
}

TEST_F(Raster, SteepLineStepsLate) {
  draw_line(off.canvas, 0, 0, 2, 5, off.screen.black);
  EXPECT_EQ(off.grid(0, 0, 3, 6), "#..\n#..\n#..\n.#.\n.#.\n..#\n");
}

TEST_F(Raster, StraightAndDiagonalLines) {
  draw_line(off.canvas, 0, 5, 0, 0, off.screen.black);
  draw_line(off.canvas, 2, 0, 6, 4, off.screen.black);
  draw_line(off.canvas, 9, 3, 7, 3, off.screen.black);
  EXPECT_EQ(off.grid(0, 0, 10, 6), "#.#.......\n"
                                   "#..#......\n"
                                   "#...#.....\n"
                                   "#....#.###\n"
                                   "#.....#...\n"
                                   "#.........\n");
}

TEST_F(Raster, ZeroLengthLineAndLinesAtTheEdges) {
  draw_line(off.canvas, 7, 7, 7, 7, off.screen.black);
  EXPECT_EQ(off.black_count(), 1);
  EXPECT_TRUE(off.black(7, 7));
  draw_line(off.canvas, 799, 0, 799, 599, off.screen.black);
  draw_line(off.canvas, 0, 599, 799, 599, off.screen.black);
  EXPECT_EQ(off.black_count(), 1 + 600 + 799);
}

TEST_F(Raster, LongLineEndsExactlyAtItsEndPoint) {
  // 13 steps over 7: the accumulator gives back exactly the minor length.
  draw_line(off.canvas, 100, 100, 113, 93, off.screen.black);
  EXPECT_TRUE(off.black(100, 100));
  EXPECT_TRUE(off.black(113, 93));
  EXPECT_EQ(off.black_count(), 14);
}

TEST_F(Raster, RingOfRadiusTwo) {
  draw_circle(off.canvas, 10, 10, 2, off.screen.black);
  EXPECT_EQ(off.grid(8, 8, 5, 5), ".###.\n##.##\n#...#\n##.##\n.###.\n");
  EXPECT_EQ(off.black_count(), 16);
}

TEST_F(Raster, SmallestCircles) {
  draw_circle(off.canvas, 3, 3, 0, off.screen.black);
  EXPECT_EQ(off.grid(2, 2, 3, 3), "...\n.#.\n...\n");
  off.clear();
  draw_circle(off.canvas, 3, 3, 1, off.screen.black);
  EXPECT_EQ(off.grid(2, 2, 3, 3), ".#.\n###\n.#.\n");
}

TEST_F(Raster, CircleOfRadiusFive) {
  draw_circle(off.canvas, 20, 20, 5, off.screen.black);
  EXPECT_EQ(off.grid(15, 15, 11, 11), "...#####...\n"
                                      "..##...##..\n"
                                      ".##.....##.\n"
                                      "##.......##\n"
                                      "#.........#\n"
                                      "#.........#\n"
                                      "#.........#\n"
                                      "##.......##\n"
                                      ".##.....##.\n"
                                      "..##...##..\n"
                                      "...#####...\n");
  EXPECT_EQ(off.black_count(), 40);
  EXPECT_FALSE(off.black(20, 20));
}

TEST_F(Raster, CirclesClipToTheScreen) {
  draw_circle(off.canvas, 0, 0, 2, off.screen.black);
  EXPECT_EQ(off.grid(0, 0, 3, 3), "..#\n.##\n##.\n");
  EXPECT_EQ(off.black_count(), 5);
  off.clear();
  draw_circle(off.canvas, 799, 599, 2, off.screen.black);
  EXPECT_EQ(off.grid(797, 597, 3, 3), ".##\n##.\n#..\n");
  EXPECT_EQ(off.black_count(), 5);
  off.clear();
  draw_circle(off.canvas, -3, 300, 2, off.screen.black);
  draw_circle(off.canvas, 802, 10, 2, off.screen.black);
  draw_circle(off.canvas, 400, -3, 2, off.screen.black);
  draw_circle(off.canvas, 400, 602, 2, off.screen.black);
  EXPECT_EQ(off.black_count(), 0);
}
