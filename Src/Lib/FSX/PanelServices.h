#pragma once

#include "Lib/FSX/GaugeAbi.h"

#include <cstdint>

#if defined(_WIN32)
#define ZV_EXPORT __declspec(dllexport)
#else
#define ZV_EXPORT __attribute__((visibility("default")))
#endif

// The import record the host fills with its panel-service table.
extern "C" ZV_EXPORT fsx::ImportTableRecord ImportTable;

// Typed calls into the host's panel-service table. A host that left the table or a slot empty
// gets no call, and the caller sees 0 (or the invalid id).
namespace fsx {

// Read on every host call, so kept inline.
inline const PanelServiceTable* Services() {
    return ImportTable.services;
}

template <typename S, typename R, typename... Args> R CallOr(R fallback, Args... args) {
    const auto fn = Get<S>(Services());
    return fn != nullptr ? fn(args...) : fallback;
}

template <typename S, typename... Args> void CallVoid(Args... args) {
    const auto fn = Get<S>(Services());
    if (fn != nullptr) {
        fn(args...);
    }
}

inline Word TriggerKeyEvent(std::uint32_t id, std::uint32_t value) {
    return CallOr<slot::TriggerKeyEvent>(Word{0}, id, value);
}

inline Word TriggerKeyEvent2(std::uint32_t id, std::uint32_t value) {
    return CallOr<slot::TriggerKeyEvent2>(Word{0}, id, value);
}

inline Word PanelWindow(std::uint32_t ident) {
    return CallOr<slot::PanelWindow>(Word{0}, ident);
}

inline std::uint32_t GetUnitsEnum(const char* unitName) {
    return CallOr<slot::GetUnitsEnum>(kInvalidId, unitName);
}

inline std::uint32_t GetAircraftVarEnum(const char* variableName) {
    return CallOr<slot::GetAircraftVarEnum>(kInvalidId, variableName);
}

inline double AircraftVarget(std::uint32_t variable, std::uint32_t units, std::uint32_t index) {
    return CallOr<slot::AircraftVarget>(0.0, variable, units, index);
}

} // namespace fsx
