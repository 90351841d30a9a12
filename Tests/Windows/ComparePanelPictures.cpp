// Compares two panel pictures (PNG, 850 x 432), for the test that the Windows bench paints the
// panel as the native bench does. Runs on the build machine.
//   compare-panel-pictures same A.png B.png [X,Y,W,H]...
//       the pictures agree outside the given text areas (drawn by different font engines): at
//       most 0.5 % of those pixels differ by more than 48 in a colour channel
//   compare-panel-pictures differ A.png B.png X,Y,W,H
//       the pictures differ in the box: more than one in a hundred of its pixels do
#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SurfaceRelease {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceRelease>;

struct Box {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    bool Holds(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

bool Load(const char* path, Picture& picture) {
    const Surface surface(cairo_image_surface_create_from_png(path));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "%s: not a readable PNG picture\n", path);
        return false;
    }
    // Whatever the file's format, compare its pixels as 24-bit colours.
    picture.width = cairo_image_surface_get_width(surface.get());
    picture.height = cairo_image_surface_get_height(surface.get());
    const Surface rgb(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.width, picture.height));
    cairo_t* cr = cairo_create(rgb.get());
    cairo_set_source_surface(cr, surface.get(), 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(rgb.get());
    const int stride = cairo_image_surface_get_stride(rgb.get());
    const unsigned char* data = cairo_image_surface_get_data(rgb.get());
    picture.pixels.resize(static_cast<std::size_t>(picture.width * picture.height));
    for (int y = 0; y < picture.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        for (int x = 0; x < picture.width; ++x) {
            picture.pixels[static_cast<std::size_t>(y * picture.width + x)] = row[x] & 0xFFFFFFu;
        }
    }
    return true;
}

bool Differ(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFFu) -
                     static_cast<int>((b >> shift) & 0xFFu)) > 48) {
            return true;
        }
    }
    return false;
}

bool ParseBox(const std::string& text, Box& box) {
    return std::sscanf(text.c_str(), "%d,%d,%d,%d", &box.x, &box.y, &box.w, &box.h) == 4 &&
           box.w > 0 && box.h > 0;
}

int Same(const Picture& a, const Picture& b, const std::vector<Box>& texts) {
    long compared = 0;
    long differing = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            bool inText = false;
            for (const Box& t : texts) {
                inText = inText || t.Holds(x, y);
            }
            if (!inText) {
                ++compared;
                differing += Differ(a.At(x, y), b.At(x, y)) ? 1 : 0;
            }
        }
    }
    std::printf("%ld of %ld pixels outside the texts differ\n", differing, compared);
    return differing * 200 <= compared ? 0 : 1;
}

int DifferIn(const Picture& a, const Picture& b, const Box& box) {
    long inside = 0;
    long differing = 0;
    for (int y = box.y; y < box.y + box.h && y < a.height; ++y) {
        for (int x = box.x; x < box.x + box.w && x < a.width; ++x) {
            ++inside;
            differing += Differ(a.At(x, y), b.At(x, y)) ? 1 : 0;
        }
    }
    std::printf("%ld of %ld pixels in the box differ\n", differing, inside);
    return inside > 0 && differing * 100 > inside ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc < 4 || (mode != "same" && mode != "differ")) {
        std::fprintf(stderr, "usage: compare-panel-pictures same|differ A.png B.png ...\n");
        return 2;
    }
    Picture a;
    Picture b;
    if (!Load(argv[2], a) || !Load(argv[3], b)) {
        return 1;
    }
    if (a.width != b.width || a.height != b.height) {
        std::printf("the pictures are %d x %d and %d x %d pixels\n", a.width, a.height, b.width,
                    b.height);
        return 1;
    }
    std::vector<Box> boxes;
    for (int i = 4; i < argc; ++i) {
        Box box;
        const std::string arg = argv[i];
        if (!ParseBox(arg, box)) {
            std::fprintf(stderr, "compare-panel-pictures: %s is no box X,Y,W,H\n", arg.c_str());
            return 2;
        }
        boxes.push_back(box);
    }
    if (mode == "same") {
        return Same(a, b, boxes);
    }
    if (boxes.size() != 1) {
        std::fprintf(stderr, "compare-panel-pictures: differ takes one box\n");
        return 2;
    }
    return DifferIn(a, b, boxes[0]);
}
