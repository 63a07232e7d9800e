// The font's checks, worked out from SDL_ttf 2.0.11's own arithmetic: a text's image is as wide
// as its pen's walk reaches (TTF_SizeText) and as high as the font's line, or more where a glyph
// reaches lower; the renderer puts a glyph's top row at the font's ascent less the glyph's top,
// and its first column at the pen plus the glyph's left bearing, all shifted right by the first
// glyph's bearing when that is negative.
#include "font_checks.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "report.h"

namespace {

using Pixels = std::int64_t; // sizes and positions: no sum of a damaged font's metrics overflows it

struct Glyph {
  int minx, maxx, miny, maxy, advance;
};

Uint16 character(char c) { return static_cast<Uint16>(static_cast<unsigned char>(c)); }

bool measure(TTF_Font *font, char c, Glyph *g) {
  return TTF_GlyphMetrics(font, character(c), &g->minx, &g->maxx, &g->miny, &g->maxy,
                          &g->advance) == 0;
}

bool has_box(const Glyph &g) { return g.maxx > g.minx && g.maxy > g.miny; }

Pixels magnitude(Pixels value) { return value < 0 ? -value : value; }

// Why the glyph `g` of `c` would not fit the window, or nullptr.
const char *size_problem(char c, const Glyph &g) {
  const Pixels width = Pixels{g.maxx} - g.minx;
  const Pixels height = Pixels{g.maxy} - g.miny;
  if (width > SCREEN_W || height > SCREEN_H) {
    return failure("its glyph for '%c' is %lld × %lld pixels, larger than the window", c,
                   static_cast<long long>(width), static_cast<long long>(height));
  }
  if (magnitude(g.advance) > SCREEN_W) {
    return failure("its glyph for '%c' advances %d pixels, farther than the window is wide", c,
                   g.advance);
  }
  if (std::max(magnitude(g.minx), magnitude(g.maxx)) > SCREEN_W) {
    return failure("its glyph for '%c' lies farther from the pen than the window is wide (a "
                   "damaged font?)",
                   c);
  }
  return nullptr;
}

// Why the glyph of `c` cannot be drawn whole on a line `ascent` pixels above its base, or
// nullptr; *g gets its metrics.
const char *glyph_problem(TTF_Font *font, char c, Pixels ascent, Glyph *g) {
  if (TTF_GlyphIsProvided(font, character(c)) == 0) {
    return failure("it has no glyph for '%c'", c);
  }
  if (!measure(font, c, g)) {
    return failure("its glyph for '%c' cannot be loaded (%s)", c, TTF_GetError());
  }
  if (c != ' ' && !has_box(*g)) {
    return failure("its glyph for '%c' is blank", c);
  }
  if (const char *why = size_problem(c, *g)) {
    return why;
  }
  if (has_box(*g) && ascent - g->maxy < 0) {
    return failure("its glyph for '%c' lies outside the line of text (a damaged font?)", c);
  }
  return nullptr;
}

// Why a line of text `line` pixels high, with glyph bitmaps of `area` pixels in all, cannot be
// drawn, or nullptr.
const char *line_problem(Pixels line, Pixels area) {
  if (area > Pixels{SCREEN_W} * SCREEN_H) {
    return failure("its glyphs together cover %lld pixels, more than the window (a damaged font?)",
                   static_cast<long long>(area));
  }
  if (line <= 0) {
    return "its line of text has no height (a damaged font?)";
  }
  if (line > SCREEN_H) {
    return failure("its line of text is %lld pixels high, higher than the window",
                   static_cast<long long>(line));
  }
  return nullptr;
}

// A text's pen walked as TTF_SizeText walks it: each glyph and where the pen stands for it, and
// the image's extent around the pen's start.
struct Walk {
  Glyph glyphs[TEXT_BUFFER_SIZE];
  Pixels pens[TEXT_BUFFER_SIZE];
  Pixels left = 0;
  Pixels right = 0;
  int count = 0;
  bool measured = true; // false if a glyph could not be measured, which ended the walk
};

// Walks the pen over `text`; false as soon as the image would be wider than the window.
bool walk_pen(TTF_Font *font, const char *text, Walk *walk) {
  const bool kerning = TTF_GetFontKerning(font) != 0;
  Pixels pen = 0;
  int previous = 0;
  for (const char *p = text; *p != '\0' && walk->count < TEXT_BUFFER_SIZE; ++p) {
    Glyph &g = walk->glyphs[walk->count];
    walk->measured = measure(font, *p, &g);
    if (!walk->measured) {
      return true;
    }
    const int index = TTF_GlyphIsProvided(font, character(*p));
    if (kerning && previous != 0 && index != 0) {
      pen += TTF_GetFontKerningSize(font, previous, index);
    }
    walk->pens[walk->count++] = pen;
    walk->left = std::min(walk->left, pen + g.minx);
    walk->right = std::max(walk->right, pen + std::max(g.advance, g.maxx));
    pen += g.advance;
    previous = index;
    if (pen < 0 || walk->right - walk->left > SCREEN_W) {
      return false;
    }
  }
  return true;
}

// Pixels with ink in `box` of `image`, counted up to `enough`.
int ink_in(const SDL_Surface *image, const TextLayout::Box &box, int enough) {
  const auto *pixels = static_cast<const Uint8 *>(image->pixels);
  const int left = std::max(box.left, 0);
  const int right = std::min(box.right, image->w);
  int ink = 0;
  for (int y = std::max(box.top, 0); y < std::min(box.bottom, image->h) && ink < enough; ++y) {
    for (int x = left; x < right; ++x) {
      ink += pixels[y * image->pitch + x] != 0;
    }
  }
  return ink;
}

} // namespace

