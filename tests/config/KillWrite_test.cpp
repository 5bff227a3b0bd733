// A writer process killed at random moments must never leave a settings file that is
// empty, unparsable or a mix of two saves.

#include "config/ConfigUnit.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace ombrevane {
namespace {

constexpr int kRounds = 200;

TDesktopConfig DesktopOfGeneration(int generation) {
    TDesktopConfig config(0);
    config.IsActive = generation % 2 == 1;
    config.Name = "Gen" + std::to_string(generation);
    for (int i = 0; i < generation % 4 + 1; ++i) {
        config.Programs.push_back("prog" + std::to_string(generation) + "_" + std::to_string(i));
    }
    config.PelsWidth = generation;
    return config;
}

TOptionsSettings OptionsOfGeneration(int generation) {
    TOptionsSettings settings;
    settings.HotKeyShowOptions = static_cast<std::uint16_t>(generation % 60000);
    settings.HotKeyNextDesktop = static_cast<std::uint16_t>((generation * 7) % 60000);
    settings.ComboBoxIdleTime = generation % 8;
    return settings;
}

void WriteGeneration(const std::string& dir, int generation) {
    SaveDesktopConfig(DesktopOfGeneration(generation), dir);
    SaveOptionsSettings(OptionsOfGeneration(generation), "", dir);
}

// The generation the desktop file holds, or -1 when it is not one complete save.
int DesktopGeneration(const std::string& dir) {
    TDesktopConfig loaded(0);
    LoadDesktopConfig(loaded, dir);
    if (loaded.Name.rfind("Gen", 0) != 0) {
        return -1;
    }
    const int generation = std::stoi(loaded.Name.substr(3));
    const TDesktopConfig expected = DesktopOfGeneration(generation);
    if (loaded.IsActive != expected.IsActive || loaded.Programs != expected.Programs ||
        loaded.PelsWidth != expected.PelsWidth) {
        return -1;
    }
    return generation;
}

int OptionsGeneration(const std::string& dir) {
    TOptionsSettings loaded;
    loaded.HotKeyShowOptions = 0xFFFF; // not a generation: an absent key shows
    std::string hash;
    if (!RestoreOptionsSettings(loaded, hash, dir) || loaded.HotKeyShowOptions == 0xFFFF) {
        return -1;
    }
    // Hot keys wrap at 60000; the generations of this test stay below that.
    const int generation = loaded.HotKeyShowOptions;
    const TOptionsSettings expected = OptionsOfGeneration(generation);
    if (loaded.HotKeyNextDesktop != expected.HotKeyNextDesktop ||
        loaded.ComboBoxIdleTime != expected.ComboBoxIdleTime) {
        return -1;
    }
    return generation;
}

TEST(KillWrite, EveryFileHoldsOneWholeSave) {
    test::TestFolder folder;
    const std::string dir = folder.Dir();
    WriteGeneration(dir, 0);

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delayMicroseconds(0, 8000);
    int lastDesktop = 0;
    int lastOptions = 0;
    int interrupted = 0;
    for (int round = 0; round < kRounds; ++round) {
        const int start = std::max(lastDesktop, lastOptions) + 1;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0) << "fork failed";
        if (child == 0) {
            for (int generation = start; generation < 60000; ++generation) {
                WriteGeneration(dir, generation);
            }
            ::_exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (WIFSIGNALED(status)) {
            ++interrupted;
        }

        const int desktop = DesktopGeneration(dir);
        const int options = OptionsGeneration(dir);
        ASSERT_GE(desktop, 0) << "round " << round << ": desktop0.ini is not one whole save:\n"
                              << test::ReadRaw(dir + "desktop0.ini");
        ASSERT_GE(options, 0) << "round " << round << ": tileswitch.ini is not one whole save:\n"
                              << test::ReadRaw(dir + "tileswitch.ini");
        // Old or new: never older than what was there before this writer started.
        EXPECT_GE(desktop, lastDesktop);
        EXPECT_GE(options, lastOptions);
        lastDesktop = desktop;
        lastOptions = options;
    }
    EXPECT_EQ(interrupted, kRounds) << "every writer was killed, none had finished";
    std::printf("kill test: %d writers killed; last generations %d and %d\n", interrupted,
                lastDesktop, lastOptions);
}

} // namespace
} // namespace ombrevane
