#include "Bench/Host/HostServices.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

HostServices* HostServices::active = nullptr;

HostServices::HostServices(EventLog& eventLog) : log(eventLog) {
    namespace slot = fsx::slot;
    fsx::Install<slot::ElementQuery>(table, &HostServices::ElementQuery);
    fsx::Install<slot::ElementInstall>(table, &HostServices::ElementInstall);
    fsx::Install<slot::ElementInitialise>(table, &HostServices::ElementInitialise);
    fsx::Install<slot::ElementUpdate>(table, &HostServices::ElementUpdate);
    fsx::Install<slot::ElementGenerate>(table, &HostServices::ElementGenerate);
    fsx::Install<slot::ElementPlot>(table, &HostServices::ElementPlot);
    fsx::Install<slot::ElementKill>(table, &HostServices::ElementKill);
    fsx::Install<slot::TriggerKeyEvent>(table, &HostServices::TriggerKeyEvent);
    fsx::Install<slot::TriggerKeyEvent2>(table, &HostServices::TriggerKeyEvent2);
    fsx::Install<slot::InitializeVar>(table, &HostServices::InitializeVar);
    fsx::Install<slot::LookupVar>(table, &HostServices::LookupVar);
    fsx::Install<slot::UnregisterVarByName>(table, &HostServices::UnregisterVarByName);
    fsx::Install<slot::PanelWindow>(table, &HostServices::PanelWindow);
    fsx::Install<slot::CheckNamedVariable>(table, &HostServices::CheckNamedVariable);
    fsx::Install<slot::RegisterNamedVariable>(table, &HostServices::RegisterNamedVariable);
    fsx::Install<slot::GetNamedVariableTypedValue>(table,
                                                   &HostServices::GetNamedVariableTypedValue);
    fsx::Install<slot::SetNamedVariableTypedValue>(table,
                                                   &HostServices::SetNamedVariableTypedValue);
    fsx::Install<slot::GetNamedVariableName>(table, &HostServices::GetNamedVariableName);
    fsx::Install<slot::GetUnitsEnum>(table, &HostServices::GetUnitsEnum);
    fsx::Install<slot::GetAircraftVarEnum>(table, &HostServices::GetAircraftVarEnum);
    fsx::Install<slot::AircraftVarget>(table, &HostServices::AircraftVarget);
    fsx::Install<slot::RegisterKeyEventHandler>(table, &HostServices::RegisterKeyEventHandler);
    fsx::Install<slot::UnregisterKeyEventHandler>(table, &HostServices::UnregisterKeyEventHandler);
    // Room for a busy tick without growing on the hot path.
    triggered.reserve(64);
    delivering.reserve(64);
    namedVars.reserve(512);
    active = this;
}

HostServices::~HostServices() {
    if (active == this) {
        active = nullptr;
    }
}

// ---- gauge variables ---------------------------------------------------------------------------

double HostServices::Token(std::uint32_t token) const {
    return token < tokens.size() ? tokens[token] : 0.0;
}

void HostServices::SetToken(std::uint32_t token, double value) {
    if (token < tokens.size()) {
        tokens[token] = value;
    }
}

void ZV_STDCALL HostServices::InitializeVar(fsx::ModuleVar* var) {
    if (var == nullptr) {
        return;
    }
    var->valuePointer = nullptr;
    var->valueType = 0;
    var->value = Active().Token(var->id);
    var->previous = var->value;
}

void ZV_STDCALL HostServices::LookupVar(fsx::ModuleVar* var) {
    if (var == nullptr) {
        return;
    }
    var->previous = var->value;
    var->value = Active().Token(var->id);
}

// ---- units and aircraft variables ---------------------------------------------------------------

namespace {
std::uint32_t IdIn(std::vector<std::string>& names, std::string_view name) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return static_cast<std::uint32_t>(i + 1);
        }
    }
    names.emplace_back(name);
    return static_cast<std::uint32_t>(names.size());
}
} // namespace

