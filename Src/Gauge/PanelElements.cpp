#include "Gauge/PanelElements.h"

namespace {

// Drawing order is the chain of children; the background comes first.
fsx::ElementHeader background = {
    fsx::ElementKind::StaticImage, 4096, {0, 0}, 0x1, nullptr, nullptr, nullptr, 0};

constexpr fsx::Word kCursorHand = 5;

constexpr fsx::MouseRect Parent(fsx::PixBox box) {
    return {fsx::MouseRectType::Parent, box, 0, 0, 0, 0, nullptr, 0};
}

constexpr fsx::MouseRect Child(fsx::PixBox box, fsx::Word cursor, fsx::Word flags,
                               fsx::MouseCallback callback) {
    return {fsx::MouseRectType::Child, box, cursor, 0, flags, 0, callback, 0};
}

constexpr fsx::MouseRect EndParent() {
    return {fsx::MouseRectType::EndParent, {0, 0, 0, 0}, 0, 0, 0, 0, nullptr, 0};
}

} // namespace

fsx::ElementHeader* const panelElementList[2] = {&background, nullptr};

// One outer parent without area holds every button: a parent at the button's box with one child
// of the same size that carries the cursor, the flags and the callback.
const fsx::MouseRect panelMouseRects[] = {
    Parent({0, 0, 0, 0}),
    Parent({15, 167, 70, 38}),
    Child({0, 0, 70, 38}, kCursorHand, fsx::kMouseLeftSingle, &CoversStartCallback),
    EndParent(),
    Parent({90, 167, 70, 38}),
    Child({0, 0, 70, 38}, kCursorHand, fsx::kMouseLeftSingle, &CoversConfirmCallback),
    EndParent(),
    EndParent(),
    {fsx::MouseRectType::End, {0, 0, 0, 0}, 0, 0, 0, 0, nullptr, 0},
};
