#pragma once

#include "Lib/FSX/PanelServices.h"
#include "Lib/FSX/Units.h"
#include "Lib/NonCopyable.h"

#include <cstdint>

namespace except {

// A handle on one of the host's named (local) variables: the cockpit model animates from them.
// The variable is registered when missing. An owning handle unregisters it when destroyed.
class NamedVariable : private NonCopyable {
public:
    explicit NamedVariable(const char* name, bool owns = false);
    ~NamedVariable();

    std::uint32_t Id() const { return id; }
    bool Valid() const;

    // Inline, in the unit looked up once: the systems write their needles on every update.
    double Get() const {
        return fsx::CallOr<fsx::slot::GetNamedVariableTypedValue>(0.0, id, numberUnit);
    }
    double Get(Unit unit) const {
        return fsx::CallOr<fsx::slot::GetNamedVariableTypedValue>(0.0, id, Units::Id(unit));
    }
    void Set(double value) const {
        fsx::CallVoid<fsx::slot::SetNamedVariableTypedValue>(id, value, numberUnit);
    }
    void Set(double value, Unit unit) const {
        fsx::CallVoid<fsx::slot::SetNamedVariableTypedValue>(id, value, Units::Id(unit));
    }
    void SetBool(bool value) const { Set(value ? 1.0 : 0.0); }
    void SetInt(std::int32_t value) const { Set(static_cast<double>(value)); }

private:
    std::uint32_t id;
    std::uint32_t numberUnit; // the host's id of "number", from the module's unit table
    bool owns;
};

} // namespace except
