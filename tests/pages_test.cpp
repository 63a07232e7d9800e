// The whole run drawn offscreen with the real font: four pages of 9, 9, 9 and 6 triangles, the
// title on the first only, and nothing ever written outside the picture.
#include <gtest/gtest.h>

#include <vector>

#include "display.h"
#include "offscreen.h"
#include "pages.h"

namespace {

struct PageRecord {
  int page;
  int black_pixels;
  bool title_ink;
  int padding_damage;
};

Offscreen *current = nullptr;
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

bool record_page(int page) {
  pages.push_back(
      PageRecord{page, current->black_count(), ink_in_title_strip(), current->padding_damage()});
  return true;
}

bool stop_after_first(int /*page*/) { return false; }

class Pages : public ::testing::Test {
protected:
  Offscreen off;
  void SetUp() override {
    current = &off;
    pages.clear();
    ASSERT_EQ(TTF_Init(), 0);
    label_font = TTF_OpenFont(FONT_FILE, FONT_POINT_SIZE);
    ASSERT_NE(label_font, nullptr) << "run from the folder holding " << FONT_FILE;
  }
  void TearDown() override {
    TTF_CloseFont(label_font);
    label_font = nullptr;
    TTF_Quit();
  }
};

} // namespace

TEST_F(Pages, FourPagesTitleOnTheFirstOnly) {
  ASSERT_TRUE(draw_pages(record_page));
  ASSERT_EQ(pages.size(), 4U);
  for (const PageRecord &p : pages) {
    SCOPED_TRACE("page " + std::to_string(p.page));
    EXPECT_EQ(p.padding_damage, 0);
    EXPECT_EQ(p.title_ink, p.page == 1);
    EXPECT_GT(p.black_pixels, 0);
  }
  EXPECT_EQ(pages[0].page, 1);
  EXPECT_EQ(pages[3].page, 4);
  // The last page holds six triangles against nine on the others.
  EXPECT_LT(pages[3].black_pixels, pages[2].black_pixels);
}

TEST_F(Pages, StopsWhenAPageCannotBeFinished) { EXPECT_FALSE(draw_pages(stop_after_first)); }

TEST_F(Pages, LabelsHangBelowTheBase) {
  draw_triangle_label(TriangleSides{18, 12, 10}, CellOrigin{250, 300});
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
