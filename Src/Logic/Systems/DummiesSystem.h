#pragma once

// Reads: host key events 0x10022 (gear toggle), 0x10035 (spoilers toggle), 0x1003B / 0x10043
//        (flaps fully up / down), 0x100DE / 0x100DF (flaps one stage down / up), 0x1034E and
//        0x103E6 (spoilers and flaps axes), 0x104F6 (handle sound); cockpit events 0x1104E /
//        0x1104F (pedal setting), 0x1106A / 0x1106B (spoilers grip), 0x11166 / 0x11167 (flaps
//        grip), 0x11168 / 0x11169 (gear grip); gauge variable token 60 (gear events only while
//        it is 0); the grip variables and "zelvan_pedals_setting"; the connection's pause flag;
//        settings section "handles" ("spoilers", "flaps", "gear").
// Writes: "zelvan_spoilers", "zelvan_spoilers_grip", "zelvan_flaps", "zelvan_flaps_grip",
//         "zelvan_gear", "zelvan_gear_grip", "zelvan_pedals_setting"; host key events 65786
//         (spoilers) and 65700 (gear) with the position; the flap percentage through the
//         connection; sound "zelvan_flaps.wav" (play while a handle moves, stop when the last
//         moving handle comes to rest, wherever it rests); settings section "handles".

#include "Lib/FSX/NamedVariable.h"
#include "Logic/SystemBase.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// One control handle on the host's scale 0 (retracted) to 16383 (fully extended). The handle
// moves by itself while `requested` and `reached` differ.
struct HandleState {
    double position = 0.0;
    bool requested = false;
    bool reached = false;
};

// The spoiler, flap and gear handles and the rudder-pedal adjustment. Each handle moves in steps
// (by itself after a toggle or stage request, or directly under a grip drag or a joystick axis),
// shows its position to the cockpit model through its mechanism and grip variables and passes it
// on to the host. The positions persist in the settings file.
class DummiesSystem : public SystemBase {
public:
    static constexpr double kFullTravel = 16383.0;
    static constexpr double kHalfTravel = 8191.5;
    static constexpr double kStep = 910.16;
    static constexpr double kDragStep = 227.54;

    static constexpr const char* kSound = "zelvan_flaps.wav";
    // A handle moved by a grip, an axis or the host's flap setting has come to rest once this
    // many updates pass without a further event: those inputs say when a movement goes on, never
    // when it ends.
    static constexpr int kDirectRestUpdates = 50;

    DummiesSystem() : SystemBase(8) {}

    void start() override;
    void stop() override {}
    void update(double stepDt, bool first) override;
    bool onKeyEvent(std::uint32_t eventId, std::uint32_t value) override;
    // Section "handles" of the settings file.
    void LoadSettings(const std::string& file) override;
    void SaveSettings(const std::string& file) override;

    HandleState spoilers;
    HandleState flaps;
    HandleState gear;
    bool flapsRetracting = false; // the flaps' own movement goes towards flapsLower
    double flapsLower = 0.0;
    double flapsUpper = 0.0;

private:
    enum class Which { Spoilers, Flaps, Gear };

    struct Variables {
        // Defined in the source file: a class holding an optional of this one needs the
        // constructor declared before the member initializers are seen.
        Variables();
        except::NamedVariable spoilers{"zelvan_spoilers"};
        except::NamedVariable spoilersGrip{"zelvan_spoilers_grip"};
        except::NamedVariable flaps{"zelvan_flaps"};
        except::NamedVariable flapsGrip{"zelvan_flaps_grip"};
        except::NamedVariable gear{"zelvan_gear"};
        except::NamedVariable gearGrip{"zelvan_gear_grip"};
        except::NamedVariable pedals{"zelvan_pedals_setting"};
    };

    HandleState& State(Which which);
    const except::NamedVariable& Mechanism(Which which) const;
    const except::NamedVariable& Grip(Which which) const;
    // The handle's position to the host: its key event, or the flap percentage.
    void Send(Which which, double position) const;
    void Show(Which which, double position) const;

    void StepSpoilersOrGear(Which which, bool& moving, bool& retracting);
    void StepFlaps();
    void Drag(Which which, bool outwards);
    void Axis(Which which, std::uint32_t value);
    void StepPedals(double delta) const;
    void RequestFlaps(std::uint32_t eventId);

    // The handle sound, shared by the three handles: a handle that moves keeps it going for
    // `restUpdates` more updates; one that comes to rest stops it unless another still moves.
    void Moving(Which which, int restUpdates);
    void Rested(Which which);
    // Ends the sound of each handle whose movement has stopped without reaching an end.
    void CountRestingUpdates();
    std::array<int, 3> soundUpdates{}; // by Which: updates left until the handle counts as at rest

    // Looked up when the system starts.
    std::optional<Variables> vars;
};

// The registry's control-handle system, or null.
DummiesSystem* RegisteredDummies();
