// Hiding the windows of SecretDesktop##1, which Wine never makes the input desktop, over the
// real window station: which windows change, which are recorded, what comes back, and that a
// program that hangs cannot hold the tick.

#include "features/HideDesktopWnd.h"
#include "features/StartupUnit.h"

#include "FeatureTestHelpers.h"
#include "platform/win32/Win32TopLevelWindows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace ombrevane {
namespace {

using namespace test;

TEST(Win32HideDesktopWnd, HidesExactlyTheVisibleWindowsOfADesktopNotOnTheScreen) {
    Win32DesktopPlatform platform;
    const std::unique_ptr<HeldDesktop> held = platform.CreateOrOpenDesktop(kDesktop);
    ASSERT_TRUE(held) << "CreateDesktopA failed: " << ::GetLastError();
    win32::UniqueDesktop desktop(::OpenDesktopA(kDesktop, 0, FALSE, GENERIC_ALL));
    ASSERT_TRUE(desktop) << ::GetLastError();

    StartedProcess started(StartProgram(
        platform, Quoted(BesideThisProgram("feature_windows.exe")) + " set 60000", kDesktop));
    ASSERT_NE(started.Id(), 0u) << "CreateProcessA failed: " << ::GetLastError();
    ASSERT_NE(WaitForProbeOf(kDesktop, started.Id()), 0u) << "the windows did not appear";

    const std::vector<ShownWindow> before = WindowsOf(kDesktop);
    std::map<std::string, WindowId> ours;
    for (const ShownWindow& w : before) {
        if (w.processId == started.Id()) {
            ours[ClassOf(w.window) + "|" + TitleOf(w.window)] = w.window;
        }
    }
    const WindowId visible1 = ours["OmbrevaneFeatureWindow|visible 1"];
    const WindowId visible2 = ours["OmbrevaneFeatureWindow|visible 2"];
    const WindowId tray = ours["Shell_TrayWnd|"];
    const WindowId progman = ours["Progman|Program Manager"];
    const WindowId invisible = ours["OmbrevaneFeatureWindow|invisible"];
    for (WindowId window : {visible1, visible2, tray, progman, invisible}) {
        ASSERT_NE(window, 0u) << "a window of the set is missing";
    }
    for (const ShownWindow& w : before) {
        if (w.processId != started.Id()) {
            std::printf("other window on %s: %s \"%s\" %s\n", kDesktop, ClassOf(w.window).c_str(),
                        TitleOf(w.window).c_str(), w.visible ? "visible" : "invisible");
        }
    }

    // The instance of that desktop: its thread belongs to the desktop.
    struct Seen {
        std::string own;
        std::string input;
        bool hiddenFlag = false;
        std::vector<WindowId> recorded;
        std::vector<ShownWindow> afterHiding;
        std::vector<ShownWindow> afterSecondTick;
        std::vector<WindowId> recordedAfterRestore;
        std::vector<ShownWindow> afterRestore;
    } seen;
    std::thread instance([&] {
        if (!::SetThreadDesktop(desktop.get())) {
            return;
        }
        Win32DesktopPlatform desktops;
        win32::Win32TopLevelWindows windows;
        THideDesktopWnd hide(desktops, windows);
        seen.own = desktops.ThreadDesktopName();
        seen.input = desktops.InputDesktopName();
        hide.UpdateDesktopWindows();
        seen.hiddenFlag = hide.WindowsHidden();
        seen.recorded = hide.HiddenWindows();
        // Windows of another process change when that process gets to it (hiding a window
        // takes Wine two seconds on a desktop without a virtual screen).
        WaitForVisibleBits({visible1, visible2}, false);
        seen.afterHiding = WindowsOf(kDesktop);
        hide.UpdateDesktopWindows();
        ::Sleep(500);
        seen.afterSecondTick = WindowsOf(kDesktop);
        hide.RestoreDesktopWindows();
        seen.recordedAfterRestore = hide.HiddenWindows();
        WaitForVisibleBits({visible1, visible2}, true);
        seen.afterRestore = WindowsOf(kDesktop);
    });
    instance.join();

    ASSERT_EQ(seen.own, kDesktop);
    EXPECT_NE(seen.input, kDesktop) << "Wine keeps Default the input desktop";
    EXPECT_TRUE(seen.hiddenFlag);

    // What the hiding changed: exactly the two visible windows went invisible.
    std::vector<WindowId> madeInvisible;
    for (const ShownWindow& w : before) {
        const auto after = std::find_if(seen.afterHiding.begin(), seen.afterHiding.end(),
                                        [&](const ShownWindow& a) { return a.window == w.window; });
        ASSERT_NE(after, seen.afterHiding.end());
        EXPECT_TRUE(!after->visible || w.visible) << "a window became visible";
        if (w.visible && !after->visible) {
            madeInvisible.push_back(w.window);
        }
    }
    std::sort(madeInvisible.begin(), madeInvisible.end());
    std::vector<WindowId> expectedHidden{visible1, visible2};
    std::sort(expectedHidden.begin(), expectedHidden.end());
    EXPECT_EQ(madeInvisible, expectedHidden);

    // Recorded in the order of the enumeration: the two shell windows and the two hidden.
    std::vector<WindowId> expectedRecord;
    for (const ShownWindow& w : before) {
        if (w.window == visible1 || w.window == visible2 || w.window == tray ||
            w.window == progman) {
            expectedRecord.push_back(w.window);
        }
    }
    EXPECT_EQ(seen.recorded, expectedRecord);
    EXPECT_EQ(ByHandle(seen.afterSecondTick), ByHandle(seen.afterHiding))
        << "a second tick away changes nothing";

    EXPECT_TRUE(seen.recordedAfterRestore.empty());
    EXPECT_EQ(ByHandle(seen.afterRestore), ByHandle(before))
        << "every window as it was, the invisible ones too";
    EXPECT_FALSE(HasVisibleBit(invisible));
    EXPECT_TRUE(HasVisibleBit(visible1));
    EXPECT_TRUE(HasVisibleBit(visible2));
    EXPECT_TRUE(HasVisibleBit(tray));
}

TEST(Win32HideDesktopWnd, AHungProgramDoesNotHoldTheTickAndOwnWindowsChangeAtOnce) {
    Win32DesktopPlatform platform;
    const std::unique_ptr<HeldDesktop> held = platform.CreateOrOpenDesktop(kDesktop);
    ASSERT_TRUE(held) << "CreateDesktopA failed: " << ::GetLastError();
    win32::UniqueDesktop desktop(::OpenDesktopA(kDesktop, 0, FALSE, GENERIC_ALL));
    ASSERT_TRUE(desktop) << ::GetLastError();
    auto hung = std::make_unique<StartedProcess>(StartProgram(
        platform, Quoted(BesideThisProgram("feature_windows.exe")) + " hung 60000", kDesktop));
    ASSERT_NE(hung->Id(), 0u) << "CreateProcessA failed: " << ::GetLastError();
    ASSERT_NE(WaitForProbeOf(kDesktop, hung->Id()), 0u) << "the windows did not appear";
    std::vector<WindowId> hungWindows;
    for (const ShownWindow& w : WindowsOf(kDesktop)) {
        if (w.processId == hung->Id() && w.visible) {
            hungWindows.push_back(w.window);
        }
    }
    ASSERT_EQ(hungWindows.size(), 2u);

    // The instance's thread, with a visible window of its own (an open options dialog).
    struct Seen {
        bool ownHiddenAtOnce = false;
        bool ownShownAtOnce = false;
        std::vector<WindowId> recorded;
    } seen;
    std::promise<void> ticked;
    std::future<void> tickedFuture = ticked.get_future();
    std::thread instance([&] {
        if (::SetThreadDesktop(desktop.get())) {
            HWND own = ::CreateWindowExA(0, "STATIC", "Options", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                         0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
            Win32DesktopPlatform desktops;
            win32::Win32TopLevelWindows windows;
            THideDesktopWnd hide(desktops, windows);
            hide.UpdateDesktopWindows();
            seen.ownHiddenAtOnce =
                own != nullptr && !HasVisibleBit(reinterpret_cast<WindowId>(own));
            seen.recorded = hide.HiddenWindows();
            hide.RestoreDesktopWindows();
            seen.ownShownAtOnce = own != nullptr && HasVisibleBit(reinterpret_cast<WindowId>(own));
            if (own != nullptr) {
                ::DestroyWindow(own);
            }
        }
        ticked.set_value();
    });
    // A tick that waited for the hung program would only end with it.
    const bool returned =
        tickedFuture.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    hung.reset();
    instance.join();
    ASSERT_TRUE(returned) << "the tick waited for a program that does not answer";
    EXPECT_TRUE(seen.ownHiddenAtOnce);
    EXPECT_TRUE(seen.ownShownAtOnce);
    for (WindowId window : hungWindows) {
        EXPECT_NE(std::find(seen.recorded.begin(), seen.recorded.end(), window),
                  seen.recorded.end());
    }
}

} // namespace
} // namespace ombrevane
