#pragma once

#include "Lib/FSX/GaugeAbi.h"
#include "Lib/HostEntry.h"

#include <cstdint>
#include <string_view>

// What every element and mouse callback of the service panel shares.
namespace panel {

// An element's value for the host; a body that throws is reported and the value is 0.
template <typename Body> double ElementValue(std::string_view where, Body&& body) noexcept {
    double value = 0.0;
    except::GuardHostEntry(where, [&value, &body] { value = body(); });
    return value;
}

// A mouse action for the host, which always receives 0.
template <typename Body> std::int32_t MouseAction(std::string_view where, Body&& body) noexcept {
    except::GuardHostEntry(where, body);
    return 0;
}

// Shows or hides an element through the hidden bit of its image flags; the picture is its only
// one, so the value is 0.
inline double ShowIf(fsx::ElementHeader* element, bool shown) {
    if (element != nullptr) {
        element->imageFlags = shown ? element->imageFlags & ~fsx::kImageHidden
                                    : element->imageFlags | fsx::kImageHidden;
    }
    return 0.0;
}

// The host's wheel bits in a mouse event's flags.
inline bool WheelUp(std::uint32_t flags) {
    return (flags & fsx::kMouseWheelUp) != 0;
}
inline bool WheelDown(std::uint32_t flags) {
    return (flags & fsx::kMouseWheelDown) != 0;
}

} // namespace panel
