// Fonts that are incomplete or damaged, opened and drawn with in the program itself: each is either
// refused with one line that says why, or draws every page without writing outside the picture.
// The fuzz corpus also runs under valgrind, where SDL_ttf writing outside its image would show.
#include <gtest/gtest.h>

#include <SDL_ttf.h>

#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "font.h"
#include "offscreen.h"
#include "pages.h"
#include "process.h"

namespace {

std::string real_font() { return read_file(FONT_FILE); }

std::uint32_t big_endian(const std::string &bytes, size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = 0; i < size; ++i) {
    value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
  }
  return value;
}

struct Table {
  size_t offset;
  size_t length;
};

// The TrueType tables of the font, in the order of its directory.
std::vector<std::pair<std::string, Table>> tables_of(const std::string &font) {
  std::vector<std::pair<std::string, Table>> tables;
  const std::uint32_t count = big_endian(font, 4, 2);
  for (std::uint32_t i = 0; i < count; ++i) {
    const size_t entry = 12 + 16 * static_cast<size_t>(i);
    tables.emplace_back(font.substr(entry, 4),
                        Table{big_endian(font, entry + 8, 4), big_endian(font, entry + 12, 4)});
  }
  return tables;
}

Table table(const std::string &font, const std::string &tag) {
  for (const auto &t : tables_of(font)) {
    if (t.first == tag) {
      return t.second;
    }
  }
  ADD_FAILURE() << "no " << tag << " table";
  return Table{0, 0};
}

// Where the outline of glyph number `glyph` lies in the file, from the loca table.
Table outline(const std::string &font, int glyph) {
  const bool long_offsets = big_endian(font, table(font, "head").offset + 50, 2) != 0;
  const size_t loca = table(font, "loca").offset;
  auto start = [&](int g) -> size_t {
    return long_offsets ? big_endian(font, loca + 4 * static_cast<size_t>(g), 4)
                        : 2 * big_endian(font, loca + 2 * static_cast<size_t>(g), 2);
  };
  return Table{table(font, "glyf").offset + start(glyph), start(glyph + 1) - start(glyph)};
}

// Makes the outline of glyph `glyph` empty by giving it the start of the next one.
void remove_outline(std::string *font, int glyph) {
  const bool long_offsets = big_endian(*font, table(*font, "head").offset + 50, 2) != 0;
  const int size = long_offsets ? 4 : 2;
  const size_t entry = table(*font, "loca").offset + static_cast<size_t>(size) * glyph;
  font->replace(entry, size, font->substr(entry + size, size));
}

class Fonts : public ::testing::Test {
protected:
  Offscreen off;
  std::string path = make_temp_dir() + "/times.ttf";

  void SetUp() override { ASSERT_EQ(TTF_Init(), 0); }
  void TearDown() override { TTF_Quit(); }

  // Opens `bytes` as the font and draws the whole run: the failure line as the viewer reports it,
  // "" if it all worked. Nothing below the entry functions writes to stderr.
  std::string draw_with(const std::string &bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    off.clear();
    testing::internal::CaptureStderr();
    Font font;
    const char *problem = open_font(path.c_str(), &font);
    if (problem == nullptr) {
      problem = draw_pages(
          off.screen, font, [](void *, int, const char *) -> const char * { return nullptr; },
          nullptr);
    }
    close_font(&font);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(off.padding_damage(), 0) << "drawn outside the picture";
    return problem == nullptr ? "" : std::string(problem) + "\n";
  }

  // Glyph numbers of `characters` in `font`.
  std::vector<int> glyphs_of(const std::string &font, const std::string &characters) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << font;
    TTF_Font *f = TTF_OpenFont(path.c_str(), FONT_POINT_SIZE);
    std::vector<int> glyphs;
    for (const char c : characters) {
      glyphs.push_back(TTF_GlyphIsProvided(f, static_cast<unsigned char>(c)));
    }
    TTF_CloseFont(f);
    return glyphs;
  }
};

} // namespace

TEST_F(Fonts, IncompleteFontsAreRefusedWithTheMissingCharacter) {
  const std::string font = real_font();
  const Table glyf = table(font, "glyf"); // the outlines, cut short at three places
  for (const size_t cut :
       {glyf.offset, glyf.offset + glyf.length / 4, glyf.offset + glyf.length / 2}) {
    SCOPED_TRACE("cut after " + std::to_string(cut) + " bytes");
    EXPECT_EQ(draw_with(font.substr(0, cut)),
              "Couldn't load font " + path + ": its glyph for 'T' is blank\n");
  }
  {
    SCOPED_TRACE("no outlines for the digits");
    std::string no_digits = font;
    for (const int glyph : glyphs_of(font, "9876543210")) { // from the last, as they follow
      remove_outline(&no_digits, glyph);                    // each other in the file
    }
    EXPECT_EQ(draw_with(no_digits),
              "Couldn't load font " + path + ": its glyph for '4' is blank\n");
  }
  {
    SCOPED_TRACE("characters from '0' on not mapped to glyphs (they would be drawn as boxes)");
    std::string unmapped = font;
    const size_t cmap = table(font, "cmap").offset;
    for (size_t i = 0; i < big_endian(font, cmap + 2, 2); ++i) {
      const size_t sub = cmap + big_endian(font, cmap + 8 + 8 * i, 4);
      if (big_endian(font, sub, 2) == 4 && big_endian(font, sub + 14, 2) == 0x7E) {
        unmapped[sub + 14] = 0;    // the first segment, ' ' to '~', now ends
        unmapped[sub + 15] = 0x2F; // before '0'
      }
    }
    EXPECT_EQ(draw_with(unmapped), "Couldn't load font " + path + ": it has no glyph for 'T'\n");
  }
}

