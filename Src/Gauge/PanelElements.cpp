// The service panel's element tree and mouse rectangles, as the host reads them.
#include "Gauge/PanelElements.h"

namespace {

using fsx::ElementHeader;
using fsx::ElementKind;
using fsx::Word;

constexpr Word kBackgroundFlags = 0x1;
constexpr Word kImageFlags = 0x3;
constexpr Word kTextFlags = 0x6;

// Bitmap ids of the panel's pictures.
enum Bitmap : Word {
    kBackground = 4096,
    kChargeBar = 4097,
    kBatteryStrip = 4098,
    kBatteryStripWindow = 4099,
    kMassBackground = 4102,
    kFailureLamp = 4104,
    kPilotButtonLit = 4105,
    kPilotButton = 4112,
    kFrontPilotView = 4115,
    kFrontPilotTankView = 4117,
    kSliderKnob = 4118,
    kTwoPilotsView = 4120,
};

// The mass texts: two digits, white on dark grey, centred on one line.
constexpr fsx::TextStyle kMassStyle = {
    23,
    18,
    0xFFFFFF,
    0x212121,
    0x5C5C5C,
    "Courier New",
    400,
    1,
    fsx::kTextCentreHorizontally | fsx::kTextCentreVertically | fsx::kTextSingleLine,
    2,
};
constexpr Word kMassTextBytes = 8;
char frontMassText[kMassTextBytes] = "";
char backMassText[kMassTextBytes] = "";

constexpr ElementHeader Image(ElementKind kind, Word bitmap, std::int32_t x, std::int32_t y,
                              fsx::ElementCallback callback, ElementHeader* next) {
    return {kind, bitmap, {x, y}, kImageFlags, callback, next, nullptr, 0, 0, nullptr};
}

constexpr ElementHeader Text(std::int32_t x, std::int32_t y, char* buffer,
                             fsx::ElementCallback callback, ElementHeader* next) {
    return {ElementKind::Text, 0, {x, y},     kTextFlags, callback, next, buffer,
            kMassTextBytes,    0, &kMassStyle};
}

constexpr ElementHeader Strip(std::int32_t x, std::int32_t y, fsx::ElementCallback callback,
                              ElementHeader* next) {
    return {
        ElementKind::MovingImage, kBatteryStrip, {x, y}, kImageFlags, callback, next, nullptr, 0,
        kBatteryStripWindow,      nullptr};
}

// Each element's child is the next one drawn, so the records are made from the last to the first.
ElementHeader radioBatteryBar =
    Image(ElementKind::Slider, kChargeBar, 697, 87, &RadioBatteryBar, nullptr);
ElementHeader radioBatteryState = Strip(697, 69, &RadioBatteryState, &radioBatteryBar);
ElementHeader battery2Bar =
    Image(ElementKind::Slider, kChargeBar, 442, 111, &Battery2Bar, &radioBatteryState);
ElementHeader battery2State = Strip(442, 95, &Battery2State, &battery2Bar);
ElementHeader battery1Bar =
    Image(ElementKind::Slider, kChargeBar, 308, 111, &Battery1Bar, &battery2State);
ElementHeader battery1State = Strip(308, 95, &Battery1State, &battery1Bar);
ElementHeader failureLamp =
    Image(ElementKind::Icon, kFailureLamp, 150, 51, &FailureLamp, &battery1State);
ElementHeader sliderKnob =
    Image(ElementKind::Slider, kSliderKnob, 22, 80, &FailureSliderKnob, &failureLamp);
ElementHeader backMass = Text(592, 303, backMassText, &BackMassText, &sliderKnob);
ElementHeader frontMass = Text(420, 303, frontMassText, &FrontMassText, &backMass);
ElementHeader backMassBackground =
    Image(ElementKind::Icon, kMassBackground, 582, 303, &BackMassBackground, &frontMass);
ElementHeader frontMassBackground =
    Image(ElementKind::Icon, kMassBackground, 410, 303, &FrontMassBackground, &backMassBackground);
ElementHeader backPilotLit =
    Image(ElementKind::Icon, kPilotButtonLit, 608, 269, &BackPilotButtonLit, &frontMassBackground);
ElementHeader backPilot =
    Image(ElementKind::Icon, kPilotButton, 608, 269, &BackPilotButton, &backPilotLit);
ElementHeader frontPilotLit =
    Image(ElementKind::Icon, kPilotButtonLit, 445, 269, &FrontPilotButtonLit, &backPilot);
ElementHeader frontPilot =
    Image(ElementKind::Icon, kPilotButton, 445, 269, &FrontPilotButton, &frontPilotLit);
ElementHeader twoPilots =
    Image(ElementKind::Icon, kTwoPilotsView, 284, 192, &TwoPilotsView, &frontPilot);
ElementHeader frontPilotTank =
    Image(ElementKind::Icon, kFrontPilotTankView, 279, 193, &FrontPilotAndTankView, &twoPilots);
ElementHeader frontPilotOnly =
    Image(ElementKind::Icon, kFrontPilotView, 279, 193, &FrontPilotOnlyView, &frontPilotTank);
ElementHeader background = {ElementKind::StaticImage,
                            kBackground,
                            {0, 0},
                            kBackgroundFlags,
                            nullptr,
                            &frontPilotOnly,
                            nullptr,
                            0,
                            0,
                            nullptr};

constexpr Word kCursorUp = 1;
constexpr Word kCursorDown = 2;
constexpr Word kCursorHand = 5;

constexpr Word kClick = fsx::kMouseLeftSingle;
constexpr Word kClickOrWheel = 0x20206000;
constexpr Word kWheel = 0x6000;
constexpr Word kClickDragOrWheel = 0x20806000;

constexpr fsx::MouseRect Parent(fsx::PixBox box) {
    return {fsx::MouseRectType::Parent, box, 0, 0, 0, 0, nullptr, 0};
}

constexpr fsx::MouseRect Child(fsx::PixBox box, Word cursor, Word flags,
                               fsx::MouseCallback callback) {
    return {fsx::MouseRectType::Child, box, cursor, 0, flags, 0, callback, 0};
}

constexpr fsx::MouseRect EndParent() {
    return {fsx::MouseRectType::EndParent, {0, 0, 0, 0}, 0, 0, 0, 0, nullptr, 0};
}

} // namespace

