#pragma once

#include "Lib/FSX/GaugeAbi.h"

// The 2D service panel of gauge "main": its element tree and its mouse rectangles.
extern fsx::ElementHeader* const panelElementList[2];
extern const fsx::MouseRect panelMouseRects[];

// The two covers buttons of the panel.
std::int32_t ZV_STDCALL CoversStartCallback(fsx::PixPoint* point, std::uint32_t flags);
std::int32_t ZV_STDCALL CoversConfirmCallback(fsx::PixPoint* point, std::uint32_t flags);
