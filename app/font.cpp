// Finding, opening and checking the font, and writing text with it: the pages of a good font are
// exactly what SDL_ttf draws; any other is refused with the reason from the checks.
#include "font.h"

#include <SDL_ttf.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "constants.h"
#include "font_checks.h"
#include "paths.h"
#include "report.h"
#include "system.h"

namespace {

char font_name[PATH_BYTES] = ""; // the open font's full path, for messages

// Why the file a path names is no font to read, from its facts; or nullptr.
const char *font_file_problem(const PathFacts &facts) {
  if (facts.error != 0) {
    return std::strerror(facts.error);
  }
  if (facts.kind == PathKind::DIRECTORY) {
    return "is a directory, not a font file";
  }
  if (facts.kind != PathKind::REGULAR) {
    return "not a regular file";
  }
  return facts.size == 0 ? "the file is empty" : nullptr;
}

// Why `path` is no regular file, or nullptr: the exporter takes the first place that holds one.
const char *regular_file_problem(const char *path) {
  const PathFacts facts = path_facts(path);
  if (facts.error != 0) {
    return std::strerror(facts.error);
  }
  return facts.kind == PathKind::REGULAR ? nullptr : "not a regular file";
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
    *why = SDL_GetError();
  }
  if (file != nullptr) {
    std::fclose(file);
  }
  return nullptr;
}

// Why the font cannot write every character of the title and the labels, or nullptr.
const char *characters_problem(TTF_Font *font) {
  char alphabet[TEXT_BUFFER_SIZE];
  std::snprintf(alphabet, sizeof alphabet, TITLE_FORMAT, PERIMETER);
  std::strncat(alphabet, LABEL_CHARACTERS, sizeof alphabet - std::strlen(alphabet) - 1);
  return alphabet_problem(font, alphabet);
}

// Opens the font into *font: nullptr, or the reason it cannot be used (then it stays closed).
const char *load_font(const char *path, TTF_Font **font) {
  const char *why = nullptr;
  SDL_RWops *stream = open_font_stream(path, &why);
  if (stream == nullptr) {
    return why;
  }
  *font = TTF_OpenFontRW(stream, 1, FONT_POINT_SIZE);
  if (*font == nullptr) {
    return failure("not a usable TrueType font (%s)", TTF_GetError());
  }
  why = characters_problem(*font);
  if (why != nullptr) {
    TTF_CloseFont(*font);
    *font = nullptr;
  }
  return why;
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

// Renders `text`, checked to show every character; the image, or nullptr with the failure line.
SDL_Surface *render(TTF_Font *font, const char *text, const char **problem) {
  TextLayout layout;
  if (const char *why = text_problem(font, text, &layout)) {
    *problem = failure("Couldn't render text \"%s\" in %s: %s", text, font_name, why);
    return nullptr;
  }
  const SDL_Color black = {BLACK_LEVEL, BLACK_LEVEL, BLACK_LEVEL, 0};
  SDL_Surface *image = TTF_RenderText_Solid(font, text, black);
  if (image == nullptr) {
    *problem = failure("Couldn't render text \"%s\": %s", text, TTF_GetError());
  } else if (const char *why = ink_problem(text, layout, image)) {
    *problem = has_ink(image)
                   ? failure("Couldn't render text \"%s\" in %s: %s", text, font_name, why)
                   : failure("Couldn't render text \"%s\": %s drew nothing", text, font_name);
    SDL_FreeSurface(image);
    image = nullptr;
  }
  return image;
}

} // namespace

const char *viewer_font_problem() {
  if (path_facts(FONT_FILE).error != ENOENT) {
    return nullptr; // any other trouble with it is open_font's to report
  }
  char here[PATH_BYTES];
  char folder[PATH_BYTES];
  char beside[PATH_BYTES];
  full_path(FONT_FILE, here, sizeof here);
  const bool found_beside =
      program_folder(folder, sizeof folder) &&
      std::snprintf(beside, sizeof beside, "%s/%s", folder, FONT_FILE) < PATH_BYTES &&
      path_facts(beside).kind == PathKind::REGULAR;
  return failure("Couldn't load font %s: %s (start triangles in the folder that holds %s%s%s, or "
                 "through the installed triangles launcher)",
                 here, std::strerror(ENOENT), FONT_FILE, found_beside ? ", such as " : "",
                 found_beside ? folder : "");
}

const char *find_exporter_font(const char *installed, const char **path) {
  static char places[3][PATH_BYTES]; // the working folder, beside the program, installed
  int count = 0;
  std::snprintf(places[count++], PATH_BYTES, "%s", FONT_FILE);
  char folder[PATH_BYTES] = {};
  const auto add_place = [&](const char *sub) {
    if (std::snprintf(places[count], PATH_BYTES, "%s%s/%s", folder, sub, FONT_FILE) < PATH_BYTES) {
      ++count;
    }
  };
  if (program_folder(folder, sizeof folder)) {
    add_place("");
    add_place(installed);
  }
  for (int i = 0; i < count; ++i) {
    if (regular_file_problem(places[i]) == nullptr) {
      *path = places[i];
      return nullptr;
    }
  }
  char here[PATH_BYTES];
  full_path(FONT_FILE, here, sizeof here);
  return failure("Couldn't load font %s: %s (nor found at %s%s%s)", here,
                 regular_file_problem(FONT_FILE), count > 1 ? places[1] : "no other place",
                 count > 2 ? " or " : "", count > 2 ? places[2] : "");
}

const char *open_font(const char *path, TTF_Font **font) {
  if (TTF_Init() < 0) {
    return failure("Couldn't initialize SDL_ttf: %s", TTF_GetError());
  }
  full_path(path, font_name, sizeof font_name);
  if (const char *why = load_font(path, font)) {
    return failure("Couldn't load font %s: %s", font_name, why);
  }
  return nullptr;
}

void close_font(TTF_Font **font) {
  if (*font != nullptr) {
    TTF_CloseFont(*font);
    *font = nullptr;
  }
  if (TTF_WasInit() != 0) {
    TTF_Quit();
  }
}

const char *write_text(const Screen &screen, TTF_Font *font, const char *text, int x, int y) {
  const char *problem = nullptr;
  SDL_Surface *image = render(font, text, &problem);
  if (image == nullptr) {
    return problem;
  }
  SDL_Rect place{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
  if (SDL_BlitSurface(image, nullptr, screen.surface, &place) < 0) {
    problem = failure("Couldn't draw text \"%s\": %s", text, SDL_GetError());
  }
  SDL_FreeSurface(image);
  return problem;
}
