// Pixel store, line and circle. The line plots its start point and then one point per step along
// the major axis; the circle walks one quarter from straight below the centre up to the centre's
// level, always taking the step that leaves the smaller error (upwards on a tie), and mirrors each
// point into the other three quarters.
#include "raster.h"

#include <cstddef>
#include <cstdlib>
#include <utility>

namespace {

std::uint32_t *pixel_address(const Canvas &canvas, int x, int y) {
  auto *row =
      static_cast<std::uint8_t *>(canvas.pixels) + static_cast<std::ptrdiff_t>(y) * canvas.pitch;
  return reinterpret_cast<std::uint32_t *>(row) + x;
}

// Walks one quarter of the circle and mirrors each point into the other three, handing every point
// to plot(x, y) in drawing order.
template <typename Plot> void walk_circle(int cx, int cy, int r, Plot plot) {
  int px = cx;
  int py = cy + r;
  int err = 0;
  plot(px, py);
  plot(cx, 2 * cy - py);
  while (py > cy) {
    const int e1 = err + 2 * (px - cx) + 1; // after a sideways step
    const int e2 = err - 2 * (py - cy) + 1; // after an upward step
    if (std::abs(e1) < std::abs(e2)) {
      ++px;
      err = e1;
    } else {
      --py;
      err = e2;
    }
    plot(px, py);
    plot(px, 2 * cy - py);
    plot(2 * cx - px, py);
    plot(2 * cx - px, 2 * cy - py);
  }
  plot(cx + r, cy);
  plot(cx - r, cy);
}

} // namespace

void put_pixel(const Canvas &canvas, int x, int y, std::uint32_t colour) {
  *pixel_address(canvas, x, y) = colour;
}

std::uint32_t get_pixel(const Canvas &canvas, int x, int y) { return *pixel_address(canvas, x, y); }

// One loop for every direction: it steps along the major axis and, for a steep line, swaps the
// axes only where it plots. A vertical, horizontal or diagonal line is the case where the
// accumulator never or always reaches the major length, so it needs no branch of its own.
void draw_line(const Canvas &canvas, int x0, int y0, int x1, int y1, std::uint32_t colour) {
  const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
  int major = steep ? y0 : x0;
  int minor = steep ? x0 : y0;
  const int major_length = std::abs(steep ? y1 - y0 : x1 - x0);
  const int minor_length = std::abs(steep ? x1 - x0 : y1 - y0);
  const int major_step = (steep ? y1 > y0 : x1 > x0) ? 1 : -1;
  const int minor_step = (steep ? x1 > x0 : y1 > y0) ? 1 : -1;
  put_pixel(canvas, x0, y0, colour);
  int acc = 0;
  for (int i = 0; i < major_length; ++i) {
    acc += minor_length;
    major += major_step;
    if (acc >= major_length) {
      acc -= major_length;
      minor += minor_step;
    }
    put_pixel(canvas, steep ? minor : major, steep ? major : minor, colour);
  }
}

void draw_circle(const Canvas &canvas, int cx, int cy, int r, std::uint32_t colour) {
  // Every point lies within r of the centre in both directions: a circle wholly on the canvas
  // (every unit mark of the pages) needs no test per point.
  if (cx - r >= 0 && cx + r < canvas.width && cy - r >= 0 && cy + r < canvas.height) {
    walk_circle(cx, cy, r, [&](int x, int y) { put_pixel(canvas, x, y, colour); });
    return;
  }
  walk_circle(cx, cy, r, [&](int x, int y) {
    if (x >= 0 && x < canvas.width && y >= 0 && y < canvas.height) {
      put_pixel(canvas, x, y, colour);
    }
  });
}
