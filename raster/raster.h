// The lowest drawing layer: single pixels, straight lines and small circle outlines on a canvas of
// 32-bit pixels it is given, with integer arithmetic only. Colours are already-mapped pixel values.
// It knows nothing of SDL: the caller hands it the pixel memory of its surface.
#pragma once

#include <cstdint>

// 32-bit pixels in memory, `width` x `height`, each row `pitch` bytes after the one before.
struct Canvas {
  void *pixels;
  int width;
  int height;
  int pitch;
};

// Pixels. No bounds test and no locking: the caller keeps 0 <= x < width, 0 <= y < height and
// locks the surface where it must be locked.
void put_pixel(const Canvas &canvas, int x, int y, std::uint32_t colour);
std::uint32_t get_pixel(const Canvas &canvas, int x, int y);

// Line from (x0, y0) to (x1, y1), both ends included, drawn in the direction given: the minor
// axis moves only when the accumulator (starting at 0) reaches the major length. No clipping.
void draw_line(const Canvas &canvas, int x0, int y0, int x1, int y1, std::uint32_t colour);

// Outline of the circle of radius r >= 0 around (cx, cy); the only routine that clips, so any
// centre is safe.
void draw_circle(const Canvas &canvas, int cx, int cy, int r, std::uint32_t colour);
