#pragma once

// Reads: aircraft variables "INDICATED ALTITUDE" (m) and "KOHLSMAN SETTING MB" (mbars); key
//        events 0x1104C/0x1104D (knob 1 down/up), 0x11062/0x11063 (knob 2 up/down); the knobs'
//        own variables "zelvan_alt_rotary", "zelvan_alt_rotary_2"; the failures system
//        (altimeter 1 and 2, and the static port each depends on); the pause flag.
// Writes: "zelvan_alt_meter_needle", "zelvan_alt_kilo_needle", "zelvan_alt_press_scale",
//        "zelvan_alt_rotary" and the same with "_2"; host key events 0x1015B/0x1015C (pressure
//        setting up/down), which the host answers with a new indicated altitude.

#include "Lib/FSX/GaugeAbi.h"
#include "Logic/SystemBase.h"

#include <array>
#include <cstdint>

// The two altimeters, one per cockpit: a metre needle (one turn per 1000 m), a kilometre needle
// (one turn per 10 km), a pressure scale showing the host's pressure setting and a setting knob.
// A knob steps the host's one pressure setting; the host then reports the indicated altitude for
// the new setting, which the needles follow. A failed altimeter's needles freeze; its pressure
// scale and knob keep working.
class AltimeterSystem : public DefaultSystem {
public:
    AltimeterSystem() : DefaultSystem(5) {}

    void start() override;
    void update(double stepDt, bool first) override;
    // Handles the four knob events; reports every other event unhandled.
    bool onKeyEvent(std::uint32_t eventId, std::uint32_t value) override;

private:
    struct Variables {
        std::uint32_t meter = fsx::kInvalidId;
        std::uint32_t kilo = fsx::kInvalidId;
        std::uint32_t pressure = fsx::kInvalidId;
        std::uint32_t knob = fsx::kInvalidId;
    };

    void TurnKnob(std::uint32_t knobVariable, bool up, std::uint32_t hostEvent) const;

    // Per cockpit, registered when the system starts.
    std::array<Variables, 2> variables;
    std::uint32_t altitudeVariable = fsx::kInvalidId;
    std::uint32_t pressureSettingVariable = fsx::kInvalidId;
    std::uint32_t unitM = fsx::kInvalidId;
    std::uint32_t unitMbars = fsx::kInvalidId;
};
