#include "LoopbackHost.h"

#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <string_view>

namespace audiotest {

namespace {

// The tests need no sound card: the loopback device has no backend, and OpenAL is given no
// playback backend to probe, so the default device fails to open the same way on every machine
// (and no sound server's client threads run beside the tests).
[[maybe_unused]] const bool kNoPlaybackBackend = [] {
    setenv("ALSOFT_DRIVERS", "none", 1);
    return true;
}();

} // namespace

TempDir::TempDir() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() /
            ("zelvan-audio-" + std::to_string(seed()) + "-" + std::to_string(seed()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempDir::Write(const std::string& name, const Bytes& bytes) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

namespace {

// Appended piece by piece: GCC 12 at -O3 warns (wrongly) about overlapping copies in the
// temporaries of " " + text.
void NoteOperation(void* user, const char* op, const char* name, std::int32_t volume,
                   std::int32_t hasResult, std::int32_t result) {
    std::string line = op;
    if (name != nullptr) {
        line.append(" ").append(name);
    }
    if (std::string_view(op) == "volume") {
        line.append(" ").append(std::to_string(volume));
    }
    if (hasResult != 0) {
        line.append(" = ").append(std::to_string(result));
    }
    static_cast<LoopbackHost*>(user)->operations.push_back(line);
}

} // namespace

LoopbackHost::LoopbackHost() : device(&NoteOperation, this) {}

std::vector<std::int16_t> LoopbackHost::Render(std::uint32_t steps) {
    std::vector<std::int16_t> out(2 * static_cast<std::size_t>(steps) * kFramesPerStep);
    for (std::uint32_t i = 0; i < steps; ++i) {
        if (!device.RenderStep(out.data() + 2 * std::size_t{i} * kFramesPerStep)) {
            ADD_FAILURE() << "no loopback device is open";
            break;
        }
    }
    return out;
}

void LoopbackHost::LoseBuffers(std::uint32_t failingRestores) {
    ASSERT_NE(record.lose_buffers, nullptr);
    record.lose_buffers(record.context, failingRestores);
}

void EngineTest::SetUp() {
    window = zvrt_create_window("FS98MAIN");
    engine.Init(window, 1);
    engine.SetBasePath(dir.BasePath());
}

void EngineTest::TearDown() {
    engine.Shutdown();
    zvrt_destroy_window(window);
}

std::uint32_t EngineTest::Cursor(const std::string& name) {
    std::uint32_t position = 0xFFFFFFFFu;
    except::Sound* sound = engine.GetSound(name);
    if (sound != nullptr) {
        sound->GetBuffer(0)->GetCurrentPosition(&position, nullptr);
    }
    return position;
}

} // namespace audiotest
