// The platform layer's Windows side against the system's own services (under Wine here): thread
// timers ticked by a message loop, window lookup, the executable's version resource, the library
// loader, the settings file in the Saved Games folder, and DirectSound through the sound engine.
#include "Lib/Platform/Platform.h"
#include "Bench/Host/HostSystem.h"
#include "Lib/Audio/SoundEngine.h"
#include "Lib/Exception.h"
#include "Lib/Platform/Profile.h"

#include <gtest/gtest.h>

// Without the multimedia header, whose PlaySound macro would rename the engine's.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <tlhelp32.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

int ticks = 0;
void CountTick(void*, std::uint32_t message, platform::TimerId, std::uint32_t) {
    ticks += message == WM_TIMER ? 1 : 0;
}

// Runs this thread's message loop for a while, as the host's UI thread does.
void RunMessageLoop(std::chrono::milliseconds span) {
    const auto until = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < until) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

HWND MakeWindow(const char* className) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, className, "", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whether `holds` comes true within 3 s, asked every 20 ms: what another thread of the system
// does in its own time (a device's mixer starting, its threads ending) is waited for, not timed.
template <typename Predicate> bool Eventually(Predicate holds) {
    for (int i = 0; i < 150; ++i) {
        if (holds()) {
            return true;
        }
        Sleep(20);
    }
    return holds();
}

std::size_t ThreadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    std::size_t count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    }
    CloseHandle(snapshot);
    return count;
}

fs::path Scratch(const char* name) {
    const fs::path folder = fs::temp_directory_path() / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

} // namespace

TEST(Win32Platform, ThreadTimersTickThroughTheMessageLoopUntilKilled) {
    ticks = 0;
    const platform::TimerId id = platform::SetTimer(10, &CountTick);
    ASSERT_NE(id, 0u);
    RunMessageLoop(std::chrono::milliseconds(300));
    EXPECT_GE(ticks, 5) << "a 10 ms timer ticks while the loop runs";
    platform::KillTimer(id);
    RunMessageLoop(std::chrono::milliseconds(20)); // a tick already posted may still arrive
    const int afterKill = ticks;
    RunMessageLoop(std::chrono::milliseconds(100));
    EXPECT_EQ(ticks, afterKill) << "no tick after KillTimer";
    EXPECT_EQ(platform::SetTimer(10, nullptr), 0u);
}

// What the Windows bench relies on to unload a module safely: timers left running are found by
// their ticks and stopped before anything calls them.
TEST(Win32Platform, TheBenchFindsAndStopsTimersLeftRunning) {
    ticks = 0;
    ASSERT_NE(platform::SetTimer(10, &CountTick), 0u);
    ASSERT_NE(platform::SetTimer(50, &CountTick), 0u);
    EXPECT_EQ(bench::hostsystem::StopLeftoverTimers(), 2u);
    RunMessageLoop(std::chrono::milliseconds(100));
    EXPECT_EQ(ticks, 0) << "neither was called";
    EXPECT_EQ(bench::hostsystem::StopLeftoverTimers(), 0u);
}

TEST(Win32Platform, TheHostsWindowAndVersionAreTheSystemsOwn) {
    EXPECT_EQ(platform::FindWindowByClass("ZelvanNoSuchWindowClass"), nullptr);
    HWND window = MakeWindow("FS98MAIN");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(platform::FindWindowByClass("FS98MAIN"), window);
    DestroyWindow(window);

    // This program carries the simulator stand-in's version resource.
    platform::FileVersion version;
    ASSERT_TRUE(platform::ReadHostExecutableVersion(version));
    EXPECT_EQ(version.major, 10);
    EXPECT_EQ(version.build, 61355);
    EXPECT_EQ(version.productName, "zelvan-bench");
    EXPECT_EQ(version.companyName, "Zelvan bench");
}

