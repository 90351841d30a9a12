#pragma once

// Reads: `coversState` and `coversLock`; gauge variables token 60 (on the ground) and token 79
//        (bank); "zelvan_covers" and "zelvan_covers_ready"; the connection's pause flag;
//        settings section "cabin" ("parkst").
// Writes: `coversState`, `coversLock`; "zelvan_covers", "zelvan_covers_visible",
//         "zelvan_covers_ready"; payload stations 3 and 4 (defines 0x1000D, 0x1000E); host key
//         events 0x10015 (resync) and 0x1009E, 0x100A0, 0x1009F (controls centred); SimConnect
//         client events 0x10008..0x1000A mapped to the three control axes in notification group
//         0, maskable while the covers are on; settings section "cabin" ("covers", "parkst").

#include "Lib/FSX/NamedVariable.h"
#include "Logic/SystemBase.h"

#include <cstdint>
#include <optional>
#include <string>

// Parks the glider: levels the wings with temporary ballast, slides the covers on and locks the
// flight controls by masking the host's three axis events; on the second request slides the
// covers off, frees the controls and lets the glider settle on one wing tip.
class VisualStaffSystem : public DefaultSystem {
public:
    // Client events of the three control axes, and the group that masks them.
    static constexpr std::uint32_t kAilerons = 0x10008;
    static constexpr std::uint32_t kElevator = 0x10009;
    static constexpr std::uint32_t kRudder = 0x1000A;
    static constexpr std::uint32_t kGroup = 0;
    static constexpr std::uint32_t kHighestMaskablePriority = 10000000;

    static constexpr double kCoversStep = 0.15;

    VisualStaffSystem() : DefaultSystem(15) {}

    void start() override;
    void stop() override;
    void update(double stepDt, bool first) override;
    // Section "cabin" of the settings file.
    void LoadSettings(const std::string& file) override;
    void SaveSettings(const std::string& file) override;

    // -1 or +1 while settling on a wing in state 5, else 0.
    double wingSide = 0.0;

private:
    struct Variables {
        // Defined in the source file: a class holding an optional of this one needs the
        // constructor declared before the member initializers are seen.
        Variables();
        except::NamedVariable covers{"zelvan_covers"};
        except::NamedVariable visible{"zelvan_covers_visible"};
        except::NamedVariable ready{"zelvan_covers_ready"};
    };

    void LevellingStep();
    void CoversStep();
    void SettlingStep();
    // Centres the controls and makes the three axis events maskable (locked) or not.
    void SetControlsLocked(bool locked) const;

    std::optional<Variables> vars;
};

// The registry's covers system, or null.
VisualStaffSystem* RegisteredVisualStaff();
