// Hiding the windows of a desktop that is not on the screen, over a simulated desktop.

#include "features/HideDesktopWnd.h"

#include "FakeTopLevelWindows.h"
#include "fake/FakeWindowStation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ombrevane {
namespace {

using fake::WindowCall;
using Kind = WindowCall::Kind;

std::vector<WindowCall> ShowsOf(const std::vector<WindowId>& windows) {
    std::vector<WindowCall> calls;
    for (WindowId window : windows) {
        calls.push_back({Kind::Show, window});
    }
    return calls;
}

// An instance on SecretDesktop##1, whose desktop is on the screen at first.
class HideDesktopWndTest : public ::testing::Test {
protected:
    HideDesktopWndTest() {
        station.AddDesktop("Default");
        station.AddDesktop(kOwnDesktop);
        station.SetInputDesktop(kOwnDesktop);
    }
    void LeaveScreen() { station.SetInputDesktop("Default"); }
    void ComeBack() { station.SetInputDesktop(kOwnDesktop); }

    static constexpr const char* kOwnDesktop = "SecretDesktop##1";
    fake::FakeWindowStation station;
    fake::FakeProcess instance{station, 100, "C:\\Ombrevane\\bin\\ombrevane.exe", kOwnDesktop};
    fake::FakeTopLevelWindows windows;
    THideDesktopWnd hide{instance, windows};
};

TEST(HideDesktopWndOnDefault, NeverHidesAnything) {
    for (const char* own : {"Default", "DEFAULT"}) {
        for (const char* input : {"SecretDesktop##1", "", "Default"}) {
            fake::FakeWindowStation station;
            station.AddDesktop(own);
            station.AddDesktop("SecretDesktop##1");
            station.SetInputDesktop(input);
            fake::FakeProcess instance(station, 100, "C:\\o.exe", own);
            fake::FakeTopLevelWindows windows;
            const WindowId editor = windows.Add("Notepad", "Untitled", true);
            THideDesktopWnd hide(instance, windows);
            for (int tick = 0; tick < 3; ++tick) {
                hide.UpdateDesktopWindows();
            }
            EXPECT_EQ(windows.enumerations, 0) << own << " / " << input;
            EXPECT_TRUE(windows.calls.empty()) << own << " / " << input;
            EXPECT_TRUE(windows.IsVisible(editor));
            EXPECT_FALSE(hide.WindowsHidden());
        }
    }
}

TEST_F(HideDesktopWndTest, ShellWindowsAreRecordedAndAllFourComeBackInReverseOrder) {
    const WindowId tray = windows.Add("Shell_TrayWnd", "", true);
    const WindowId editor = windows.Add("Notepad", "Untitled - Notepad", true);
    const WindowId progman = windows.Add("Progman", "Program Manager", true);
    const WindowId browser = windows.Add("Browser", "Start page", true);

    hide.UpdateDesktopWindows(); // on the screen: nothing to do
    EXPECT_EQ(windows.enumerations, 0);

    LeaveScreen();
    hide.UpdateDesktopWindows();
    EXPECT_TRUE(hide.WindowsHidden());
    EXPECT_EQ(hide.HiddenWindows(), (std::vector<WindowId>{tray, editor, progman, browser}));
    EXPECT_EQ(windows.calls,
              (std::vector<WindowCall>{{Kind::Hide, editor}, {Kind::Hide, browser}}));
    EXPECT_TRUE(windows.IsVisible(tray));
    EXPECT_TRUE(windows.IsVisible(progman));
    EXPECT_FALSE(windows.IsVisible(editor));
    EXPECT_FALSE(windows.IsVisible(browser));

    windows.calls.clear();
    ComeBack();
    hide.UpdateDesktopWindows();
    EXPECT_FALSE(hide.WindowsHidden());
    EXPECT_TRUE(hide.HiddenWindows().empty());
    EXPECT_EQ(windows.calls, ShowsOf({browser, progman, editor, tray}));
    for (WindowId window : {tray, editor, progman, browser}) {
        EXPECT_TRUE(windows.IsVisible(window)) << window;
    }
}

TEST_F(HideDesktopWndTest, WhichWindowsTheHidingStepHidesAndRecords) {
    struct Case {
        const char* className;
        const char* title;
        bool visible;
        bool hidden;   // made invisible by the step
        bool recorded; // in the list afterwards
    };
    const Case cases[] = {
        {"Shell_TrayWnd", "", true, false, true},
        {"shell_traywnd", "", false, false, false}, // a shell's hidden task bar stays out
        {"Progman", "Program Manager", true, false, true},
        {"Notepad", "PROGRAM MANAGER", true, false, true},
        {"Progman", "Program Manager", false, false, false},
        {"Notepad", "Program Manager - notes", true, true, true}, // the whole title counts
        {"Shell_TrayWnd2", "", true, true, true},
        {"Notepad", "Untitled", true, true, true},
        {"Notepad", "Untitled", false, false, false},
        {"TTileSwitchMainForm", "", false, false, false}, // the instance's own hidden window
        {"TOptionsForm", "Options", true, true, true},    // its options dialog goes with it
    };
    std::vector<WindowId> ids;
    for (const Case& c : cases) {
        ids.push_back(windows.Add(c.className, c.title, c.visible));
    }
    LeaveScreen();
    hide.UpdateDesktopWindows();

    std::vector<WindowId> expectedRecord;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(windows.IsVisible(ids[i]), c.visible && !c.hidden)
            << c.className << " / " << c.title;
        if (c.recorded) {
            expectedRecord.push_back(ids[i]);
        }
    }
    EXPECT_EQ(hide.HiddenWindows(), expectedRecord);
}

