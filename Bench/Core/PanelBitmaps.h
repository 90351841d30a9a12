#pragma once

#include <cairo.h>

#include <cstdint>

namespace bench {

// The bench's own pictures for the panel's bitmap ids: the aircraft's bitmaps are data of its
// package, so each id gets a plain drawing of what it shows, at the id's size.
struct BitmapSize {
    int width;
    int height;
};

// The size of a bitmap id; an id the bench does not know is drawn as a marked 40 x 16 box.
BitmapSize StandInSize(std::uintptr_t bitmap);

// Draws the stand-in of a bitmap with its top left corner at (x, y).
void DrawStandIn(cairo_t* cr, std::uintptr_t bitmap, double x, double y);

} // namespace bench
