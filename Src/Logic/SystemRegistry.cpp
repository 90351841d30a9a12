#include "Logic/SystemRegistry.h"

#include "Lib/HostEntry.h"
#include "Logic/Systems/EmptySystem.h"

namespace {

// A system that cannot be made leaves its position empty; the others still come to life.
template <typename T> std::unique_ptr<SystemBase> Make(const char* name) {
    std::unique_ptr<SystemBase> made;
    except::GuardHostEntry(name, [&made] { made = std::make_unique<T>(); });
    return made;
}

} // namespace

SystemRegistry::SystemRegistry() {
    systems[kEmpty] = Make<EmptySystem>("making EmptySystem");
}

SystemRegistry::~SystemRegistry() {
    for (std::size_t i = kSystems; i-- > 0;) {
        systems[i].reset();
    }
}

SystemBase* SystemRegistry::At(std::size_t position) const {
    return position < kSystems ? systems[position].get() : nullptr;
}
