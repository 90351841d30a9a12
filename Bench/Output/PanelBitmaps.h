#pragma once

#include <cairo.h>

#include <array>
#include <cstdint>

namespace bench {

// The bench's own pictures for the panel's bitmap ids: the aircraft's bitmaps are data of its
// package, so each id gets a plain drawing of what it shows, at the id's size.
struct BitmapSize {
    int width;
    int height;
};

// Every bitmap id the gauge carries: the twelve its panel shows and seven it keeps unused, which
// are small plain placeholders.
constexpr std::array<std::uintptr_t, 19> kPanelBitmapIds{4096, 4097, 4098, 4099, 4100, 4101, 4102,
                                                         4103, 4104, 4105, 4112, 4113, 4114, 4115,
                                                         4116, 4117, 4118, 4119, 4120};

// The size of a bitmap id; an id the bench does not know is drawn as a marked 40 x 16 box.
BitmapSize StandInSize(std::uintptr_t bitmap);

// Draws the stand-in of a bitmap with its top left corner at (x, y).
void DrawStandIn(cairo_t* cr, std::uintptr_t bitmap, double x, double y);

} // namespace bench
