#include "Bench/Output/PanelPicture.h"

#include "Bench/Output/PanelBitmaps.h"

#include <cairo.h>

#include <cmath>
#include <memory>

namespace bench {

namespace {

struct SurfaceRelease {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextRelease {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

// The host's colours are 0x00BBGGRR.
void SetHostColour(cairo_t* cr, std::uint32_t colour) {
    cairo_set_source_rgb(cr, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                         ((colour >> 16) & 0xFF) / 255.0);
}

// A value that is no number moves nothing.
double Offset(double value) {
    return std::isfinite(value) ? value : 0.0;
}

void DrawText(cairo_t* cr, const PanelElement& e) {
    const PanelTextStyle& s = e.style;
    const double x = e.position.x;
    const double y = e.position.y;
    SetHostColour(cr, s.backgroundColour);
    cairo_rectangle(cr, x, y, s.width, s.height);
    cairo_fill(cr);

    cairo_save(cr);
    cairo_rectangle(cr, x, y, s.width, s.height);
    cairo_clip(cr);
    cairo_select_font_face(cr, s.font[0] != '\0' ? s.font.data() : "Monospace",
                           CAIRO_FONT_SLANT_NORMAL,
                           s.fontWeight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    // The font fills the area's height as the host's cell height does.
    cairo_set_font_size(cr, s.height * 0.85);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    cairo_text_extents_t text;
    cairo_text_extents(cr, e.text.data(), &text);
    double tx = x;
    if ((s.alignment & fsx::kTextCentreHorizontally) != 0) {
        tx = x + (s.width - text.x_advance) / 2;
    }
    double ty = y + font.ascent;
    if ((s.alignment & fsx::kTextCentreVertically) != 0) {
        ty = y + (s.height + font.ascent - font.descent) / 2;
    }
    SetHostColour(cr, s.textColour);
    cairo_move_to(cr, tx, ty);
    cairo_show_text(cr, e.text.data());
    cairo_restore(cr);
}

void DrawElement(cairo_t* cr, const PanelElement& e) {
    const double x = e.position.x;
    const double y = e.position.y;
    switch (e.kind) {
    case fsx::ElementKind::StaticImage:
    case fsx::ElementKind::Icon:
        DrawStandIn(cr, e.bitmap, x, y);
        break;
    case fsx::ElementKind::Slider:
        DrawStandIn(cr, e.bitmap, x + Offset(e.value), y);
        break;
    case fsx::ElementKind::MovingImage: {
        // The value picks the part of the picture that shows through the window.
        const BitmapSize window = StandInSize(e.windowBitmap != 0 ? e.windowBitmap : e.bitmap);
        cairo_save(cr);
        cairo_rectangle(cr, x, y, window.width, window.height);
        cairo_clip(cr);
        DrawStandIn(cr, e.bitmap, x - Offset(e.value), y);
        cairo_restore(cr);
        break;
    }
    case fsx::ElementKind::Text:
        if (e.isText) {
            DrawText(cr, e);
        }
        break;
    }
}

using Surface = std::unique_ptr<cairo_surface_t, SurfaceRelease>;

Surface Paint(const PanelFrame& frame) {
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPanelWidth, kPanelHeight));
    const std::unique_ptr<cairo_t, ContextRelease> cr(cairo_create(surface.get()));
    // What no element covers is black, as an empty panel window.
    cairo_set_source_rgb(cr.get(), 0, 0, 0);
    cairo_paint(cr.get());
    for (const PanelElement& e : frame) {
        if (!e.Hidden()) {
            DrawElement(cr.get(), e);
        }
    }
    cairo_surface_flush(surface.get());
    return surface;
}

cairo_status_t AppendPng(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

bool WritePanelPicture(const PanelFrame& frame, const std::string& path, std::string& error) {
    const Surface surface = Paint(frame);
    const cairo_status_t status = cairo_surface_write_to_png(surface.get(), path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        error = path + ": cannot be written (" + cairo_status_to_string(status) + ")";
        return false;
    }
    return true;
}

std::string EncodePanelPicture(const PanelFrame& frame) {
    const Surface surface = Paint(frame);
    std::string png;
    if (cairo_surface_write_to_png_stream(surface.get(), &AppendPng, &png) !=
        CAIRO_STATUS_SUCCESS) {
        png.clear();
    }
    return png;
}

} // namespace bench
