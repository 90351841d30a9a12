// `zelvan-bench serve` as a user starts and stops it: a flight file that cannot be flown ends it
// with its message and exit 2, and SIGINT or SIGTERM ends it, whatever moment they come at.
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Long enough for any loaded machine; a bench that has not ended by then hangs.
constexpr auto kHang = std::chrono::seconds(20);

struct Ended {
    bool hung = false;
    bool byExit = false;
    int code = -1;
    int signal = 0;
    double secondsAfterSignal = 0.0; // from the signal to the end
    std::string out;
    std::string err;
};

// Runs the bench with `arguments`, sends `signal` after `delay` (none when 0) and waits for it
// to end.
Ended RunAndSignal(const std::vector<std::string>& arguments, int signal,
                   std::chrono::microseconds delay, const fs::path& folder) {
    const fs::path outFile = folder / "stdout.txt";
    const fs::path errFile = folder / "stderr.txt";
    const std::string bench = std::string(ZELVAN_BUILD_BIN) + "/zelvan-bench";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(bench.c_str()));
    for (const std::string& a : arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    // Emptied here: a child the signal ends before it opens them leaves them as they were.
    std::ofstream(outFile, std::ios::trunc).close();
    std::ofstream(errFile, std::ios::trunc).close();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execv(bench.c_str(), argv.data());
        ::_exit(127);
    }
    Ended ended;
    if (pid < 0) {
        ended.hung = true;
        return ended;
    }
    std::this_thread::sleep_for(delay);
    // A child that has ended stays a zombie until it is waited for: the signal cannot reach
    // another process.
    if (signal != 0) {
        ::kill(pid, signal);
    }
    const auto signalled = Clock::now();
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() - signalled > kHang) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            ended.hung = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ended.secondsAfterSignal = std::chrono::duration<double>(Clock::now() - signalled).count();
    ended.byExit = WIFEXITED(status);
    ended.code = ended.byExit ? WEXITSTATUS(status) : -1;
    ended.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    ended.out = testing_support::ReadAll(outFile);
    ended.err = testing_support::ReadAll(errFile);
    return ended;
}

struct Folder {
    Folder()
        : path(fs::temp_directory_path() / ("zelvan-serve-stop-" + std::to_string(::getpid()))) {
        fs::create_directories(path);
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

TEST(ServeStop, ABadFlightFileEndsWithItsMessageWhenAndWhereverItIsInterrupted) {
    const Folder folder;
    const fs::path missing = folder.path / "nosuch.igc";
    const fs::path damaged = folder.path / "damaged.igc";
    // A record cut short in the middle of the log.
    std::ofstream(damaged) << "AXXX001\nHFDTE070626\nB1200004807000N01100000EA0050000600\nB12\n"
                              "B1200024807000N01100000EA0050000600\n";

    // How long a start takes without a signal: the random moments cover it and a little more.
    auto lifetime = std::chrono::microseconds(0);
    for (const fs::path& file : {missing, damaged}) {
        const auto start = Clock::now();
        const Ended e = RunAndSignal({"serve", file.string(), "--port", "0"}, 0, {}, folder.path);
        lifetime = std::max(
            lifetime, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start));
        ASSERT_FALSE(e.hung) << file;
        EXPECT_TRUE(e.byExit && e.code == 2) << file << ": " << e.code << " " << e.signal;
        EXPECT_NE(e.err.find(file.filename().string()), std::string::npos) << e.err;
    }

    std::mt19937 random(20261207);
    std::uniform_int_distribution<std::int64_t> moment(0, lifetime.count() * 5 / 4);
    double slowest = 0.0;
    int beforeHandlers = 0;
    for (int run = 0; run < 100; ++run) {
        const fs::path& file = run % 2 == 0 ? missing : damaged;
        const int signal = run % 4 < 2 ? SIGINT : SIGTERM;
        const Ended e = RunAndSignal({"serve", file.string(), "--port", "0"}, signal,
                                     std::chrono::microseconds(moment(random)), folder.path);
        ASSERT_FALSE(e.hung) << "run " << run << " of " << file << " did not end";
        slowest = std::max(slowest, e.secondsAfterSignal);
        const bool listened = e.out.find("the cockpit is at http://") != std::string::npos;
        if (!e.byExit) {
            // Only a signal that comes before `serve` catches it ends the process at once, and
            // that is before the page's address.
            EXPECT_EQ(e.signal, signal) << "run " << run;
            EXPECT_FALSE(listened) << "run " << run << ": " << e.out;
            ++beforeHandlers;
            continue;
        }
        EXPECT_EQ(e.code, 2) << "run " << run << " of " << file << ": " << e.err;
        EXPECT_NE(e.err.find(file.filename().string()), std::string::npos)
            << "run " << run << ": " << e.err;
    }
    RecordProperty("slowest_end_after_signal_ms", static_cast<int>(slowest * 1000));
    RecordProperty("ended_by_the_signal_before_serve_caught_it", beforeHandlers);
    std::cout << "lifetime " << lifetime.count() / 1000 << " ms, slowest end after the signal "
              << static_cast<int>(slowest * 1000) << " ms, " << beforeHandlers
              << " of 100 ended by the signal before serve caught it\n";
}

TEST(ServeStop, AFlightEndsOnASignalAtAnyMomentWithRunsStatus) {
    const Folder folder;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> moment(0, 1500);
    double slowest = 0.0;
    for (int run = 0; run < 8; ++run) {
        const int signal = run % 2 == 0 ? SIGINT : SIGTERM;
        const Ended e = RunAndSignal(
            {"serve", "--port", "0", "--settings-dir", (folder.path / "settings").string()}, signal,
            std::chrono::milliseconds(moment(random)), folder.path);
        ASSERT_FALSE(e.hung) << "run " << run << " did not end";
        slowest = std::max(slowest, e.secondsAfterSignal);
        if (e.byExit) {
            EXPECT_EQ(e.code, 0) << "run " << run << ": " << e.err;
        } else {
            EXPECT_EQ(e.signal, signal) << "run " << run;
            EXPECT_EQ(e.out.find("the cockpit is at http://"), std::string::npos)
                << "run " << run << ": " << e.out;
        }
    }
    RecordProperty("slowest_end_after_signal_ms", static_cast<int>(slowest * 1000));
    std::cout << "slowest end of a flight after the signal " << static_cast<int>(slowest * 1000)
              << " ms\n";
}

} // namespace
