// The walk over all triangles: the title, then per triangle its label, outline and unit marks,
// nine cells to a page. What happens to a finished page (shown and awaited, or saved) is the
// caller's; the drawing is the same either way.
#pragma once

// Called after each page is drawn, with its number from 1. Returns false to stop the run.
using PageDone = bool (*)(int page);

// Draws every page onto `screen` (which must be prepared), calling page_done after each and
// clearing before the next. Returns false if drawing or page_done failed.
bool draw_pages(PageDone page_done);
