// Triangle geometry. Several values are rounded to single precision as soon as they are computed
// and used in that rounded form afterwards (their type is `float` below); everything else is
// double, and a float is widened to double before any further operation. Which values are rounded
// decides which pixel a coordinate falls on, so none of this may be "simplified", and the build
// must never use -ffast-math. Pixel coordinates truncate toward zero.
#include "figure.h"

#include <cmath>

#include "display_state.h"
#include "raster.h"

namespace {

double wide(float v) { return static_cast<double>(v); }

// Rounds to single precision, through a volatile store so that no optimiser can skip the
// rounding: GCC 12 at -O2 was seen to vectorise a float round trip away.
float to_single(double v) {
  volatile float rounded = static_cast<float>(v);
  return rounded;
}

int truncate(double v) { return static_cast<int>(v); }

// Horizontal distance, in units, from the left end of the base to the point below the apex.
double foot_distance(TriangleSides s) {
  const int q = s.a * s.a + s.c * s.c - s.b * s.b;
  return static_cast<double>(q) / (2.0 * s.a);
}

} // namespace

Point apex_position(TriangleSides sides, int cell_x, int cell_y, OutlineGeometry *geometry) {
  const double foot = foot_distance(sides); // the unrounded quotient decides the angle
  geometry->alpha = to_single(std::acos(foot / sides.c));
  geometry->tan_alpha = to_single(std::tan(wide(geometry->alpha)));
  const float foot_single = to_single(foot); // the rounded one places the apex
  const double height = wide(geometry->tan_alpha) * wide(foot_single); // units above the base
  return Point{truncate(cell_x + UNIT_PX * wide(foot_single)), truncate(cell_y - height * UNIT_PX)};
}

OutlineGeometry draw_triangle_outline(TriangleSides sides, int cell_x, int cell_y) {
  OutlineGeometry geometry{};
  const Point apex = apex_position(sides, cell_x, cell_y, &geometry);
  const int right_x = cell_x + UNIT_PX * sides.a;
  draw_line(apex.x, apex.y, cell_x, cell_y, colour_black);
  draw_line(cell_x, cell_y, right_x, cell_y, colour_black);
  draw_line(right_x, cell_y, apex.x, apex.y, colour_black);
  return geometry;
}

void unit_mark_centres(TriangleSides sides, int cell_x, int cell_y, OutlineGeometry geometry,
                       Point centres[MARKS_PER_TRIANGLE]) {
  // Left side direction, through the tangent of the stored angle.
  // (1 + x*x and x*x + 1 are the same double, so each square root is taken once.)
  const double tau = wide(geometry.tan_alpha);
  const double left_norm = std::sqrt(1.0 + tau * tau);
  const float left_dx = to_single(1.0 / left_norm);
  const float left_dy = to_single(tau / left_norm);
  // Right side direction, from the angle at the right end of the base.
  const float beta = to_single(std::acos((sides.a - sides.c * std::cos(wide(geometry.alpha))) /
                                         static_cast<double>(sides.b)));
  const double tau_beta = wide(to_single(std::tan(wide(beta))));
  const double right_norm = std::sqrt(tau_beta * tau_beta + 1.0);
  const float right_dx = to_single(-1.0 / right_norm);
  const float right_dy = to_single(tau_beta / right_norm);

  int n = 0;
  for (int i = 0; i <= sides.a; ++i) {
    centres[n++] = Point{cell_x + UNIT_PX * i, cell_y};
  }
  for (int j = 0; j <= sides.c; ++j) {
    centres[n++] = Point{truncate(cell_x + (wide(left_dx) * j) * UNIT_PX),
                         truncate(cell_y - (wide(left_dy) * j) * UNIT_PX)};
  }
  for (int k = 0; k <= sides.b; ++k) {
    centres[n++] = Point{truncate(cell_x + (sides.a + wide(right_dx) * k) * UNIT_PX),
                         truncate(cell_y - (wide(right_dy) * k) * UNIT_PX)};
  }
}

void draw_unit_marks(TriangleSides sides, int cell_x, int cell_y, OutlineGeometry geometry) {
  Point centres[MARKS_PER_TRIANGLE];
  unit_mark_centres(sides, cell_x, cell_y, geometry, centres);
  for (const Point &centre : centres) {
    draw_circle(centre.x, centre.y, MARK_RADIUS, colour_black);
  }
}
