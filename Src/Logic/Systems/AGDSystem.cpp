#include "Logic/Systems/AGDSystem.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Lib/FSX/KeyEvents.h"
#include "Logic/ModuleState.h"
#include "Logic/Options.h"
#include "Logic/SystemRegistry.h"
#include "Logic/Systems/PowerSystem.h"
#include "Logic/Systems/SoundSystem.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

struct Cockpit {
    // Named variables, which are also the settings keys, in the order they are saved.
    const char* pitchScale;
    const char* bankIndicator;
    const char* turnNeedle;
    const char* horizonLine;
    const char* arresterSwitch;
    const char* agdSwitch;
    std::uint32_t arresterEvent;
    std::uint32_t horizonUpEvent;
    std::uint32_t horizonDownEvent;
    std::uint32_t agdOnEvent;
};

constexpr Cockpit kCockpits[2] = {
    {"ovi_pitch_scale", "ovi_bank_indicator", "att_turn_needle_1", "ovi_agd_h_line",
     "ovi_arrester_switch", "zelvan_agd1_switch_on", fsx::key::kArrester1, fsx::key::kHorizonUp1,
     fsx::key::kHorizonDown1, fsx::key::kAgd1On},
    {"ovi_pitch_scale_2", "ovi_bank_indicator_2", "att_turn_needle_2", "ovi_agd_h_line_2",
     "ovi_arrester_switch_2", "zelvan_agd2_switch_on", fsx::key::kArrester2, fsx::key::kHorizonUp2,
     fsx::key::kHorizonDown2, fsx::key::kAgd2On},
};

constexpr const char* kSection = "cabin";

constexpr double kArrestedRate = 10.0; // level within 0.1 s
constexpr double kOffRate = 1.0;       // toppled within 1 s
constexpr double kToppleBankMax = 65.0;
constexpr double kTopplePitchMin = 20.0;
constexpr double kTopplePitchSpan = 20.0;

// The system's process-wide values, one copy for both indicators, set when the module loads.
struct Shared {
    double bankReference = 0.0;  // bank a running gyro shows as level
    double pitchReference = 0.0; // pitch a running gyro shows as level
    double horizonStep = 0.05;   // signed: both horizon knobs share their sense of up
};
Shared shared;

// The host's time and attitude as one update sees them: read once for both indicators and
// every state they pass through. Outside an update each use reads the host afresh.
struct HostReadings {
    bool held = false;
    double time = 0.0;
    double bank = 0.0;
    double pitch = 0.0;
};
HostReadings readings;

double HostTime() {
    return readings.held ? readings.time : module::ReadGaugeVar(fsx::token::kHostTime);
}

double Bank() {
    return readings.held ? readings.bank : module::ReadGaugeVar(fsx::token::kBank);
}

double Pitch() {
    return readings.held ? readings.pitch : module::ReadGaugeVar(fsx::token::kPitch);
}

// The C runtime's generator on its classic range 0 to 32767, whatever RAND_MAX is here.
int DrawRuntime() {
    return std::rand() % 32768;
}

bool Truncated(const except::NamedVariable& variable) {
    return std::trunc(variable.Get()) != 0.0;
}

} // namespace

// ---- states ------------------------------------------------------------------------------------

void IAttitudeIndState::Display(double& bank, double& pitch) {
    double targetBank = 0.0;
    double targetPitch = 0.0;
    GetTarget(targetBank, targetPitch); // also sets the rate of the states that fix theirs
    const double now = HostTime();
    if (now < enterTime) {
        // Host time went back (an earlier flight loaded, the clock set back): the travel starts
        // again from where the display stands, instead of running backwards off its scale.
        startBank = shownBank;
        startPitch = shownPitch;
        enterTime = now;
    }
    const double f = std::clamp((now - enterTime) * rate, 0.0, 1.0);
    bank = startBank + (targetBank - startBank) * f;
    pitch = startPitch + (targetPitch - startPitch) * f;
    shownBank = bank;
    shownPitch = pitch;
}

