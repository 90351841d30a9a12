#pragma once

#include "Bench/Host/HostServices.h"
#include "Bench/Output/PanelFrame.h"
#include "Bench/SimConnectStandin/SimConnectServer.h"
#include "Lib/FSX/GaugeAbi.h"

#include <array>
#include <cstdint>
#include <vector>

namespace bench {

// One call the module made into the host, as a stand-in gauge makes it again.
struct HostCall {
    enum class Kind : std::uint8_t {
        LookupVar,       // a: token
        GetNamed,        // a: id, b: units
        SetNamed,        // a: id, b: units, value
        AircraftVar,     // a: variable, b: units, c: index
        CheckNamed,      // a: offset of the name in the text arena
        RegisterNamed,   // a: offset of the name
        UnitsEnum,       // a: offset of the name
        AircraftVarEnum, // a: offset of the name
        TriggerKey,      // a: id, b: value
        TriggerKey2,     // a: id, b: value
        PanelWindow,     // a: ident
        Draw,            // a: first element's place in the recorded values, b: elements
        Dispatch,
        SetData,   // a: define, b: object, c: flags, d: count, value
        CameraSet, // a: place of the six floats
        StepEnd,   // closes the calls of one recorded step; a, b: the step's number
    };
    Kind kind;
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    std::uint32_t c = 0;
    std::uint32_t d = 0;
    double value = 0.0;
};

// The baseline of --stats: while the module flies, the calls it makes into the host (the
// panel-service table and SimConnect) are recorded on a sample of its steps; after the flight a
// stand-in gauge with no logic of its own makes exactly those calls again, step by step, and the
// median of those steps is what the host's side of a tick costs. The module's own cost reads as
// the ratio of its step time to that, which a busy machine disturbs far less than either time.
//
// The sample is every stride-th step, the stride starting at kRecordEvery. It holds at most
// kKeptSteps steps: when it fills, the stride doubles and the steps the new stride no longer
// takes are dropped. The sample so stays spread evenly over the whole flight, in the same memory
// for an hour as for a week.
//
// Recording sits between the module and the host: the module is handed this table, whose slots
// note the call and pass it on to the host's, and SimConnect reaches the simulator through this
// server. Outside a recorded step a call costs one test more.
class Baseline final : public SimConnectServer {
public:
    static constexpr std::int64_t kRecordEvery = 256;
    static constexpr std::size_t kKeptSteps = 1024;

    Baseline(HostServices& host, SimConnectServer& simulator);
    ~Baseline();
    Baseline(const Baseline&) = delete;
    Baseline& operator=(const Baseline&) = delete;

    // The table the module is given in place of the host's.
    fsx::PanelServiceTable* Table() { return &table; }

    // Recording of step number `step` when it may be recorded (`eligible`) and the sample takes
    // it; memory for the next is made ready, and the sample thinned, outside the timed part.
    void BeginStep(std::int64_t step, bool eligible);
    void EndStep();
    // The steps the sample holds, and the stride it takes them at.
    std::size_t RecordedSteps() const { return recordedSteps; }
    std::int64_t Stride() const { return stride; }
    // Each recorded step's calls end with a StepEnd that carries the step's number.
    static std::int64_t StepNumber(const HostCall& stepEnd);
    const std::vector<HostCall>& Calls() const { return calls; }

    // Makes every recorded step's calls again, `passes` times over, each step timed; the median
    // step in nanoseconds (0 without recorded steps). The event log should be muted meanwhile.
    double Replay(int passes);

    // ---- SimConnect, passed on to the simulator -----------------------------------------------
    HRESULT Open(Handle* handle, const char* name, void* window, DWORD userEvent,
                 Handle eventHandle, DWORD configIndex) override;
    HRESULT Close(Handle handle) override;
    HRESULT CallDispatch(Handle handle, simconnect::DispatchProc proc, void* context) override;
    HRESULT SubscribeToSystemEvent(Handle handle, DWORD eventId, const char* name) override;
    HRESULT UnsubscribeFromSystemEvent(Handle handle, DWORD eventId) override;
    HRESULT AddToDataDefinition(Handle handle, DWORD defineId, const char* datumName,
                                const char* unitsName, DWORD datumType, float epsilon,
                                DWORD datumId) override;
    HRESULT ClearDataDefinition(Handle handle, DWORD defineId) override;
    HRESULT SetDataOnSimObject(Handle handle, DWORD defineId, DWORD objectId, DWORD flags,
                               DWORD arrayCount, DWORD unitSize, const void* data) override;
    HRESULT MapClientEventToSimEvent(Handle handle, DWORD eventId, const char* name) override;
    HRESULT AddClientEventToNotificationGroup(Handle handle, DWORD groupId, DWORD eventId,
                                              bool maskable) override;
    HRESULT RemoveClientEvent(Handle handle, DWORD groupId, DWORD eventId) override;
    HRESULT SetNotificationGroupPriority(Handle handle, DWORD groupId, DWORD priority) override;
    HRESULT ClearNotificationGroup(Handle handle, DWORD groupId) override;
    HRESULT CameraSetRelative6DOF(Handle handle, float x, float y, float z, float pitch, float bank,
                                  float heading) override;
    HRESULT NotImplemented(const char* call) override;

private:
    friend struct BaselineSlots;
    friend struct BaselineStandin;

    void Note(HostCall::Kind kind, std::uint32_t a = 0, std::uint32_t b = 0, std::uint32_t c = 0,
              std::uint32_t d = 0, double value = 0.0);
    // Keeps a name the module passed; its offset in the arena, or kInvalidId when full.
    std::uint32_t KeepName(const char* name);
    void NoteDraw();
    void Thin();
    void MakeStandinElements();
    void ReplayStep(std::size_t& at);
    void ReplayDraw(std::uint32_t first, std::uint32_t count);

    HostServices& host;
    SimConnectServer& simulator;
    const fsx::PanelServiceTable& hostTable;
    fsx::PanelServiceTable table{};
    Handle handle = nullptr; // what the simulator answered the module's open with
    bool recording = false;
    std::int64_t recordingStep = 0;
    std::int64_t stride = kRecordEvery;
    std::size_t recordedSteps = 0;

    std::vector<HostCall> calls;
    std::vector<char> names;
    std::vector<std::array<float, 6>> cameras;
    // Per recorded draw: each element's value, image flags and text as the host drew them.
    struct DrawnElement {
        double value;
        fsx::Word imageFlags;
        std::array<char, 16> text;
    };
    std::vector<DrawnElement> drawn;

    // The stand-in gauge's elements: the module's as last drawn, with a callback that gives back
    // what was recorded.
    std::vector<fsx::ElementHeader> elements;
    std::vector<std::array<char, 16>> elementTexts;
    const DrawnElement* replaying = nullptr;
};

} // namespace bench
