// Desktop creation over the simulated window station: which desktops get creators, what each
// creator starts there, and that freeing the creators waits for their work.

#include "desktops/DesktopCreatorUnit.h"

#include "config/TestFolder.h"
#include "fake/FakeWindowStation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace ombrevane {
namespace {

using fake::FakeProcess;
using fake::FakeProcessInfo;
using fake::FakeWindowStation;
using test::TestFolder;
using test::WriteRaw;

constexpr const char* kExe = "C:\\Ombrevane\\bin\\ombrevane.exe";
constexpr const char* kShell = "C:\\windows\\explorer.exe";

class DesktopCreatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        station.AddDesktop("Default");
        station.AddProcess(10, kExe);
    }

    void SetActive(int index, bool active) {
        WriteRaw(folder.Dir() + "desktop" + std::to_string(index) + ".ini",
                 std::string("[General]\r\nactive=") + (active ? "1" : "0") + "\r\n");
    }

    // Programs started on the desktop, in order.
    std::vector<std::string> StartedOn(const std::string& desktop) const {
        std::vector<std::string> programs;
        for (const ProcessLaunch& launch : station.launches) {
            if (launch.desktop == desktop) {
                programs.push_back(launch.imagePath);
            }
        }
        return programs;
    }

    FakeWindowStation station;
    FakeProcess process{station, 10, kExe, "Default"};
    TestFolder folder;
    SleepFunction noSleep = [](unsigned) {};
};

TEST_F(DesktopCreatorTest, OnlyActiveDesktopsGetCreatorsInIndexOrder) {
    SetActive(0, true); // "Default" is the platform's, never created
    SetActive(1, true);
    SetActive(2, false);
    SetActive(3, true);
    // desktop4.ini is missing: inactive.
    TDesktopCreatorList list(process, folder.Dir(), noSleep);

    list.CreateDesktops();
    EXPECT_EQ(list.Indexes(), (std::vector<int>{1, 3}));
    list.FreeDesktopCreators();

    EXPECT_TRUE(list.Indexes().empty());
    std::vector<std::string> attempts = station.createAttempts;
    std::sort(attempts.begin(), attempts.end());
    EXPECT_EQ(attempts, (std::vector<std::string>{"SecretDesktop##1", "SecretDesktop##3"}));
    EXPECT_EQ(StartedOn("SecretDesktop##1"), (std::vector<std::string>{kShell, kExe}));
    EXPECT_EQ(StartedOn("SecretDesktop##3"), (std::vector<std::string>{kShell, kExe}));
    EXPECT_EQ(station.launches.size(), 4u);
    for (const ProcessLaunch& launch : station.launches) {
        EXPECT_EQ(launch.commandLine, "");
        EXPECT_EQ(launch.workingDirectory, "");
    }
    EXPECT_EQ(station.Holds("SecretDesktop##1"), 0);
}

TEST_F(DesktopCreatorTest, NoSettingsNoCreators) {
    TDesktopCreatorList list(process, folder.Dir(), noSleep);
    list.CreateDesktops();
    EXPECT_TRUE(list.Indexes().empty());
    list.FreeDesktopCreators();
    EXPECT_TRUE(station.launches.empty());
}

TEST_F(DesktopCreatorTest, ADesktopWithATaskBarGetsNoSecondShellButAShellThatEndedComesBack) {
    SetActive(1, true);
    SetActive(2, true);
    station.AddDesktop("SecretDesktop##1");
    station.AddDesktop("SecretDesktop##2");
    // Desktop 1 is complete; desktop 2 still has its instance, but its shell has ended.
    station.AddWindow("SecretDesktop##1", "shell_traywnd", 21);
    station.AddWindow("SecretDesktop##1", "TTileSwitchMainForm", 22);
    station.AddWindow("SecretDesktop##2", "TTileSwitchMainForm", 23);
    TDesktopCreatorList list(process, folder.Dir(), noSleep);

    list.CreateDesktops();
    list.FreeDesktopCreators();

    // The copy started on a served desktop ends at once by itself.
    EXPECT_EQ(StartedOn("SecretDesktop##1"), (std::vector<std::string>{kExe}));
    EXPECT_EQ(StartedOn("SecretDesktop##2"), (std::vector<std::string>{kShell, kExe}));
}

