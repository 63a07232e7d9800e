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

int truncate(double v) { return static_cast<int>(v); }

// Horizontal distance, in units, from the left end of the base to the point below the apex.
double foot_distance(TriangleSides s) {
  const int q = s.a * s.a + s.c * s.c - s.b * s.b;
  return static_cast<double>(q) / (2.0 * s.a);
}

} // namespace

OutlineGeometry outline_geometry(TriangleSides sides) {
  const float alpha = static_cast<float>(std::acos(foot_distance(sides) / sides.c));
  const float tan_alpha = static_cast<float>(std::tan(wide(alpha)));
  return OutlineGeometry{alpha, tan_alpha};
}

Point apex_position(TriangleSides sides, int cell_x, int cell_y, OutlineGeometry *geometry) {
  *geometry = outline_geometry(sides);
  const float foot = static_cast<float>(foot_distance(sides));
  const double height = wide(geometry->tan_alpha) * wide(foot); // units above the base
  return Point{truncate(cell_x + UNIT_PX * wide(foot)), truncate(cell_y - height * UNIT_PX)};
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
  const double tau = wide(geometry.tan_alpha);
  const float left_dx = static_cast<float>(1.0 / std::sqrt(1.0 + tau * tau));
  const float left_dy = static_cast<float>(tau / std::sqrt(tau * tau + 1.0));
  // Right side direction, from the angle at the right end of the base.
  const float beta = static_cast<float>(std::acos(
      (sides.a - sides.c * std::cos(wide(geometry.alpha))) / static_cast<double>(sides.b)));
  const double tau_beta = wide(static_cast<float>(std::tan(wide(beta))));
  const float right_dx = static_cast<float>(-1.0 / std::sqrt(tau_beta * tau_beta + 1.0));
  const float right_dy = static_cast<float>(tau_beta / std::sqrt(tau_beta * tau_beta + 1.0));

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
