#pragma once

#include <string>

#include "gfx/canvas.h"

// Pages and regions: a page is a child window with its row of the page table, a region a
// framed rectangle on it laid out in page units of the 240 by 180 page.
namespace plot {

// Opens unit iw as a window of nxpix by nypix pixels (height first) titled `title`, records the
// page, installs the default colours at the first call of the run, tiles the windows when iw is
// 1, and clears the window to white.
void PAGE(gfx::Canvas& canvas, int iw, int nypix, int nxpix, std::string title);

// Lays out region ir of page iw with its lower-left corner at page position (x0, y0) and size
// w by h page units, and draws its frame in the current colour and line style.
void REGION(gfx::Canvas& canvas, int iw, int ir, float x0, float y0, float w, float h);

// Makes unit iw the target of drawing (0: no change) and gives unit ifoc the input focus
// (0: no change). A refused request is repeated a bounded number of times. True when every
// request was done; the drawing routines draw nothing when their page could not be activated,
// so nothing lands on another page's window.
bool ACTIV(gfx::Canvas& canvas, int iw, int ifoc);

// How often ACTIV asks the platform before it gives up on a request.
inline constexpr int k_activation_attempts = 100;

}  // namespace plot
