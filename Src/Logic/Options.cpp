#include "Logic/Options.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Lib/Platform/Profile.h"
#include "Logic/CockpitState.h"
#include "Logic/ModuleState.h"
#include "Logic/SystemRegistry.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <locale>
#include <sstream>
#include <type_traits>

namespace {

constexpr const char* kPower = "power";
constexpr const char* kCabin = "cabin";
constexpr const char* kFailures = "failures";

// A system's own keys, read or written where the registry and that system exist.
void LoadSystemSettings(SystemRegistry::Position position, const std::string& file) {
    if (SystemBase* system =
            module::registry != nullptr ? module::registry->At(position) : nullptr) {
        system->LoadSettings(file);
    }
}

void SaveSystemSettings(SystemRegistry::Position position, const std::string& file) {
    if (SystemBase* system =
            module::registry != nullptr ? module::registry->At(position) : nullptr) {
        system->SaveSettings(file);
    }
}

// A plain decimal text ("-12", "0.25"), as a save writes most numbers, reads the same with or
// without a stream, and a load reads some fifty of them; false for any other text. The digits
// are spanned by the library, not tested one by one.
template <typename T> bool ParsePlain(const std::string& text, T& value) {
    constexpr std::size_t kLongest = std::is_floating_point_v<T> ? 15 : 9; // no overflow either
    constexpr const char* kDigits = "0123456789";
    const char* const end = text.c_str() + text.size();
    const char* at = text.c_str() + (text[0] == '-' ? 1 : 0); // text[0] of "" is its NUL
    std::size_t digits = std::strspn(at, kDigits);
    at += digits;
    if constexpr (std::is_floating_point_v<T>) {
        // One point, with digits on both sides.
        const std::size_t fraction = *at == '.' && digits > 0 ? std::strspn(at + 1, kDigits) : 0;
        if (fraction > 0) {
            digits += fraction;
            at += 1 + fraction;
        }
    }
    if (at != end || digits == 0 || digits > kLongest) {
        return false; // something else too (a NUL included), or no digit, or too many
    }
    const auto read = std::from_chars(text.data(), end, value);
    return read.ec == std::errc() && read.ptr == end;
}

// Reads a number with the stream rules; a text that is no number reads as the default.
template <typename T> T ParseOr(const std::string& text, T defaultValue) {
    T plain{};
    if (ParsePlain(text, plain)) {
        return plain;
    }
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    T value{};
    in >> value;
    return in.fail() ? defaultValue : value;
}

// A number as the classic stream writes it (six significant digits for a double, "%g"), made
// without a stream: every save formats some sixty values.
template <typename T> std::string Format(T value) {
    char text[32];
    std::to_chars_result written{};
    if constexpr (std::is_floating_point_v<T>) {
        written = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    } else {
        written = std::to_chars(text, text + sizeof text, value);
    }
    return std::string(text, written.ptr);
}

// Compared in place, without a copy of the candidate: a load tries some hundred of them.
bool EqualsIgnoringCase(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Seat choices from the file, as the service panel shows them.
void ApplyFrontSeat(bool frontSeat) {
    if (!frontSeat) {
        return;
    }
    if (ServicePanelSelection.coversMode) {
        ServicePanelSelection.frontSeatSelection = 0;
        ServicePanelSelection.pilotSelection = 2;
    } else {
        ServicePanelSelection.frontSeatSelection = 1;
        if (ServicePanelSelection.backSeatSelection != 1) {
            ServicePanelSelection.pilotSelection = 0;
        }
    }
}

void ApplyBackSeat(int backSeat) {
    if (backSeat != 1 && backSeat != 2) {
        return;
    }
    if (ServicePanelSelection.coversMode) {
        ServicePanelSelection.backSeatSelection = 0;
        ServicePanelSelection.pilotSelection = 2;
    } else if (backSeat == 1) {
        ServicePanelSelection.backSeatSelection = 1;
    } else {
        ServicePanelSelection.backSeatSelection = 2;
        if (ServicePanelSelection.frontSeatSelection == 1) {
            ServicePanelSelection.pilotSelection = 0;
        }
    }
}

void ApplyActivePilot(int activePilot) {
    if (activePilot == 1) {
        ServicePanelSelection.pilotSelection =
            ServicePanelSelection.frontSeatSelection != 0 ? 0 : 2;
    } else if (activePilot == 2) {
        ServicePanelSelection.pilotSelection = ServicePanelSelection.frontSeatSelection != 0 ||
                                                       ServicePanelSelection.backSeatSelection == 1
                                                   ? 1
                                                   : 2;
    }
}

std::uint32_t CrewMass(int value) {
    // Kept unsigned as the file's owner did: a negative text wraps and so lands on the maximum.
    return std::clamp(static_cast<std::uint32_t>(value), 65u, 95u);
}

} // namespace

std::string Options::ReadText(const char* section, const char* key, const char* defaultText,
                              const std::string& file) {
    return platform::ProfileRead(file, section, key, defaultText);
}

int Options::ReadInt(const char* section, const char* key, int defaultValue,
                     const std::string& file) {
    const std::string text = ReadText(section, key, Format(defaultValue).c_str(), file);
    return text.empty() ? defaultValue : ParseOr(text, defaultValue);
}

double Options::ReadDouble(const char* section, const char* key, double defaultValue,
                           const std::string& file) {
    const std::string text = ReadText(section, key, Format(defaultValue).c_str(), file);
    return text.empty() ? defaultValue : ParseOr(text, defaultValue);
}

bool Options::ReadBool(const char* section, const char* key, bool defaultValue,
                       const std::string& file) {
    const std::string text = ReadText(section, key, defaultValue ? "True" : "False", file);
    if (text.empty()) {
        return defaultValue;
    }
    for (const char* yes : {"true", "1", "yes", "on", "enable"}) {
        if (EqualsIgnoringCase(text, yes)) {
            return true;
        }
    }
    return false;
}

bool Options::WriteInt(const char* section, const char* key, int value, const std::string& file) {
    return platform::ProfileWrite(file, section, key, Format(value));
}

bool Options::WriteDouble(const char* section, const char* key, double value,
                          const std::string& file) {
    return platform::ProfileWrite(file, section, key, Format(value));
}

bool Options::WriteBool(const char* section, const char* key, bool value, const std::string& file) {
    return platform::ProfileWrite(file, section, key, value ? "True" : "False");
}

void Options::SetupPath() {
    const std::string base = platform::UserSettingsFolder();
    if (base.empty()) {
        return;
    }
    const char sep = platform::FolderSeparator();
    const std::string folder = platform::AbsolutePath(base + sep + "PelmoraGrp" + sep + "zelvan");
    if (folder.empty()) {
        return;
    }
    platform::CreateFolderTree(folder);
    path = folder + sep + "config.ini";
}

void Options::Load() {
    if (!module::settingsLoaded) {
        return;
    }
    if (path.empty()) {
        SetupPath();
    }
    const platform::ProfileBatch batch(path);
    const bool onGround = fsx::OnGround(module::ReadGaugeVar(fsx::token::kOnGround));

    battery1 = std::clamp(ReadDouble(kPower, "battery1", -1.0, path), -1.0, 1.0);
    battery2 = std::clamp(ReadDouble(kPower, "battery2", -1.0, path), -1.0, 1.0);
    batteryRadio = std::clamp(ReadDouble(kPower, "batteryRadio", -1.0, path), -1.0, 1.0);

    frontSeat = ReadBool(kCabin, "frontSeat", true, path);
    if (!onGround) {
        frontSeat = true;
    }
    ApplyFrontSeat(frontSeat);

    pilot1Weight = CrewMass(ReadInt(kCabin, "pilot1Weight", 80, path));
    ServicePanelSelection.pilot1Weight =
        std::clamp(static_cast<std::int32_t>(pilot1Weight), ServicePanelSelection.weightMin,
                   ServicePanelSelection.weightMax);
    pilot2Weight = CrewMass(ReadInt(kCabin, "pilot2Weight", 80, path));
    ServicePanelSelection.pilot2Weight =
        std::clamp(static_cast<std::int32_t>(pilot2Weight), ServicePanelSelection.weightMin,
                   ServicePanelSelection.weightMax);

    waterTankWeight =
        std::min(static_cast<std::uint32_t>(ReadInt(kCabin, "waterTankWeight", 0, path)), 94u);
    ServicePanelSelection.waterTankWeight = std::clamp(static_cast<std::int32_t>(waterTankWeight),
                                                       0, ServicePanelSelection.waterTankMax);

    // Held to the choices the panel offers: a hand-edited value below them reads as an empty
    // seat, as one above them reads as the water tank.
    backSeat = std::clamp(ReadInt(kCabin, "backSeat", 0, path), 0, 2);
    ApplyBackSeat(backSeat);

    // A pilot other than the two reads as the default, the first.
    activePilot = ReadInt(kCabin, "activePilot", 1, path);
    if (!onGround || (activePilot != 1 && activePilot != 2)) {
        activePilot = 1;
    }
    ApplyActivePilot(activePilot);

    LoadSystemSettings(SystemRegistry::kPower, path);

    ServicePanelSelection.slider =
        std::clamp(ReadInt(kFailures, "slider", 0, path), 0, ServicePanelSelection.sliderMax);

    LoadSystemSettings(SystemRegistry::kVisualStaff, path);
    LoadSystemSettings(SystemRegistry::kAGD, path);
    LoadSystemSettings(SystemRegistry::kFailures, path);
    LoadSystemSettings(SystemRegistry::kDummies, path);
}

void Options::Save() {
    if (!module::settingsLoaded) {
        return;
    }
    const platform::ProfileBatch batch(path);
    WriteDouble(kPower, "battery1", battery1, path);
    WriteDouble(kPower, "battery2", battery2, path);
    WriteDouble(kPower, "batteryRadio", batteryRadio, path);

    // The masses the panel shows, not the payload copies: those are 0 for an empty seat and would
    // turn a pilot's mass into the lowest one on the next flight after every flight without them
    // (parking empties both seats). A seat's choice is stored apart, so nothing else changes.
    WriteInt(kCabin, "pilot1Weight", ServicePanelSelection.pilot1Weight, path);
    WriteInt(kCabin, "pilot2Weight", ServicePanelSelection.pilot2Weight, path);
    WriteInt(kCabin, "waterTankWeight", ServicePanelSelection.waterTankWeight, path);
    WriteInt(kCabin, "backSeat", backSeat, path);
    WriteBool(kCabin, "frontSeat", frontSeat, path);
    WriteInt(kCabin, "activePilot", activePilot, path);
    SaveSystemSettings(SystemRegistry::kVisualStaff, path);
    SaveSystemSettings(SystemRegistry::kAGD, path);
    SaveSystemSettings(SystemRegistry::kPower, path);

    WriteInt(kFailures, "slider", ServicePanelSelection.slider, path);
    SaveSystemSettings(SystemRegistry::kFailures, path);

    SaveSystemSettings(SystemRegistry::kDummies, path);
}
