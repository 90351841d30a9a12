#include "Lib/FSX/NamedVariable.h"

#include "Lib/FSX/PanelServices.h"

namespace except {

NamedVariable::NamedVariable(const char* name, bool owning)
    : id(fsx::kInvalidId), numberUnit(0), owns(owning) {
    id = fsx::CallOr<fsx::slot::CheckNamedVariable>(fsx::kInvalidId, name);
    if (id == fsx::kInvalidId) {
        id = fsx::CallOr<fsx::slot::RegisterNamedVariable>(fsx::kInvalidId, name);
    }
    Units::Load();
    numberUnit = Units::Id(Unit::Number);
}

NamedVariable::~NamedVariable() {
    if (owns && id != fsx::kInvalidId) {
        const char* name =
            fsx::CallOr<fsx::slot::GetNamedVariableName>(static_cast<const char*>(nullptr), id);
        if (name != nullptr) {
            fsx::CallVoid<fsx::slot::UnregisterVarByName>(name);
        }
    }
}

bool NamedVariable::Valid() const {
    return id != fsx::kInvalidId;
}

} // namespace except
