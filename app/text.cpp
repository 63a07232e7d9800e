// Text through SDL_ttf, guarded against fonts that are missing, odd files, incomplete or damaged.
// The pages of a good font are exactly what SDL_ttf draws; a font that would draw nothing, boxes,
// lose characters, draw outside the image it renders into, or take more memory than the window
// holds is refused with a reason instead (font_checks.h).
#include "text.h"

#include <cstdio>
#include <cstring>

#include "display_state.h"
#include "font_checks.h"
#include "paths.h"
#include "report.h"
#include "system.h"

namespace {

constexpr int REASON_SIZE = 256; // bytes, for a composed failure reason

char font_name[PATH_BYTES] = ""; // the font's full path, for messages
char font_reason[REASON_SIZE];   // why the font cannot be used, when composed

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

// Reports why text_buffer cannot be written in the font: `reason`. Returns false.
bool refuse_text(const char *reason) {
  report_failure("Couldn't render text \"%s\" in %s: %s", text_buffer, font_name, reason);
  return false;
}

// The rendered text_image shows every character of text_buffer, laid out as `layout`.
bool text_image_is_whole(const TextLayout &layout) {
  char reason[REASON_SIZE];
  if (glyphs_have_ink(text_buffer, layout, text_image, reason, sizeof reason)) {
    return true;
  }
  if (!has_ink(text_image)) {
    report_failure("Couldn't render text \"%s\": %s drew nothing", text_buffer, font_name);
    return false;
  }
  return refuse_text(reason);
}

// Copies text_image onto the screen with its top-left at (x, y).
bool blit_text(int x, int y) {
  blit_rect.x = static_cast<Sint16>(x);
  blit_rect.y = static_cast<Sint16>(y);
  if (SDL_BlitSurface(text_image, nullptr, screen, &blit_rect) < 0) {
    report_failure("Couldn't draw text \"%s\": %s", text_buffer, SDL_GetError());
    return false;
  }
  return true;
}

// The font file as an SDL stream, or nullptr with the reason in *why.
SDL_RWops *open_font_stream(const char *path, const char **why) {
  PathFacts facts;
  FILE *file = open_regular_file(path, &facts);
  *why = font_file_problem(facts);
  if (*why == nullptr) {
    if (SDL_RWops *stream = SDL_RWFromFP(file, 1)) {
      return stream;
    }
    std::snprintf(font_reason, sizeof font_reason, "%s", SDL_GetError());
    *why = font_reason;
  }
  if (file != nullptr) {
    std::fclose(file);
  }
  return nullptr;
}

// Why the open font cannot write every character of the title and the labels, or nullptr.
const char *alphabet_problem() {
  char alphabet[TEXT_BUFFER_SIZE];
  std::snprintf(alphabet, sizeof alphabet, TITLE_FORMAT, PERIMETER);
  std::strncat(alphabet, LABEL_CHARACTERS, sizeof alphabet - std::strlen(alphabet) - 1);
  return glyphs_are_sound(alphabet, font_reason, sizeof font_reason) ? nullptr : font_reason;
}

// Opens the font as label_font: nullptr, or the reason it cannot be used (then it stays closed).
const char *load_font(const char *path) {
  const char *why = nullptr;
  SDL_RWops *stream = open_font_stream(path, &why);
  if (stream == nullptr) {
    return why;
  }
  label_font = TTF_OpenFontRW(stream, 1, FONT_POINT_SIZE);
  if (label_font == nullptr) {
    std::snprintf(font_reason, sizeof font_reason, "not a usable TrueType font (%s)",
                  TTF_GetError());
    return font_reason;
  }
  why = alphabet_problem();
  if (why != nullptr) {
    TTF_CloseFont(label_font);
    label_font = nullptr;
  }
  return why;
}

} // namespace

bool open_font(const char *font_path) {
  full_path(font_path, font_name, sizeof font_name);
  if (const char *why = load_font(font_path)) {
    report_failure("Couldn't load font %s: %s", font_name, why);
    return false;
  }
  return true;
}

bool write_text(int x, int y) {
  TextLayout layout;
  char reason[REASON_SIZE];
  if (!text_is_sound(text_buffer, &layout, reason, sizeof reason)) {
    return refuse_text(reason);
  }
  const SDL_Color black = {BLACK_LEVEL, BLACK_LEVEL, BLACK_LEVEL, 0};
  text_image = TTF_RenderText_Solid(label_font, text_buffer, black);
  if (text_image == nullptr) {
    report_failure("Couldn't render text \"%s\": %s", text_buffer, TTF_GetError());
    return false;
  }
  const bool written = text_image_is_whole(layout) && blit_text(x, y);
  SDL_FreeSurface(text_image);
  text_image = nullptr;
  return written;
}

bool draw_title() {
  std::snprintf(text_buffer, sizeof text_buffer, TITLE_FORMAT, PERIMETER);
  return write_text(TITLE_X, TITLE_Y);
}

bool draw_triangle_label(TriangleSides sides, CellOrigin cell) {
  std::snprintf(text_buffer, sizeof text_buffer, LABEL_FORMAT, sides.a, sides.b, sides.c);
  describe_label(text_buffer);
  return write_text(cell.x, cell.y);
}
