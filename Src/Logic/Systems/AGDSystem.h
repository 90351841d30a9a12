#pragma once

// Reads: gauge tokens 604 (host time), 79 (bank), 77 (pitch), 937 (turn), 60 (the value that
//        keeps the references at zero when a gyro is released); key events 0x1101D/0x1111D
//        (arrester), 0x1102B/0x1112B (horizon up), 0x1102C/0x1112C (horizon down),
//        0x11170/0x11171 (AGD on); "zelvan_master_battery_switch", "zelvan_agd1_switch_on",
//        "zelvan_agd2_switch_on"; the power system (IsAgd1Powered, IsAgd2Powered, the AGD "on"
//        repeat flags); the pause flag.
// Writes: "ovi_pitch_scale", "ovi_bank_indicator", "att_turn_needle_1", "ovi_agd_h_line",
//        "ovi_arrester_switch" and the same with "_2" ("att_turn_needle_2" for the turn needle);
//        sounds "agd_arr_pull.wav", "agd_arr_push.wav"; settings section "cabin": the same ten
//        names as keys.

#include "Lib/FSX/NamedVariable.h"
#include "Logic/SystemBase.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A gyro state names a target attitude; the display travels in a straight line from where it
// stood when the state began to that target, covering `rate` of the way per host second.
class IAttitudeIndState {
public:
    virtual ~IAttitudeIndState() = default;
    virtual void GetTarget(double& bank, double& pitch) = 0;
    // Starts where the previous state's display stood at this moment (level without one).
    virtual void Enter(IAttitudeIndState* previous);
    virtual void Leave() {}

    // Where the display stands now, degrees.
    void Display(double& bank, double& pitch);

    double enterTime = 0.0; // host seconds
    double rate = 0.05;     // share of the way per second
    double startBank = 0.0;
    double startPitch = 0.0;
    // Where the display last stood, degrees: a state re-entered after host time went back
    // starts from there.
    double shownBank = 0.0;
    double shownPitch = 0.0;
};

// Caged: level within 0.1 s. Leaving it references the running gyros to the attitude of that
// moment (to zero when the host says so through token 60).
class AttitudeIndArrested : public IAttitudeIndState {
public:
    void GetTarget(double& bank, double& pitch) override;
    void Leave() override;
};

// Running: erects to the true attitude, less the references, within 20 s.
class AttitudeIndWorking : public IAttitudeIndState {
public:
    void GetTarget(double& bank, double& pitch) override;
};

// Without power: topples to a random attitude within 1 s.
class AttitudeIndOff : public IAttitudeIndState {
public:
    void GetTarget(double& bank, double& pitch) override;
    void Enter(IAttitudeIndState* previous) override;

    double topplePitch = 0.0;
    double toppleBank = 0.0;
};

// One attitude indicator with its caging knob (the arrester), its horizon-line knob and its
// built-in turn needle. Both cockpits' indicators are this one implementation; AGDGauge1 and
// AGDGauge2 only pick their cockpit's names, events and power query.
class AGDGauge {
public:
    explicit AGDGauge(std::size_t cockpit);
    virtual ~AGDGauge() = default;
    AGDGauge(const AGDGauge&) = delete;
    AGDGauge& operator=(const AGDGauge&) = delete;

    virtual void start();
    virtual void stop() {}
    virtual void update(double dt, bool firstTick);
    virtual bool onKeyEvent(std::uint32_t eventId, std::uint32_t value);
    virtual void LoadSettings(const std::string& file);
    virtual void SaveSettings(const std::string& file) const;

    void SetState(IAttitudeIndState& next);
    bool Powered() const;

    AttitudeIndArrested arrested;
    AttitudeIndWorking working;
    AttitudeIndOff off;
    IAttitudeIndState* current = nullptr;
    IAttitudeIndState* previous = nullptr;

private:
    // The state the arrester's position and the power choose.
    void ChooseState();
    // A released gyro runs with power and topples without.
    IAttitudeIndState& RunningOrOff();

    std::size_t cockpit;
    except::NamedVariable pitchScale;
    except::NamedVariable bankIndicator;
    except::NamedVariable turnNeedle;
    except::NamedVariable horizonLine;
    except::NamedVariable arresterSwitch;
    except::NamedVariable agdSwitch;
    except::NamedVariable masterSwitch;
};

class AGDGauge1 final : public AGDGauge {
public:
    AGDGauge1() : AGDGauge(0) {}
};

class AGDGauge2 final : public AGDGauge {
public:
    AGDGauge2() : AGDGauge(1) {}
};

// The two attitude indicators. Made last, so every key event reaches it after the power system
// has handled the switches.
class AGDSystem : public DefaultSystem {
public:
    AGDSystem() : DefaultSystem(16) {}

    void start() override;
    void stop() override;
    void update(double stepDt, bool first) override;
    // Runs also while paused or disabled: the knobs still move.
    bool onKeyEvent(std::uint32_t eventId, std::uint32_t value) override;
    void LoadSettings(const std::string& file) override;
    void SaveSettings(const std::string& file) override;

    AGDGauge1 gauge1;
    AGDGauge2 gauge2;
};

// The registry's attitude-indicator system; null without a registry or when it could not be made.
AGDSystem* RegisteredAGD();
