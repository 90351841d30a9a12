#include "Lib/FSX/FSXKeyHandler.h"

#include "Lib/FSX/PanelServices.h"
#include "Lib/HostEntry.h"

namespace except {

FSXKeyHandler::~FSXKeyHandler() {
    Unregister();
}

void FSXKeyHandler::Register() {
    if (registered) {
        Unregister();
    }
    fsx::CallVoid<fsx::slot::RegisterKeyEventHandler>(&FSXKeyHandler::HandlerProc,
                                                      static_cast<void*>(this));
    registered = true;
}

void FSXKeyHandler::Unregister() {
    if (!registered) {
        return;
    }
    fsx::CallVoid<fsx::slot::UnregisterKeyEventHandler>(&FSXKeyHandler::HandlerProc,
                                                        static_cast<void*>(this));
    registered = false;
}

std::int32_t ZV_STDCALL FSXKeyHandler::HandlerProc(std::uint32_t eventId, std::uint32_t value,
                                                   void* user) {
    bool result = false;
    GuardHostEntry("key event handler", [&] {
        auto* handler = static_cast<FSXKeyHandler*>(user);
        if (handler != nullptr && handler->registered) {
            result = handler->onKeyEvent(eventId, value);
        }
    });
    return result ? 1 : 0;
}

} // namespace except
