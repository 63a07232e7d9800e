// A screen without a window for the drawing tests: an 800x600 surface over a plain array whose rows
// are wider than the picture, as a Screen (with its two colours) and as the raster routines'
// Canvas. The padding holds a sentinel, so a pixel written by the width instead of the pitch, or
// past the right edge, shows up.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "constants.h"
#include "raster.h"
#include "screen.h"

constexpr int PAD_PX = 13;                     // extra pixels at the end of every row
constexpr int ROW_PX = SCREEN_W + PAD_PX;      // row length in pixels
constexpr std::uint32_t SENTINEL = 0xDEADBEEF; // never a colour the program maps

struct Offscreen {
  std::vector<std::uint32_t> memory;
  Screen screen;
  Canvas canvas{};

  Offscreen() : memory(static_cast<size_t>(ROW_PX) * SCREEN_H, SENTINEL) {
    screen.surface = SDL_CreateRGBSurfaceFrom(memory.data(), SCREEN_W, SCREEN_H, SCREEN_BPP,
                                              ROW_PX * 4, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    screen.white = SDL_MapRGB(screen.surface->format, WHITE_LEVEL, WHITE_LEVEL, WHITE_LEVEL);
    screen.black = SDL_MapRGB(screen.surface->format, BLACK_LEVEL, BLACK_LEVEL, BLACK_LEVEL);
    canvas = Canvas{memory.data(), SCREEN_W, SCREEN_H, ROW_PX * 4};
    clear();
  }
  ~Offscreen() { SDL_FreeSurface(screen.surface); }
  Offscreen(const Offscreen &) = delete;
  Offscreen &operator=(const Offscreen &) = delete;

  // Paints the picture white, leaving the padding alone.
  void clear() {
    for (int y = 0; y < SCREEN_H; ++y) {
      for (int x = 0; x < SCREEN_W; ++x) {
        memory[static_cast<size_t>(y) * ROW_PX + x] = screen.white;
      }
    }
  }

  bool black(int x, int y) const {
    return memory[static_cast<size_t>(y) * ROW_PX + x] == screen.black;
  }

  // Number of padding pixels that no longer hold the sentinel.
  int padding_damage() const {
    int damaged = 0;
    for (int y = 0; y < SCREEN_H; ++y) {
      for (int x = SCREEN_W; x < ROW_PX; ++x) {
        damaged += memory[static_cast<size_t>(y) * ROW_PX + x] != SENTINEL;
      }
    }
    return damaged;
  }

  int black_count() const {
    int n = 0;
    for (int y = 0; y < SCREEN_H; ++y) {
      for (int x = 0; x < SCREEN_W; ++x) {
        n += black(x, y);
      }
    }
    return n;
  }

  // The rectangle (x0, y0) .. (x0 + w - 1, y0 + h - 1) as rows of '#' (black) and '.', one line
  // each, so a failing drawing test prints the picture it got.
  std::string grid(int x0, int y0, int w, int h) const {
    std::string out;
    for (int y = y0; y < y0 + h; ++y) {
      for (int x = x0; x < x0 + w; ++x) {
        out += black(x, y) ? '#' : '.';
      }
      out += '\n';
    }
    return out;
  }
};
