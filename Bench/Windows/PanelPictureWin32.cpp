// The Windows bench paints the panel as the simulator does: each element's bitmap is the gauge's
// own bitmap resource of that id, read from the loaded DLL; the texts are drawn by GDI in their
// style. The picture is written as a PNG file, 850 x 432 pixels.
#include "Bench/Output/PanelPicture.h"
#include "Bench/Windows/LoadedGauge.h"
#include "Bench/Windows/PngFile.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <type_traits>
#include <vector>

namespace bench {

namespace {

struct DcRelease {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct ObjectRelease {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using Dc = std::unique_ptr<std::remove_pointer_t<HDC>, DcRelease>;
using GdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, ObjectRelease>;

// An uncompressed 24-bit bitmap resource, as the resource compiler stores it (no file header).
struct Dib {
    int width = 0;
    int height = 0; // rows; `bottomUp` tells their order
    bool bottomUp = true;
    const std::uint8_t* pixels = nullptr;
    std::size_t stride = 0;

    // 0x00RRGGBB of the pixel at column x, row y counted from the top.
    std::uint32_t At(int x, int y) const {
        const std::uint8_t* p = pixels +
                                stride * static_cast<std::size_t>(bottomUp ? height - 1 - y : y) +
                                3 * static_cast<std::size_t>(x);
        return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
};

// The bitmap of an id from the gauge's resources; false when the gauge has none that can be drawn.
bool FindBitmap(HMODULE gauge, fsx::Word id, Dib& dib) {
    if (id == 0 || id > 0xFFFF) {
        return false;
    }
    HRSRC found = FindResourceA(gauge, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2)); // RT_BITMAP
    HGLOBAL loaded = found != nullptr ? LoadResource(gauge, found) : nullptr;
    const auto* data =
        static_cast<const std::uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    const DWORD size = found != nullptr ? SizeofResource(gauge, found) : 0;
    BITMAPINFOHEADER header{};
    if (data == nullptr || size < sizeof header) {
        return false;
    }
    std::memcpy(&header, data, sizeof header);
    // Sizes a damaged resource could give are refused before any arithmetic with them.
    constexpr LONG kLargest = 0xFFFF;
    if (header.biSize < sizeof header || header.biSize > size || header.biBitCount != 24 ||
        header.biCompression != BI_RGB || header.biWidth <= 0 || header.biWidth > kLargest ||
        header.biHeight == 0 || header.biHeight > kLargest || header.biHeight < -kLargest) {
        return false;
    }
    dib.width = header.biWidth;
    dib.height = header.biHeight > 0 ? header.biHeight : -header.biHeight;
    dib.bottomUp = header.biHeight > 0;
    dib.stride = (static_cast<std::size_t>(dib.width) * 3 + 3) & ~std::size_t{3};
    dib.pixels = data + header.biSize;
    return size >= header.biSize + dib.stride * static_cast<std::size_t>(dib.height);
}

struct Box {
    int left;
    int top;
    int right;
    int bottom;
};

class Canvas {
public:
    Canvas(HMODULE module, std::uint32_t* surface) : gauge(module), pixels(surface) {}

    // The bitmap with its top left corner at (x, y), only inside `clip`; with `transparent`, its
    // pure black pixels leave what is under them.
    void Draw(fsx::Word id, int x, int y, Box clip, bool transparent) {
        Dib dib;
        if (!FindBitmap(gauge, id, dib)) {
            missing.insert(id);
            return;
        }
        const int left = std::max({clip.left, x, 0});
        const int top = std::max({clip.top, y, 0});
        const int right = std::min({clip.right, x + dib.width, kPanelWidth});
        const int bottom = std::min({clip.bottom, y + dib.height, kPanelHeight});
        for (int row = top; row < bottom; ++row) {
            for (int column = left; column < right; ++column) {
                const std::uint32_t colour = dib.At(column - x, row - y);
                if (colour != 0 || !transparent) {
                    pixels[row * kPanelWidth + column] = colour;
                }
            }
        }
    }

    // The size of a bitmap, 0 x 0 when the gauge has none.
    Box Size(fsx::Word id) const {
        Dib dib;
        return FindBitmap(gauge, id, dib) ? Box{0, 0, dib.width, dib.height} : Box{0, 0, 0, 0};
    }