TEST_F(HideDesktopWndTest, AnInvisibleWindowIsNotShownWhenTheDesktopReturns) {
    const WindowId editor = windows.Add("Notepad", "Untitled", true);
    const WindowId tool = windows.Add("ToolWindow", "Tool", false);
    LeaveScreen();
    hide.UpdateDesktopWindows();
    ComeBack();
    hide.UpdateDesktopWindows();
    EXPECT_TRUE(windows.IsVisible(editor));
    EXPECT_FALSE(windows.IsVisible(tool));
    for (const WindowCall& call : windows.calls) {
        EXPECT_NE(call.window, tool);
    }
}

TEST_F(HideDesktopWndTest, InvisibleShellWindowsAreNotShownWhenTheDesktopReturns) {
    // A shell that is not the desktop's shell keeps its task bar and desktop window hidden.
    const WindowId tray = windows.Add("Shell_TrayWnd", "", false);
    const WindowId progman = windows.Add("Progman", "Program Manager", false);
    const WindowId editor = windows.Add("Notepad", "Untitled", true);
    LeaveScreen();
    hide.UpdateDesktopWindows();
    EXPECT_EQ(hide.HiddenWindows(), std::vector<WindowId>{editor});
    ComeBack();
    hide.UpdateDesktopWindows();
    EXPECT_FALSE(windows.IsVisible(tray));
    EXPECT_FALSE(windows.IsVisible(progman));
    EXPECT_TRUE(windows.IsVisible(editor));
}

TEST_F(HideDesktopWndTest, WhileAwayFurtherTicksDoNothingAndNewWindowsStayVisible) {
    const WindowId editor = windows.Add("Notepad", "Untitled", true);
    LeaveScreen();
    hide.UpdateDesktopWindows();
    const WindowId opened = windows.Add("Browser", "Opened while away", true);
    for (int tick = 0; tick < 3; ++tick) {
        hide.UpdateDesktopWindows();
    }
    EXPECT_EQ(windows.enumerations, 1);
    EXPECT_EQ(windows.calls, (std::vector<WindowCall>{{Kind::Hide, editor}}));
    EXPECT_TRUE(windows.IsVisible(opened));
    EXPECT_EQ(hide.HiddenWindows(), std::vector<WindowId>{editor});
}

TEST_F(HideDesktopWndTest, OptionSwitchedOffWhileAwayShowsTheWindowsAndKeepsTheFlag) {
    const WindowId editor = windows.Add("Notepad", "Untitled", true);
    LeaveScreen();
    hide.UpdateDesktopWindows();
    ASSERT_FALSE(windows.IsVisible(editor));

    // The option's tick: the windows come back at once, the desktop still away.
    hide.RestoreDesktopWindows();
    EXPECT_TRUE(windows.IsVisible(editor));
    EXPECT_TRUE(hide.WindowsHidden());
    EXPECT_TRUE(hide.HiddenWindows().empty());

    // Option on again: nothing is hidden until the desktop has been on the screen once.
    hide.UpdateDesktopWindows();
    EXPECT_TRUE(windows.IsVisible(editor));
    EXPECT_EQ(windows.enumerations, 1);
    ComeBack();
    const std::size_t callsBefore = windows.calls.size();
    hide.UpdateDesktopWindows();
    EXPECT_FALSE(hide.WindowsHidden());
    EXPECT_EQ(windows.calls.size(), callsBefore) << "the restore had nothing to show";
    LeaveScreen();
    hide.UpdateDesktopWindows();
    EXPECT_FALSE(windows.IsVisible(editor));
    EXPECT_TRUE(hide.WindowsHidden());
}

TEST_F(HideDesktopWndTest, ExitShowsEveryHiddenWindow) {
    const WindowId editor = windows.Add("Notepad", "Untitled", true);
    const WindowId browser = windows.Add("Browser", "Start page", true);
    LeaveScreen();
    hide.UpdateDesktopWindows();
    windows.calls.clear();

    hide.RestoreDesktopWindows(); // the controller's destruction
    EXPECT_EQ(windows.calls, ShowsOf({browser, editor}));
    EXPECT_TRUE(windows.IsVisible(editor));
    EXPECT_TRUE(windows.IsVisible(browser));
    hide.RestoreDesktopWindows(); // an empty list shows nothing
    EXPECT_EQ(windows.calls.size(), 2u);
}

TEST_F(HideDesktopWndTest, AnInputDesktopWithoutAReadableNameCountsAsAway) {
    const WindowId editor = windows.Add("Notepad", "Untitled", true);
    station.SetInputDesktop(""); // a secure desktop on the screen
    hide.UpdateDesktopWindows();
    EXPECT_FALSE(windows.IsVisible(editor));
    hide.UpdateDesktopWindows();
    EXPECT_TRUE(hide.WindowsHidden());
    station.SetInputDesktop("SECRETDESKTOP##1"); // names compare ignoring case
    hide.UpdateDesktopWindows();
    EXPECT_TRUE(windows.IsVisible(editor));
    EXPECT_FALSE(hide.WindowsHidden());
}

TEST_F(HideDesktopWndTest, AWindowClosedWhileHiddenIsSkippedSilently) {
    const WindowId editor = windows.Add("Notepad", "Untitled", true);
    const WindowId closed = windows.Add("Browser", "Closed while away", true);
    const WindowId mail = windows.Add("Mail", "Inbox", true);
    LeaveScreen();
    hide.UpdateDesktopWindows();
    windows.Close(closed);
    windows.calls.clear();
    ComeBack();
    hide.UpdateDesktopWindows();
    EXPECT_EQ(windows.calls, ShowsOf({mail, closed, editor}));
    EXPECT_TRUE(windows.IsVisible(editor));
    EXPECT_TRUE(windows.IsVisible(mail));
    EXPECT_TRUE(hide.HiddenWindows().empty());
}

} // namespace
} // namespace ombrevane
