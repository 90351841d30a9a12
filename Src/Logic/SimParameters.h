#pragma once

#include "Lib/FSX/SimConnectTypes.h"
#include "Lib/FSX/SimVars.h"
#include "Lib/TimerMixin.h"

#include <cstdint>

// The module's one SimConnect client: follows the host's system events, declares the data the
// module writes (payload stations, flaps), pumps SimConnect every 10 ms and, on the first
// "SimStart", brings the systems and the application to life.
class SimParameters : public except::TimerMixin, public except::SimVars {
public:
    static constexpr const char* kClientName = "Zelvan Q-71 Simconnect Module";
    static constexpr std::uint32_t kTimerId = 0;
    static constexpr std::uint32_t kTimerPeriodMs = 10;

    // Client event ids of the host system events.
    enum Event : std::uint32_t {
        kSimStart = 0x10000,
        kPause = 0x10001,
        kSound = 0x10002,
        kView = 0x10003,
        kSim = 0x10004,
        kFourSeconds = 0x10006,
        kPositionChanged = 0x10007,
    };
    // Data definitions, one 64-bit float each.
    enum Define : std::uint32_t {
        kPayloadStation1 = 0x1000B,
        kPayloadStation2 = 0x1000C,
        kPayloadStation3 = 0x1000D,
        kPayloadStation4 = 0x1000E,
        kPayloadStation5 = 0x1000F,
        kFlapsLeft = 0x10010,
        kFlapsRight = 0x10011,
    };

    SimParameters() = default;

    // Throws except::Exception when SimConnect cannot be opened.
    void Init();
    void Close();
    void onTimer(std::uint32_t id) override;

    simconnect::HRESULT SetPayloadWeight(std::uint32_t defineId, double kilograms);
    void SetFlapsPercent(double percent);

    static void ZV_STDCALL DispatchProc(simconnect::Recv* data, simconnect::DWORD size,
                                        void* context);

    bool paused = false;
    bool soundOff = false;
    bool cockpitView = true;
    bool simRunning = false;
    bool positionChanged = false;

private:
    void Dispatch(const simconnect::Recv& data, simconnect::DWORD size);
    void OnSystemEvent(std::uint32_t eventId, std::uint32_t data);
    void OnSimStart();
};
