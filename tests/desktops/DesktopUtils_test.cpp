#include "desktops/DesktopUtils.h"

#include "controller/ControllerWindow.h"
#include "fake/FakeWindowStation.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ombrevane {
namespace {

using fake::FakeProcess;
using fake::FakeWindowStation;
using fake::PostedMessage;

constexpr const char* kExe = "C:\\Program Files\\Ombrevane\\bin\\ombrevane.exe";

class BroadcastTest : public ::testing::Test {
protected:
    void SetUp() override {
        station.AddDesktop("Default");
        station.AddDesktop("SecretDesktop##1");
        station.AddProcess(4, "explorer.exe");
        station.AddProcess(10, kExe);
        self = station.AddWindow("Default", "TTileSwitchMainForm", 10);
    }

    std::vector<WindowId> Receivers() const {
        std::vector<WindowId> result;
        for (const PostedMessage& posted : station.posted) {
            result.push_back(posted.window);
        }
        return result;
    }

    FakeWindowStation station;
    FakeProcess process{station, 10, kExe, "Default"};
    WindowId self = 0;
};

TEST_F(BroadcastTest, IncludeSelfDecidesWhetherTheCallerReceives) {
    station.AddProcess(11, kExe);
    const WindowId other = station.AddWindow("SecretDesktop##1", "TTileSwitchMainForm", 11);

    BroadcastToInstances(process, 2229, true, 7, 8);
    EXPECT_EQ(Receivers(), (std::vector<WindowId>{self, other}));
    for (const PostedMessage& posted : station.posted) {
        EXPECT_EQ(posted.message, 2229u);
        EXPECT_EQ(posted.wParam, 7u);
        EXPECT_EQ(posted.lParam, 8);
    }

    station.posted.clear();
    BroadcastToInstances(process, 2237, false, 1, 0);
    EXPECT_EQ(Receivers(), (std::vector<WindowId>{other}));
}

TEST_F(BroadcastTest, AloneWithIncludeSelfOnlyTheCallerReceives) {
    BroadcastToInstances(process, 2229, true, 0, 0);
    EXPECT_EQ(Receivers(), (std::vector<WindowId>{self}));
}

TEST_F(BroadcastTest, OnlyTheSameExecutableIsAnInstance) {
    struct Case {
        std::uint32_t id;
        const char* path;
        bool receives;
    };
    const Case cases[] = {
        {20, "C:\\Ombrevane\\bin\\ombrevane.exe", false}, // a copy in another folder
        {21, "ombrevane.exe", false},                     // path unreadable: bare name
        {22, "c:\\program files\\OMBREVANE\\bin\\Ombrevane.EXE", true},
    };
    for (const Case& c : cases) {
        station.AddProcess(c.id, c.path);
        station.AddWindow("SecretDesktop##1", "TTileSwitchMainForm", c.id);
    }
    BroadcastToInstances(process, 2228, false, 0, 0);
    for (const Case& c : cases) {
        const bool received =
            std::any_of(station.posted.begin(), station.posted.end(), [&](const PostedMessage& p) {
                return process.WindowProcessId(p.window) == c.id;
            });
        EXPECT_EQ(received, c.receives) << c.path;
    }
}

// The caller's own path is read the way the process list reads every path: started through
// an 8.3 short path or a substituted drive, the path it was started under differs from the
// one the list shows for it and for the other instances.
TEST_F(BroadcastTest, OwnPathIsTakenFromTheProcessList) {
    struct Case {
        const char* startedAs;
    };
    const Case cases[] = {
        {"C:\\PROGRA~1\\OMBREV~1\\bin\\OMBREV~1.EXE"},
        {"S:\\bin\\ombrevane.exe"},
        {kExe},
    };
    station.AddProcess(11, kExe);
    const WindowId other = station.AddWindow("SecretDesktop##1", "TTileSwitchMainForm", 11);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.startedAs);
        FakeProcess startedAs(station, 10, c.startedAs, "Default");
        station.posted.clear();
        BroadcastToInstances(startedAs, 2229, true, 0, 0);
        EXPECT_EQ(Receivers(), (std::vector<WindowId>{self, other}));
        station.posted.clear();
        BroadcastExit(startedAs);
        EXPECT_EQ(Receivers(), (std::vector<WindowId>{other}));
    }
}

// Not listed (the list could not be taken): the path it was started under is all there is.
TEST_F(BroadcastTest, OwnPathFallsBackToTheStartPathWhenNotListed) {
    station.processes.erase(station.processes.begin() + 1); // drops process 10
    station.AddProcess(11, kExe);
    const WindowId other = station.AddWindow("SecretDesktop##1", "TTileSwitchMainForm", 11);
    BroadcastToInstances(process, 2237, false, 2, 0);
    EXPECT_EQ(Receivers(), (std::vector<WindowId>{other}));
}

TEST_F(BroadcastTest, WinlogonAndDisconnectAreNeverOpened) {
    station.AddDesktop("Winlogon");
    station.AddDesktop("Disconnect");
    station.AddDesktop("winlogon");
    station.AddProcess(11, kExe);
    const WindowId lower = station.AddWindow("winlogon", "TTileSwitchMainForm", 11);
    station.AddWindow("Winlogon", "TTileSwitchMainForm", 11);

    BroadcastToInstances(process, 2237, false, 3, 0);

    EXPECT_EQ(Receivers(), (std::vector<WindowId>{lower}));
    EXPECT_EQ(std::count(station.openAttempts.begin(), station.openAttempts.end(), "Winlogon"), 0);
    EXPECT_EQ(std::count(station.openAttempts.begin(), station.openAttempts.end(), "Disconnect"),
              0);
    EXPECT_EQ(std::count(station.openAttempts.begin(), station.openAttempts.end(), "winlogon"), 1);
}

TEST_F(BroadcastTest, EveryDesktopIsSearchedButOnePostPerDesktop) {
    station.AddDesktop("Locked", true);
    station.AddDesktop("SecretDesktop##2");
    station.AddProcess(11, kExe);
    station.AddWindow("SecretDesktop##1", "Edit", 11);
    const WindowId a = station.AddWindow("SecretDesktop##1", "ttileswitchmainform", 11);
    station.AddWindow("SecretDesktop##1", "TTileSwitchMainForm", 11);
    station.AddWindow("Locked", "TTileSwitchMainForm", 11);
    const WindowId b = station.AddWindow("SecretDesktop##2", "TTileSwitchMainForm", 11);

    BroadcastToInstances(process, 2237, false, 1, 0);

    EXPECT_EQ(Receivers(), (std::vector<WindowId>{a, b}));
}

TEST_F(BroadcastTest, AnInstanceWithoutControllerReceivesNothing) {
    station.AddProcess(11, kExe);
    station.AddWindow("SecretDesktop##1", "TApplication", 11);

    BroadcastToInstances(process, 2237, false, 1, 0);

    EXPECT_TRUE(station.posted.empty());
    // It was looked for on every desktop.
    EXPECT_EQ(
        std::count(station.openAttempts.begin(), station.openAttempts.end(), "SecretDesktop##1"),
        1);
}

TEST_F(BroadcastTest, ExitGoesToEveryOtherInstance) {
    station.AddProcess(11, kExe);
    const WindowId other = station.AddWindow("SecretDesktop##1", "TTileSwitchMainForm", 11);

    BroadcastExit(process);

    ASSERT_EQ(Receivers(), (std::vector<WindowId>{other}));
    EXPECT_EQ(station.posted.front().message, WM_INTERNAL_QUIT);
}

} // namespace
} // namespace ombrevane