    const std::set<fsx::Word>& Missing() const { return missing; }

private:
    HMODULE gauge;
    std::uint32_t* pixels;
    std::set<fsx::Word> missing;
};

constexpr Box kWholePanel{0, 0, kPanelWidth, kPanelHeight};
// The simulator's image flag for bitmaps whose pure black is see-through, as its gauges draw them.
constexpr fsx::Word kImageTransparency = 0x1u;

// A value that is no number moves nothing; a moved picture lands on whole pixels.
int Offset(double value) {
    return std::isfinite(value) && std::fabs(value) < 1e6 ? static_cast<int>(std::lround(value))
                                                          : 0;
}

void DrawText(HDC dc, const PanelElement& e) {
    const PanelTextStyle& s = e.style;
    RECT area{e.position.x, e.position.y, e.position.x + s.width, e.position.y + s.height};
    const GdiObject background(CreateSolidBrush(s.backgroundColour)); // the host's 0x00BBGGRR
    FillRect(dc, &area, static_cast<HBRUSH>(background.get()));
    // The font's em fills the area's height as the host's cell height does.
    const GdiObject font(CreateFontA(
        -static_cast<int>(std::lround(s.height * 0.85)), 0, 0, 0, s.fontWeight, FALSE, FALSE, FALSE,
        static_cast<DWORD>(s.charSet), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
        FIXED_PITCH, s.font[0] != '\0' ? s.font.data() : "Courier New"));
    const HGDIOBJ previous = SelectObject(dc, font.get());
    SetTextColor(dc, s.textColour);
    SetBkMode(dc, TRANSPARENT);
    UINT format = DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP;
    if ((s.alignment & fsx::kTextCentreHorizontally) != 0) {
        format |= DT_CENTER;
    }
    if ((s.alignment & fsx::kTextCentreVertically) != 0) {
        format |= DT_VCENTER;
    }
    std::array<char, 17> text{};
    std::memcpy(text.data(), e.text.data(), e.text.size());
    DrawTextA(dc, text.data(), -1, &area, format);
    SelectObject(dc, previous);
}

void DrawElement(Canvas& canvas, HDC dc, const PanelElement& e) {
    const int x = e.position.x;
    const int y = e.position.y;
    const bool transparent = (e.imageFlags & kImageTransparency) != 0;
    switch (e.kind) {
    case fsx::ElementKind::StaticImage:
    case fsx::ElementKind::Icon:
        canvas.Draw(e.bitmap, x, y, kWholePanel, transparent);
        break;
    case fsx::ElementKind::Slider:
        canvas.Draw(e.bitmap, x + Offset(e.value), y, kWholePanel, transparent);
        break;
    case fsx::ElementKind::MovingImage: {
        // The value picks the part of the picture that shows through the window.
        const Box window = canvas.Size(e.windowBitmap != 0 ? e.windowBitmap : e.bitmap);
        canvas.Draw(e.bitmap, x - Offset(e.value), y, {x, y, x + window.right, y + window.bottom},
                    transparent);
        break;
    }
    case fsx::ElementKind::Text:
        if (e.isText) {
            GdiFlush(); // the bitmaps' pixels are in before GDI draws over them
            DrawText(dc, e);
        }
        break;
    }
}

} // namespace

bool WritePanelPicture(const PanelFrame& frame, const std::string& path, std::string& error) {
    const auto gauge = static_cast<HMODULE>(hostsystem::LoadedGauge());
    if (gauge == nullptr) {
        error = path + ": no gauge is loaded, so there are no bitmaps to draw the panel with";
        return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kPanelWidth;
    info.bmiHeader.biHeight = -kPanelHeight; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const Dc dc(CreateCompatibleDC(nullptr));
    const GdiObject surface(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (dc == nullptr || surface == nullptr || bits == nullptr) {
        error = path + ": the system gave no drawing surface for the panel";
        return false;
    }
    const HGDIOBJ previous = SelectObject(dc.get(), surface.get());
    auto* pixels = static_cast<std::uint32_t*>(bits);
    // What no element covers is black, as an empty panel window.
    std::fill(pixels, pixels + kPanelWidth * kPanelHeight, 0u);
    Canvas canvas(gauge, pixels);
    for (const PanelElement& e : frame) {
        if (!e.Hidden()) {
            DrawElement(canvas, dc.get(), e);
        }
    }
    GdiFlush();

    std::vector<std::uint8_t> rgb;
    rgb.reserve(std::size_t{kPanelWidth} * kPanelHeight * 3);
    for (int i = 0; i < kPanelWidth * kPanelHeight; ++i) {
        rgb.push_back(static_cast<std::uint8_t>(pixels[i] >> 16));
        rgb.push_back(static_cast<std::uint8_t>(pixels[i] >> 8));
        rgb.push_back(static_cast<std::uint8_t>(pixels[i]));
    }
    SelectObject(dc.get(), previous);
    if (!WritePng(path, kPanelWidth, kPanelHeight, rgb, error)) {
        return false;
    }
    if (!canvas.Missing().empty()) {
        error = path + ": the gauge lacks the bitmaps";
        for (const fsx::Word id : canvas.Missing()) {
            error += ' ';
            error += std::to_string(id);
        }
        error += " (drawn without them)";
        return false;
    }
    return true;
}

} // namespace bench