fsx::ElementHeader* const panelElementList[2] = {&background, nullptr};

// A parent at the area's box with one child of the same size that carries the cursor, the flags
// and the callback.
#define ZV_AREA(x, y, w, h, cursor, flags, callback)                                               \
    Parent({x, y, w, h}), Child({0, 0, w, h}, cursor, flags, callback), EndParent()

// One outer parent without area holds every area.
const fsx::MouseRect panelMouseRects[] = {
    Parent({0, 0, 0, 0}),
    ZV_AREA(308, 95, 51, 16, kCursorHand, kClick, &ChargeBattery1Click),
    ZV_AREA(442, 95, 51, 16, kCursorHand, kClick, &ChargeBattery2Click),
    ZV_AREA(697, 69, 51, 16, kCursorHand, kClick, &ChargeRadioBatteryClick),
    ZV_AREA(387, 123, 36, 36, kCursorHand, kClick, &FrontSeatClick),
    ZV_AREA(546, 87, 36, 36, kCursorHand, kClick, &BackSeatPilotClick),
    ZV_AREA(603, 87, 36, 36, kCursorHand, kClick, &BackSeatTankClick),
    ZV_AREA(445, 269, 41, 15, kCursorHand, kClick, &FrontActivePilotClick),
    ZV_AREA(608, 269, 41, 15, kCursorHand, kClick, &BackActivePilotClick),
    ZV_AREA(410, 303, 8, 18, kCursorDown, kClickOrWheel, &FrontMassDown),
    ZV_AREA(447, 303, 8, 18, kCursorUp, kClickOrWheel, &FrontMassUp),
    ZV_AREA(418, 303, 29, 18, kCursorHand, kWheel, &FrontMassWheel),
    ZV_AREA(582, 303, 8, 18, kCursorDown, kClickOrWheel, &BackMassDown),
    ZV_AREA(619, 303, 8, 18, kCursorUp, kClickOrWheel, &BackMassUp),
    ZV_AREA(590, 303, 29, 18, kCursorHand, kWheel, &BackMassWheel),
    ZV_AREA(12, 80, 10, 13, kCursorDown, kClickOrWheel, &FailureSliderDown),
    ZV_AREA(22, 80, 134, 13, kCursorHand, kClickDragOrWheel, &FailureSliderBar),
    ZV_AREA(156, 80, 10, 13, kCursorUp, kClickOrWheel, &FailureSliderUp),
    ZV_AREA(150, 51, 22, 20, kCursorHand, kClick, &RepairClick),
    ZV_AREA(15, 167, 70, 38, kCursorHand, kClick, &CoversStartCallback),
    ZV_AREA(90, 167, 70, 38, kCursorHand, kClick, &CoversConfirmCallback),
    EndParent(),
    {fsx::MouseRectType::End, {0, 0, 0, 0}, 0, 0, 0, 0, nullptr, 0},
};

#undef ZV_AREA
