// The triangles with whole-number sides and perimeter PERIMETER, one at a time and always in the
// same order: by slack of the triangle inequality (b + c - a) ascending, then by a - b ascending.
// Pure computation; no SDL.
#pragma once

#include "figure.h" // TriangleSides: a is the base, c the left side, b the right side

// The loop counters the sides are made from: e = b + c - a (even slack) and f = a - b; the third,
// g = b - c, follows from them and the perimeter. A fresh value starts from the first triangle.
struct EnumerationState {
  int e = 2;
  int f = 0;
};

// Stores the next triangle in *sides and returns true, or returns false once all have been given
// (and on every later call). Keeps its place in *state between calls.
bool next_triangle(EnumerationState *state, TriangleSides *sides);