TEST(Win32Platform, LibrariesLoadByRelativePathWithEitherSeparator) {
    const fs::path root = Scratch("zelvan-win-loader");
    fs::create_directories(root / "bin");
    fs::copy_file(ZELVAN_STANDIN, root / "bin" / "sc_sp1.dll");
    const fs::path previous = fs::current_path();
    fs::current_path(root);
    platform::LibraryHandle library = platform::LoadDynamicLibrary("bin/sc_sp1.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_NE(platform::FindSymbol(library, "SimConnect_Open"), nullptr);
    EXPECT_EQ(platform::FindSymbol(library, "SimConnect_NoSuchCall"), nullptr);
    platform::FreeDynamicLibrary(library);
    EXPECT_EQ(platform::LoadDynamicLibrary("bin\\missing.dll"), nullptr) << "and no dialog";
    fs::current_path(previous);
    fs::remove_all(root);
}

TEST(Win32Platform, TheSettingsFileLivesInSavedGamesAndIsTheSystemsProfile) {
    const std::string base = platform::UserSettingsFolder();
    ASSERT_FALSE(base.empty());
    EXPECT_NE(base.find("Saved Games"), std::string::npos) << base;
    EXPECT_EQ(platform::FolderSeparator(), '\\');

    const fs::path folder = Scratch("zelvan-win-settings");
    const std::string nested = (folder / "PelmoraGrp" / "zelvan").string();
    ASSERT_TRUE(platform::CreateFolderTree(nested));
    const std::string path = platform::AbsolutePath(nested + "\\.\\config.ini");
    EXPECT_EQ(path, nested + "\\config.ini");

    EXPECT_EQ(platform::ProfileRead(path, "cabin", "pilot1Weight", "80"), "80");
    {
        const platform::ProfileBatch batch(path);
        EXPECT_TRUE(platform::ProfileWrite(path, "cabin", "pilot1Weight", "70"));
        EXPECT_TRUE(platform::ProfileWrite(path, "power", "battery1", "0.5"));
        EXPECT_EQ(ReadAll(path), "[cabin]\r\npilot1Weight=70\r\n[power]\r\nbattery1=0.5\r\n")
            << "every write is the system's own";
    }
    EXPECT_TRUE(platform::ProfileWrite(path, "Cabin", "PILOT1WEIGHT", "75"));
    EXPECT_EQ(platform::ProfileRead(path, "CABIN", "pilot1weight", ""), "75");
    EXPECT_EQ(platform::ProfileRead(path, "power", "battery1", ""), "0.5");

    // A damaged header is terminated when a load begins, so its keys are read and saved there.
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << "[power]\r\nbattery1=0.5\r\n[cabin\r\nbackSeat=2\r\n";
    for (int save = 0; save < 3; ++save) {
        const platform::ProfileBatch batch(path);
        EXPECT_EQ(platform::ProfileRead(path, "cabin", "backSeat", ""), save == 0 ? "2" : "1");
        EXPECT_TRUE(platform::ProfileWrite(path, "cabin", "backSeat", "1"));
    }
    EXPECT_EQ(ReadAll(path), "[power]\r\nbattery1=0.5\r\n[cabin]\r\nbackSeat=1\r\n");
    EXPECT_FALSE(fs::exists(path + ".new")) << "the repaired file replaced the old one";

    // The files the module saved before read as they did, by the system's functions too.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(ZELVAN_EARLIER_SETTINGS)) {
        if (entry.path().extension() != ".ini") {
            continue;
        }
        ++files;
        std::ifstream reads(fs::path(entry.path()).replace_extension(".reads"));
        for (std::string line; std::getline(reads, line);) {
            const std::size_t slash = line.find('/');
            const std::size_t equals = line.find('=');
            EXPECT_EQ(platform::ProfileRead(entry.path().string(), line.substr(0, slash).c_str(),
                                            line.substr(slash + 1, equals - slash - 1).c_str(),
                                            "(none)"),
                      line.substr(equals + 1))
                << entry.path() << " " << line;
        }
    }
    EXPECT_EQ(files, 3);

    // A folder in the file's place reads as no file and cannot be written over.
    const std::string blocked = (folder / "blocked.ini").string();
    fs::create_directories(blocked);
    EXPECT_EQ(platform::ProfileRead(blocked, "cabin", "pilot1Weight", "80"), "80");
    EXPECT_FALSE(platform::ProfileWrite(blocked, "cabin", "pilot1Weight", "70"));
    fs::remove_all(folder);
}

