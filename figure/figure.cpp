// Triangle geometry. Several values are rounded to single precision as soon as they are computed
// and used in that rounded form afterwards (their type is `float` below); everything else is
// double, and a float is widened to double before any further operation. Which values are rounded
// decides which pixel a coordinate falls on, so none of this may be "simplified", and the build
// must never use -ffast-math. Pixel coordinates truncate toward zero.
#include "figure.h"

#include <cmath>

namespace {

double as_double(float v) { return static_cast<double>(v); }

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

// The direction of a side as a unit vector, rounded to single precision, from the tangent of its
// angle with the base.
struct Direction {
  float dx;
  float dy;
};

} // namespace

Outline triangle_outline(TriangleSides sides, Point cell, int unit_px) {
  Outline outline{};
  const double foot = foot_distance(sides); // the unrounded quotient decides the angle
  outline.geometry.alpha = to_single(std::acos(foot / sides.c));
  outline.geometry.tan_alpha = to_single(std::tan(as_double(outline.geometry.alpha)));
  const float foot_single = to_single(foot); // the rounded one places the apex
  const double height =
      as_double(outline.geometry.tan_alpha) * as_double(foot_single); // units above it
  outline.apex = Point{truncate(cell.x + unit_px * as_double(foot_single)),
                       truncate(cell.y - height * unit_px)};
  outline.left = cell;
  outline.right = Point{cell.x + unit_px * sides.a, cell.y};
  return outline;
}

void unit_mark_centres(TriangleSides sides, Point cell, int unit_px, OutlineGeometry geometry,
                       Point *centres) {
  // Left side direction, through the tangent of the stored angle.
  // (1 + x*x and x*x + 1 are the same double, so each square root is taken once.)
  const double tau = as_double(geometry.tan_alpha);
  const double left_norm = std::sqrt(1.0 + tau * tau);
  const Direction left{to_single(1.0 / left_norm), to_single(tau / left_norm)};
  // Right side direction, from the angle at the right end of the base.
  const float beta = to_single(std::acos((sides.a - sides.c * std::cos(as_double(geometry.alpha))) /
                                         static_cast<double>(sides.b)));
  const double tau_beta = as_double(to_single(std::tan(as_double(beta))));
  const double right_norm = std::sqrt(tau_beta * tau_beta + 1.0);
  const Direction right{to_single(-1.0 / right_norm), to_single(tau_beta / right_norm)};

  for (int i = 0; i <= sides.a; ++i) {
    *centres++ = Point{cell.x + unit_px * i, cell.y};
  }
  for (int j = 0; j <= sides.c; ++j) {
    *centres++ = Point{truncate(cell.x + (as_double(left.dx) * j) * unit_px),
                       truncate(cell.y - (as_double(left.dy) * j) * unit_px)};
  }
  for (int k = 0; k <= sides.b; ++k) {
    *centres++ = Point{truncate(cell.x + (sides.a + as_double(right.dx) * k) * unit_px),
                       truncate(cell.y - (as_double(right.dy) * k) * unit_px)};
  }
}
