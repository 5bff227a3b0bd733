#include "desktops/tileswitchUtils.h"

#include "controller/ControllerWindow.h"
#include "fake/FakeWindowStation.h"

#include <gtest/gtest.h>

namespace ombrevane {
namespace {

using fake::FakeProcess;
using fake::FakeWindowStation;
using fake::PostedMessage;

struct IndexCase {
    const char* name;
    int index;
};

TEST(DesktopIndexOfName, ReadsTheNamingTable) {
    const IndexCase cases[] = {
        {"Default", 0},
        {"default", -1}, // "Default" is matched with its case
        {"DEFAULT", -1},
        {"SecretDesktop##3", 3},
        {"secretdesktop##3", 3},
        {"SECRETDESKTOP##4", 4},
        {"SecretDesktop##12", 12},
        {"SecretDesktop##0", 0},
        {"SecretDesktop##-2", -2},
        {"SecretDesktop##+4", 4},
        {"SecretDesktop##", -1},
        {"SecretDesktop##x", -1},
        {"SecretDesktop##1x", -1},
        {"SecretDesktop## 1", -1},
        {"SecretDesktop##0x1", -1},
        {"SecretDesktop##+", -1},
        {"SecretDesktop##-", -1},
        {"SecretDesktop##+-1", -1},
        {"SecretDesktop##99999999999", -1},
        {"SecretDesktop#1", -1},
        {"XSecretDesktop##1", -1},
        {"Winlogon", -1},
        {"", -1},
    };
    FakeWindowStation station;
    FakeProcess process(station, 1, "C:\\a.exe", "Default");
    for (const IndexCase& c : cases) {
        EXPECT_EQ(DesktopIndexOfName(process, c.name), c.index) << '"' << c.name << '"';
    }
}

TEST(DesktopNameOfIndex, NamesTheSystemsDesktops) {
    FakeWindowStation station;
    FakeProcess process(station, 1, "C:\\a.exe", "Default");
    EXPECT_EQ(DesktopNameOfIndex(0), "Default");
    EXPECT_EQ(DesktopNameOfIndex(4), "SecretDesktop##4");
    for (int index = 0; index <= 9; ++index) {
        EXPECT_EQ(DesktopIndexOfName(process, DesktopNameOfIndex(index)), index);
    }
}

struct HotKeyCase {
    std::uint16_t shortcut;
    std::uint16_t key;
    std::uint16_t modifiers;
};

TEST(ShortCutToHotKey, SplitsKeyAndModifiers) {
    const HotKeyCase cases[] = {
        {0, 0, 0},
        {0x8031, 0x31, kModAlt},
        {0xA053, 0x53, kModAlt | kModShift}, // 41043, the default next-desktop key
        {0x4041, 0x41, kModCtrl},
        {0x2000, 0, kModShift},
        {0xE000 | 0x1FFF, 0x1FFF, kModAlt | kModCtrl | kModShift},
        {0x0070, 0x70, 0},
    };
    for (const HotKeyCase& c : cases) {
        const HotKey hotKey = ShortCutToHotKey(c.shortcut);
        EXPECT_EQ(hotKey.virtualKey, c.key) << std::hex << c.shortcut;
        EXPECT_EQ(hotKey.modifiers, c.modifiers) << std::hex << c.shortcut;
    }
}

struct DesktopTestCase {
    const char* threadDesktop;
    const char* inputDesktop;
    int currentIndex;
    bool isDefault;
    bool isInput;
};

TEST(DesktopQueries, FollowTheThreadAndInputDesktops) {
    const DesktopTestCase cases[] = {
        {"Default", "Default", 0, true, true},
        {"Default", "SecretDesktop##1", 0, true, false},
        {"default", "Default", -1, true, true}, // case ignored except by the index
        {"SecretDesktop##2", "secretdesktop##2", 2, false, true},
        {"SecretDesktop##2", "", 2, false, false}, // input desktop unreadable
        {"", "", -1, false, false},                // nothing readable is nobody's input
        {"Winlogon", "Default", -1, false, false},
    };
    for (const DesktopTestCase& c : cases) {
        FakeWindowStation station;
        station.SetInputDesktop(c.inputDesktop);
        FakeProcess process(station, 1, "C:\\a.exe", c.threadDesktop);
        EXPECT_EQ(CurrentDesktopName(process), c.threadDesktop);
        EXPECT_EQ(InputDesktopName(process), c.inputDesktop);
        EXPECT_EQ(CurrentDesktopIndex(process), c.currentIndex) << c.threadDesktop;
        EXPECT_EQ(IsDefaultDesktop(process), c.isDefault) << c.threadDesktop;
        EXPECT_EQ(IsInputDesktop(process), c.isInput) << c.threadDesktop << " " << c.inputDesktop;
    }
}

TEST(IsCurrentDesktop, AcceptsOnlyIndexesZeroToNine) {
    FakeWindowStation station;
    FakeProcess onTen(station, 1, "C:\\a.exe", "SecretDesktop##10");
    EXPECT_FALSE(IsCurrentDesktop(onTen, 10));
    FakeProcess onTwo(station, 2, "C:\\a.exe", "secretdesktop##2");
    EXPECT_TRUE(IsCurrentDesktop(onTwo, 2));
    EXPECT_FALSE(IsCurrentDesktop(onTwo, 1));
    EXPECT_FALSE(IsCurrentDesktop(onTwo, -1));
    FakeProcess onDefault(station, 3, "C:\\a.exe", "Default");
    EXPECT_TRUE(IsCurrentDesktop(onDefault, 0));
    FakeProcess onNine(station, 4, "C:\\a.exe", "SecretDesktop##9");
    EXPECT_TRUE(IsCurrentDesktop(onNine, 9));
    // -1 is "any other desktop", never a name, even one spelled like it.
    FakeProcess onMinusOne(station, 5, "C:\\a.exe", "SecretDesktop##-1");
    EXPECT_FALSE(IsCurrentDesktop(onMinusOne, -1));
}

// Three instances of C:\Apps\ombrevane.exe on Default, SecretDesktop##1 and SecretDesktop##2,
// plus a copy of the program in another folder.
class SwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        station.AddDesktop("Default");
        station.AddDesktop("SecretDesktop##1");
        station.AddDesktop("SecretDesktop##2");
        station.AddDesktop("SecretDesktop##3", false, true); // opens, refuses the switch
        station.AddDesktop("SecretDesktop##4", true);        // never opens
        station.SetInputDesktop("Default");
        station.AddProcess(10, "C:\\Apps\\ombrevane.exe");
        station.AddProcess(11, "C:\\Apps\\ombrevane.exe");
        station.AddProcess(12, "C:\\Apps\\ombrevane.exe");
        station.AddProcess(13, "C:\\Copy\\ombrevane.exe");
        self = station.AddWindow("Default", "TTileSwitchMainForm", 10);
        first = station.AddWindow("SecretDesktop##1", "TTileSwitchMainForm", 11);
        second = station.AddWindow("SecretDesktop##2", "TTileSwitchMainForm", 12);
        station.AddWindow("SecretDesktop##2", "TTileSwitchMainForm", 13);
    }

