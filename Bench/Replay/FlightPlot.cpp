#include "Bench/Replay/FlightPlot.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

namespace replay {

void PlotRecorder::Add(const CockpitReading& reading) {
    if (seen++ % stride != 0) {
        return;
    }
    if (rows.size() >= kMostRows) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < rows.size(); i += 2) {
            rows[kept++] = rows[i];
        }
        rows.resize(kept);
        stride *= 2;
        if ((seen - 1) % stride != 0) {
            return;
        }
    }
    rows.push_back(reading);
}

namespace {

constexpr int kWidth = 1800;
constexpr int kHeight = 1200;
constexpr int kColumns = 2;
constexpr int kRows = 4;

struct Colour {
    double r, g, b;
};

struct Line {
    std::size_t quantity; // kQuantities: the flight's lateral acceleration
    const char* label;
    Colour colour;
    double width;
};

struct Panel {
    const char* title;
    const char* unit;
    std::vector<Line> lines;
    bool heading = false; // 0 to 360, lines broken where they wrap
};

constexpr Colour kFlight{0.1, 0.1, 0.1};
constexpr Colour kFirst{0.85, 0.2, 0.15};
constexpr Colour kSecond{0.15, 0.4, 0.85};
constexpr Colour kThird{0.95, 0.6, 0.1};
constexpr Colour kFourth{0.2, 0.65, 0.3};

// The flight's airspeed is named by where it came from: the logger, the ground velocity less
// the wind found from the circles, or the ground speed alone.
const char* AirspeedLegend(const std::vector<CockpitReading>& rows) {
    unsigned seen = 0;
    for (const CockpitReading& r : rows) {
        seen |= 1u << static_cast<unsigned>(r.iasSource);
    }
    static_assert(static_cast<unsigned>(AirspeedSource::Logged) == 0 &&
                  static_cast<unsigned>(AirspeedSource::Wind) == 1 &&
                  static_cast<unsigned>(AirspeedSource::Ground) == 2);
    constexpr const char* kLegends[8] = {
        "flight (IAS)",
        "flight (IAS logged)",
        "flight (IAS: ground - wind)",
        "flight (IAS logged, or ground - wind)",
        "flight (ground speed, no wind known)",
        "flight (IAS logged, or ground speed)",
        "flight (ground speed, then ground - wind)",
        "flight (IAS logged, ground - wind or ground speed)",
    };
    return kLegends[seen];
}

std::vector<Panel> Panels(const std::vector<CockpitReading>& rows) {
    return {
        {"Altitude",
         "m",
         {{kAltitude, "flight", kFlight, 3.0},
          {kAltimeter1, "altimeter 1", kFirst, 1.5},
          {kAltimeter2, "altimeter 2", kSecond, 1.0}}},
        {"Vertical speed",
         "m/s",
         {{kVerticalSpeed, "flight", kFlight, 3.0},
          {kVariometer1, "variometer 1", kFirst, 1.5},
          {kVariometer2, "variometer 2", kSecond, 1.0},
          {kPrecision1, "precision 1", kThird, 1.0},
          {kPrecision2, "precision 2", kFourth, 1.0}}},
        {"Airspeed",
         "km/h",
         {{kIas, AirspeedLegend(rows), kFlight, 3.0},
          {kAirspeed1, "airspeed 1", kFirst, 1.5},
          {kAirspeed2, "airspeed 2", kSecond, 1.0}}},
        {"Heading",
         "deg",
         {{kHeading, "flight", kFlight, 3.0}, {kCompass, "compass", kFirst, 1.5}},
         true},
        {"Bank (right wing down +)",
         "deg",
         {{kBank, "flight", kFlight, 3.0},
          {kAttitude1Bank, "attitude 1", kFirst, 1.5},
          {kAttitude2Bank, "attitude 2", kSecond, 1.0}}},
        {"Pitch",
         "deg",
         {{kPitch, "flight", kFlight, 3.0}, {kAttitude1Pitch, "attitude 1", kFirst, 1.5}}},
        {"Turn rate (right +)",
         "deg/s",
         {{kTurnRate, "flight", kFlight, 3.0},
          {kTurn1, "turn needle 1", kFirst, 1.5},
          {kTurn2, "turn needle 2", kSecond, 1.0}}},
        {"Slip ball (sideways force)",
         "g",
         {{kQuantities, "flight", kFlight, 3.0}, {kSlipBall, "ball", kFirst, 1.5}}},
    };
}

double ValueOf(const CockpitReading& r, std::size_t quantity) {
    return quantity == kQuantities ? r.lateralAccelG : r.values[quantity];
}

// A step of 1, 2 or 5 times a power of ten that gives about `count` ticks over the span.
double TickStep(double span, int count) {
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (raw <= m * power) {
            return m * power;
        }
    }
    return 10.0 * power;
}

void Text(cairo_t* cr, double x, double y, const std::string& text, double alignX = 0.0) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_move_to(cr, x - e.x_advance * alignX, y);
    cairo_show_text(cr, text.c_str());
}

std::string Number(double v, double step) {
    char text[32];
    std::snprintf(text, sizeof text, step >= 1.0 ? "%.0f" : step >= 0.1 ? "%.1f" : "%.2f", v);
    return text;
}

