#pragma once

#include "Bench/Output/PanelFrame.h"

#include <string>

namespace bench {

constexpr int kPanelWidth = 850;
constexpr int kPanelHeight = 432;

// Writes the panel as the host draws it from the elements of a frame, 850 x 432 pixels, to a PNG
// file: each element's stand-in bitmap at its position, hidden elements left out, sliders moved
// right by their value, moving images seen through their window, texts in their style. False,
// with the reason, when the file cannot be written.
bool WritePanelPicture(const PanelFrame& frame, const std::string& path, std::string& error);

// The same picture as the bytes of a PNG file; empty when it cannot be encoded.
std::string EncodePanelPicture(const PanelFrame& frame);

} // namespace bench