    std::vector<WindowId> Receivers(std::uint32_t message) const {
        std::vector<WindowId> result;
        for (const PostedMessage& posted : station.posted) {
            if (posted.message == message) {
                result.push_back(posted.window);
            }
        }
        return result;
    }

    FakeWindowStation station;
    FakeProcess process{station, 10, "C:\\Apps\\ombrevane.exe", "Default"};
    WindowId self = 0;
    WindowId first = 0;
    WindowId second = 0;
};

TEST_F(SwitchTest, FailedSwitchPostsNothingAndKeepsTheInputDesktop) {
    struct Case {
        const char* name;
        int result;
    };
    const Case cases[] = {
        {"SecretDesktop##9", kSwitchNotOpened}, // never created
        {"SecretDesktop##4", kSwitchNotOpened}, // access denied
        {"SecretDesktop##3", kSwitchRefused},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SwitchToDesktopName(process, c.name), c.result) << c.name;
        EXPECT_TRUE(station.posted.empty()) << c.name;
        EXPECT_EQ(station.InputDesktop(), "Default") << c.name;
    }
}

TEST_F(SwitchTest, SwitchAnnouncesTheNewIndexToEveryOtherInstance) {
    EXPECT_EQ(SwitchToDesktopName(process, "SecretDesktop##2"), kSwitchDone);
    EXPECT_EQ(station.InputDesktop(), "SecretDesktop##2");
    EXPECT_EQ(Receivers(WM_INTERNAL_SWITCH), (std::vector<WindowId>{first, second}));
    for (const PostedMessage& posted : station.posted) {
        EXPECT_EQ(posted.wParam, 2u);
        EXPECT_EQ(posted.lParam, 0);
    }
}

TEST_F(SwitchTest, SwitchToDefaultAnnouncesIndexZero) {
    FakeProcess onFirst(station, 11, "C:\\Apps\\ombrevane.exe", "SecretDesktop##1");
    station.SetInputDesktop("SecretDesktop##1");
    EXPECT_EQ(SwitchToDesktopName(onFirst, "Default"), kSwitchDone);
    EXPECT_EQ(Receivers(WM_INTERNAL_SWITCH), (std::vector<WindowId>{self, second}));
    EXPECT_EQ(station.posted.front().wParam, 0u);
}

TEST(FindWindowOnDesktop, FindsTheFirstWindowOfTheClassIgnoringCase) {
    FakeWindowStation station;
    station.AddDesktop("Default");
    station.AddDesktop("SecretDesktop##1");
    station.AddDesktop("Locked", true);
    station.AddWindow("Default", "Shell_TrayWnd", 5);
    station.AddWindow("SecretDesktop##1", "Progman", 6);
    const WindowId tray = station.AddWindow("SecretDesktop##1", "shell_traywnd", 6);
    station.AddWindow("SecretDesktop##1", "Shell_TrayWnd", 7);
    station.AddWindow("Locked", "Shell_TrayWnd", 8);
    FakeProcess process(station, 1, "C:\\a.exe", "Default");

    EXPECT_EQ(FindWindowOnDesktop(process, "SecretDesktop##1", "Shell_TrayWnd"), tray);
    EXPECT_EQ(FindWindowOnDesktop(process, "SecretDesktop##1", "Button"), 0u);
    EXPECT_EQ(FindWindowOnDesktop(process, "Locked", "Shell_TrayWnd"), 0u);
    EXPECT_EQ(FindWindowOnDesktop(process, "SecretDesktop##2", "Shell_TrayWnd"), 0u);
}

} // namespace
} // namespace ombrevane
