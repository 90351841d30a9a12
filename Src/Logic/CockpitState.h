#pragma once

#include <cstdint>

// The cockpit state that the service panel, the parking procedure, the settings and the
// application share: one copy for the module, alive from library load to unload.

constexpr int kFailureCount = 11;

struct ServicePanelSelectionRecord {
    std::int32_t sliderMax = 125;
    std::int32_t slider = 0;
    std::int32_t frontSeatSelection = 0; // 1: a pilot sits in the front seat
    std::int32_t backSeatSelection = 0;  // 0 empty, 1 a pilot, 2 the water tank
    std::int32_t pilotSelection = 2;     // the seat flown from: 0 front, 1 back, 2 neither
    std::int32_t weightMin = 65;
    std::int32_t weightMax = 95;
    std::int32_t waterTankMax = 94;
    std::int32_t pilot1Weight = 95;
    std::int32_t pilot2Weight = 95;
    std::int32_t waterTankWeight = 94;
    bool coversMode = false; // parking started from the panel: seat buttons only empty seats
    const char* failureKeys[kFailureCount] = {"pitot",
                                              "static_port_1",
                                              "static_port_2",
                                              "climb_needle_1",
                                              "climb_needle_prec_1",
                                              "climb_needle_2",
                                              "climb_needle_prec_2",
                                              "airspeed_needle_1",
                                              "airspeed_needle_2",
                                              "altimeter_1",
                                              "altimeter_2"};
};

extern ServicePanelSelectionRecord ServicePanelSelection;

// The parking procedure's states, as `coversState` holds them and the settings file stores them.
enum CoversState : std::int32_t {
    kCoversOff = 0,       // no covers, the glider free
    kCoversLevelling = 1, // levelling the wings before the covers go on
    kCoversGoingOn = 2,
    kCoversComingOff = 3,
    kCoversOn = 4,       // covers on and the controls locked
    kCoversSettling = 5, // covers off, settling on a wing
};
// One of CoversState; an integer because the settings file stores it as one.
extern std::int32_t coversState;
// Set from the end of levelling until the second resync event of that levelling was sent.
extern bool coversLock;