TEST(Win32Platform, TheSoundBankPlaysThroughDirectSoundAndTheLoopSustains) {
    HWND window = MakeWindow("ZelvanSoundTest");
    ASSERT_NE(window, nullptr);
    const std::size_t threadsBefore = ThreadsOfThisProcess();
    except::SoundEngine engine;
    engine.Init(window, 1);
    ASSERT_TRUE(engine.HasDevice());
    ASSERT_TRUE(engine.WorkerRunning());
    EXPECT_GT(ThreadsOfThisProcess(), threadsBefore) << "the sound worker runs beside";
    engine.SetBasePath(std::string(ZELVAN_SOUNDBANK) + "\\");

    // A slide of about half a second: played from the start, its cursor moves, and it ends.
    EXPECT_EQ(engine.PlaySound("slidew_open.wav"), 0) << "DirectSound played the buffer";
    except::Sound* slide = engine.GetSound("slidew_open.wav");
    ASSERT_NE(slide, nullptr);
    EXPECT_TRUE(slide->IsPlaying());
    // The device's mixer may start late on a busy machine: the cursor is given up to 3 s.
    std::uint32_t cursor = 0;
    EXPECT_TRUE(Eventually([&] {
        return slide->GetBuffer(0)->GetCurrentPosition(&cursor, nullptr) == 0 && cursor > 0;
    })) << "the play cursor moves";
    EXPECT_EQ(engine.PlaySound("slidew_open.wav"), 1) << "still playing: not restarted";
    Sleep(1000);
    EXPECT_FALSE(slide->IsPlaying()) << "a sound without a loop ends";

    // The flap motor loops over its steady part: DirectSound signals the loop end and the
    // worker sends the cursor back, so it still plays long after its length; stopped, it plays
    // its spin-down and ends.
    EXPECT_EQ(engine.PlaySound("zelvan_flaps.wav"), 0);
    except::Sound* flaps = engine.GetSound("zelvan_flaps.wav");
    ASSERT_NE(flaps, nullptr);
    ASSERT_TRUE(flaps->IsLooped());
    const double seconds = static_cast<double>(flaps->BufferBytes()) / (44100.0 * 2.0);
    Sleep(static_cast<DWORD>(seconds * 1000.0 * 2.5));
    EXPECT_TRUE(flaps->IsPlaying()) << "a " << seconds << " s sound with a loop sustains";
    engine.StopSound("zelvan_flaps.wav");
    Sleep(static_cast<DWORD>(seconds * 1000.0 + 300.0));
    EXPECT_FALSE(flaps->IsPlaying()) << "the spin-down ends the sound";

    // A damaged file is refused with its message; the engine goes on.
    const fs::path folder = Scratch("zelvan-win-damaged");
    std::ofstream(folder / "bad.wav", std::ios::binary)
        << std::string("RIFF\x10\0\0\0WAVEjunk", 16);
    except::Sound* bad = nullptr;
    try {
        engine.Create(&bad, (folder / "bad.wav").string(), nullptr, 0, {}, 1);
        ADD_FAILURE() << "a damaged file was accepted";
    } catch (const except::Exception& e) {
        EXPECT_EQ(e.Message(), "Wave is blank,so don't create it");
    }
    EXPECT_EQ(engine.PlaySound("sw_click.wav"), 0) << "the engine goes on";

    engine.Shutdown();
    EXPECT_FALSE(engine.WorkerRunning());
    EXPECT_TRUE(Eventually([&] { return ThreadsOfThisProcess() == threadsBefore; }))
        << "the worker and the device's threads are gone with the engine";
    DestroyWindow(window);
    fs::remove_all(folder);
}
