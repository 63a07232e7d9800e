// The whole run drawn offscreen with the real font: four pages of 9, 9, 9 and 6 triangles, the
// title on the first only, nothing ever written outside the picture, and every page equal to the
// reference pictures in docs/ pixel for pixel.
#include <gtest/gtest.h>

#include <SDL_ttf.h>

#include <cstdio>
#include <string>
#include <vector>

#include "expected_run.h"
#include "offscreen.h"
#include "pages.h"
#include "png_io.h"
#include "process.h"

namespace {

using Picture = std::vector<std::uint32_t>; // 0xRRGGBB, SCREEN_W x SCREEN_H, row by row

struct PageRecord {
  int page;
  std::string description;
  int black_pixels;
  bool title_ink;
  int padding_damage;
  Picture picture;
};

Offscreen *current = nullptr;
Font font;
std::vector<PageRecord> pages;

// Black pixels in the top of the title, above every figure of the later pages.
bool ink_in_title_strip() {
  for (int y = TITLE_Y; y < TITLE_Y + 10; ++y) {
    for (int x = TITLE_X; x < 300; ++x) {
      if (current->black(x, y)) {
        return true;
      }
    }
  }
  return false;
}

const char *record_page(void * /*context*/, int page, const char *description) {
  Picture picture;
  for (int y = 0; y < SCREEN_H; ++y) {
    for (int x = 0; x < SCREEN_W; ++x) {
      picture.push_back(current->memory[static_cast<size_t>(y) * ROW_PX + x]);
    }
  }
  pages.push_back(PageRecord{page, description, current->black_count(), ink_in_title_strip(),
                             current->padding_damage(), picture});
  return nullptr;
}

// Text boxes: the label's (LABEL_BOX_W) hangs below its base, the title's sits in the top-left
// corner. Taller than any of their texts in a 20-point serif (23 rows), yet clear of the next
// row's apexes.
constexpr int TITLE_BOX_W = 300;
constexpr int TEXT_BOX_H = 24;
constexpr std::uint32_t INK = 0x000000;
constexpr std::uint32_t PAPER = 0xFFFFFF;

// Replaces the box at (x0, y0) with `text` as this machine's SDL_ttf renders it in the program's
// font, so the comparison does not depend on how FreeType rasterised the reference.
void expect_text(Picture *page, int x0, int y0, int box_w, const std::string &text) {
  for (int y = y0; y < y0 + TEXT_BOX_H; ++y) {
    for (int x = x0; x < x0 + box_w; ++x) {
      (*page)[static_cast<size_t>(y) * SCREEN_W + x] = PAPER;
    }
  }
  SDL_Surface *image = TTF_RenderText_Solid(font.ttf, text.c_str(), SDL_Color{0, 0, 0, 0});
  ASSERT_NE(image, nullptr) << text;
  for (int y = 0; y < image->h && y < TEXT_BOX_H; ++y) {
    for (int x = 0; x < image->w && x < box_w; ++x) {
      if (static_cast<const std::uint8_t *>(image->pixels)[y * image->pitch + x] != 0) {
        (*page)[static_cast<size_t>(y0 + y) * SCREEN_W + x0 + x] = INK;
      }
    }
  }
  SDL_FreeSurface(image);
}

// The reference page with its texts as they must read. Inside a label's box the figure shows only
// its base line and the lower halves of the base rings.
Picture expected_page(int page) {
  Picture expected;
  const std::string golden = std::string(GOLDEN_DIR) + "/page-" + std::to_string(page) + ".png";
  EXPECT_TRUE(read_png(golden, &expected)) << "cannot read " << golden;
  if (expected.empty()) {
    return expected;
  }
  if (page == 1) {
    expect_text(&expected, 10, 10, TITLE_BOX_W, " Triangles with perimeter 40");
  }
  for (const ExpectedTriangle &t : EXPECTED_RUN) {
    if (t.page != page) {
      continue;
    }
    expect_text(&expected, t.cell_x, t.cell_y, LABEL_BOX_W, label_of(t));
    for (int x = t.cell_x; x < t.cell_x + LABEL_BOX_W; ++x) {
      expected[static_cast<size_t>(t.cell_y) * SCREEN_W + x] = INK;
    }
    for (int cx = t.cell_x; cx <= t.cell_x + LABEL_BOX_W; cx += UNITS_PX) {
      for (const auto &o : RING_OFFSETS) {
        const int x = cx + o[0];
        if (o[1] >= 0 && x >= t.cell_x && x < t.cell_x + LABEL_BOX_W) {
          expected[static_cast<size_t>(t.cell_y + o[1]) * SCREEN_W + x] = INK;
        }
      }
    }
  }
  return expected;
}

const char *stop_after_first(void * /*context*/, int /*page*/, const char * /*description*/) {
  return "Couldn't go on: stopped by the test";
}

class Pages : public ::testing::Test {
protected:
  Offscreen off;
  void SetUp() override {
    current = &off;
    pages.clear();
    ASSERT_EQ(TTF_Init(), 0);
    font.ttf = TTF_OpenFont(FONT_FILE, FONT_POINT_SIZE);
    ASSERT_NE(font.ttf, nullptr) << "run from the folder holding " << FONT_FILE;
  }
  void TearDown() override {
    TTF_CloseFont(font.ttf);
    font.ttf = nullptr;
    TTF_Quit();
  }
  const char *draw_all(PageDone done) { return draw_pages(off.screen, font, done, nullptr); }
};

} // namespace

