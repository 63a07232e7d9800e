// Pixel store, line and circle. The line plots its start point and then one point per step along
// the major axis; the circle walks one quarter from straight below the centre up to the centre's
// level, always taking the step that leaves the smaller error (upwards on a tie), and mirrors each
// point into the other three quarters.
#include "raster.h"

#include <cstddef>
#include <cstdlib>

#include "display_state.h"

namespace {

std::uint32_t *pixel_address(int x, int y) {
  auto *row =
      static_cast<std::uint8_t *>(screen->pixels) + static_cast<std::ptrdiff_t>(y) * screen->pitch;
  return reinterpret_cast<std::uint32_t *>(row) + x;
}

// Plots (x, y) only if it lies on a surface of the given size. The size is passed in rather than
// read from `screen` at every point, where each pixel store would force it to be read again.
void put_pixel_clipped(int x, int y, std::uint32_t colour, int width, int height) {
  if (x >= 0 && x < width && y >= 0 && y < height) {
    put_pixel(x, y, colour);
  }
}

} // namespace

void put_pixel(int x, int y, std::uint32_t colour) { *pixel_address(x, y) = colour; }

std::uint32_t get_pixel(int x, int y) { return *pixel_address(x, y); }

void draw_line(int x0, int y0, int x1, int y1, std::uint32_t colour) {
  put_pixel(x0, y0, colour);
  const int dx = x1 - x0;
  const int dy = y1 - y0;
  const int sx = dx > 0 ? 1 : -1;
  const int sy = dy > 0 ? 1 : -1;
  const int adx = std::abs(dx);
  const int ady = std::abs(dy);
  int acc = 0;
  int x = x0;
  int y = y0;
  if (dx == 0) {
    for (int i = 0; i < ady; ++i) {
      y += sy;
      put_pixel(x0, y, colour);
    }
  } else if (dy == 0) {
    for (int i = 0; i < adx; ++i) {
      x += sx;
      put_pixel(x, y0, colour);
    }
  } else if (adx == ady) {
    for (int i = 0; i < adx; ++i) {
      x += sx;
      y += sy;
      put_pixel(x, y, colour);
    }
  } else if (adx > ady) {
    for (int i = 0; i < adx; ++i) {
      acc += ady;
      x += sx;
      if (acc >= adx) {
        acc -= adx;
        y += sy;
      }
      put_pixel(x, y, colour);
    }
  } else {
    for (int i = 0; i < ady; ++i) {
      acc += adx;
      y += sy;
      if (acc >= ady) {
        acc -= ady;
        x += sx;
      }
      put_pixel(x, y, colour);
    }
  }
}

namespace {

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

void draw_circle(int cx, int cy, int r, std::uint32_t colour) {
  const int w = screen->w;
  const int h = screen->h;
  // Every point lies within r of the centre in both directions: a circle wholly on the surface
  // (every unit mark of the pages) needs no test per point.
  if (cx - r >= 0 && cx + r < w && cy - r >= 0 && cy + r < h) {
    walk_circle(cx, cy, r, [colour](int x, int y) { put_pixel(x, y, colour); });
  } else {
    walk_circle(cx, cy, r, [&](int x, int y) { put_pixel_clipped(x, y, colour, w, h); });
  }
}
