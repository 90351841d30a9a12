#include "Logic/SimParameters.h"

#include "Lib/Exception.h"
#include "Lib/FSX/GaugeTokens.h"
#include "Lib/FSX/KeyEvents.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/FSX/SimConnectWrapper.h"
#include "Lib/HostEntry.h"
#include "Lib/Platform/Platform.h"
#include "Logic/Application.h"
#include "Logic/CockpitState.h"
#include "Logic/ModuleState.h"
#include "Logic/Options.h"
#include "Logic/SystemRegistry.h"
#include "Logic/Systems/PowerSystem.h"
#include "Logic/Systems/SoundSystem.h"

#include <cstdio>

namespace {

struct SystemEventName {
    std::uint32_t id;
    const char* name;
};

constexpr SystemEventName kSystemEvents[] = {
    {SimParameters::kSimStart, "SimStart"},
    {SimParameters::kPause, "Pause"},
    {SimParameters::kSound, "Sound"},
    {SimParameters::kView, "View"},
    {SimParameters::kSim, "Sim"},
    {SimParameters::kFourSeconds, "4sec"},
    {SimParameters::kPositionChanged, "PositionChanged"},
};

struct DataDefinition {
    std::uint32_t id;
    const char* variable;
    const char* units;
};

constexpr DataDefinition kDefinitions[] = {
    {SimParameters::kPayloadStation1, "PAYLOAD STATION WEIGHT:1", "pounds"},
    {SimParameters::kPayloadStation2, "PAYLOAD STATION WEIGHT:2", "pounds"},
    {SimParameters::kPayloadStation3, "PAYLOAD STATION WEIGHT:3", "pounds"},
    {SimParameters::kPayloadStation4, "PAYLOAD STATION WEIGHT:4", "pounds"},
    {SimParameters::kPayloadStation5, "PAYLOAD STATION WEIGHT:5", "pounds"},
    {SimParameters::kFlapsLeft, "TRAILING EDGE FLAPS LEFT PERCENT", "Percent"},
    {SimParameters::kFlapsRight, "TRAILING EDGE FLAPS RIGHT PERCENT", "Percent"},
};

constexpr const char* kSoundFolder = "SimObjects\\Airplanes\\PelmoraG_Q-71_Zelvan\\sound\\";
constexpr std::uint32_t kPanelWindowService = 253;

} // namespace

void SimParameters::Init() {
    auto& simconnect = except::SimConnectWrapper::Instance();
    if (!simconnect.Init(kClientName)) {
        throw except::Exception("Cannot initialize simconnect.",
                                "..\\..\\Src\\Logic\\SimParameters", "SimParameters::Init", 78);
    }
    for (const SystemEventName& e : kSystemEvents) {
        simconnect.SubscribeToSystemEvent(e.id, e.name);
    }
    for (const DataDefinition& d : kDefinitions) {
        simconnect.AddToDataDefinition(d.id, d.variable, d.units, simconnect::kDataTypeFloat64,
                                       0.0f, simconnect::kUnused);
    }
    InitSimVars();
}

void SimParameters::Close() {
    auto& simconnect = except::SimConnectWrapper::Instance();
    for (const DataDefinition& d : kDefinitions) {
        simconnect.ClearDataDefinition(d.id);
    }
    for (const SystemEventName& e : kSystemEvents) {
        simconnect.UnsubscribeFromSystemEvent(e.id);
    }
    simconnect.Close();
}

void SimParameters::onTimer(std::uint32_t) {
    except::SimConnectWrapper::Instance().CallDispatch(&SimParameters::DispatchProc, this);
}

simconnect::HRESULT SimParameters::SetPayloadWeight(std::uint32_t defineId, double kilograms) {
    double pounds = kilograms / 0.453592;
    return except::SimConnectWrapper::Instance().SetDataOnSimObject(
        defineId, simconnect::kObjectIdUser, 0, 0, sizeof pounds, &pounds);
}