TEST_F(Pages, FourPagesTitleOnTheFirstOnly) {
  ASSERT_EQ(draw_all(record_page), nullptr);
  ASSERT_EQ(pages.size(), 4U);
  for (const PageRecord &p : pages) {
    SCOPED_TRACE("page " + std::to_string(p.page));
    EXPECT_EQ(p.padding_damage, 0);
    EXPECT_EQ(p.title_ink, p.page == 1);
    EXPECT_GT(p.black_pixels, 0);
    // The text alternative names the page and its triangles, as the labels read.
    std::string described = "Page " + std::to_string(p.page) + " of 4: triangles ";
    for (const ExpectedTriangle &t : EXPECTED_RUN) {
      if (t.page == p.page) {
        described += (described.back() == ' ' ? "" : ", ") + label_of(t);
      }
    }
    EXPECT_EQ(p.description, described);
  }
  EXPECT_EQ(pages[0].page, 1);
  EXPECT_EQ(pages[3].page, 4);
  // The last page holds six triangles against nine on the others.
  EXPECT_LT(pages[3].black_pixels, pages[2].black_pixels);
}

TEST_F(Pages, EqualTheReferencePages) {
  ASSERT_EQ(draw_all(record_page), nullptr);
  ASSERT_EQ(pages.size(), 4U);
  for (const PageRecord &p : pages) {
    const Picture expected = expected_page(p.page);
    ASSERT_EQ(expected.size(), p.picture.size());
    std::string first;
    int differing = 0;
    Picture diff(expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      const bool same = expected[i] == p.picture[i];
      diff[i] = same ? (expected[i] == INK ? 0xC0C0C0 : PAPER) : 0xFF0000;
      if (!same && differing++ < 10) {
        char line[96];
        std::snprintf(line, sizeof line, "  (%zu, %zu): expected %06X, drawn %06X\n", i % SCREEN_W,
                      i / SCREEN_W, expected[i], p.picture[i]);
        first += line;
      }
    }
    if (differing > 0) {
      const std::string dir = make_temp_dir();
      const std::string name = "/page-" + std::to_string(p.page);
      FAIL() << "page " << p.page << ": " << differing << " pixels differ from the reference\n"
             << "  drawn: " << write_png(p.picture, dir + name + ".png") << "\n"
             << "  differences (red): " << write_png(diff, dir + name + "-diff.png") << "\n"
             << first;
    }
  }
}

TEST_F(Pages, StopsWhenAPageCannotBeFinished) {
  EXPECT_STREQ(draw_all(stop_after_first), "Couldn't go on: stopped by the test");
}

TEST_F(Pages, LabelsHangBelowTheBase) {
  ASSERT_EQ(draw_triangle_label(off.screen, font, TriangleSides{18, 12, 10}, CellOrigin{250, 300}),
            nullptr);
  // Ink starts at the cell origin's column and row and goes no further left or up.
  int left = SCREEN_W;
  int top = SCREEN_H;
  int right = 0;
  for (int y = 0; y < SCREEN_H; ++y) {
    for (int x = 0; x < SCREEN_W; ++x) {
      if (off.black(x, y)) {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
      }
    }
  }
  EXPECT_GE(left, 250);
  EXPECT_LE(left, 254);
  EXPECT_GE(top, 300);
  EXPECT_LE(top, 310);
  EXPECT_GT(right, 300); // "(18 12 10)" is several glyphs wide
}
