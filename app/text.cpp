// Text through SDL_ttf, guarded against fonts that are missing, odd files, incomplete or damaged.
// The pages of a good font are exactly what SDL_ttf draws; a font that would draw nothing, boxes,
// or outside the image it renders into is refused with a reason instead.
#include "text.h"

#include <cstdio>
#include <cstring>

#include "display_state.h"
#include "report.h"
#include "system.h"

namespace {

constexpr int REASON_SIZE = 256; // bytes, for a composed failure reason

char font_name[PATH_BYTES] = ""; // the font's full path, for messages

Uint16 character(char c) { return static_cast<Uint16>(static_cast<unsigned char>(c)); }

// Every character of `text` must map to a glyph of the font (else SDL_ttf draws a box), and every
// one but the blank must have an outline (else it draws nothing).
bool font_covers(const char *text, char *reason) {
  for (const char *p = text; *p != '\0'; ++p) {
    int minx = 0;
    int maxx = 0;
    int miny = 0;
    int maxy = 0;
    if (TTF_GlyphIsProvided(label_font, character(*p)) == 0) {
      std::snprintf(reason, REASON_SIZE, "it has no glyph for '%c'", *p);
      return false;
    }
    if (TTF_GlyphMetrics(label_font, character(*p), &minx, &maxx, &miny, &maxy, nullptr) != 0) {
      std::snprintf(reason, REASON_SIZE, "its glyph for '%c' cannot be loaded (%s)", *p,
                    TTF_GetError());
      return false;
    }
    if (*p != ' ' && (maxx <= minx || maxy <= miny)) {
      std::snprintf(reason, REASON_SIZE, "its glyph for '%c' is blank", *p);
      return false;
    }
  }
  return true;
}

// SDL_ttf 2.0's solid renderer clips each glyph's rows to the image but not its columns: it
// copies them from the pen position plus the glyph's left bearing (everything shifted right by the
// first glyph's bearing when that is negative). A glyph box reaching left of column 0 or beyond the
// image's width is written outside the image, on its top rows before the image's first byte. This
// walks the pen exactly as the renderer does and returns the first character that would, or 0.
// (A glyph that cannot be loaded is left to the renderer, which then fails on it too.)
char glyph_outside_image(const char *text) {
  int width = 0;
  if (TTF_SizeText(label_font, text, &width, nullptr) != 0) {
    return 0;
  }
  const bool kerning = TTF_GetFontKerning(label_font) != 0;
  int pen = 0;
  int previous = 0;
  for (const char *p = text; *p != '\0'; ++p) {
    int minx = 0;
    int maxx = 0;
    int advance = 0;
    if (TTF_GlyphMetrics(label_font, character(*p), &minx, &maxx, nullptr, nullptr, &advance) !=
        0) {
      return 0;
    }
    const int index = TTF_GlyphIsProvided(label_font, character(*p));
    if (kerning && previous != 0 && index != 0) {
      pen += TTF_GetFontKerningSize(label_font, previous, index);
    }
    if (p == text && minx < 0) {
      pen -= minx;
    }
    if (maxx > minx && (pen + minx < 0 || pen + maxx > width)) {
      return *p;
    }
    pen += advance;
    previous = index;
  }
  return 0;
}

bool has_ink(const SDL_Surface *image) {
  const auto *pixels = static_cast<const Uint8 *>(image->pixels);
  for (int y = 0; y < image->h; ++y) {
    for (int x = 0; x < image->w; ++x) {
      if (pixels[y * image->pitch + x] != 0) {
        return true;
      }
    }
  }
  return false;
}

} // namespace

bool open_font(const char *font_path) {
  if (!absolute_path(font_path, font_name, sizeof font_name)) {
    std::snprintf(font_name, sizeof font_name, "%s", font_path);
  }
  const char *why = nullptr;
  char reason[REASON_SIZE];
  FILE *file = open_font_file(font_path, &why);
  SDL_RWops *stream = file != nullptr ? SDL_RWFromFP(file, 1) : nullptr;
  if (file != nullptr && stream == nullptr) {
    std::fclose(file);
    std::snprintf(reason, sizeof reason, "%s", SDL_GetError());
    why = reason;
  }
  if (stream != nullptr) {
    label_font = TTF_OpenFontRW(stream, 1, FONT_POINT_SIZE);
    if (label_font == nullptr) {
      std::snprintf(reason, sizeof reason, "not a usable TrueType font (%s)", TTF_GetError());
      why = reason;
    }
  }
  if (label_font != nullptr) {
    // Every character the title and the labels can hold.
    char alphabet[TEXT_BUFFER_SIZE];
    std::snprintf(alphabet, sizeof alphabet, TITLE_FORMAT, PERIMETER);
    std::strncat(alphabet, LABEL_CHARACTERS, sizeof alphabet - std::strlen(alphabet) - 1);
    if (!font_covers(alphabet, reason)) {
      why = reason;
      TTF_CloseFont(label_font);
      label_font = nullptr;
    }
  }
  if (label_font == nullptr) {
    report_failure("Couldn't load font %s: %s", font_name, why);
    return false;
  }
  return true;
}

bool write_text(int x, int y) {
  const char outside = glyph_outside_image(text_buffer);
  if (outside != 0) {
    report_failure("Couldn't render text \"%s\": the glyph for '%c' in %s lies outside the text's "
                   "image (a damaged font?)",
                   text_buffer, outside, font_name);
    return false;
  }
  const SDL_Color black = {BLACK_LEVEL, BLACK_LEVEL, BLACK_LEVEL, 0};
  text_image = TTF_RenderText_Solid(label_font, text_buffer, black);
  if (text_image == nullptr) {
    report_failure("Couldn't render text \"%s\": %s", text_buffer, TTF_GetError());
    return false;
  }
  int blitted = -1;
  if (!has_ink(text_image)) {
    report_failure("Couldn't render text \"%s\": %s drew nothing", text_buffer, font_name);
  } else {
    blit_rect.x = static_cast<Sint16>(x);
    blit_rect.y = static_cast<Sint16>(y);
    blitted = SDL_BlitSurface(text_image, nullptr, screen, &blit_rect);
    if (blitted < 0) {
      report_failure("Couldn't draw text \"%s\": %s", text_buffer, SDL_GetError());
    }
  }
  SDL_FreeSurface(text_image);
  text_image = nullptr;
  return blitted >= 0;
}

bool draw_title() {
  std::snprintf(text_buffer, sizeof text_buffer, TITLE_FORMAT, PERIMETER);
  return write_text(TITLE_X, TITLE_Y);
}

bool draw_triangle_label(TriangleSides sides, CellOrigin cell) {
  std::snprintf(text_buffer, sizeof text_buffer, LABEL_FORMAT, sides.a, sides.b, sides.c);
  return write_text(cell.x, cell.y);
}
