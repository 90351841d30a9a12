#pragma once

// Reads: key events 0x11058/0x11059 (outer knob down/up), 0x11060/0x11061 (inner knob down/up),
//        0x11064/0x11065 (volume down/up), 0x11066; gauge token 23 (the host's COM frequency,
//        four BCD digits); "zelvan_radio_main", "zelvan_radio_01", "zelvan_radio_001",
//        "zelvan_radio_volume"; the power system (the radio battery); the pause flag.
// Writes: "zelvan_radio_main", "zelvan_radio_01", "zelvan_radio_001", "zelvan_radio_aux",
//        "zelvan_radio_volume"; host events 0x100AB (COM frequency), 0x103A2, 0x1039F, 0x103A0,
//        0x1012C; sound "sw_click.wav"; a load of 10 on the radio battery while on.

#include "Lib/FSX/NamedVariable.h"
#include "Logic/SystemBase.h"

#include <cstdint>

// The VHF radio: an outer knob for whole megahertz, an inner knob for 25 kHz steps carrying into
// the 100 kHz digit, and a volume knob whose bottom end is the on/off switch. The knobs set the
// host's COM frequency and follow it back on every update, so a frequency set elsewhere in the
// host shows on them. The radio runs while its battery powers it and the volume is up.
class RadioSystem : public DefaultSystem {
public:
    static constexpr double kLoad = 10.0;

    RadioSystem();

    void start() override;
    void update(double stepDt, bool first) override;
    // Handles the seven knob events; false for every other event.
    bool onKeyEvent(std::uint32_t eventId, std::uint32_t value) override;

    // The host's BCD form of a frequency without its leading "1": 118.00 MHz from 1800.
    static std::uint32_t Bcd(int number);

    bool radioOn = false;

private:
    void SwitchOn();
    void SwitchOff();
    void ApplyFrequency() const;
    void StepInnerKnob(bool up) const;
    void TurnVolume(bool up);
    void ShowHostFrequency() const;

    except::NamedVariable main;
    except::NamedVariable digit01;
    except::NamedVariable digit001;
    except::NamedVariable aux;
    except::NamedVariable volume;
};
