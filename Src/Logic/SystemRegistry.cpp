#include "Logic/SystemRegistry.h"

#include "Lib/HostEntry.h"
#include "Logic/Systems/AGDSystem.h"
#include "Logic/Systems/AltimeterSystem.h"
#include "Logic/Systems/AttitudeIndicatorSystem.h"
#include "Logic/Systems/BrakeSystem.h"
#include "Logic/Systems/ClimbNeedlesSystem.h"
#include "Logic/Systems/DummiesSystem.h"
#include "Logic/Systems/EmptySystem.h"
#include "Logic/Systems/FailuresSystem.h"
#include "Logic/Systems/MagneticCompassSystem.h"
#include "Logic/Systems/PilotHeadSystem.h"
#include "Logic/Systems/PowerSystem.h"
#include "Logic/Systems/RadioSystem.h"
#include "Logic/Systems/ServicePanelSystem.h"
#include "Logic/Systems/SoundSystem.h"
#include "Logic/Systems/SpeedNeedleSystem.h"
#include "Logic/Systems/SwitchesSystem.h"
#include "Logic/Systems/VisualStaffSystem.h"
#include "Logic/Systems/WindowsSystem.h"

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
    systems[kSound] = Make<SoundSystem>("making SoundSystem");
    systems[kFailures] = Make<FailuresSystem>("making FailuresSystem");
    systems[kSpeedNeedle] = Make<SpeedNeedleSystem>("making SpeedNeedleSystem");
    systems[kClimbNeedles] = Make<ClimbNeedlesSystem>("making ClimbNeedlesSystem");
    systems[kMagneticCompass] = Make<MagneticCompassSystem>("making MagneticCompassSystem");
    systems[kAltimeter] = Make<AltimeterSystem>("making AltimeterSystem");
    systems[kPower] = Make<PowerSystem>("making PowerSystem");
    systems[kAttitudeIndicator] = Make<AttitudeIndicatorSystem>("making AttitudeIndicatorSystem");
    systems[kDummies] = Make<DummiesSystem>("making DummiesSystem");
    systems[kWindows] = Make<WindowsSystem>("making WindowsSystem");
    systems[kSwitches] = Make<SwitchesSystem>("making SwitchesSystem");
    systems[kRadio] = Make<RadioSystem>("making RadioSystem");
    systems[kBrake] = Make<BrakeSystem>("making BrakeSystem");
    systems[kPilotHead] = Make<PilotHeadSystem>("making PilotHeadSystem");
    systems[kServicePanel] = Make<ServicePanelSystem>("making ServicePanelSystem");
    systems[kVisualStaff] = Make<VisualStaffSystem>("making VisualStaffSystem");
    systems[kAGD] = Make<AGDSystem>("making AGDSystem");
}

SystemRegistry::~SystemRegistry() {
    for (std::size_t i = kSystems; i-- > 0;) {
        systems[i].reset();
    }
}

SoundSystem* SystemRegistry::Sound() const {
    return static_cast<SoundSystem*>(systems[kSound].get());
}

FailuresSystem* SystemRegistry::Failures() const {
    return static_cast<FailuresSystem*>(systems[kFailures].get());
}

PowerSystem* SystemRegistry::Power() const {
    return static_cast<PowerSystem*>(systems[kPower].get());
}

AGDSystem* SystemRegistry::AGD() const {
    return static_cast<AGDSystem*>(systems[kAGD].get());
}

SystemBase* SystemRegistry::At(std::size_t position) const {
    return position < kSystems ? systems[position].get() : nullptr;
}
