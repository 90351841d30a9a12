// The host's side of the 2D panel: drawing the gauge's elements and finding the mouse rectangle
// a click falls in.
#include "Bench/Host/HostServices.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace bench {

// ---- the 2D panel -------------------------------------------------------------------------------

namespace {

constexpr std::size_t kMaxElements = 4096;

PanelTextStyle CopyStyle(const fsx::TextStyle& source) {
    PanelTextStyle style;
    style.width = source.width;
    style.height = source.height;
    style.textColour = source.textColour;
    style.backgroundColour = source.backgroundColour;
    style.highlightColour = source.highlightColour;
    if (source.fontName != nullptr) {
        std::strncpy(style.font.data(), source.fontName, style.font.size() - 1);
    }
    style.fontWeight = source.fontWeight;
    style.charSet = source.charSet;
    style.alignment = source.alignment;
    style.characters = source.characters;
    return style;
}

} // namespace

void HostServices::SetGauge(const fsx::GaugeHeader* gauge) {
    panel = gauge;
    panelDrawn = false;
    for (PanelElement& p : panelFrame) {
        p.styleSource = nullptr; // another module's records may sit at the same address
    }
}

// The host's draw: each element's callback gives its value and may change its hidden bit and
// its text; the host keeps what it drew. A text style is copied only when the element's record
// points at another one, and the frame is resized only when the chain changed length.
void HostServices::DrawElements(fsx::ElementHeader* first) {
    // The chain is the module's; a cycle would hang the host, so the walk is bounded.
    std::size_t n = 0;
    for (fsx::ElementHeader* e = first; e != nullptr && n < kMaxElements; e = e->child, ++n) {
        const double value = e->callback != nullptr ? e->callback(e) : 0.0;
        if (n == panelFrame.size()) {
            panelFrame.emplace_back();
        }
        PanelElement& p = panelFrame[n];
        p.value = value;
        p.imageFlags = e->imageFlags;
        p.kind = e->kind;
        p.bitmap = e->bitmap;
        p.position = e->position;
        p.windowBitmap = e->windowBitmap;
        p.hasCallback = e->callback != nullptr;
        p.isText = e->kind == fsx::ElementKind::Text && e->text != nullptr;
        if (p.isText) {
            const std::size_t room =
                std::min<std::size_t>(static_cast<std::size_t>(e->textCapacity), p.text.size() - 1);
            const char* end = static_cast<const char*>(std::memchr(e->text, '\0', room));
            const std::size_t length =
                end != nullptr ? static_cast<std::size_t>(end - e->text) : room;
            std::memcpy(p.text.data(), e->text, length);
            p.text[length] = '\0';
        } else {
            p.text[0] = '\0';
        }
        if (e->textStyle != p.styleSource) {
            p.styleSource = e->textStyle;
            p.style = e->textStyle != nullptr ? CopyStyle(*e->textStyle) : PanelTextStyle{};
        }
    }
    if (n != panelFrame.size()) {
        panelFrame.resize(n);
    }
    panelDrawn = true;
}

double HostServices::PanelValue(std::uint32_t number, ElementPart part) const {
    if (!panelDrawn || number == 0 || number > panelFrame.size()) {
        return std::nan("");
    }
    const PanelElement& p = panelFrame[number - 1];
    switch (part) {
    case ElementPart::Value:
        return p.value;
    case ElementPart::Hidden:
        return p.Hidden() ? 1.0 : 0.0;
    case ElementPart::Text: {
        if (!p.isText) {
            return std::nan("");
        }
        char* end = nullptr;
        const double value = std::strtod(p.text.data(), &end);
        while (end != nullptr && *end == ' ') {
            ++end;
        }
        return end == p.text.data() || (end != nullptr && *end != '\0') ? std::nan("") : value;
    }
    }
    return std::nan("");
}

fsx::Word ZV_STDCALL HostServices::ElementQuery(fsx::ElementHeader*) {
    return 0;
}
fsx::Word ZV_STDCALL HostServices::ElementInstall(fsx::ElementHeader*, fsx::Word) {
    return 0;
}
fsx::Word ZV_STDCALL HostServices::ElementInitialise(fsx::ElementHeader* e) {
    Active().DrawElements(e);
    return 0;
}
fsx::Word ZV_STDCALL HostServices::ElementUpdate(fsx::ElementHeader* e) {
    Active().DrawElements(e);
    return 0;
}
fsx::Word ZV_STDCALL HostServices::ElementGenerate(fsx::ElementHeader*, fsx::Word) {
    return 0;
}
// The picture is made from the frame the last update recorded.
fsx::Word ZV_STDCALL HostServices::ElementPlot(fsx::ElementHeader*) {
    return 0;
}
fsx::Word ZV_STDCALL HostServices::ElementKill(fsx::ElementHeader*) {
    return 0;
}

bool HostServices::Mouse(std::int32_t x, std::int32_t y, std::uint32_t flags) {
    if (panel == nullptr || panel->mouseRects == nullptr) {
        return false;
    }
    struct Frame {
        std::int32_t x;
        std::int32_t y;
        bool inside;
    };
    Frame stack[32];
    int depth = 0;
    stack[0] = {0, 0, true};
    const fsx::MouseRect* best = nullptr;
    int bestDepth = -1;
    fsx::PixPoint bestOrigin{0, 0};

    auto contains = [x, y](std::int32_t bx, std::int32_t by, const fsx::PixBox& box) {
        if (box.w == 0 && box.h == 0) {
            return true; // a box without area does not limit what it holds
        }
        return x >= bx && y >= by && x < bx + box.w && y < by + box.h;
    };

    for (int i = 0; i < 4096; ++i) {
        const fsx::MouseRect& r = panel->mouseRects[i];
        if (r.type == fsx::MouseRectType::End) {
            break;
        }
        const std::int32_t bx = stack[depth].x + r.box.x;
        const std::int32_t by = stack[depth].y + r.box.y;
        switch (r.type) {
        case fsx::MouseRectType::Parent:
            if (depth + 1 < 32) {
                ++depth;
                stack[depth] = {bx, by, stack[depth - 1].inside && contains(bx, by, r.box)};
            }
            break;
        case fsx::MouseRectType::EndParent:
            depth = depth > 0 ? depth - 1 : 0;
            break;
        case fsx::MouseRectType::Child:
            // As the simulator does: a rectangle takes only the mouse events its flags name.
            if (stack[depth].inside && contains(bx, by, r.box) && r.callback != nullptr &&
                (r.flags & flags) != 0 && depth > bestDepth) {
                best = &r;
                bestDepth = depth;
                bestOrigin = {bx, by};
            }
            break;
        default:
            break;
        }
    }
    if (best == nullptr) {
        return false;
    }
    fsx::PixPoint relative{x - bestOrigin.x, y - bestOrigin.y};
    best->callback(&relative, flags);
    return true;
}

} // namespace bench
