// Finding, opening and checking the font, and writing text with it: the pages of a good font are
// exactly what SDL_ttf draws; any other is refused with the reason from the checks.
#include "font.h"

#include <SDL_ttf.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "font_checks.h"
#include "report.h"
#include "system.h"

namespace {

// The path as messages show it: its full path, or as given where that cannot be had.
const char *full_path(const char *path, char *out, size_t size) {
  if (!absolute_path(path, out, size)) {
    std::snprintf(out, size, "%s", path);
  }
  return out;
}

// Why the file a path names is no font: nullptr when it is a regular file, and `to_read` also
// asks it to hold bytes (a place the exporter looks in needs only to hold a regular file).
const char *file_problem(const PathFacts &facts, bool to_read) {
  if (facts.error != 0) {
    return std::strerror(facts.error);
  }
  if (to_read && facts.kind == PathKind::DIRECTORY) {
    return "is a directory, not a font file";
  }
  if (facts.kind != PathKind::REGULAR) {
    return "not a regular file";
  }
  return to_read && facts.size == 0 ? "the file is empty" : nullptr;
}

// The places a font is looked for, in this order: the working folder, beside the program in
// `folder`, and (given `installed`, relative to that folder) the data folder installed with it;
// the last ones only where the program's folder is known. How many there are.
using Places = char[3][PATH_BYTES];
int find_places(const char *installed, char (&folder)[PATH_BYTES], Places &places) {
  int count = 0;
  std::snprintf(places[count++], PATH_BYTES, "%s", FONT_FILE);
  const auto add = [&](const char *sub) {
    count +=
        std::snprintf(places[count], PATH_BYTES, "%s%s/%s", folder, sub, FONT_FILE) < PATH_BYTES;
  };
  if (program_folder(folder, PATH_BYTES)) {
    add("");
    if (installed != nullptr) {
      add(installed);
    }
  }
  return count;
}

// The font file as an SDL stream, or nullptr with the reason in *why.
SDL_RWops *open_font_stream(const char *path, const char **why) {
  PathFacts facts;
  FILE *file = open_regular_file(path, &facts);
  *why = file_problem(facts, true);
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

// Renders `text`, checked to show every character; the image, or nullptr with the failure line.
SDL_Surface *render(const Font &font, const char *text, const char **problem) {
  TextLayout layout;
  if (const char *why = text_problem(font.ttf, text, &layout)) {
    *problem = failure("Couldn't render text \"%s\" in %s: %s", text, font.name, why);
    return nullptr;
  }
  const SDL_Color black = {BLACK_LEVEL, BLACK_LEVEL, BLACK_LEVEL, 0};
  SDL_Surface *image = TTF_RenderText_Solid(font.ttf, text, black);
  if (image == nullptr) {
    *problem = failure("Couldn't render text \"%s\": %s", text, TTF_GetError());
  } else if (const char *why = ink_problem(text, layout, image)) {
    *problem = has_ink(image)
                   ? failure("Couldn't render text \"%s\" in %s: %s", text, font.name, why)
                   : failure("Couldn't render text \"%s\": %s drew nothing", text, font.name);
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
  char folder[PATH_BYTES] = "";
  Places places;
  const bool beside = find_places(nullptr, folder, places) > 1 &&
                      file_problem(path_facts(places[1]), false) == nullptr;
  char here[PATH_BYTES];
  return failure("Couldn't load font %s: %s (start triangles in the folder that holds %s%s%s, or "
                 "through the installed triangles launcher)",
                 full_path(FONT_FILE, here, sizeof here), std::strerror(ENOENT), FONT_FILE,
                 beside ? ", such as " : "", beside ? folder : "");
}

const char *find_exporter_font(const char *installed, char (&path)[PATH_BYTES]) {
  char folder[PATH_BYTES] = "";
  Places places;
  const int count = find_places(installed, folder, places);
  for (int i = 0; i < count; ++i) {
    if (file_problem(path_facts(places[i]), false) == nullptr) {
      std::memcpy(path, places[i], sizeof path);
      return nullptr;
    }
  }
  char here[PATH_BYTES];
  return failure(
      "Couldn't load font %s: %s (nor found at %s%s%s)", full_path(FONT_FILE, here, sizeof here),
      file_problem(path_facts(FONT_FILE), false), count > 1 ? places[1] : "no other place",
      count > 2 ? " or " : "", count > 2 ? places[2] : "");
}

const char *open_font(const char *path, Font *font) {
  if (TTF_Init() < 0) {
    return failure("Couldn't initialize SDL_ttf: %s", TTF_GetError());
  }
  full_path(path, font->name, sizeof font->name);
  if (const char *why = load_font(path, &font->ttf)) {
    return failure("Couldn't load font %s: %s", font->name, why);
  }
  return nullptr;
}

void close_font(Font *font) {
  if (font->ttf != nullptr) {
    TTF_CloseFont(font->ttf);
    font->ttf = nullptr;
  }
  if (TTF_WasInit() != 0) {
    TTF_Quit();
  }
}

const char *write_text(const Screen &screen, const Font &font, const char *text, int x, int y) {
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
