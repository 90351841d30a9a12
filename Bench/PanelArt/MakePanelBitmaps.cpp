// Writes the gauge's bitmaps as Windows BMP files, 24 bits per pixel, one ID.bmp per bitmap id,
// from the same drawings the bench paints its panel pictures with. The resource compiler takes
// them into the gauge DLL. What a drawing leaves uncovered stays pure black, which the simulator
// shows see-through (the drawings' own black is a shade lighter). Runs at build time on the build
// machine:
//   make-panel-bitmaps FOLDER
#include "Bench/Output/PanelBitmaps.h"

#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SurfaceRelease {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextRelease {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

void PutLe(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

// A bottom-up 24-bit DIB with its file header; rows are padded to four bytes.
std::vector<unsigned char> EncodeBmp(cairo_surface_t* surface) {
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(height);
    constexpr std::uint32_t kHeaders = 14 + 40;

    std::vector<unsigned char> out;
    out.reserve(kHeaders + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    PutLe(out, kHeaders + pixelBytes, 4);
    PutLe(out, 0, 4); // reserved
    PutLe(out, kHeaders, 4);
    PutLe(out, 40, 4); // BITMAPINFOHEADER
    PutLe(out, static_cast<std::uint32_t>(width), 4);
    PutLe(out, static_cast<std::uint32_t>(height), 4); // positive: bottom-up
    PutLe(out, 1, 2);                                  // planes
    PutLe(out, 24, 2);                                 // bits per pixel
    PutLe(out, 0, 4);                                  // BI_RGB
    PutLe(out, pixelBytes, 4);
    PutLe(out, 2835, 4); // 72 dpi
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int row = height - 1; row >= 0; --row) {
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(data + row * stride);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = pixels[x]; // cairo's RGB24: 0x00RRGGBB
            out.push_back(static_cast<unsigned char>(rgb));
            out.push_back(static_cast<unsigned char>(rgb >> 8));
            out.push_back(static_cast<unsigned char>(rgb >> 16));
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 3; pad < rowBytes; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

bool WriteBitmap(std::uintptr_t id, const std::string& folder) {
    const bench::BitmapSize size = bench::StandInSize(id);
    const std::unique_ptr<cairo_surface_t, SurfaceRelease> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.width, size.height));
    const std::unique_ptr<cairo_t, ContextRelease> cr(cairo_create(surface.get()));
    cairo_set_source_rgb(cr.get(), 0, 0, 0);
    cairo_paint(cr.get());
    bench::DrawStandIn(cr.get(), id, 0, 0);
    cairo_surface_flush(surface.get());
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "make-panel-bitmaps: bitmap %zu cannot be drawn\n",
                     static_cast<std::size_t>(id));
        return false;
    }
    const std::vector<unsigned char> bmp = EncodeBmp(surface.get());
    const std::string path = folder + "/" + std::to_string(id) + ".bmp";
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    if (!file.flush()) {
        std::fprintf(stderr, "make-panel-bitmaps: %s cannot be written\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-panel-bitmaps FOLDER\n");
        return 2;
    }
    for (const std::uintptr_t id : bench::kPanelBitmapIds) {
        if (!WriteBitmap(id, argv[1])) {
            return 1;
        }
    }
    return 0;
}
