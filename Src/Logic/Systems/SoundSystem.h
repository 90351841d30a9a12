#pragma once

// Reads: the host's main window ("FS98MAIN", which the sound device needs); the aircraft's sound
//        folder, set by the simulator connection before the systems start.
// Writes: the sound engine's voices: the cockpit sounds of kBank preloaded at volume -1000 when
//        the systems start; other systems play and stop them by name through PlayCockpitSound
//        and StopCockpitSound.

#include "Lib/Audio/SoundEngine.h"
#include "Logic/SystemBase.h"

#include <memory>
#include <string>
#include <string_view>

// Owns the sound engine: points it at the aircraft's sound folder, preloads the cockpit sounds
// when the systems start and shuts it down when they stop. Other systems play through it by name.
class SoundSystem : public DefaultSystem {
public:
    // The cockpit sounds, in the order they are preloaded.
    static constexpr const char* kBank[] = {
        "sw_click.wav",     "zel_fonar_click.wav", "zel_fonar_close.wav", "slidew_open.wav",
        "slidew_close.wav", "zelvan_flaps.wav",    "agd_arr_pull.wav",    "agd_arr_push.wav"};
    static constexpr std::int32_t kBankVolume = -1000;

    SoundSystem() : DefaultSystem(0) {}
    ~SoundSystem() override;

    void SetSoundFolder(const std::string& folder);
    void start() override;
    void stop() override;

    except::SoundEngine* Engine() const { return engine.get(); }
    const std::string& SoundFolder() const { return soundFolder; }

private:
    std::string soundFolder;
    std::unique_ptr<except::SoundEngine> engine;
};

// Plays a cockpit sound through the registry's sound system (a sound still playing is not
// restarted), or stops it; silent without a sound system.
void PlayCockpitSound(std::string_view name);
void StopCockpitSound(std::string_view name);
