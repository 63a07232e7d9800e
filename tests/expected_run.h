// The whole run as it must come out, worked out by hand: each triangle's sides, cell origin, page
// and apex. Shared by the drawing tests and the real-window test.
#pragma once

#include <string>

struct ExpectedTriangle {
  int a, b, c;
  int cell_x, cell_y;
  int page;
  int apex_x, apex_y;
};

inline constexpr ExpectedTriangle EXPECTED_RUN[] = {
    {19, 19, 2, 10, 100, 1, 11, 76},     {19, 18, 3, 250, 100, 1, 264, 67},
    {19, 17, 4, 490, 100, 1, 517, 60},   {19, 16, 5, 10, 260, 1, 51, 216},
    {19, 15, 6, 250, 260, 1, 304, 212},  {19, 14, 7, 490, 260, 1, 557, 210},
    {19, 13, 8, 10, 420, 1, 90, 368},    {19, 12, 9, 250, 420, 1, 344, 367},
    {19, 11, 10, 490, 420, 1, 597, 366}, {18, 18, 4, 10, 140, 2, 15, 92},
    {18, 17, 5, 250, 140, 2, 269, 83},   {18, 16, 6, 490, 140, 2, 524, 76},
    {18, 15, 7, 10, 300, 2, 59, 232},    {18, 14, 8, 250, 300, 2, 314, 228},
    {18, 13, 9, 490, 300, 2, 568, 226},  {18, 12, 10, 10, 460, 2, 103, 384},
    {18, 11, 11, 250, 460, 2, 358, 384}, {17, 17, 6, 490, 460, 2, 502, 389},
    {17, 16, 7, 10, 140, 3, 38, 61},     {17, 15, 8, 250, 140, 3, 295, 55},
    {17, 14, 9, 490, 140, 3, 551, 51},   {17, 13, 10, 10, 300, 3, 87, 208},
    {17, 12, 11, 250, 300, 3, 343, 207}, {16, 16, 8, 490, 300, 3, 514, 207},
    {16, 15, 9, 10, 460, 3, 52, 360},    {16, 14, 10, 250, 460, 3, 310, 356},
    {16, 13, 11, 490, 460, 3, 568, 353}, {16, 12, 12, 10, 140, 4, 106, 32},
    {15, 15, 10, 250, 140, 4, 289, 26},  {15, 14, 11, 490, 140, 4, 550, 22},
    {15, 13, 12, 10, 300, 4, 89, 180},   {14, 14, 12, 250, 300, 4, 311, 169},
    {14, 13, 13, 490, 300, 4, 574, 168}};

inline constexpr int EXPECTED_PAGES = 4;
inline constexpr int UNITS_PX = 12; // the scale, stated independently of the program's constant
// The box of a label, hanging below its base from the cell's left edge: wider than any label in a
// 20-point serif, yet clear of the next cell's figure.
inline constexpr int LABEL_BOX_W = 130;

// A triangle's label as it must read: "(19 19 2)".
inline std::string label_of(const ExpectedTriangle &t) {
  return "(" + std::to_string(t.a) + " " + std::to_string(t.b) + " " + std::to_string(t.c) + ")";
}

// Centres of unit marks worked out by hand for a sample of sides, beyond the base rings: the
// triangle's number (from 1), its side ('L' rising from the base's left end, 'R' from its right
// end), the mark's number along it (0 at the base) and its centre.
struct ExpectedMark {
  int triangle;
  char side;
  int k;
  int x, y;
};

inline constexpr ExpectedMark EXPECTED_MARKS[] = {
    // (19 19 2): the left side and the right side.
    {1, 'L', 1, 10, 88},
    {1, 'R', 1, 226, 98},
    {1, 'R', 2, 214, 97},
    {1, 'R', 3, 202, 96},
    {1, 'R', 4, 190, 94},
    {1, 'R', 5, 178, 93},
    {1, 'R', 6, 166, 92},
    {1, 'R', 7, 154, 91},
    {1, 'R', 8, 142, 89},
    {1, 'R', 9, 130, 88},
    {1, 'R', 10, 118, 87},
    {1, 'R', 11, 106, 86},
    {1, 'R', 12, 94, 84},
    {1, 'R', 13, 82, 83},
    {1, 'R', 14, 70, 82},
    {1, 'R', 15, 58, 81},
    {1, 'R', 16, 47, 79},
    {1, 'R', 17, 35, 78},
    {1, 'R', 18, 23, 77},
    // (18 18 4): the left side; its fourth mark reaches its exact value 14 only from below.
    {10, 'L', 1, 11, 128},
    {10, 'L', 2, 12, 116},
    {10, 'L', 3, 13, 104},
    {10, 'L', 4, 15, 92},
    // (15 15 10) and (16 12 12): right sides, which the single precision of the angle at the
    // right end and of its tangent decides.
    {29, 'R', 3, 402, 117},
    {29, 'R', 6, 374, 94},
    {29, 'R', 9, 346, 72},
    {29, 'R', 12, 318, 49},
    {29, 'R', 15, 290, 26},
    {28, 'R', 1, 193, 131},
    {28, 'R', 2, 185, 122},
    {28, 'R', 3, 177, 113},
    {28, 'R', 4, 169, 104},
    {28, 'R', 5, 161, 95},
    {28, 'R', 6, 153, 86},
    {28, 'R', 7, 145, 77},
    {28, 'R', 8, 137, 68},
    {28, 'R', 9, 129, 59},
    {28, 'R', 10, 121, 50},
    {28, 'R', 11, 113, 41},
    {28, 'R', 12, 105, 32},
    // The last marks of the sides where one or both lie one pixel from the apex.
    {11, 'L', 5, 270, 83},
    {14, 'R', 14, 313, 228},
    {17, 'L', 11, 357, 384},
    {25, 'L', 9, 51, 360},
    {26, 'L', 10, 309, 356},
    {26, 'R', 14, 309, 356},
    {29, 'L', 10, 290, 26},
    {30, 'L', 11, 549, 22},
    {30, 'R', 14, 549, 22},
    {31, 'L', 12, 90, 180},
    {33, 'L', 13, 573, 168},
    {33, 'R', 13, 573, 168}};

// Triangles whose last side marks do not both sit on the apex of the outline.
inline constexpr int APEX_OFF_MARK[] = {11, 14, 17, 25, 26, 28, 29, 30, 31, 33};

// Offsets of the 16 pixels of a ring of radius 2 from its centre.
inline constexpr int RING_OFFSETS[16][2] = {{0, -2},  {-1, -2}, {1, -2}, {0, 2}, {-1, 2},  {1, 2},
                                            {-1, -1}, {1, -1},  {-1, 1}, {1, 1}, {-2, -1}, {2, -1},
                                            {-2, 1},  {2, 1},   {-2, 0}, {2, 0}};
