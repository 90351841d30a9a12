#pragma once

#include "Lib/FSX/GaugeAbi.h"

#include <array>
#include <cstdint>
#include <vector>

namespace bench {

// A text element's style as the host read it from the module's record.
struct PanelTextStyle {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t textColour = 0xFFFFFF;
    std::uint32_t backgroundColour = 0;
    std::uint32_t highlightColour = 0;
    std::array<char, 32> font{};
    std::int32_t fontWeight = 400;
    std::int32_t charSet = 0;
    fsx::Word alignment = 0;
    std::int32_t characters = 0;
};

// What the host drew of one element of the panel at its last draw: a copy, so that the picture
// can still be made after the module that owned the records has gone.
struct PanelElement {
    fsx::ElementKind kind = fsx::ElementKind::StaticImage;
    fsx::Word bitmap = 0;
    fsx::PixPoint position{0, 0};
    fsx::Word imageFlags = 0;
    fsx::Word windowBitmap = 0;
    bool hasCallback = false;
    double value = 0.0; // what the callback returned; 0 without one
    bool isText = false;
    std::array<char, 16> text{}; // the text the callback wrote, always ended
    PanelTextStyle style;        // for a text element
    const fsx::TextStyle* styleSource = nullptr;

    bool Hidden() const { return (imageFlags & fsx::kImageHidden) != 0; }
};

using PanelFrame = std::vector<PanelElement>;

// What a scenario or the trace reads of an element: "element:N", "element:N:hidden",
// "element:N:text".
enum class ElementPart { Value, Hidden, Text };

} // namespace bench