TEST_F(Fonts, HostileFontsAreRefusedBeforeTextIsLostOrMemoryRunsOut) {
  const auto loading = [&](const std::string &reason) {
    return "Couldn't load font " + path + ": " + reason + "\n";
  };
  const auto rendering = [&](const std::string &text, const std::string &reason) {
    return "Couldn't render text \"" + text + "\" in " + path + ": " + reason + "\n";
  };
  const std::string lost = " lies outside the line of text (a damaged font?)";
  const std::string title = " Triangles with perimeter 40";
  const std::string label = "(19 19 2)";
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"seven-high", loading("its glyph for '7'" + lost)},
      {"paren-high", loading("its glyph for ')'" + lost)},
      {"short-ascent", loading("its glyph for 'T'" + lost)},
      {"giant-glyphs",
       loading("its glyph for ' ' is 16000 × 65000 pixels, larger than the window")},
      {"huge-text", loading("its line of text is 63751 pixels high, higher than the window")},
      {"window-glyphs", loading("its glyphs together cover 12922227 pixels, more than the window "
                                "(a damaged font?)")},
      {"huge-advance", loading("its glyph for ' ' advances 2000000000 pixels, farther than the "
                               "window is wide")},
      {"wide-text", rendering(title, "it would be wider than the window")},
      {"flat-t", rendering(title, "its glyph for 'T' is blank")}, // drawn as 11 stray dots
      {"hairline-four", rendering(title, "its glyph for '4' is blank")},
      {"shrunk-e", rendering(title, "its glyph for 'e' is blank")},
      {"specks-paren", rendering(label, "its glyph for '(' is blank")},
      {"collapsed-one", rendering(label, "its glyph for '1' is blank")},
      {"dotted-nine", rendering(label, "its glyph for '9' is blank")}, // 2 stray dots
      {"kerned-one", rendering(label, "its glyph for '1' lies outside the text's image (a "
                                      "damaged font?)")}};
  const auto font = [](const std::string &name) {
    return read_file(std::string(TEST_FONTS_DIR) + "/" + name + ".ttf");
  };
  for (const auto &[name, message] : refused) {
    SCOPED_TRACE(name);
    EXPECT_EQ(draw_with(font(name)), message);
  }
  EXPECT_EQ(draw_with(font("subset")), ""); // the characters drawn, and nothing else
}

TEST_F(Fonts, FuzzedFontsNeverCrashOrWriteOutsideTheirImage) {
  const std::string font = real_font();
  std::vector<Table> outlines;
  for (const int glyph :
       glyphs_of(font, std::string(" Triangles with perimeter 40") + LABEL_CHARACTERS)) {
    if (outline(font, glyph).length > 0) { // the blank has none
      outlines.push_back(outline(font, glyph));
    }
  }
  const auto tables = tables_of(font);
  std::mt19937 random(40);
  auto below = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
  auto any_byte = [&] { return static_cast<char>(below(256)); };

  std::vector<std::pair<std::string, std::string>> corpus;
  // A known case: SDL_ttf would write before the image of every text with a '4'.
  corpus.emplace_back("one byte of the digit 4",
                      read_file(std::string(TEST_FONTS_DIR) + "/four-far-left.ttf"));
  for (int i = 0; i < 160; ++i) {
    std::string bytes = font;
    for (size_t n = 1 + below(4); n > 0; --n) {
      const Table &o = outlines[below(outlines.size())];
      bytes.at(o.offset + below(o.length)) = any_byte();
    }
    corpus.emplace_back("outline bytes, case " + std::to_string(i), bytes);
  }
  for (int i = 0; i < 60; ++i) {
    std::string bytes = font;
    for (size_t n = 1 + below(8); n > 0; --n) {
      bytes.at(below(bytes.size())) = any_byte();
    }
    corpus.emplace_back("bytes anywhere, case " + std::to_string(i), bytes);
  }
  for (const auto &t : tables) {
    std::string bytes = font;
    bytes.replace(t.second.offset, t.second.length, t.second.length, '\0');
    corpus.emplace_back("zeroed " + t.first + " table", bytes);
  }
  for (int i = 0; i < 40; ++i) {
    corpus.emplace_back("cut, case " + std::to_string(i), font.substr(0, 12 + below(font.size())));
  }

  int refused = 0;
  int outside = 0;
  for (const auto &sample : corpus) {
    SCOPED_TRACE(sample.first);
    const std::string err = draw_with(sample.second);
    if (!err.empty()) {
      ++refused;
      outside += err.find("outside") != std::string::npos;
      EXPECT_EQ(err.rfind("Couldn't ", 0), 0U) << err;
      EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;
    }
  }
  EXPECT_GE(outside, 1); // the guard was reached, at least by the known case
  std::printf("%zu damaged fonts: %d refused (%d would have been drawn outside their image)\n",
              corpus.size(), refused, outside);
}