TEST_F(DesktopCreatorTest, TheShellIsTheWindowsFolderExplorer) {
    struct Case {
        const char* folder;
        const char* shell; // null: no shell start
    };
    const Case cases[] = {
        {"C:\\windows", kShell},
        {"C:\\windows\\", kShell},
        {"D:\\", "D:\\explorer.exe"},
        {"", nullptr}, // unreadable: there is no shell to name
    };
    SetActive(1, true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        station.launches.clear();
        station.windowsDirectory = c.folder;
        TDesktopCreatorList list(process, folder.Dir(), noSleep);
        list.CreateDesktops();
        list.FreeDesktopCreators();
        std::vector<std::string> expected;
        if (c.shell != nullptr) {
            expected.push_back(c.shell);
        }
        expected.push_back(kExe);
        EXPECT_EQ(StartedOn("SecretDesktop##1"), expected);
    }
}

TEST_F(DesktopCreatorTest, EachStartWaitsHalfASecondAndTheDesktopIsHeldUntilBothRun) {
    SetActive(2, true);
    std::mutex mutex;
    std::vector<std::string> events;
    SleepFunction sleep = [&](unsigned ms) {
        std::lock_guard lock(mutex);
        events.push_back("sleep " + std::to_string(ms));
    };
    station.onProcessStarted = [&](const FakeProcessInfo& started) {
        std::lock_guard lock(mutex);
        events.push_back("start " + started.imagePath + " held " +
                         std::to_string(station.Holds(started.desktop)));
    };
    TDesktopCreatorList list(process, folder.Dir(), sleep);
    list.CreateDesktops();
    list.FreeDesktopCreators();

    EXPECT_EQ(events,
              (std::vector<std::string>{"sleep 500", "start " + std::string(kShell) + " held 1",
                                        "sleep 500", "start " + std::string(kExe) + " held 1"}));
    EXPECT_EQ(station.Holds("SecretDesktop##2"), 0);
}

TEST_F(DesktopCreatorTest, FailedStartsDoNotStopTheCreator) {
    SetActive(1, true);
    SetActive(2, true);
    station.RefuseCreation("SecretDesktop##1");
    station.missingPrograms.push_back(kShell);
    TDesktopCreatorList list(process, folder.Dir(), noSleep);
    list.CreateDesktops();
    list.FreeDesktopCreators();

    // Desktop 1 could not be made: both starts are tried and fail.
    EXPECT_EQ(StartedOn("SecretDesktop##1"), (std::vector<std::string>{kShell, kExe}));
    EXPECT_EQ(StartedOn("SecretDesktop##2"), (std::vector<std::string>{kShell, kExe}));
    const auto running =
        std::count_if(station.processes.begin(), station.processes.end(),
                      [](const FakeProcessInfo& p) { return p.desktop == "SecretDesktop##2"; });
    EXPECT_EQ(running, 1); // the program; the shell's file was missing
}

TEST_F(DesktopCreatorTest, RoundsAddUpUntilFreedAndFreeingWaitsForTheWork) {
    SetActive(1, true);
    SetActive(3, true);
    // Real waits, so that the creators still work when they are freed.
    TDesktopCreatorList list(process, folder.Dir(), [](unsigned) {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    });
    list.CreateDesktops();
    list.CreateDesktops();
    EXPECT_EQ(list.Indexes(), (std::vector<int>{1, 3, 1, 3}));

    list.FreeDesktopCreators();

    EXPECT_TRUE(list.Indexes().empty());
    EXPECT_EQ(station.launches.size(), 8u);
}

TEST_F(DesktopCreatorTest, ACreatorsErrorIsReportedAndTheOthersGoOn) {
    SetActive(1, true);
    SetActive(3, true);
    station.onProcessStarted = [](const FakeProcessInfo& started) {
        if (started.desktop == "SecretDesktop##1") {
            throw std::runtime_error("the shell went wrong");
        }
    };
    ::testing::internal::CaptureStderr();
    {
        TDesktopCreatorList list(process, folder.Dir(), noSleep);
        list.CreateDesktops();
        // The list's end frees the creators as well.
    }
    const std::string report = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(report, "error: the shell went wrong\n");
    EXPECT_EQ(StartedOn("SecretDesktop##3"), (std::vector<std::string>{kShell, kExe}));
    // The failing creator's work ended at the error.
    EXPECT_EQ(StartedOn("SecretDesktop##1"), (std::vector<std::string>{kShell}));
}

} // namespace
} // namespace ombrevane
