#include "Bench/Replay/FlightPlot.h"

#include "Bench/Replay/Derivation.h"
#include "Bench/Replay/PlotAxes.h"

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
    std::vector<Line> lines; // the flight's first: drawn last, over the instruments
    bool heading = false;    // 0 to 360, lines split where they cross north
    bool meanOnLong = false; // a long flight shows the mean over a window, not every second
};

constexpr Colour kFlight{0.0, 0.0, 0.0};
constexpr Colour kFirst{0.9, 0.3, 0.2};
constexpr Colour kSecond{0.3, 0.55, 0.95};
constexpr Colour kThird{0.95, 0.65, 0.15};
constexpr Colour kFourth{0.35, 0.75, 0.4};
constexpr double kFlightWidth = 1.3;

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
         {{kAltitude, "flight", kFlight, kFlightWidth},
          {kAltimeter1, "altimeter 1", kFirst, 4.0},
          {kAltimeter2, "altimeter 2", kSecond, 2.0}}},
        {"Vertical speed",
         "m/s",
         {{kVerticalSpeed, "flight", kFlight, kFlightWidth},
          {kVariometer1, "variometer 1", kFirst, 4.0},
          {kVariometer2, "variometer 2", kSecond, 2.5},
          {kPrecision1, "precision 1", kThird, 2.0},
          {kPrecision2, "precision 2", kFourth, 1.5}},
         false,
         true},
        {"Airspeed",
         "km/h",
         {{kIas, AirspeedLegend(rows), kFlight, kFlightWidth},
          {kAirspeed1, "airspeed 1", kFirst, 4.0},
          {kAirspeed2, "airspeed 2", kSecond, 2.0}}},
        {"Heading",
         "deg",
         {{kHeading, "flight", kFlight, kFlightWidth}, {kCompass, "compass", kFirst, 4.0}},
         true},
        {"Bank (right wing down +)",
         "deg",
         {{kBank, "flight", kFlight, kFlightWidth},
          {kAttitude1Bank, "attitude 1", kFirst, 4.0},
          {kAttitude2Bank, "attitude 2", kSecond, 2.0}}},
        {"Pitch",
         "deg",
         {{kPitch, "flight", kFlight, kFlightWidth}, {kAttitude1Pitch, "attitude 1", kFirst, 4.0}}},
        {"Turn rate (right +)",
         "deg/s",
         {{kTurnRate, "flight", kFlight, kFlightWidth},
          {kTurn1, "turn needle 1", kFirst, 4.0},
          {kTurn2, "turn needle 2", kSecond, 2.0}}},
        {"Slip ball (sideways force)",
         "g",
         {{kQuantities, "flight", kFlight, kFlightWidth}, {kSlipBall, "ball", kFirst, 4.0}}},
    };
}

double ValueOf(const CockpitReading& r, std::size_t quantity) {
    return quantity == kQuantities ? r.lateralAccelG : r.values[quantity];
}

// One line's values against the rows; on a long flight a panel that asks for it shows, at each
// row, the mean over `window` seconds about it (a thermal's climb, not each second's gusts).
std::vector<double> Series(const std::vector<CockpitReading>& rows, std::size_t quantity,
                           double window) {
    std::vector<double> v(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        v[i] = ValueOf(rows[i], quantity);
    }
    if (window <= 0.0) {
        return v;
    }
    std::vector<double> mean(rows.size(), std::nan(""));
    double sum = 0.0;
    std::size_t count = 0;
    std::size_t lo = 0;
    std::size_t hi = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (; hi < rows.size() && rows[hi].t <= rows[i].t + window / 2; ++hi) {
            if (std::isfinite(v[hi])) {
                sum += v[hi];
                ++count;
            }
        }
        for (; rows[lo].t < rows[i].t - window / 2; ++lo) {
            if (std::isfinite(v[lo])) {
                sum -= v[lo];
                --count;
            }
        }
        if (count > 0 && std::isfinite(v[i])) {
            mean[i] = sum / static_cast<double>(count);
        }
    }
    return mean;
}

// The spans in which one of the panel's instruments had no power, each with which of them.
struct DeadSpan {
    double from;
    double to;
    std::string who;
};

std::vector<DeadSpan> DeadSpans(const Panel& panel, const std::vector<CockpitReading>& rows) {
    std::vector<DeadSpan> spans;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string who;
        for (const Line& l : panel.lines) {
            if (const Consumer c = PowerOf(l.quantity);
                c != kConsumers && !rows[i].power.powered[c]) {
                who += (who.empty() ? "" : ", ") + std::string(l.label);
            }
        }
        // A span runs from the first row without power to the row after the last.
        const double end = i + 1 < rows.size() ? rows[i + 1].t : rows[i].t;
        if (!who.empty() && !spans.empty() && spans.back().who == who &&
            spans.back().to >= rows[i].t) {
            spans.back().to = end;
        } else if (!who.empty()) {
            spans.push_back({rows[i].t, end, who});
        }
    }
    return spans;
}

void Text(cairo_t* cr, double x, double y, const std::string& text, double alignX = 0.0) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_move_to(cr, x - e.x_advance * alignX, y);
    cairo_show_text(cr, text.c_str());
}

