#pragma once

#include "Lib/NonCopyable.h"

#include <cstdint>
#include <string>

// The user's settings: the path of the settings file and the values of its "power", "cabin" and
// "failures" sections. Read on the first tick after a "SimStart", written every four seconds and
// at shutdown; systems with keys of their own read and write them through the same codec.
class Options : private except::NonCopyable, public except::SingletonStatic<Options> {
public:
    // Computes the path of the settings file in the per-user folder (and makes the folder).
    void SetupPath();
    void Load();
    void Save();

    std::string path;
    double battery1 = -1.0;
    double battery2 = -1.0;
    double batteryRadio = -1.0;
    std::uint32_t pilot1Weight = 80;
    std::uint32_t pilot2Weight = 80;
    std::uint32_t waterTankWeight = 0;
    int activePilot = 1;
    int backSeat = 0;
    bool frontSeat = true;

    // ---- the value codec ----------------------------------------------------------------------
    static std::string ReadText(const char* section, const char* key, const char* defaultText,
                                const std::string& file);
    static int ReadInt(const char* section, const char* key, int defaultValue,
                       const std::string& file);
    static double ReadDouble(const char* section, const char* key, double defaultValue,
                             const std::string& file);
    static bool ReadBool(const char* section, const char* key, bool defaultValue,
                         const std::string& file);
    static bool WriteInt(const char* section, const char* key, int value, const std::string& file);
    static bool WriteDouble(const char* section, const char* key, double value,
                            const std::string& file);
    static bool WriteBool(const char* section, const char* key, bool value,
                          const std::string& file);

private:
    friend class except::SingletonStatic<Options>;
    Options() = default;
};
