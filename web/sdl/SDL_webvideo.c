/* SDL 1.2 video driver for a web page (emscripten): the screen is a 32-bit surface in memory,
 * copied onto the page's canvas by every update; the window's key presses and releases become SDL
 * key events with SDL 1.2's key symbols (SDL keeps the modifier state from them, as with any
 * driver), and a tap or click on the canvas is the space bar of a touch screen, pressed and
 * released. SDL's cursor is the browser's pointer, never drawn onto the screen. This is SDL's
 * side; the page's side is SDL_webvideo.js, linked into the program. Modelled on the dummy
 * driver; part of the triangles project, compiled into SDL by scripts/web-libs
 * (register-driver.patch adds it to SDL's list). */
#include "SDL_config.h"

#include "../../events/SDL_events_c.h"
#include "../../events/SDL_sysevents.h"
#include "../SDL_pixels_c.h"
#include "../SDL_sysvideo.h"
#include "SDL_video.h"

/* Hidden "this" pointer for the video functions, as every SDL 1.2 driver names it */
#undef _THIS
#define _THIS SDL_VideoDevice *this

#define WEB_DRIVER_NAME "web"
#define WEB_BPP 32
#define WEB_BYTES_PER_PIXEL 4
/* Red, green, blue and alpha in memory order, as the canvas's image data has them (wasm is
 * little-endian), so the page shows the screen's memory as it is. Every colour SDL maps onto it
 * has all of the alpha mask set (SDL_MapRGB), so every pixel drawn is opaque. */
#define WEB_RED_MASK 0x000000FF
#define WEB_GREEN_MASK 0x0000FF00
#define WEB_BLUE_MASK 0x00FF0000
#define WEB_ALPHA_MASK 0xFF000000

struct SDL_PrivateVideoData {
  Uint8 *pixels; /* the screen's pixels */
};

struct WMcursor {
  int unused; /* the browser's pointer needs nothing */
};

/* The page's side (SDL_webvideo.js) */
int web_has_canvas(void);
int web_open(int width, int height); /* 0 without a canvas */
void web_present(const Uint8 *pixels, int pitch, int x, int y, int w, int h);
int web_next_event(int *down, int *sym); /* 1 with an event, 0 without */
void web_close(void);

static int WEB_VideoInit(_THIS, SDL_PixelFormat *vformat) {
  vformat->BitsPerPixel = WEB_BPP;
  vformat->BytesPerPixel = WEB_BYTES_PER_PIXEL;
  vformat->Rmask = WEB_RED_MASK;
  vformat->Gmask = WEB_GREEN_MASK;
  vformat->Bmask = WEB_BLUE_MASK;
  vformat->Amask = WEB_ALPHA_MASK;
  return 0;
}

static SDL_Rect **WEB_ListModes(_THIS, SDL_PixelFormat *format, Uint32 flags) {
  return (SDL_Rect **)-1; /* any size: the canvas takes the one asked for */
}

/* The screen is always 32-bit; SDL converts from a shadow surface if another depth is asked.
 * Its memory is left as it is: SDL clears the new screen itself. */
static SDL_Surface *WEB_SetVideoMode(_THIS, SDL_Surface *current, int width, int height,
                                         int bpp, Uint32 flags) {
  Uint8 *pixels = SDL_malloc((size_t)width * height * WEB_BYTES_PER_PIXEL);
  if (pixels == NULL) {
    SDL_OutOfMemory();
    return NULL;
  }
  if (!SDL_ReallocFormat(current, WEB_BPP, WEB_RED_MASK, WEB_GREEN_MASK,
                         WEB_BLUE_MASK, WEB_ALPHA_MASK)) {
    SDL_free(pixels);
    return NULL;
  }
  if (!web_open(width, height)) {
    SDL_free(pixels);
    SDL_SetError("the page has no canvas to draw on");
    return NULL;
  }
  SDL_free(this->hidden->pixels);
  this->hidden->pixels = pixels;
  current->flags = 0; /* a software surface: SDL_Flip updates the whole screen */
  current->w = width;
  current->h = height;
  current->pitch = (Uint16)(width * WEB_BYTES_PER_PIXEL);
  current->pixels = pixels;
  return current;
}

