// Creating desktops and starting processes on them through the simulated window station,
// which the desktop creator's tests rely on behaving as the real one does.

#include "desktops/tileswitchUtils.h"
#include "fake/FakeWindowStation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace ombrevane {
namespace {

using fake::FakeProcess;
using fake::FakeProcessInfo;
using fake::FakeWindowStation;

constexpr const char* kExe = "C:\\Ombrevane\\bin\\ombrevane.exe";

class DesktopStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        station.AddDesktop("Default");
        station.AddProcess(10, kExe);
    }

    const FakeProcessInfo* Started(std::uint32_t id) {
        for (const FakeProcessInfo& p : station.processes) {
            if (p.id == id) {
                return &p;
            }
        }
        return nullptr;
    }

    FakeWindowStation station;
    FakeProcess process{station, 10, kExe, "Default"};
};

TEST_F(DesktopStartTest, CreationMakesOrOpensTheDesktopAndHoldsItUntilReleased) {
    station.AddDesktop("Locked", true);
    station.RefuseCreation("SecretDesktop##2");
    {
        const auto created = process.CreateOrOpenDesktop("SecretDesktop##1");
        ASSERT_TRUE(created);
        EXPECT_EQ(created->Name(), "SecretDesktop##1");
        const auto opened = process.CreateOrOpenDesktop("SecretDesktop##1");
        ASSERT_TRUE(opened);
        EXPECT_EQ(station.Holds("SecretDesktop##1"), 2);
        EXPECT_FALSE(process.CreateOrOpenDesktop("SecretDesktop##2"));
        EXPECT_FALSE(process.CreateOrOpenDesktop("Locked"));
    }
    EXPECT_EQ(station.Holds("SecretDesktop##1"), 0);
    EXPECT_EQ(process.DesktopNames(),
              (std::vector<std::string>{"Default", "Locked", "SecretDesktop##1"}));
    EXPECT_EQ(station.createAttempts.size(), 4u);
}

TEST_F(DesktopStartTest, AStartedProcessRunsOnItsDesktopUnderItsProgramPath) {
    process.CreateOrOpenDesktop("SecretDesktop##1");
    station.AddDesktop("Locked", true);
    station.missingPrograms.push_back("C:\\Missing\\app.exe");
    struct Case {
        ProcessLaunch launch;
        const char* program; // null: the start fails
        const char* desktop;
    };
    const Case cases[] = {
        {{kExe, "", "SecretDesktop##1", ""}, kExe, "SecretDesktop##1"},
        {{"C:\\windows\\explorer.exe", "", "", ""}, "C:\\windows\\explorer.exe", "Default"},
        {{"", "\"D:\\Tools\\app.exe\" -x", "", "D:\\Tools"}, "D:\\Tools\\app.exe", "Default"},
        {{"", "notepad.exe file.txt", "SecretDesktop##1", ""}, "notepad.exe", "SecretDesktop##1"},
        {{"", "", "", ""}, nullptr, nullptr},
        {{"", "\"unclosed", "", ""}, nullptr, nullptr},
        {{"C:\\Missing\\app.exe", "", "", ""}, nullptr, nullptr},
        {{kExe, "", "SecretDesktop##3", ""}, nullptr, nullptr}, // no such desktop
        {{kExe, "", "Locked", ""}, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const std::uint32_t id = process.StartProcessOnDesktop(c.launch);
        const std::string what = c.launch.imagePath + " / " + c.launch.commandLine;
        if (c.program == nullptr) {
            EXPECT_EQ(id, 0u) << what;
            continue;
        }
        ASSERT_NE(id, 0u) << what;
        const FakeProcessInfo* started = Started(id);
        ASSERT_NE(started, nullptr) << what;
        EXPECT_EQ(started->imagePath, c.program) << what;
        EXPECT_EQ(started->desktop, c.desktop) << what;
        EXPECT_EQ(started->commandLine, c.launch.commandLine) << what;
        EXPECT_EQ(started->workingDirectory, c.launch.workingDirectory) << what;
        const std::vector<ProcessEntry> listed = process.Processes();
        EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [&](const ProcessEntry& p) {
            return p.id == id && p.imagePath == c.program;
        })) << what;
    }
    EXPECT_EQ(station.launches.size(), std::size(cases));
    EXPECT_EQ(process.WindowsDirectory(), "C:\\windows");
}

TEST_F(DesktopStartTest, AStartedProgramCanShowItsWindowsToTheSearch) {
    // The started copy plays the program: it opens its task bar on its own desktop.
    station.onProcessStarted = [&](const FakeProcessInfo& started) {
        station.AddWindow(started.desktop, "Shell_TrayWnd", started.id);
    };
    const auto desktop = process.CreateOrOpenDesktop("SecretDesktop##1");
    ASSERT_TRUE(desktop);
    EXPECT_EQ(FindWindowOnDesktop(process, desktop->Name(), "Shell_TrayWnd"), 0u);
    ProcessLaunch launch;
    launch.imagePath = "C:\\windows\\explorer.exe";
    launch.desktop = desktop->Name();
    const std::uint32_t id = process.StartProcessOnDesktop(launch);
    const WindowId tray = FindWindowOnDesktop(process, desktop->Name(), "Shell_TrayWnd");
    ASSERT_NE(tray, 0u);
    EXPECT_EQ(process.WindowProcessId(tray), id);
}

TEST_F(DesktopStartTest, CreatorsOnSeveralThreadsEachGetTheirDesktopAndProcess) {
    constexpr int kCreators = 4;
    std::vector<std::uint32_t> ids(kCreators);
    std::vector<std::thread> threads;
    for (int i = 0; i < kCreators; ++i) {
        threads.emplace_back([&, i] {
            FakeProcess creator(station, 10, kExe, "Default");
            const auto desktop = creator.CreateOrOpenDesktop(DesktopNameOfIndex(i + 1));
            ProcessLaunch launch;
            launch.imagePath = kExe;
            launch.desktop = desktop ? desktop->Name() : "";
            for (int round = 0; round < 50; ++round) {
                FindWindowOnDesktop(creator, launch.desktop, "Shell_TrayWnd");
            }
            ids[i] = creator.StartProcessOnDesktop(launch);
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int i = 0; i < kCreators; ++i) {
        const FakeProcessInfo* started = Started(ids[i]);
        ASSERT_NE(started, nullptr);
        EXPECT_EQ(started->desktop, DesktopNameOfIndex(i + 1));
        EXPECT_EQ(station.Holds(started->desktop), 0);
    }
    EXPECT_EQ(station.desktops.size(), 1u + kCreators);
}

} // namespace
} // namespace ombrevane
