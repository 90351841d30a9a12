// The stand-in gauge of the baseline: it makes the recorded calls again and has no logic of its
// own, so its step time is what the host's side of the module's tick costs.
#include "Bench/Flight/BaselineActive.h"
#include "Bench/Output/StepHistogram.h"

#include <chrono>
#include <cstring>

namespace bench {

namespace baseline {
Baseline* active = nullptr;
} // namespace baseline

namespace {

using Clock = std::chrono::steady_clock;

// The stand-in's dispatch procedure: a message that still comes is dropped.
void ZV_STDCALL DropMessage(simconnect::Recv*, simconnect::DWORD, void*) {}

} // namespace

double ZV_STDCALL BaselineStandin::Value(fsx::ElementHeader* element) {
    const Baseline* b = baseline::active;
    if (b == nullptr || b->replaying == nullptr || b->elements.empty()) {
        return 0.0;
    }
    const auto at = static_cast<std::size_t>(element - b->elements.data());
    const Baseline::DrawnElement& d = b->replaying[at];
    element->imageFlags = d.imageFlags;
    if (element->text != nullptr) {
        std::memcpy(element->text, d.text.data(), d.text.size());
    }
    return d.value;
}

void Baseline::ReplayDraw(std::uint32_t first, std::uint32_t count) {
    if (elements.empty() || count != elements.size()) {
        return; // another gauge's panel: the stand-in draws the first one's only
    }
    replaying = drawn.data() + first;
    fsx::Get<fsx::slot::ElementUpdate> (&hostTable)(elements.data());
    replaying = nullptr;
}

// Makes one recorded step's calls, from `at` to its end.
void Baseline::ReplayStep(std::size_t& at) {
    using K = HostCall::Kind;
    const fsx::PanelServiceTable* t = &hostTable;
    for (; at < calls.size(); ++at) {
        const HostCall& call = calls[at];
        switch (call.kind) {
        case K::LookupVar: {
            fsx::ModuleVar var{call.a, nullptr, 0, 0.0, 0.0};
            fsx::Get<fsx::slot::LookupVar>(t)(&var);
            break;
        }
        case K::GetNamed:
            fsx::Get<fsx::slot::GetNamedVariableTypedValue>(t)(call.a, call.b);
            break;
        case K::SetNamed:
            fsx::Get<fsx::slot::SetNamedVariableTypedValue>(t)(call.a, call.value, call.b);
            break;
        case K::AircraftVar:
            fsx::Get<fsx::slot::AircraftVarget>(t)(call.a, call.b, call.c);
            break;
        case K::CheckNamed:
            fsx::Get<fsx::slot::CheckNamedVariable>(t)(names.data() + call.a);
            break;
        case K::RegisterNamed:
            fsx::Get<fsx::slot::RegisterNamedVariable>(t)(names.data() + call.a);
            break;
        case K::UnitsEnum:
            fsx::Get<fsx::slot::GetUnitsEnum>(t)(names.data() + call.a);
            break;
        case K::AircraftVarEnum:
            fsx::Get<fsx::slot::GetAircraftVarEnum>(t)(names.data() + call.a);
            break;
        case K::TriggerKey:
            fsx::Get<fsx::slot::TriggerKeyEvent>(t)(call.a, call.b);
            break;
        case K::TriggerKey2:
            fsx::Get<fsx::slot::TriggerKeyEvent2>(t)(call.a, call.b);
            break;
        case K::PanelWindow:
            fsx::Get<fsx::slot::PanelWindow>(t)(call.a);
            break;
        case K::Draw:
            ReplayDraw(call.a, call.b);
            break;
        case K::Dispatch:
            simulator.CallDispatch(handle, &DropMessage, nullptr);
            break;
        case K::SetData: {
            const double value = call.value;
            simulator.SetDataOnSimObject(handle, call.a, call.b, call.c, call.d, sizeof value,
                                         &value);
            break;
        }
        case K::CameraSet: {
            const auto& c = cameras[call.a];
            simulator.CameraSetRelative6DOF(handle, c[0], c[1], c[2], c[3], c[4], c[5]);
            break;
        }
        case K::StepEnd:
            ++at;
            return;
        }
    }
}

double Baseline::Replay(int passes) {
    recording = false;
    if (recordedSteps == 0) {
        return 0.0;
    }
    StepHistogram stepNs;
    for (int pass = 0; pass < passes; ++pass) {
        for (std::size_t at = 0; at < calls.size();) {
            const auto before = Clock::now();
            ReplayStep(at);
            stepNs.Add(std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - before)
                           .count());
            // The key events it sent are the module's to handle: none of that is replayed.
            host.DiscardTriggeredKeyEvents();
        }
    }
    return stepNs.Median();
}

} // namespace bench
