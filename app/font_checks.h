// What a font must be before SDL_ttf may draw with it. SDL_ttf 2.0's solid renderer trusts a
// font's metrics: it drops the rows of a glyph above its text's image
// without a word, writes a glyph's columns wherever the pen and the glyph's bearing put them,
// caches a bitmap of every glyph it draws however large, and sums the pen in int. So every glyph
// is measured (TTF_GlyphMetrics, which renders nothing) before any is drawn, every text's pen is
// walked, in 64 bits, before the text is rendered, and every glyph's box in the rendered image
// must then hold ink. Each check returns nullptr, or its reason (composed by failure(), report.h).
#pragma once

#include <SDL_ttf.h>

#include "constants.h"

// Where SDL_ttf puts each character of a text: its glyph's box in the text's image, columns
// [left, right) and rows [top, bottom).
struct TextLayout {
  struct Box {
    int left, right, top, bottom;
  } boxes[TEXT_BUFFER_SIZE];
  int count;
};

// Every character of `alphabet` has a glyph with ink (the blank excepted) that fits the window and
// lies wholly inside the line of text, the line itself fits the window, and all the glyphs
// together (SDL_ttf keeps a bitmap of each) cover no more pixels than the window.
const char *alphabet_problem(TTF_Font *font, const char *alphabet);

// The text's image fits the window and every glyph of it lies inside that image, walked exactly as
// SDL_ttf walks it; `layout` gets where each glyph goes.
const char *text_problem(TTF_Font *font, const char *text, TextLayout *layout);

// In the text's rendered `image`, every character but the blank inks at least one pixel in
// GLYPH_INK_ONE_IN of its box: no glyph came out blank or as stray dots.
const char *ink_problem(const char *text, const TextLayout &layout, const SDL_Surface *image);
bool has_ink(const SDL_Surface *image); // anywhere in the rendered image
