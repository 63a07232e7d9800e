// Resumable form of two nested counting loops over the slack e (even values only) and f = a - b;
// the perimeter of the triple made from e, f and g = b - c is 3e + 4f + 2g, so the one g that
// completes it is (PERIMETER - 3e - 4f) / 2, a whole number because 3e is even. With an even
// perimeter the even-only slack still reaches every triangle.
#include "enumeration.h"

#include "constants.h"

bool next_triangle(EnumerationState *state, TriangleSides *sides) {
  EnumerationState &s = *state;
  for (; 3 * s.e <= PERIMETER; s.e += 2, s.f = 0) {
    if (4 * s.f <= PERIMETER - 3 * s.e) {
      const int g = (PERIMETER - 3 * s.e - 4 * s.f) / 2;
      sides->a = s.e + 2 * s.f + g;
      sides->b = s.e + s.f + g;
      sides->c = s.e + s.f;
      ++s.f;
      return true;
    }
  }
  return false;
}
