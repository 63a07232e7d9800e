// Where each triangle goes: the cell origin (top-left corner of its label and left end of its
// base) moves across a grid of three columns and three rows, and a full page starts a new one.
// Pure arithmetic, testable without a window.
#pragma once

#include "figure.h"

using CellOrigin = Point;

// Origin of the first triangle of the run (first page, below the title).
CellOrigin first_cell();

// Moves *cell to the next cell. Returns true when that completes the page; *cell is then the first
// cell of the next page, which the caller begins after showing the full one.
bool advance_cell(CellOrigin *cell);