void IAttitudeIndState::Enter(IAttitudeIndState* previousState) {
    if (previousState != nullptr) {
        previousState->Display(startBank, startPitch);
    } else {
        startBank = 0.0;
        startPitch = 0.0;
    }
    shownBank = startBank;
    shownPitch = startPitch;
    enterTime = HostTime();
}

void AttitudeIndArrested::GetTarget(double& bank, double& pitch) {
    rate = kArrestedRate;
    bank = 0.0;
    pitch = 0.0;
}

void AttitudeIndArrested::Leave() {
    rate = kArrestedRate;
    if (fsx::OnGroundPastHalf(module::ReadGaugeVar(fsx::token::kOnGround))) {
        shared.bankReference = 0.0;
        shared.pitchReference = 0.0;
    } else {
        shared.bankReference = Bank();
        shared.pitchReference = Pitch();
    }
}

void AttitudeIndWorking::GetTarget(double& bank, double& pitch) {
    bank = Bank() - shared.bankReference;
    pitch = Pitch() - shared.pitchReference;
}

void AttitudeIndOff::GetTarget(double& bank, double& pitch) {
    rate = kOffRate;
    bank = toppleBank;
    pitch = topplePitch;
}

void AttitudeIndOff::Enter(IAttitudeIndState* previousState) {
    rate = kOffRate;
    IAttitudeIndState::Enter(previousState);
    const int r1 = DrawRuntime();
    const int r2 = DrawRuntime();
    const int r3 = DrawRuntime();
    toppleBank = static_cast<double>(r1) / 32767.0 * kToppleBankMax;
    if (r2 % 2 == 0) {
        toppleBank = -toppleBank;
    }
    topplePitch = static_cast<double>(r3) / 32767.0 * kTopplePitchSpan + kTopplePitchMin;
}

// ---- one indicator -----------------------------------------------------------------------------

AGDGauge::AGDGauge(std::size_t cockpitIndex)
    : cockpit(cockpitIndex), pitchScale(kCockpits[cockpitIndex].pitchScale),
      bankIndicator(kCockpits[cockpitIndex].bankIndicator),
      turnNeedle(kCockpits[cockpitIndex].turnNeedle),
      horizonLine(kCockpits[cockpitIndex].horizonLine),
      arresterSwitch(kCockpits[cockpitIndex].arresterSwitch),
      agdSwitch(kCockpits[cockpitIndex].agdSwitch), masterSwitch("zelvan_master_battery_switch") {}

void AGDGauge::start() {
    current = &arrested; // caged, without entering: the caged state keeps its first fields
    previous = nullptr;
}

void AGDGauge::SetState(IAttitudeIndState& next) {
    previous = current;
    current = &next;
    if (previous != nullptr) {
        previous->Leave();
    }
    next.Enter(previous);
}

bool AGDGauge::Powered() const {
    const PowerSystem* power = RegisteredPower();
    if (power == nullptr) {
        return false;
    }
    return cockpit == 0 ? power->IsAgd1Powered() : power->IsAgd2Powered();
}

IAttitudeIndState& AGDGauge::RunningOrOff() {
    if (Powered()) {
        return working;
    }
    return off;
}

void AGDGauge::ChooseState() {
    if (!Truncated(arresterSwitch)) {
        SetState(arrested);
    } else {
        SetState(RunningOrOff());
    }
}

void AGDGauge::update(double, bool firstTick) {
    if (current == nullptr) {
        return; // not started
    }
    if (firstTick) {
        ChooseState();
    }
    const bool powered = Powered();
    if (current == &working && !powered) {
        SetState(off);
    }
    double bank = 0.0;
    double pitch = 0.0;
    current->Display(bank, pitch);
    bankIndicator.Set(0.5 - bank / 360.0);
    pitchScale.Set(0.5 + pitch / 180.0);
    turnNeedle.Set(powered ? (module::ReadGaugeVar(fsx::token::kTurnRate) + 10.0) / 20.0 : 0.5);
}