std::uint32_t HostServices::UnitId(std::string_view unit) {
    return IdIn(unitNames, unit);
}

std::uint32_t HostServices::AircraftVarId(std::string_view name) {
    return IdIn(aircraftVarNames, name);
}

const AircraftValue* HostServices::FindAircraftVar(std::uint32_t variable, std::uint32_t unit,
                                                   std::uint32_t index) const {
    if (variable >= aircraftVars.size()) {
        return nullptr;
    }
    for (const AircraftValue& v : aircraftVars[variable]) {
        if (v.unit == unit && v.index == index) {
            return &v;
        }
    }
    return nullptr;
}

double HostServices::AircraftVar(std::string_view name, std::string_view unit,
                                 std::uint32_t index) {
    const AircraftValue* v = FindAircraftVar(AircraftVarId(name), UnitId(unit), index);
    return v != nullptr ? v->value : 0.0;
}

void HostServices::SetAircraftVar(std::string_view name, std::string_view unit, std::uint32_t index,
                                  double value) {
    SetAircraftVar(AircraftVarId(name), UnitId(unit), index, value);
}

void HostServices::SetAircraftVar(std::uint32_t variable, std::uint32_t unit, std::uint32_t index,
                                  double value) {
    if (variable >= aircraftVars.size()) {
        aircraftVars.resize(variable + 1);
    }
    for (AircraftValue& v : aircraftVars[variable]) {
        if (v.unit == unit && v.index == index) {
            v.value = value;
            return;
        }
    }
    aircraftVars[variable].push_back({unit, index, value});
}

HostServices::Values HostServices::SaveValues() const {
    Values values;
    values.named.reserve(namedVars.size());
    for (const NamedVar& v : namedVars) {
        values.named.push_back(v.value);
    }
    values.aircraft = aircraftVars;
    return values;
}

void HostServices::RestoreValues(const Values& values) {
    for (std::size_t i = 0; i < namedVars.size() && i < values.named.size(); ++i) {
        namedVars[i].value = values.named[i];
    }
    aircraftVars = values.aircraft;
}

std::uint32_t ZV_STDCALL HostServices::GetUnitsEnum(const char* unit) {
    return unit != nullptr ? Active().UnitId(unit) : fsx::kInvalidId;
}

std::uint32_t ZV_STDCALL HostServices::GetAircraftVarEnum(const char* name) {
    return name != nullptr ? Active().AircraftVarId(name) : fsx::kInvalidId;
}

double ZV_STDCALL HostServices::AircraftVarget(std::uint32_t var, std::uint32_t units,
                                               std::uint32_t index) {
    const AircraftValue* v = Active().FindAircraftVar(var, units, index);
    return v != nullptr ? v->value : 0.0;
}

// ---- named variables ----------------------------------------------------------------------------

std::uint32_t HostServices::FindNamed(std::string_view name) const {
    for (std::size_t i = 0; i < namedVars.size(); ++i) {
        if (namedVars[i].live && namedVars[i].name == name) {
            return static_cast<std::uint32_t>(i);
        }
    }
    return fsx::kInvalidId;
}

std::uint32_t HostServices::RegisterNamed(std::string_view name) {
    for (std::size_t i = 0; i < namedVars.size(); ++i) {
        if (namedVars[i].name == name) {
            if (!namedVars[i].live) {
                namedVars[i].live = true;
                namedVars[i].value = 0.0;
            }
            return static_cast<std::uint32_t>(i);
        }
    }
    namedVars.push_back(NamedVar{std::string(name), 0.0, true});
    return static_cast<std::uint32_t>(namedVars.size() - 1);
}

std::optional<double> HostServices::NamedValue(std::string_view name) const {
    const std::uint32_t id = FindNamed(name);
    if (id == fsx::kInvalidId) {
        return std::nullopt;
    }
    return namedVars[id].value;
}

void HostServices::SetNamedValue(std::string_view name, double value) {
    namedVars[RegisterNamed(name)].value = value;
}

