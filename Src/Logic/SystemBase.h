#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The common base of every simulated system. Each system puts itself on the process-wide
// system list when made and takes itself off when destroyed; the application walks that list.
class SystemBase {
public:
    explicit SystemBase(std::uint32_t id);
    virtual ~SystemBase();
    SystemBase(const SystemBase&) = delete;
    SystemBase& operator=(const SystemBase&) = delete;

    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void update(double dt, bool firstTick) = 0;
    virtual bool onKeyEvent(std::uint32_t eventId, std::uint32_t value) = 0;
    virtual void reserved() {}
    // The system's own keys in the settings file; the settings call these for the systems that
    // keep some, in their fixed order of systems (most keep none).
    virtual void LoadSettings(const std::string&) {}
    virtual void SaveSettings(const std::string&) {}

    std::uint32_t id;
    bool enabled = true;
    double dt = 0.0;
    bool firstTick = false;

    // The systems in the order they were made.
    static const std::vector<SystemBase*>& List();
};

// What most systems do for the operations they have no work for.
class DefaultSystem : public SystemBase {
public:
    using SystemBase::SystemBase;
    void start() override {}
    void stop() override {}
    void update(double stepDt, bool first) override {
        dt = stepDt;
        firstTick = first;
    }
    bool onKeyEvent(std::uint32_t, std::uint32_t) override { return true; }
};