void DrawPanel(cairo_t* cr, const Panel& panel, const std::vector<CockpitReading>& rows, double x0,
               double y0, double w, double h, double tFrom, double tTo) {
    const double left = x0 + 80;
    const double right = x0 + w - 20;
    const double top = y0 + 40;
    const double bottom = y0 + h - 50;

    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const CockpitReading& r : rows) {
        for (const Line& l : panel.lines) {
            const double v = ValueOf(r, l.quantity);
            if (std::isfinite(v)) {
                low = std::min(low, v);
                high = std::max(high, v);
            }
        }
    }
    if (panel.heading) {
        low = 0.0;
        high = 360.0;
    }
    if (!std::isfinite(low)) {
        low = -1.0;
        high = 1.0;
    }
    if (high - low < 1e-3) {
        low -= 0.5;
        high += 0.5;
    }
    const double margin = (high - low) * 0.05;
    low -= panel.heading ? 0.0 : margin;
    high += panel.heading ? 0.0 : margin;
    const double tSpan = std::max(tTo - tFrom, 1e-3);
    const auto X = [&](double t) { return left + (t - tFrom) / tSpan * (right - left); };
    const auto Y = [&](double v) { return bottom - (v - low) / (high - low) * (bottom - top); };

    // Frame, grid and tick labels.
    cairo_set_font_size(cr, 13);
    cairo_set_line_width(cr, 1.0);
    const double yStep = panel.heading ? 90.0 : TickStep(high - low, 5);
    for (double v = std::ceil(low / yStep) * yStep; v <= high + 1e-9; v += yStep) {
        cairo_set_source_rgb(cr, 0.88, 0.88, 0.88);
        cairo_move_to(cr, left, Y(v));
        cairo_line_to(cr, right, Y(v));
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        Text(cr, left - 6, Y(v) + 4, Number(v, yStep), 1.0);
    }
    const double tStep = TickStep(tSpan, 8);
    for (double t = std::ceil(tFrom / tStep) * tStep; t <= tTo + 1e-9; t += tStep) {
        cairo_set_source_rgb(cr, 0.88, 0.88, 0.88);
        cairo_move_to(cr, X(t), top);
        cairo_line_to(cr, X(t), bottom);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        Text(cr, X(t), bottom + 16, Number(t, tStep), 0.5);
    }
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    cairo_rectangle(cr, left, top, right - left, bottom - top);
    cairo_stroke(cr);
    Text(cr, (left + right) / 2, bottom + 36, "flight time (s)", 0.5);
    cairo_save(cr);
    cairo_translate(cr, x0 + 18, (top + bottom) / 2);
    cairo_rotate(cr, -M_PI / 2);
    Text(cr, 0, 0, panel.unit, 0.5);
    cairo_restore(cr);
    cairo_set_font_size(cr, 16);
    cairo_set_source_rgb(cr, 0, 0, 0);
    Text(cr, left, top - 12, panel.title);

    // The lines, clipped to the frame.
    cairo_save(cr);
    cairo_rectangle(cr, left, top, right - left, bottom - top);
    cairo_clip(cr);
    for (const Line& l : panel.lines) {
        cairo_set_source_rgb(cr, l.colour.r, l.colour.g, l.colour.b);
        cairo_set_line_width(cr, l.width);
        bool drawing = false;
        double last = 0.0;
        for (const CockpitReading& r : rows) {
            const double v = ValueOf(r, l.quantity);
            if (!std::isfinite(v)) {
                drawing = false;
                continue;
            }
            if (drawing && !(panel.heading && std::fabs(v - last) > 180.0)) {
                cairo_line_to(cr, X(r.t), Y(v));
            } else {
                cairo_move_to(cr, X(r.t), Y(v));
            }
            drawing = true;
            last = v;
        }
        cairo_stroke(cr);
    }
    cairo_restore(cr);

    // The legend, top right.
    cairo_set_font_size(cr, 13);
    double lx = right - 10;
    for (auto it = panel.lines.rbegin(); it != panel.lines.rend(); ++it) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, it->label, &e);
        lx -= e.x_advance + 34;
        cairo_set_source_rgb(cr, it->colour.r, it->colour.g, it->colour.b);
        cairo_set_line_width(cr, std::max(it->width, 2.0));
        cairo_move_to(cr, lx, top - 16);
        cairo_line_to(cr, lx + 22, top - 16);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        Text(cr, lx + 26, top - 12, it->label);
    }
}

struct SurfaceFree {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextFree {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

} // namespace

bool WriteFlightPlot(const std::vector<CockpitReading>& rows, const std::string& title,
                     const std::string& path, std::string& error) {
    const std::unique_ptr<cairo_surface_t, SurfaceFree> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight));
    const std::unique_ptr<cairo_t, ContextFree> context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_font_size(cr, 22);
    Text(cr, kWidth / 2.0, 32, title, 0.5);

    const double tFrom = rows.empty() ? 0.0 : rows.front().t;
    const double tTo = rows.empty() ? 1.0 : rows.back().t;
    const std::vector<Panel> panels = Panels(rows);
    const double cellW = static_cast<double>(kWidth) / kColumns;
    const double cellH = (kHeight - 50.0) / kRows;
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const double x = static_cast<double>(i % kColumns) * cellW;
        const double y = 50.0 + static_cast<double>(i / kColumns) * cellH;
        DrawPanel(cr, panels[i], rows, x + 10, y, cellW - 20, cellH, tFrom, tTo);
    }
    cairo_surface_flush(surface.get());
    if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
        error = path + ": cannot be written";
        return false;
    }
    return true;
}

} // namespace replay
