#include "Logic/Systems/SoundSystem.h"

#include "Lib/Platform/Platform.h"
#include "Logic/ModuleState.h"
#include "Logic/SystemRegistry.h"

SoundSystem::~SoundSystem() = default;

void SoundSystem::SetSoundFolder(const std::string& folder) {
    if (&folder != &soundFolder) {
        soundFolder = folder;
    }
}

void SoundSystem::start() {
    if (!enabled) {
        return;
    }
    engine = std::make_unique<except::SoundEngine>();
    // A missing host window makes the engine refuse to start; the exception leaves start and is
    // reported by the application, which starts the other systems all the same.
    engine->Init(platform::FindWindowByClass("FS98MAIN"), 1);
    engine->SetBasePath(soundFolder);
    for (const char* file : kBank) {
        engine->SetSoundVolume(file, kBankVolume);
    }
}

void SoundSystem::stop() {
    if (enabled && engine != nullptr) {
        engine->Shutdown();
    }
}

namespace {

except::SoundEngine* RegisteredEngine() {
    if (module::registry == nullptr || module::registry->Sound() == nullptr) {
        return nullptr;
    }
    return module::registry->Sound()->Engine();
}

} // namespace

void PlayCockpitSound(std::string_view name) {
    if (except::SoundEngine* engine = RegisteredEngine()) {
        engine->PlaySound(name);
    }
}

void StopCockpitSound(std::string_view name) {
    if (except::SoundEngine* engine = RegisteredEngine()) {
        engine->StopSound(name);
    }
}