std::uint32_t ZV_STDCALL HostServices::CheckNamedVariable(const char* name) {
    return name != nullptr ? Active().FindNamed(name) : fsx::kInvalidId;
}

std::uint32_t ZV_STDCALL HostServices::RegisterNamedVariable(const char* name) {
    return name != nullptr ? Active().RegisterNamed(name) : fsx::kInvalidId;
}

double ZV_STDCALL HostServices::GetNamedVariableTypedValue(std::uint32_t id, std::uint32_t) {
    const auto& vars = Active().namedVars;
    return id < vars.size() && vars[id].live ? vars[id].value : 0.0;
}

void ZV_STDCALL HostServices::SetNamedVariableTypedValue(std::uint32_t id, double value,
                                                         std::uint32_t) {
    auto& vars = Active().namedVars;
    if (id < vars.size() && vars[id].live) {
        vars[id].value = value;
    }
}

const char* ZV_STDCALL HostServices::GetNamedVariableName(std::uint32_t id) {
    const auto& vars = Active().namedVars;
    return id < vars.size() ? vars[id].name.c_str() : nullptr;
}

void ZV_STDCALL HostServices::UnregisterVarByName(const char* name) {
    if (name == nullptr) {
        return;
    }
    HostServices& host = Active();
    const std::uint32_t id = host.FindNamed(name);
    if (id != fsx::kInvalidId) {
        host.namedVars[id].live = false;
    }
}

// ---- key events ---------------------------------------------------------------------------------

void HostServices::TriggerKey(const char* type, std::uint32_t id, std::uint32_t value) {
    log.Write(type, {Field::Int("id", id), Field::Int("value", value)});
    if (triggered.size() < triggered.capacity()) {
        triggered.push_back({id, value});
    } else {
        std::fprintf(stderr, "bench: more than %zu key events in one step; 0x%X dropped\n",
                     triggered.capacity(), id);
    }
}

fsx::Word ZV_STDCALL HostServices::TriggerKeyEvent(std::uint32_t id, std::uint32_t value) {
    Active().TriggerKey("key", id, value);
    return 0;
}

fsx::Word ZV_STDCALL HostServices::TriggerKeyEvent2(std::uint32_t id, std::uint32_t value) {
    Active().TriggerKey("key2", id, value);
    return 0;
}

void HostServices::DeliverKeyEvent(std::uint32_t id, std::uint32_t value) {
    if (keyAnswer) {
        keyAnswer(id, value);
    }
    // Index walk: a handler may unregister (and so shrink the list) while being called.
    for (std::size_t i = 0; i < keyHandlers.size(); ++i) {
        const KeyHandler h = keyHandlers[i];
        h.handler(id, value, h.user);
    }
}

void HostServices::DeliverTriggeredKeyEvents() {
    delivering.swap(triggered);
    for (const KeyEvent& e : delivering) {
        DeliverKeyEvent(e.id, e.value);
    }
    delivering.clear();
}

std::size_t HostServices::DropKeyHandlers() {
    const std::size_t n = keyHandlers.size();
    keyHandlers.clear();
    triggered.clear();
    return n;
}

void ZV_STDCALL HostServices::RegisterKeyEventHandler(fsx::KeyEventHandler handler, void* user) {
    if (handler != nullptr) {
        Active().keyHandlers.push_back({handler, user});
    }
}

void ZV_STDCALL HostServices::UnregisterKeyEventHandler(fsx::KeyEventHandler handler, void* user) {
    auto& handlers = Active().keyHandlers;
    for (auto it = handlers.begin(); it != handlers.end(); ++it) {
        if (it->handler == handler && it->user == user) {
            handlers.erase(it);
            return;
        }
    }
}

fsx::Word ZV_STDCALL HostServices::PanelWindow(std::uint32_t ident) {
    Active().log.Write("panel_window", {Field::Int("ident", ident)});
    return 1;
}

} // namespace bench
