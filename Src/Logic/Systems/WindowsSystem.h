#pragma once

// Reads: cockpit events 0x11050 (side window two), 0x11052 (side window one), 0x11054 (front
//        window toggle), 0x11055 / 0x11056 (front window a tenth open / closed); the three
//        window variables.
// Writes: "zelvan_slidwin_front", "zelvan_slidwin_one", "zelvan_slidwin_two"; sounds
//         "slidew_open.wav" and "slidew_close.wav" for the side windows.

#include "Lib/FSX/NamedVariable.h"
#include "Logic/SystemBase.h"

#include <cstdint>
#include <optional>

// The canopy's three sliding windows. The named variables are the windows' whole state: the
// front window opens in tenths or toggles, the side windows toggle with their sliding sounds.
class WindowsSystem : public DefaultSystem {
public:
    static constexpr double kFrontStep = 0.1;

    WindowsSystem() : DefaultSystem(9) {}

    void start() override;
    bool onKeyEvent(std::uint32_t eventId, std::uint32_t value) override;

private:
    struct Variables {
        // Defined in the source file: a class holding an optional of this one needs the
        // constructor declared before the member initializers are seen.
        Variables();
        except::NamedVariable front{"zelvan_slidwin_front"};
        except::NamedVariable one{"zelvan_slidwin_one"};
        except::NamedVariable two{"zelvan_slidwin_two"};
    };

    // Flips the window between closed and open; returns true when it is now open.
    static bool Toggle(const except::NamedVariable& window);
    static void ToggleSide(const except::NamedVariable& window);

    std::optional<Variables> vars;
};
