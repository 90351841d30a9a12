#pragma once

#include "Bench/Output/EventLog.h"
#include "Bench/Output/NamedVariable.h"
#include "Bench/Output/PanelFrame.h"
#include "Lib/FSX/GaugeAbi.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace bench {

// One aircraft variable's value in one unit at one index.
struct AircraftValue {
    std::uint32_t unit;
    std::uint32_t index;
    double value;
};

// The simulator's side of the panel-service table: named variables, units, gauge and aircraft
// variables, key events and their handlers, the panel's element lists and mouse rectangles.
// The table's functions are plain functions, so one host is active at a time.
class HostServices {
public:
    explicit HostServices(EventLog& log);
    ~HostServices();
    HostServices(const HostServices&) = delete;
    HostServices& operator=(const HostServices&) = delete;

    fsx::PanelServiceTable* Table() { return &table; }

    // ---- gauge variables (token 1 to 1030) -----------------------------------------------------
    double Token(std::uint32_t token) const;
    void SetToken(std::uint32_t token, double value);

    // ---- units and aircraft variables ----------------------------------------------------------
    std::uint32_t UnitId(std::string_view unit);
    std::uint32_t AircraftVarId(std::string_view name);
    double AircraftVar(std::string_view name, std::string_view unit, std::uint32_t index);
    void SetAircraftVar(std::string_view name, std::string_view unit, std::uint32_t index,
                        double value);
    void SetAircraftVar(std::uint32_t variable, std::uint32_t unit, std::uint32_t index,
                        double value);

    // ---- named variables -----------------------------------------------------------------------
    using NamedVar = bench::NamedVar;
    std::optional<double> NamedValue(std::string_view name) const;
    void SetNamedValue(std::string_view name, double value);
    // Every named variable ever registered, by id (ids are never reused for another name).
    const std::vector<NamedVar>& NamedVars() const { return namedVars; }

    // ---- the values calls can change -----------------------------------------------------------
    // Named and aircraft variables, kept so that calls made again after a run (the baseline) can
    // be undone before the module sees the host once more.
    struct Values {
        std::vector<double> named;
        std::vector<std::vector<AircraftValue>> aircraft;
    };
    Values SaveValues() const;
    void RestoreValues(const Values& values);

    // ---- key events ----------------------------------------------------------------------------
    // Hands an event to every registered handler, in the order they registered.
    void DeliverKeyEvent(std::uint32_t id, std::uint32_t value);
    // Events the module triggered are handled by the host between steps, like any other.
    void DeliverTriggeredKeyEvents();
    std::size_t KeyHandlerCount() const { return keyHandlers.size(); }
    std::size_t DropKeyHandlers();
    // Forgets the key events triggered since the last delivery, unhandled.
    void DiscardTriggeredKeyEvents() { triggered.clear(); }
    // The host's own answer to a key event, if it has one (pressure setting, radio ...).
    std::function<void(std::uint32_t id, std::uint32_t value)> keyAnswer;

    // ---- the 2D panel --------------------------------------------------------------------------
    // A gauge that goes leaves its last drawn frame for the picture, but nothing to expect.
    void SetGauge(const fsx::GaugeHeader* gauge);
    // Calls the innermost mouse rectangle that holds the point; false when none does.
    bool Mouse(std::int32_t x, std::int32_t y, std::uint32_t flags);
    // The elements as the host last drew them, in drawing order (element N is at N - 1).
    const PanelFrame& Panel() const { return panelFrame; }
    // The panel of a loaded module has been drawn.
    bool PanelDrawn() const { return panelDrawn; }
    // Element N's value, hidden bit or text read as a number; NaN when the panel has no element
    // N drawn, or its text is no number.
    double PanelValue(std::uint32_t number, ElementPart part) const;

private:
    // The host whose table is in use; inline, as every slot call goes through it.
    static HostServices& Active() { return *active; }
    static HostServices* active;

    std::uint32_t FindNamed(std::string_view name) const;
    std::uint32_t RegisterNamed(std::string_view name);
    void TriggerKey(const char* type, std::uint32_t id, std::uint32_t value);
    void DrawElements(fsx::ElementHeader* first);

    // The slots.
    static fsx::Word ZV_STDCALL ElementQuery(fsx::ElementHeader* e);
    static fsx::Word ZV_STDCALL ElementInstall(fsx::ElementHeader* e, fsx::Word arg);
    static fsx::Word ZV_STDCALL ElementInitialise(fsx::ElementHeader* e);
    static fsx::Word ZV_STDCALL ElementUpdate(fsx::ElementHeader* e);
    static fsx::Word ZV_STDCALL ElementGenerate(fsx::ElementHeader* e, fsx::Word phase);
    static fsx::Word ZV_STDCALL ElementPlot(fsx::ElementHeader* e);
    static fsx::Word ZV_STDCALL ElementKill(fsx::ElementHeader* e);
    static fsx::Word ZV_STDCALL TriggerKeyEvent(std::uint32_t id, std::uint32_t value);
    static fsx::Word ZV_STDCALL TriggerKeyEvent2(std::uint32_t id, std::uint32_t value);
    static void ZV_STDCALL InitializeVar(fsx::ModuleVar* var);
    static void ZV_STDCALL LookupVar(fsx::ModuleVar* var);
    static void ZV_STDCALL UnregisterVarByName(const char* name);
    static fsx::Word ZV_STDCALL PanelWindow(std::uint32_t ident);
    static std::uint32_t ZV_STDCALL CheckNamedVariable(const char* name);
    static std::uint32_t ZV_STDCALL RegisterNamedVariable(const char* name);
    static double ZV_STDCALL GetNamedVariableTypedValue(std::uint32_t id, std::uint32_t units);
    static void ZV_STDCALL SetNamedVariableTypedValue(std::uint32_t id, double value,
                                                      std::uint32_t units);
    static const char* ZV_STDCALL GetNamedVariableName(std::uint32_t id);
    static std::uint32_t ZV_STDCALL GetUnitsEnum(const char* unit);
    static std::uint32_t ZV_STDCALL GetAircraftVarEnum(const char* name);
    static double ZV_STDCALL AircraftVarget(std::uint32_t var, std::uint32_t units,
                                            std::uint32_t index);
    static void ZV_STDCALL RegisterKeyEventHandler(fsx::KeyEventHandler handler, void* user);
    static void ZV_STDCALL UnregisterKeyEventHandler(fsx::KeyEventHandler handler, void* user);

    EventLog& log;
    fsx::PanelServiceTable table{};
    std::array<double, fsx::kLastToken + 1> tokens{};

    std::vector<std::string> unitNames;
    std::vector<std::string> aircraftVarNames;
    // By variable id: the few unit and index pairs it was set in.
    std::vector<std::vector<AircraftValue>> aircraftVars;
    const AircraftValue* FindAircraftVar(std::uint32_t variable, std::uint32_t unit,
                                         std::uint32_t index) const;

    std::vector<NamedVar> namedVars;
    std::unordered_map<std::string, std::uint32_t> namedIds;

    struct KeyHandler {
        fsx::KeyEventHandler handler;
        void* user;
    };
    std::vector<KeyHandler> keyHandlers;
    struct KeyEvent {
        std::uint32_t id;
        std::uint32_t value;
    };
    std::vector<KeyEvent> triggered;
    std::vector<KeyEvent> delivering;

    const fsx::GaugeHeader* panel = nullptr;
    PanelFrame panelFrame;
    bool panelDrawn = false;
};

} // namespace bench
