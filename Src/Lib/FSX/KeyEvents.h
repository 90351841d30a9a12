#pragma once

// The key events the module receives and sends. The cockpit's own events (0x11000 up) are the
// panel's buttons, knobs and handles, named by what they do; the host's events keep the host's
// names where the module uses them under those names, and are otherwise named by the use the
// module makes of them.

#include <cstdint>

namespace fsx::key {

// Power: the battery switches and the AGD push-buttons.
constexpr std::uint32_t kBattery1Toggle = 0x11005;
constexpr std::uint32_t kMasterToggle = 0x1100F;
constexpr std::uint32_t kBattery2Toggle = 0x11069;
constexpr std::uint32_t kAgd1On = 0x11170;
constexpr std::uint32_t kAgd2On = 0x11171;
constexpr std::uint32_t kAgd1Off = 0x11172;
constexpr std::uint32_t kAgd2Off = 0x11173;

// The attitude indicators of cockpit 1 and cockpit 2.
constexpr std::uint32_t kArrester1 = 0x1101D;
constexpr std::uint32_t kArrester2 = 0x1111D;
constexpr std::uint32_t kHorizonUp1 = 0x1102B;
constexpr std::uint32_t kHorizonUp2 = 0x1112B;
constexpr std::uint32_t kHorizonDown1 = 0x1102C;
constexpr std::uint32_t kHorizonDown2 = 0x1112C;

// The altimeters' pressure knobs.
constexpr std::uint32_t kAltimeter1KnobDown = 0x1104C;
constexpr std::uint32_t kAltimeter1KnobUp = 0x1104D;
constexpr std::uint32_t kAltimeter2KnobUp = 0x11062;
constexpr std::uint32_t kAltimeter2KnobDown = 0x11063;

// The canopy windows.
constexpr std::uint32_t kWindowSideTwoToggle = 0x11050;
constexpr std::uint32_t kWindowSideOneToggle = 0x11052;
constexpr std::uint32_t kWindowFrontToggle = 0x11054;
constexpr std::uint32_t kWindowFrontOpen = 0x11055;
constexpr std::uint32_t kWindowFrontClose = 0x11056;

// The radio's knobs; the last one is answered and does nothing.
constexpr std::uint32_t kRadioOuterDown = 0x11058;
constexpr std::uint32_t kRadioOuterUp = 0x11059;
constexpr std::uint32_t kRadioInnerDown = 0x11060;
constexpr std::uint32_t kRadioInnerUp = 0x11061;
constexpr std::uint32_t kRadioVolumeDown = 0x11064;
constexpr std::uint32_t kRadioVolumeUp = 0x11065;
constexpr std::uint32_t kRadioUnused = 0x11066;

// The handles: pedals, spoilers, flaps and gear grips.
constexpr std::uint32_t kPedalsBack = 0x1104E;
constexpr std::uint32_t kPedalsForward = 0x1104F;
constexpr std::uint32_t kSpoilersGripOut = 0x1106A;
constexpr std::uint32_t kSpoilersGripIn = 0x1106B;
constexpr std::uint32_t kFlapsGripOut = 0x11166;
constexpr std::uint32_t kFlapsGripIn = 0x11167;
constexpr std::uint32_t kGearGripIn = 0x11168;
constexpr std::uint32_t kGearGripOut = 0x11169;

// The rest of the cockpit.
constexpr std::uint32_t kCockpitBallastRefill = 0x11057;
constexpr std::uint32_t kBrakeLeverClick = 0x11067;
constexpr std::uint32_t kSwitchClick = 0x11156;

} // namespace fsx::key

namespace fsx::hostkey {

// Under the host's own names.
constexpr std::uint32_t kGearToggle = 0x10022;     // GEAR_TOGGLE
constexpr std::uint32_t kBrakes = 0x10034;         // BRAKES
constexpr std::uint32_t kSpoilersToggle = 0x10035; // SPOILERS_TOGGLE
constexpr std::uint32_t kFlapsUp = 0x1003B;        // FLAPS_UP
constexpr std::uint32_t kFlapsDown = 0x10043;      // FLAPS_DOWN
constexpr std::uint32_t kGearSet = 0x100A4;        // GEAR_SET, 65700
constexpr std::uint32_t kComRadioSet = 0x100AB;    // COM_RADIO_SET, four BCD digits
constexpr std::uint32_t kFlapsIncr = 0x100DE;      // FLAPS_INCR
constexpr std::uint32_t kFlapsDecr = 0x100DF;      // FLAPS_DECR
constexpr std::uint32_t kSpoilersSet = 0x100FA;    // SPOILERS_SET, 65786
constexpr std::uint32_t kKohlsmanInc = 0x1015B;    // KOHLSMAN_INC
constexpr std::uint32_t kKohlsmanDec = 0x1015C;    // KOHLSMAN_DEC
constexpr std::uint32_t kAxisSpoilerSet = 0x1034E; // AXIS_SPOILER_SET
constexpr std::uint32_t kAxisFlapsSet = 0x103E6;   // AXIS_FLAPS_SET

// By the module's use of them.
constexpr std::uint32_t kResync = 0x10015;    // sent by parking; received: rest on a wing afresh
constexpr std::uint32_t kPanelView = 0x1001F; // brings the cockpit panel to the front
constexpr std::uint32_t kAtApplicationStart = 0x100B6; // sent four times when the cockpit starts
constexpr std::uint32_t kAtRadioStart = 0x1012C;       // sent once when the radio starts
constexpr std::uint32_t kBallastGuardToggle = 0x10172; // the guarded ballast toggle
constexpr std::uint32_t kSwitchAnswer = 0x10380;       // sent with 1 on every switch click
constexpr std::uint32_t kRadioOn = 0x1039F;
constexpr std::uint32_t kRadioOff = 0x103A0;
constexpr std::uint32_t kRadioPower = 0x103A2;    // 1 when the radio comes on, else 0
constexpr std::uint32_t kEyePoint = 0x103E2;      // received: set the camera's eye point
constexpr std::uint32_t kBallastRefill = 0x1048A; // fills the water ballast tank
constexpr std::uint32_t kHandleSound = 0x104F6;   // received: the flaps handle's sound

// The three events that centre the flight controls, in the order they are sent.
constexpr std::uint32_t kCentreControls[3] = {0x1009E, 0x100A0, 0x1009F};

} // namespace fsx::hostkey
