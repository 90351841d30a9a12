#pragma once

#include "Lib/FSX/FSXKeyHandler.h"
#include "Lib/TimerMixin.h"

#include <cstdint>

// Runs the update cycle: one tick every 10 ms with a fixed time step, the settings reload after a
// (re)start, the wing rest on the ground and the camera on the active pilot's seat; and hands
// every host key event to every system.
class Application : public except::TimerMixin, public except::FSXKeyHandler {
public:
    static constexpr double kTimeStep = 0.055;
    static constexpr std::uint32_t kTimerId = 1;
    static constexpr std::uint32_t kTimerPeriodMs = 10;

    Application() = default;
    ~Application() override;

    void start();
    void stop();
    void onTimer(std::uint32_t id) override;
    bool onKeyEvent(std::uint32_t eventId, std::uint32_t value) override;

    bool firstTick = false;
    double dt = 0.0;

private:
    void SetCameraEyePoint();
};

// The tick's process-wide values.
namespace tick {
extern bool resyncRequested;
extern bool wingRestPending;
extern double wingRestSide;
extern int lastActivePilot;
} // namespace tick
