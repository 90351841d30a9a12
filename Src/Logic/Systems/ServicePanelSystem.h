#pragma once

#include "Lib/FSX/NamedVariable.h"
#include "Logic/SystemBase.h"

#include <cstdint>

// Turns the service panel's crew and ballast choices into the glider's loading and into what the
// 3D cockpit shows: the seat figures, the payload stations of the two pilots and the water tank,
// and the water that runs out of the tank while the host's ballast valve is open.
//
// Reads: the panel's ServicePanelSelection (seats, active pilot, masses); gauge token 60; the
//   aircraft variable "WATER BALLAST VALVE" (Bool, index 1); the connection's pause and
//   cockpit-view flags; key events 65906 (0x10172), 66698 (0x1048A) and 69719 (0x11057); the
//   settings' "cabin" values.
// Writes: "zelvan_back_seat_pilot", "zelvan_back_seat_tank", "zelvan_back_seat",
//   "zelvan_front_seat"; payload stations 1, 2 and 5 (defines 0x1000B, 0x1000C, 0x1000F) in kg;
//   the settings' pilot1Weight, pilot2Weight, waterTankWeight, backSeat, frontSeat; the panel's
//   waterTankWeight while the water drains; host key events 65906 and 66698.
class ServicePanelSystem : public DefaultSystem {
public:
    // The water the open valve lets out at every update, in kg.
    static constexpr double kDrainPerUpdate = 0.03888877222222222;

    ServicePanelSystem();

    void start() override;
    void update(double stepDt, bool first) override;
    // Handles the toggle guard and the two refill events; reports every other event unhandled.
    bool onKeyEvent(std::uint32_t eventId, std::uint32_t value) override;

private:
    void WriteSeatPattern(int backSeat) const;
    void ShowPilotFigures() const;
    void SetPayload();
    bool BallastValveOpen() const;

    except::NamedVariable backSeatPilot;
    except::NamedVariable backSeatTank;
    except::NamedVariable backSeat;
    except::NamedVariable frontSeat;
    // The tank's mass as this system tracks it while the valve is open. A refill event sets it
    // from the settings; until one has, the first drain starts from the mass the panel shows.
    double waterMass = 0.0;
    bool waterMassKnown = false;
    std::uint32_t ballastValveVariable = fsx::kInvalidId;
    std::uint32_t unitBool = fsx::kInvalidId;
};