void SimParameters::SetFlapsPercent(double percent) {
    auto& simconnect = except::SimConnectWrapper::Instance();
    simconnect.SetDataOnSimObject(kFlapsLeft, simconnect::kObjectIdUser, 0, 0, sizeof percent,
                                  &percent);
    simconnect.SetDataOnSimObject(kFlapsRight, simconnect::kObjectIdUser, 0, 0, sizeof percent,
                                  &percent);
}

void ZV_STDCALL SimParameters::DispatchProc(simconnect::Recv* data, simconnect::DWORD size,
                                            void* context) {
    except::GuardHostEntry("SimConnect dispatch", [&] {
        auto* self = static_cast<SimParameters*>(context);
        if (self != nullptr && data != nullptr) {
            self->Dispatch(*data, size);
        }
    });
}

void SimParameters::Dispatch(const simconnect::Recv& data, simconnect::DWORD size) {
    if (data.id == simconnect::kRecvException && size >= sizeof(simconnect::RecvException)) {
        const auto& e = static_cast<const simconnect::RecvException&>(data);
        char text[160];
        std::snprintf(text, sizeof text, "\n\n***** EXCEPTION=%u  SendID=%u  Index=%u  cbData=%u\n",
                      e.exception, e.sendId, e.index, size);
        platform::WriteDiagnostic(text);
    } else if (data.id == simconnect::kRecvEvent && size >= sizeof(simconnect::RecvEvent)) {
        const auto& e = static_cast<const simconnect::RecvEvent&>(data);
        OnSystemEvent(e.eventId, e.data);
    }
    if (coversState != kCoversOff) {
        for (std::uint32_t key : fsx::hostkey::kCentreControls) {
            fsx::TriggerKeyEvent2(key, 0);
        }
    }
    if (fsx::OffGround(ReadToken(fsx::token::kOnGround))) {
        fsx::PanelWindow(kPanelWindowService);
    }
}

void SimParameters::OnSystemEvent(std::uint32_t eventId, std::uint32_t d) {
    switch (eventId) {
    case kSimStart:
        OnSimStart();
        break;
    case kPause:
        paused = d == 1;
        break;
    case kSound:
        soundOff = d == 0;
        if (module::registry != nullptr && module::registry->Sound() != nullptr) {
            if (except::SoundEngine* engine = module::registry->Sound()->Engine()) {
                if (soundOff) {
                    engine->MuteAll();
                } else {
                    engine->UnmuteAll();
                }
            }
        }
        break;
    case kView:
        cockpitView = d == 1 || d == 2;
        if (cockpitView &&
            !(coversState == kCoversOff && ServicePanelSelection.frontSeatSelection != 0)) {
            fsx::TriggerKeyEvent2(fsx::hostkey::kPanelView, 0);
        }
        break;
    case kSim:
        simRunning = d == 1;
        break;
    case kFourSeconds:
        if (!module::simStartPending) {
            StoreBatteryCharges();
            Options::Instance().Save();
        }
        break;
    case kPositionChanged:
        positionChanged = d == 1;
        tick::resyncRequested = true;
        break;
    default:
        break;
    }
}

void SimParameters::OnSimStart() {
    module::simStartPending = true;
    if (module::registry == nullptr) {
        module::registry = std::make_unique<SystemRegistry>();
        if (SoundSystem* sound = module::registry->Sound()) {
            sound->SetSoundFolder(kSoundFolder);
        }
    }
    if (module::application == nullptr) {
        module::application = std::make_unique<Application>();
        module::application->start();
        module::application->startTimer(Application::kTimerId, Application::kTimerPeriodMs);
    }
}

namespace module {

bool CockpitViewShown() {
    return connection == nullptr || connection->cockpitView;
}

double ReadGaugeVar(std::uint32_t token, except::Unit unit) {
    if (connection != nullptr) {
        return connection->ReadToken(token, unit);
    }
    if (token < fsx::kFirstToken || token > fsx::kLastToken) {
        return 0.0;
    }
    except::GaugeVar reader(token);
    return reader.getValue(unit);
}

} // namespace module
