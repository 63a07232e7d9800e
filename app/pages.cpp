// The main walk. The screen is locked only around the direct pixel writes of one figure, never
// around a text blit, and never once per pixel. Each page's text alternative is gathered from the
// labels drawn on it.
#include "pages.h"

#include <cstdio>
#include <cstring>

#include "constants.h"
#include "enumeration.h"

namespace {

// The text alternative of the page being drawn: "Page 1 of 4: triangles (19 19 2), ...".
struct Description {
  char text[DESCRIPTION_BYTES];
  size_t labels; // where the labels begin
};

void begin_description(Description *description, int page) {
  description->labels = static_cast<size_t>(std::snprintf(
      description->text, sizeof description->text, "Page %d of %d: triangles ", page, PAGE_COUNT));
}

void format_label(TriangleSides sides, char (&label)[TEXT_BUFFER_SIZE]) {
  std::snprintf(label, sizeof label, LABEL_FORMAT, sides.a, sides.b, sides.c);
}

void add_label(Description *description, TriangleSides sides) {
  char label[TEXT_BUFFER_SIZE];
  format_label(sides, label);
  const size_t used = std::strlen(description->text);
  std::snprintf(description->text + used, sizeof description->text - used, "%s%s",
                used > description->labels ? ", " : "", label);
}

const char *draw_figure(const Screen &screen, TriangleSides sides, CellOrigin cell) {
  Canvas canvas{};
  if (const char *problem = lock_screen(screen, &canvas)) {
    return problem;
  }
  const OutlineGeometry geometry = draw_triangle_outline(canvas, screen.black, sides, cell);
  draw_unit_marks(canvas, screen.black, sides, cell, geometry);
  unlock_screen(screen);
  return nullptr;
}

const char *draw_title(const Screen &screen, const Font &font) {
  char title[TEXT_BUFFER_SIZE];
  std::snprintf(title, sizeof title, TITLE_FORMAT, PERIMETER);
  return write_text(screen, font, title, TITLE_X, TITLE_Y);
}

} // namespace

const char *draw_pages(const Screen &screen, const Font &font, PageDone page_done, void *context) {
  if (const char *problem = draw_title(screen, font)) {
    return problem;
  }
  Description description{};
  CellOrigin cell = first_cell();
  EnumerationState enumeration;
  TriangleSides sides{};
  int page = 1;
  begin_description(&description, page);
  while (next_triangle(&enumeration, &sides)) {
    add_label(&description, sides);
    if (const char *problem = draw_triangle_label(screen, font, sides, cell)) {
      return problem;
    }
    if (const char *problem = draw_figure(screen, sides, cell)) {
      return problem;
    }
    if (advance_cell(&cell)) {
      if (const char *problem = page_done(context, page, description.text)) {
        return problem;
      }
      clear_screen(screen);
      begin_description(&description, ++page);
    }
  }
  return page_done(context, page, description.text);
}

const char *draw_triangle_label(const Screen &screen, const Font &font, TriangleSides sides,
                                CellOrigin cell) {
  char label[TEXT_BUFFER_SIZE];
  format_label(sides, label);
  return write_text(screen, font, label, cell.x, cell.y);
}

OutlineGeometry draw_triangle_outline(const Canvas &canvas, std::uint32_t colour,
                                      TriangleSides sides, CellOrigin cell) {
  const Outline outline = triangle_outline(sides, cell, UNIT_PX);
  const Point apex = outline.apex;
  draw_line(canvas, apex.x, apex.y, outline.left.x, outline.left.y, colour);
  draw_line(canvas, outline.left.x, outline.left.y, outline.right.x, outline.right.y, colour);
  draw_line(canvas, outline.right.x, outline.right.y, apex.x, apex.y, colour);
  return outline.geometry;
}

void draw_unit_marks(const Canvas &canvas, std::uint32_t colour, TriangleSides sides,
                     CellOrigin cell, OutlineGeometry geometry) {
  Point centres[MARKS_PER_TRIANGLE];
  unit_mark_centres(sides, cell, UNIT_PX, geometry, centres);
  for (const Point &centre : centres) {
    draw_circle(canvas, centre.x, centre.y, MARK_RADIUS, colour);
  }
}
