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
#include <cstdio>

#include "display_state.h"

namespace {

using Wide = std::int64_t; // no sum of a damaged font's metrics overflows it

struct Glyph {
  int minx, maxx, miny, maxy, advance;
};

Uint16 character(char c) { return static_cast<Uint16>(static_cast<unsigned char>(c)); }

bool measure(char c, Glyph *g) {
  return TTF_GlyphMetrics(label_font, character(c), &g->minx, &g->maxx, &g->miny, &g->maxy,
                          &g->advance) == 0;
}

bool has_box(const Glyph &g) { return g.maxx > g.minx && g.maxy > g.miny; }

Wide magnitude(Wide value) { return value < 0 ? -value : value; }

} // namespace

bool glyphs_are_sound(const char *alphabet, char *reason, size_t size) {
  const Wide ascent = TTF_FontAscent(label_font);
  Wide line = TTF_FontHeight(label_font); // rows of a text's image, or more for a low glyph
  Wide area = 0;                          // of the bitmaps SDL_ttf will keep, one per character
  bool counted[UCHAR_MAX + 1] = {};
  for (const char *p = alphabet; *p != '\0'; ++p) {
    Glyph g{};
    if (TTF_GlyphIsProvided(label_font, character(*p)) == 0) {
      std::snprintf(reason, size, "it has no glyph for '%c'", *p);
    } else if (!measure(*p, &g)) {
      std::snprintf(reason, size, "its glyph for '%c' cannot be loaded (%s)", *p, TTF_GetError());
    } else if (*p != ' ' && !has_box(g)) {
      std::snprintf(reason, size, "its glyph for '%c' is blank", *p);
    } else if (Wide{g.maxx} - g.minx > SCREEN_W || Wide{g.maxy} - g.miny > SCREEN_H) {
      std::snprintf(reason, size,
                    "its glyph for '%c' is %lld × %lld pixels, larger than the window", *p,
                    static_cast<long long>(Wide{g.maxx} - g.minx),
                    static_cast<long long>(Wide{g.maxy} - g.miny));
    } else if (magnitude(g.advance) > SCREEN_W) {
      std::snprintf(reason, size,
                    "its glyph for '%c' advances %d pixels, farther than the window is wide", *p,
                    g.advance);
    } else if (std::max(magnitude(g.minx), magnitude(g.maxx)) > SCREEN_W) {
      std::snprintf(reason, size,
                    "its glyph for '%c' lies farther from the pen than the window is wide (a "
                    "damaged font?)",
                    *p);
    } else if (has_box(g) && ascent - g.maxy < 0) {
      std::snprintf(reason, size,
                    "its glyph for '%c' lies outside the line of text (a damaged font?)", *p);
    } else {
      line = has_box(g) ? std::max(line, ascent - g.miny) : line;
      area += counted[character(*p)] ? 0 : (Wide{g.maxx} - g.minx) * (Wide{g.maxy} - g.miny);
      counted[character(*p)] = true;
      continue;
    }
    return false;
  }
  if (area > Wide{SCREEN_W} * SCREEN_H) {
    std::snprintf(reason, size,
                  "its glyphs together cover %lld pixels, more than the window (a damaged font?)",
                  static_cast<long long>(area));
    return false;
  }
  if (line <= 0) {
    std::snprintf(reason, size, "its line of text has no height (a damaged font?)");
    return false;
  }
  if (line > SCREEN_H) {
    std::snprintf(reason, size, "its line of text is %lld pixels high, higher than the window",
                  static_cast<long long>(line));
    return false;
  }
  return true;
}

bool text_is_sound(const char *text, char *reason, size_t size) {
  const bool kerning = TTF_GetFontKerning(label_font) != 0;
  Glyph glyphs[TEXT_BUFFER_SIZE];
  Wide pens[TEXT_BUFFER_SIZE];
  Wide pen = 0;
  Wide left = 0; // the image's extent around the pen's start, as TTF_SizeText finds it
  Wide right = 0;
  int previous = 0;
  int n = 0;
  for (const char *p = text; *p != '\0' && n < TEXT_BUFFER_SIZE; ++p, ++n) {
    Glyph &g = glyphs[n];
    if (!measure(*p, &g)) {
      return true; // left to the renderer, which fails on it too
    }
    const int index = TTF_GlyphIsProvided(label_font, character(*p));
    if (kerning && previous != 0 && index != 0) {
      pen += TTF_GetFontKerningSize(label_font, previous, index);
    }
    pens[n] = pen;
    left = std::min(left, pen + g.minx);
    right = std::max(right, pen + std::max(g.advance, g.maxx));
    pen += g.advance;
    previous = index;
    if (pen < 0 || right - left > SCREEN_W) {
      std::snprintf(reason, size, "it would be wider than the window");
      return false;
    }
  }
  const Wide shift = n > 0 && glyphs[0].minx < 0 ? -Wide{glyphs[0].minx} : 0;
  for (int i = 0; i < n; ++i) {
    const Glyph &g = glyphs[i];
    if (g.maxx > g.minx &&
        (pens[i] + shift + g.minx < 0 || pens[i] + shift + g.maxx > right - left)) {
      std::snprintf(reason, size,
                    "its glyph for '%c' lies outside the text's image (a damaged font?)", text[i]);
      return false;
    }
  }
  return true;
}