bool AGDGauge::onKeyEvent(std::uint32_t eventId, std::uint32_t) {
    const Cockpit& names = kCockpits[cockpit];
    if (current == nullptr) {
        return true; // not started: no state to change
    }
    if (eventId == names.arresterEvent) {
        const bool pushed = !Truncated(arresterSwitch);
        arresterSwitch.Set(pushed ? 1.0 : 0.0);
        if (pushed) {
            PlayCockpitSound("agd_arr_push.wav");
            SetState(RunningOrOff());
        } else {
            PlayCockpitSound("agd_arr_pull.wav");
            SetState(arrested);
        }
    } else if (eventId == names.horizonUpEvent || eventId == names.horizonDownEvent) {
        // The top clamps, the bottom reflects; either end reverses both knobs' sense.
        const double v = horizonLine.Get();
        double n =
            eventId == names.horizonUpEvent ? v + shared.horizonStep : v - shared.horizonStep;
        if (n < 0.0) {
            n = -n;
            shared.horizonStep = -shared.horizonStep;
        } else if (n > 1.0) {
            n = 1.0;
            shared.horizonStep = -shared.horizonStep;
        }
        horizonLine.Set(n);
    } else if (eventId == names.agdOnEvent) {
        const bool master = Truncated(masterSwitch);
        const bool agdOn = Truncated(agdSwitch);
        if (PowerSystem::AgdOnRepeat(cockpit)) {
            return true;
        }
        // The switches only; an empty battery is caught by the next update.
        if (arresterSwitch.Get() == 0.0) {
            SetState(arrested);
        } else if (master && agdOn) {
            SetState(working);
        } else {
            SetState(off);
        }
    }
    return true;
}

void AGDGauge::LoadSettings(const std::string& file) {
    const Cockpit& names = kCockpits[cockpit];
    pitchScale.Set(Options::ReadDouble(kSection, names.pitchScale, 0.5, file));
    bankIndicator.Set(Options::ReadDouble(kSection, names.bankIndicator, 0.5, file));
    turnNeedle.Set(Options::ReadDouble(kSection, names.turnNeedle, 0.5, file));
    horizonLine.Set(Options::ReadDouble(kSection, names.horizonLine, 0.5, file));
    arresterSwitch.SetInt(Options::ReadInt(kSection, names.arresterSwitch, 0, file));
    if (current != nullptr) {
        ChooseState();
    }
}

void AGDGauge::SaveSettings(const std::string& file) const {
    const Cockpit& names = kCockpits[cockpit];
    Options::WriteDouble(kSection, names.pitchScale, pitchScale.Get(), file);
    Options::WriteDouble(kSection, names.bankIndicator, bankIndicator.Get(), file);
    Options::WriteDouble(kSection, names.turnNeedle, turnNeedle.Get(), file);
    Options::WriteDouble(kSection, names.horizonLine, horizonLine.Get(), file);
    Options::WriteDouble(kSection, names.arresterSwitch, arresterSwitch.Get(), file);
}

// ---- the system --------------------------------------------------------------------------------

void AGDSystem::start() {
    gauge1.start();
    gauge2.start();
}

void AGDSystem::stop() {
    gauge1.stop();
    gauge2.stop();
}

void AGDSystem::update(double stepDt, bool first) {
    DefaultSystem::update(stepDt, first);
    if (!enabled || module::SimulationPaused()) {
        return;
    }
    readings = {true, module::ReadGaugeVar(fsx::token::kHostTime),
                module::ReadGaugeVar(fsx::token::kBank), module::ReadGaugeVar(fsx::token::kPitch)};
    gauge1.update(stepDt, first);
    gauge2.update(stepDt, first);
    readings.held = false;
}

bool AGDSystem::onKeyEvent(std::uint32_t eventId, std::uint32_t value) {
    gauge1.onKeyEvent(eventId, value);
    gauge2.onKeyEvent(eventId, value);
    return true;
}

void AGDSystem::LoadSettings(const std::string& file) {
    gauge1.LoadSettings(file);
    gauge2.LoadSettings(file);
}

void AGDSystem::SaveSettings(const std::string& file) {
    gauge1.SaveSettings(file);
    gauge2.SaveSettings(file);
}

AGDSystem* RegisteredAGD() {
    return module::registry != nullptr ? module::registry->AGD() : nullptr;
}
