// One triangle drawn to scale in its cell: the longest side `a` as a horizontal base running right
// from the cell origin, the shortest side `c` rising from the left end to the apex, and a ring at
// every whole unit along each side. UNIT_PX pixels to one unit.
#pragma once

#include "constants.h"
#include "enumeration.h"

// The angle at the left end of the base and its tangent, both stored in single precision: the
// rounding to float decides pixels, and the unit marks start from exactly these values.
struct OutlineGeometry {
  float alpha;
  float tan_alpha;
};

struct Point {
  int x;
  int y;
};

// Outline
// The apex of the triangle in its cell; stores the angle and its tangent in *geometry.
Point apex_position(TriangleSides sides, int cell_x, int cell_y, OutlineGeometry *geometry);
// Draws apex -> left end, left end -> right end, right end -> apex, in black.
OutlineGeometry draw_triangle_outline(TriangleSides sides, int cell_x, int cell_y);

// Unit marks: the base from left to right, the left side from the base up, the right side from
// the base up; n + 1 centres for a side of n units, both ends included.
void unit_mark_centres(TriangleSides sides, int cell_x, int cell_y, OutlineGeometry geometry,
                       Point centres[MARKS_PER_TRIANGLE]);
void draw_unit_marks(TriangleSides sides, int cell_x, int cell_y, OutlineGeometry geometry);
