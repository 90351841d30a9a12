// A gauge library whose timer and key handler fail on purpose: it shows that a failure inside
// the module's host entries is reported and never reaches the host.
#include "Lib/Exception.h"
#include "Lib/FSX/FSXKeyHandler.h"
#include "Lib/FSX/NamedVariable.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/TimerMixin.h"

#include <memory>
#include <stdexcept>

namespace {

struct Faulty : except::TimerMixin, except::FSXKeyHandler {
    void onTimer(std::uint32_t) override {
        if (++ticks == 3) {
            throw except::Exception("the third tick fails", "FaultyGauge", "Faulty::onTimer", 1);
        }
        except::NamedVariable("faulty_ticks").SetInt(ticks);
    }
    bool onKeyEvent(std::uint32_t id, std::uint32_t) override {
        if (id == 0xBAD) {
            throw std::runtime_error("a bad key");
        }
        return true;
    }
    int ticks = 0;
};

std::unique_ptr<Faulty> faulty;

void ZV_STDCALL Initialise() {
    faulty = std::make_unique<Faulty>();
    faulty->startTimer(0, 10);
    faulty->Register();
}

void ZV_STDCALL Deinitialise() {
    faulty.reset();
}

} // namespace

extern "C" {
ZV_EXPORT fsx::LinkageRecord Linkage = {
    fsx::kModuleId,    &Initialise, &Deinitialise, 0, 0, fsx::kModuleInterfaceVersion,
    {nullptr, nullptr}};
}
