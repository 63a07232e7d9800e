// The lowest drawing layer: single pixels of `screen`, straight lines and small circle outlines,
// with integer arithmetic only. Colours are already-mapped 32-bit pixel values.
#pragma once

#include <cstdint>

// Pixels. No bounds test and no locking: the caller keeps 0 <= x < width, 0 <= y < height and
// locks the surface where it must be locked. Rows are addressed by the surface's pitch.
void put_pixel(int x, int y, std::uint32_t colour);
std::uint32_t get_pixel(int x, int y);

// Line from (x0, y0) to (x1, y1), both ends included, drawn in the direction given: the minor
// axis moves only when the accumulator (starting at 0) reaches the major length. No clipping.
void draw_line(int x0, int y0, int x1, int y1, std::uint32_t colour);

// Outline of the circle of radius r >= 0 around (cx, cy); the only routine that clips, so any
// centre is safe.
void draw_circle(int cx, int cy, int r, std::uint32_t colour);
