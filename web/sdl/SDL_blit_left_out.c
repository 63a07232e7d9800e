/* The blitters the page never reaches, left out of SDL 1.2 for the browser: the viewer's only
 * blit is SDL_ttf's 8-bit text with a colour key onto the 32-bit screen (SDL_blit_1.c), so
 * scripts/web-libs compiles neither the blits from pixels of under 8 bits (SDL_blit_0.c) or of 2
 * to 4 bytes (SDL_blit_N.c, with their alpha blending, SDL_blit_A.c) nor run-length encoded
 * surfaces (SDL_RLEaccel.c), about a tenth of the page's program. These stand in for them:
 * SDL finds no such blitter and says so ("Blit combination not supported"), and never encodes a
 * surface, so a change of the program that needed one fails in one line instead of drawing
 * something else. Part of the triangles project. */
#include "SDL_config.h"

#include "SDL_video.h"
#include "../SDL_blit.h"
#include "../SDL_RLEaccel_c.h"

SDL_loblit SDL_CalculateBlit0(SDL_Surface *surface, int blit_index) { return NULL; }

SDL_loblit SDL_CalculateBlitN(SDL_Surface *surface, int blit_index) { return NULL; }

int SDL_RLESurface(SDL_Surface *surface) { return -1; } /* left as it is, never encoded */

void SDL_UnRLESurface(SDL_Surface *surface, int recode) {}

/* Never chosen, as no surface is encoded. */
int SDL_RLEBlit(SDL_Surface *src, SDL_Rect *srcrect, SDL_Surface *dst, SDL_Rect *dstrect) {
  SDL_SetError("Blit combination not supported");
  return -1;
}

int SDL_RLEAlphaBlit(SDL_Surface *src, SDL_Rect *srcrect, SDL_Surface *dst, SDL_Rect *dstrect) {
  SDL_SetError("Blit combination not supported");
  return -1;
}