void DrawPanel(cairo_t* cr, const Panel& panel, const std::vector<CockpitReading>& rows, double x0,
               double y0, double w, double h, const TimeAxis& time) {
    const double left = x0 + 80;
    const double right = x0 + w - 20;
    const double top = y0 + 40;
    const double bottom = y0 + h - 50;

    const double window = panel.meanOnLong ? MeanWindow(time.to - time.from) : 0.0;
    std::vector<std::vector<double>> series;
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const Line& l : panel.lines) {
        series.push_back(Series(rows, l.quantity, window));
        for (const double v : series.back()) {
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
    const double tSpan = std::max(time.to - time.from, 1e-3);
    const auto X = [&](double t) { return left + (t - time.from) / tSpan * (right - left); };
    const auto Y = [&](double v) { return bottom - (v - low) / (high - low) * (bottom - top); };

    // The spans without power, shaded and named under everything else, so that no line hides
    // behind them.
    cairo_set_font_size(cr, 12);
    for (const DeadSpan& d : DeadSpans(panel, rows)) {
        cairo_set_source_rgb(cr, 0.93, 0.9, 0.86);
        cairo_rectangle(cr, X(d.from), top, std::max(X(d.to) - X(d.from), 1.0), bottom - top);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.55, 0.45, 0.35);
        const std::string label = "no power: " + d.who;
        cairo_text_extents_t e;
        cairo_text_extents(cr, label.c_str(), &e);
        Text(cr, std::max(left + 4, std::min(X(d.from) + 4, right - 4 - e.x_advance)), top + 14,
             label);
    }

    // Frame, grid and tick labels.
    cairo_set_font_size(cr, 13);
    cairo_set_line_width(cr, 1.0);
    const double yStep = panel.heading ? 90.0 : TickStep(high - low, 5);
    for (double v = std::ceil(low / yStep) * yStep; v <= high + 1e-9; v += yStep) {
        cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
        cairo_move_to(cr, left, Y(v));
        cairo_line_to(cr, right, Y(v));
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        Text(cr, left - 6, Y(v) + 4, Number(v, yStep), 1.0);
    }
    for (const double t : time.ticks) {
        cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
        cairo_move_to(cr, X(t), top);
        cairo_line_to(cr, X(t), bottom);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        Text(cr, X(t), bottom + 16, time.Label(t), 0.5);
    }
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    cairo_rectangle(cr, left, top, right - left, bottom - top);
    cairo_stroke(cr);
    Text(cr, (left + right) / 2, bottom + 36, time.title, 0.5);
    cairo_save(cr);
    cairo_translate(cr, x0 + 18, (top + bottom) / 2);
    cairo_rotate(cr, -M_PI / 2);
    Text(cr, 0, 0,
         window > 0.0
             ? std::string(panel.unit) + ", mean over " + std::to_string(std::lround(window)) + " s"
             : std::string(panel.unit),
         0.5);
    cairo_restore(cr);
    cairo_set_font_size(cr, 16);
    cairo_set_source_rgb(cr, 0, 0, 0);
    Text(cr, left, top - 12, panel.title);

    // The lines, clipped to the frame: the instruments first, the flight's own over them.
    cairo_save(cr);
    cairo_rectangle(cr, left, top, right - left, bottom - top);
    cairo_clip(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (std::size_t n = 0; n < panel.lines.size(); ++n) {
        // Instruments in the table's order, then the flight (the first line).
        const std::size_t i = (n + 1) % panel.lines.size();
        const Line& l = panel.lines[i];
        const std::vector<double>& v = series[i];
        cairo_set_source_rgb(cr, l.colour.r, l.colour.g, l.colour.b);
        cairo_set_line_width(cr, l.width);
        bool drawing = false;
        double last = 0.0;
        for (std::size_t j = 0; j < rows.size(); ++j) {
            const double t = rows[j].t;
            if (!std::isfinite(v[j])) {
                drawing = false;
                continue;
            }
            if (!drawing) {
                cairo_move_to(cr, X(t), Y(v[j]));
            } else if (!panel.heading) {
                cairo_line_to(cr, X(t), Y(v[j]));
            } else {
                // The short way round: a turn across north leaves at one edge and comes back
                // at the other, with no line across the panel.
                const double change = HeadingChange(last, v[j]);
                const double end = last + change;
                const double edge = end >= 360.0 ? 360.0 : end < 0.0 ? 0.0 : -1.0;
                if (edge >= 0.0) {
                    const double tEdge =
                        rows[j - 1].t + (t - rows[j - 1].t) * (edge - last) / change;
                    cairo_line_to(cr, X(tEdge), Y(edge));
                    cairo_move_to(cr, X(tEdge), Y(360.0 - edge));
                }
                cairo_line_to(cr, X(t), Y(v[j]));
            }
            drawing = true;
            last = v[j];
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

    const TimeAxis time(rows.empty() ? 0.0 : rows.front().t, rows.empty() ? 1.0 : rows.back().t);
    const std::vector<Panel> panels = Panels(rows);
    const double cellW = static_cast<double>(kWidth) / kColumns;
    const double cellH = (kHeight - 50.0) / kRows;
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const double x = static_cast<double>(i % kColumns) * cellW;
        const double y = 50.0 + static_cast<double>(i / kColumns) * cellH;
        DrawPanel(cr, panels[i], rows, x + 10, y, cellW - 20, cellH, time);
    }
    cairo_surface_flush(surface.get());
    if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
        error = path + ": cannot be written";
        return false;
    }
    return true;
}

} // namespace replay