const char *alphabet_problem(TTF_Font *font, const char *alphabet) {
  const Pixels ascent = TTF_FontAscent(font);
  Pixels line = TTF_FontHeight(font); // rows of a text's image, or more for a low glyph
  Pixels area = 0;                    // of the bitmaps SDL_ttf will keep, one per character
  bool counted[UCHAR_MAX + 1] = {};
  for (const char *p = alphabet; *p != '\0'; ++p) {
    Glyph g{};
    if (const char *why = glyph_problem(font, *p, ascent, &g)) {
      return why;
    }
    line = has_box(g) ? std::max(line, ascent - g.miny) : line;
    area += counted[character(*p)] ? 0 : (Pixels{g.maxx} - g.minx) * (Pixels{g.maxy} - g.miny);
    counted[character(*p)] = true;
  }
  return line_problem(line, area);
}

const char *text_problem(TTF_Font *font, const char *text, TextLayout *layout) {
  Walk walk;
  layout->count = 0;
  if (!walk_pen(font, text, &walk)) {
    return "it would be wider than the window";
  }
  if (!walk.measured) {
    return nullptr; // left to the renderer, which fails on it too
  }
  const Pixels ascent = TTF_FontAscent(font);
  const Pixels shift = walk.count > 0 && walk.glyphs[0].minx < 0 ? -Pixels{walk.glyphs[0].minx} : 0;
  for (int i = 0; i < walk.count; ++i) {
    const Glyph &g = walk.glyphs[i];
    const Pixels left = walk.pens[i] + shift + g.minx;
    const Pixels right = walk.pens[i] + shift + g.maxx;
    if (g.maxx > g.minx && (left < 0 || right > walk.right - walk.left)) {
      return failure("its glyph for '%c' lies outside the text's image (a damaged font?)", text[i]);
    }
    layout->boxes[i] = {static_cast<int>(left), static_cast<int>(right),
                        static_cast<int>(ascent - g.maxy), static_cast<int>(ascent - g.miny)};
  }
  layout->count = walk.count;
  return nullptr;
}

const char *ink_problem(const char *text, const TextLayout &layout, const SDL_Surface *image) {
  for (int i = 0; i < layout.count; ++i) {
    const TextLayout::Box &box = layout.boxes[i];
    const int area = std::max(box.right - box.left, 0) * std::max(box.bottom - box.top, 0);
    const int enough = (area + GLYPH_INK_ONE_IN - 1) / GLYPH_INK_ONE_IN;
    if (text[i] != ' ' && ink_in(image, box, enough) < enough) {
      return failure("its glyph for '%c' is blank", text[i]);
    }
  }
  return nullptr;
}

bool has_ink(const SDL_Surface *image) {
  return ink_in(image, TextLayout::Box{0, image->w, 0, image->h}, 1) > 0;
}
