#include "Bench/Output/PanelBitmaps.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

namespace bench {

namespace {

struct PanelPoint {
    double x;
    double y;
};

struct Colour {
    double r;
    double g;
    double b;
};

constexpr Colour kPanel{0.23, 0.25, 0.28};
constexpr Colour kPanelDark{0.15, 0.16, 0.18};
constexpr Colour kPanelLine{0.45, 0.48, 0.52};
constexpr Colour kLabel{0.85, 0.87, 0.90};
constexpr Colour kDim{0.55, 0.58, 0.62};
constexpr Colour kHull{0.86, 0.87, 0.89};
constexpr Colour kGlass{0.50, 0.66, 0.78};
constexpr Colour kPilot{0.90, 0.55, 0.20};
constexpr Colour kWater{0.20, 0.45, 0.90};
constexpr Colour kRed{0.85, 0.15, 0.12};
constexpr Colour kGreen{0.18, 0.72, 0.30};
constexpr Colour kBlack{0.05, 0.05, 0.05};

void Set(cairo_t* cr, Colour c) {
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

void Fill(cairo_t* cr, double x, double y, double w, double h, Colour c) {
    Set(cr, c);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

void Frame(cairo_t* cr, double x, double y, double w, double h, Colour c, double line = 1.0) {
    Set(cr, c);
    cairo_set_line_width(cr, line);
    cairo_rectangle(cr, x + line / 2, y + line / 2, w - line, h - line);
    cairo_stroke(cr);
}

void RoundedPath(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// A label centred on (cx, cy).
void Label(cairo_t* cr, const std::string& text, double cx, double cy, double size, Colour c,
           bool bold = true) {
    cairo_select_font_face(cr, "Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    Set(cr, c);
    cairo_move_to(cr, cx - e.width / 2 - e.x_bearing, cy - e.height / 2 - e.y_bearing);
    cairo_show_text(cr, text.c_str());
}

void Triangle(cairo_t* cr, double x, double y, double w, double h, bool left, Colour c) {
    Set(cr, c);
    if (left) {
        cairo_move_to(cr, x + w, y);
        cairo_line_to(cr, x, y + h / 2);
        cairo_line_to(cr, x + w, y + h);
    } else {
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + w, y + h / 2);
        cairo_line_to(cr, x, y + h);
    }
    cairo_close_path(cr);
    cairo_fill(cr);
}

void Button(cairo_t* cr, double x, double y, double w, double h, const std::string& top,
            const std::string& bottom) {
    RoundedPath(cr, x + 1, y + 1, w - 2, h - 2, 4);
    Set(cr, kPanelDark);
    cairo_fill_preserve(cr);
    Set(cr, kPanelLine);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    if (bottom.empty()) {
        Label(cr, top, x + w / 2, y + h / 2, 9, kLabel);
    } else {
        Label(cr, top, x + w / 2, y + h / 2 - 6, 9, kLabel);
        Label(cr, bottom, x + w / 2, y + h / 2 + 7, 9, kLabel);
    }
}

// The glider's top view seen from above: hull and canopy, nose to the left.
void Glider(cairo_t* cr, double x, double y, double w, double h, Colour hull, Colour glass) {
    RoundedPath(cr, x + 8, y + h * 0.18, w - 12, h * 0.64, h * 0.30);
    Set(cr, hull);
    cairo_fill_preserve(cr);
    Set(cr, kBlack);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    RoundedPath(cr, x + w * 0.33, y + h * 0.24, w * 0.64, h * 0.40, h * 0.18);
    Set(cr, glass);
    cairo_fill(cr);
}

// A seated pilot seen from above, head at (cx, cy).
void PilotFigure(cairo_t* cr, double cx, double cy, const std::string& name) {
    Set(cr, kPilot);
    cairo_save(cr);
    cairo_translate(cr, cx + 14, cy);
    cairo_scale(cr, 1.0, 1.6);
    cairo_arc(cr, 0, 0, 11, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_fill(cr);
    Set(cr, kBlack);
    cairo_arc(cr, cx, cy, 11, 0, 2 * M_PI);
    cairo_fill(cr);
    Label(cr, name, cx, cy, 9, kLabel);
}

void WaterTank(cairo_t* cr, double cx, double cy) {
    RoundedPath(cr, cx - 20, cy - 16, 40, 32, 6);
    Set(cr, kWater);
    cairo_fill_preserve(cr);
    Set(cr, kBlack);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    Label(cr, "WATER", cx, cy, 8, kLabel);
}

// ---- the pictures by id ---------------------------------------------------------------------

void Background(cairo_t* cr) {
    Fill(cr, 0, 0, 850, 432, kPanel);
    Label(cr, "ZELVAN  SERVICE PANEL", 425, 18, 14, kLabel);

    // Failures: the lamp that repairs, the slider with its arrows and its four levels.
    Label(cr, "FAILURES", 60, 60, 11, kLabel);
    Set(cr, kPanelDark);
    cairo_arc(cr, 161, 61, 9, 0, 2 * M_PI);
    cairo_fill(cr);
    Label(cr, "REPAIR", 161, 40, 7, kDim);
    Triangle(cr, 13, 81, 8, 11, true, kLabel);
    Triangle(cr, 157, 81, 8, 11, false, kLabel);
    Fill(cr, 22, 85, 134, 3, kPanelDark);
    // Ticks where a level begins, the level's number in the middle of its range.
    for (const int at : {0, 41, 81, 125}) {
        Fill(cr, 22 + at + 2.5, 94, 1, 4, kDim);
    }
    const struct {
        double at;
        const char* name;
    } levels[] = {{20.5, "level 1"}, {61, "2"}, {103, "3"}};
    for (const auto& level : levels) {
        Label(cr, level.name, 22 + level.at + 3, 104, 7, kDim, false);
    }

    // Parking.
    Label(cr, "PARKING", 87, 156, 11, kLabel);
    Button(cr, 15, 167, 70, 38, "COVERS", "ON");
    Button(cr, 90, 167, 70, 38, "COVERS", "OFF");

    // Batteries: a label over each state window, a charge track under it. The track is green
    // as far as a full charge; the bar is a cover that slides right as the charge grows.
    const struct {
        double x;
        double stateY;
        double barY;
        const char* name;
    } batteries[] = {
        {308, 95, 111, "BATTERY 1"}, {442, 95, 111, "BATTERY 2"}, {697, 69, 87, "RADIO BATTERY"}};
    for (const auto& b : batteries) {
        Label(cr, b.name, b.x + 25.5, b.stateY - 8, 9, kLabel);
        Fill(cr, b.x - 1, b.stateY - 1, 53, 18, kPanelDark);
        Fill(cr, b.x, b.barY, 103, 5, kPanelDark);
        Fill(cr, b.x, b.barY, 51, 5, kGreen);
        Label(cr, "empty", b.x + 8, b.barY + 11, 7, kDim, false);
        Label(cr, "full", b.x + 51, b.barY + 11, 7, kDim, false);
    }

    // Seats: the three buttons and the empty cabin.
    Label(cr, "SEATS", 330, 141, 11, kLabel);
    Button(cr, 387, 123, 36, 36, "FRONT", "");
    Button(cr, 546, 87, 36, 36, "BACK", "");
    Button(cr, 603, 87, 36, 36, "TANK", "");
    Glider(cr, 279, 193, 396, 164, kPanelDark, {0.30, 0.33, 0.37});
    const double dash[] = {3.0, 3.0};
    for (const double cx : {465.0, 628.0}) {
        Set(cr, kLabel);
        cairo_set_line_width(cr, 1.0);
        cairo_set_dash(cr, dash, 2, 0);
        cairo_arc(cr, cx, 238, 11, 0, 2 * M_PI);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
    }
    Label(cr, "no crew", 546, 272, 11, kLabel);
}

// A top view drawn at (x, y); its element sits at `origin` on the panel. The seats are drawn where
// the panel's pilot buttons below them are, whichever element shows the view.
void TopView(cairo_t* cr, double x, double y, double w, double h, PanelPoint origin, bool backPilot,
             bool tank) {
    constexpr PanelPoint kFrontSeat{465, 238};
    constexpr double kBackSeatX = 628;
    const double frontX = x + kFrontSeat.x - origin.x;
    const double backX = x + kBackSeatX - origin.x;
    const double seatY = y + kFrontSeat.y - origin.y;
    Glider(cr, x, y, w, h, kHull, kGlass);
    PilotFigure(cr, frontX, seatY, "1");
    if (backPilot) {
        PilotFigure(cr, backX, seatY, "2");
    }
    if (tank) {
        WaterTank(cr, backX, seatY);
    }
}

void StateStrip(cairo_t* cr, double x, double y) {
    const struct {
        Colour colour;
        const char* name;
    } states[] = {{{0.40, 0.42, 0.45}, "NO DATA"}, {kRed, "FLAT"}, {kGreen, "OK"}};
    for (int i = 0; i < 3; ++i) {
        Fill(cr, x + 51 * i, y, 51, 16, states[i].colour);
        Label(cr, states[i].name, x + 51 * i + 25.5, y + 8, 8, kLabel);
    }
}

void MassBackground(cairo_t* cr, double x, double y) {
    Fill(cr, x, y, 45, 29, kPanelDark);
    Triangle(cr, x + 1, y + 4, 6, 10, true, kLabel);
    Triangle(cr, x + 38, y + 4, 6, 10, false, kLabel);
    Label(cr, "kg", x + 22.5, y + 24, 8, kDim, false);
}

void PilotButton(cairo_t* cr, double x, double y, bool lit) {
    RoundedPath(cr, x + 0.5, y + 0.5, 40, 14, 3);
    Set(cr, lit ? kGreen : kPanelDark);
    cairo_fill_preserve(cr);
    Set(cr, kPanelLine);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    Label(cr, "PILOT", x + 20.5, y + 7.5, 8, lit ? kBlack : kDim);
}

void Lamp(cairo_t* cr, double x, double y) {
    Set(cr, kRed);
    cairo_arc(cr, x + 11, y + 10, 9, 0, 2 * M_PI);
    cairo_fill_preserve(cr);
    Set(cr, {1.0, 0.75, 0.70});
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    Label(cr, "!", x + 11, y + 10, 12, {1.0, 1.0, 1.0});
}

// A bitmap the gauge carries but no element shows.
void Placeholder(cairo_t* cr, double x, double y) {
    Fill(cr, x, y, 8, 8, kPanelDark);
}

void Unknown(cairo_t* cr, std::uintptr_t bitmap, double x, double y) {
    Fill(cr, x, y, 40, 16, {0.9, 0.0, 0.9});
    Label(cr, std::to_string(bitmap), x + 20, y + 8, 8, kBlack);
}

// The ids the element tree names but never shows: small plain placeholders.
bool Unused(std::uintptr_t bitmap) {
    constexpr std::uintptr_t kUnused[] = {4100, 4101, 4103, 4113, 4114, 4116, 4119};
    return std::find(std::begin(kUnused), std::end(kUnused), bitmap) != std::end(kUnused);
}

} // namespace

BitmapSize StandInSize(std::uintptr_t bitmap) {
    if (Unused(bitmap)) {
        return {8, 8};
    }
    switch (bitmap) {
    case 4096:
        return {850, 432};
    case 4097:
        return {52, 5};
    case 4098:
        return {153, 16};
    case 4099:
        return {51, 16};
    case 4102:
        return {45, 29};
    case 4104:
        return {22, 20};
    case 4105:
    case 4112:
        return {41, 15};
    case 4115:
    case 4117:
        return {396, 164};
    case 4118:
        return {6, 14};
    case 4120:
        return {386, 157};
    default:
        return {40, 16};
    }
}

void DrawStandIn(cairo_t* cr, std::uintptr_t bitmap, double x, double y) {
    cairo_save(cr);
    // Nothing of a picture leaves its own box.
    const BitmapSize size = StandInSize(bitmap);
    cairo_rectangle(cr, x, y, size.width, size.height);
    cairo_clip(cr);
    if (Unused(bitmap)) {
        Placeholder(cr, x, y);
        cairo_restore(cr);
        return;
    }
    switch (bitmap) {
    case 4096:
        Background(cr);
        break;
    case 4097: // charge bar: covers the track from the charge level on, its edge marked
        Fill(cr, x, y, 52, 5, kPanelDark);
        Fill(cr, x, y, 1, 5, kLabel);
        break;
    case 4098:
        StateStrip(cr, x, y);
        break;
    case 4099: // the strip's window: the strip is seen through it
        break;
    case 4102:
        MassBackground(cr, x, y);
        break;
    case 4104:
        Lamp(cr, x, y);
        break;
    case 4105:
        PilotButton(cr, x, y, true);
        break;
    case 4112:
        PilotButton(cr, x, y, false);
        break;
    case 4115:
        TopView(cr, x, y, 396, 164, {279, 193}, false, false);
        break;
    case 4117:
        TopView(cr, x, y, 396, 164, {279, 193}, false, true);
        break;
    case 4118: // slider knob
        Fill(cr, x, y, 6, 14, {1.0, 1.0, 1.0});
        Frame(cr, x, y, 6, 14, kBlack);
        break;
    case 4120:
        TopView(cr, x, y, 386, 157, {284, 192}, true, false);
        break;
    default:
        Unknown(cr, bitmap, x, y);
        break;
    }
    cairo_restore(cr);
}

} // namespace bench
