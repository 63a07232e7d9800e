// Resumable form of three nested counting loops over the slack e (even values only), f = a - b
// and g = b - c. The perimeter of the triple made from them is 3e + 4f + 2g, so with an even
// perimeter 3e is always even and the even-only slack still reaches every triangle.
#include "enumeration.h"

#include "constants.h"

bool next_triangle(EnumerationState *state, TriangleSides *sides) {
  EnumerationState &s = *state;
  for (; 3 * s.e <= PERIMETER; s.e += 2, s.f = 0) {
    for (; 4 * s.f <= PERIMETER - 3 * s.e; ++s.f, s.g = 0) {
      while (2 * s.g <= PERIMETER - 3 * s.e - 4 * s.f) {
        const int g = s.g++;
        if (3 * s.e + 4 * s.f + 2 * g == PERIMETER) {
          sides->a = s.e + 2 * s.f + g;
          sides->b = s.e + s.f + g;
          sides->c = s.e + s.f;
          return true;
        }
      }
    }
  }
  return false;
}