static int WEB_SetColors(_THIS, int firstcolor, int ncolors, SDL_Color *colors) {
  return 1; /* no palette: the screen is 32-bit */
}

static int WEB_AllocHWSurface(_THIS, SDL_Surface *surface) {
  return -1; /* every surface but the screen is SDL's own */
}

static void WEB_FreeHWSurface(_THIS, SDL_Surface *surface) {}

static int WEB_LockHWSurface(_THIS, SDL_Surface *surface) { return 0; }

static void WEB_UnlockHWSurface(_THIS, SDL_Surface *surface) {}

static void WEB_UpdateRects(_THIS, int numrects, SDL_Rect *rects) {
  const SDL_Surface *screen = this->screen;
  int i;
  for (i = 0; i < numrects; ++i) {
    web_present(screen->pixels, screen->pitch, rects[i].x, rects[i].y, rects[i].w, rects[i].h);
  }
}

/* SDL draws a cursor of its own onto the screen unless the "window manager" shows one: here the
 * browser does, so every cursor is an empty token and showing it always succeeds. */
static WMcursor *WEB_CreateWMCursor(_THIS, Uint8 *data, Uint8 *mask, int w, int h, int hot_x,
                                        int hot_y) {
  WMcursor *cursor = SDL_calloc(1, sizeof *cursor);
  if (cursor == NULL) {
    SDL_OutOfMemory();
  }
  return cursor;
}

static void WEB_FreeWMCursor(_THIS, WMcursor *cursor) { SDL_free(cursor); }

static int WEB_ShowWMCursor(_THIS, WMcursor *cursor) { return 1; }

static void WEB_InitOSKeymap(_THIS) {}

static void WEB_PumpEvents(_THIS) {
  int down = 0;
  int sym = 0;
  while (web_next_event(&down, &sym)) {
    SDL_keysym key;
    SDL_memset(&key, 0, sizeof key);
    key.sym = (SDLKey)sym;
    SDL_PrivateKeyboard(down ? SDL_PRESSED : SDL_RELEASED, &key);
  }
}

static void WEB_VideoQuit(_THIS) {
  web_close();
  SDL_free(this->hidden->pixels);
  this->hidden->pixels = NULL;
  if (this->screen != NULL) {
    this->screen->pixels = NULL; /* freed above, not again by SDL */
  }
}

/* The driver's bootstrap: available where the page has a canvas. */

static int WEB_Available(void) { return web_has_canvas(); }

static void WEB_DeleteDevice(SDL_VideoDevice *device) {
  SDL_free(device->hidden);
  SDL_free(device);
}

static SDL_VideoDevice *WEB_CreateDevice(int devindex) {
  SDL_VideoDevice *device = SDL_calloc(1, sizeof *device);
  if (device != NULL) {
    device->hidden = SDL_calloc(1, sizeof *device->hidden);
  }
  if (device == NULL || device->hidden == NULL) {
    SDL_OutOfMemory();
    SDL_free(device);
    return NULL;
  }
  device->VideoInit = WEB_VideoInit;
  device->ListModes = WEB_ListModes;
  device->SetVideoMode = WEB_SetVideoMode;
  device->SetColors = WEB_SetColors;
  device->UpdateRects = WEB_UpdateRects;
  device->VideoQuit = WEB_VideoQuit;
  device->AllocHWSurface = WEB_AllocHWSurface;
  device->LockHWSurface = WEB_LockHWSurface;
  device->UnlockHWSurface = WEB_UnlockHWSurface;
  device->FreeHWSurface = WEB_FreeHWSurface;
  device->CreateWMCursor = WEB_CreateWMCursor;
  device->FreeWMCursor = WEB_FreeWMCursor;
  device->ShowWMCursor = WEB_ShowWMCursor;
  device->InitOSKeymap = WEB_InitOSKeymap;
  device->PumpEvents = WEB_PumpEvents;
  device->free = WEB_DeleteDevice;
  return device;
}

VideoBootStrap WEB_bootstrap = {WEB_DRIVER_NAME, "SDL video in a web page's canvas",
                                    WEB_Available, WEB_CreateDevice};
