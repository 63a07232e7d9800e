// One triangle to scale in its cell, as geometry: where its corners and the rings at every whole
// unit of its sides go, `unit_px` pixels to one unit of length. The longest side `a` is the
// horizontal base running right from the cell origin, the shortest side `c` rises from the base's
// left end to the apex, and `b` joins the apex to the base's right end. Drawing is the caller's.
#pragma once

// Side lengths of one triangle: a >= b >= c >= 1 and a < b + c.
struct TriangleSides {
  int a;
  int b;
  int c;
};

struct Point {
  int x;
  int y;
};

// The angle at the left end of the base and its tangent, both stored in single precision: the
// rounding to float decides pixels, and the unit marks start from exactly these values.
struct OutlineGeometry {
  float alpha;
  float tan_alpha;
};

// The corners of the triangle whose base starts at `cell`, and the angle at its left end.
struct Outline {
  Point apex;
  Point left;
  Point right;
  OutlineGeometry geometry;
};
Outline triangle_outline(TriangleSides sides, Point cell, int unit_px);

// The a + b + c + 3 centres of its unit marks, into `centres`: the base from left to right, the
// left side from the base up, the right side from the base up; n + 1 for a side of n units, both
// ends included.
void unit_mark_centres(TriangleSides sides, Point cell, int unit_px, OutlineGeometry geometry,
                       Point *centres);
