// The desktop features over the real window station under Wine: hiding the windows of
// SecretDesktop##1 (never the input desktop there) and starting programs on a desktop.

#include "features/HideDesktopWnd.h"
#include "features/StartupUnit.h"

#include "config/ConfigUnit.h"
#include "config/TestFolder.h"
#include "desktops/tileswitchUtils.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32DesktopPlatform.h"
#include "platform/win32/Win32TopLevelWindows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <future>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace ombrevane {
namespace {

using win32::Win32DesktopPlatform;

constexpr const char* kDesktop = "SecretDesktop##1";
constexpr const char* kProbeClass = "OmbrevaneFeatureProbe";

HWND ToHwnd(WindowId window) {
    return reinterpret_cast<HWND>(window);
}

std::string BesideThisProgram(const char* file) {
    std::array<char, MAX_PATH * 2> own{};
    ::GetModuleFileNameA(nullptr, own.data(), static_cast<DWORD>(own.size()));
    const std::string path(own.data());
    return path.substr(0, path.find_last_of("\\/") + 1) + file;
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string TitleOf(WindowId window) {
    std::array<char, 512> title{};
    ::GetWindowTextA(ToHwnd(window), title.data(), static_cast<int>(title.size()));
    return title.data();
}

std::string ClassOf(WindowId window) {
    std::array<char, 256> name{};
    ::GetClassNameA(ToHwnd(window), name.data(), static_cast<int>(name.size()));
    return name.data();
}

// Ends a started process by its id when the test is done with it.
class StartedProcess {
public:
    explicit StartedProcess(std::uint32_t id) : id_(id) {}
    ~StartedProcess() {
        if (id_ == 0) {
            return;
        }
        win32::UniqueKernelHandle process(
            ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id_));
        if (process) {
            ::TerminateProcess(process.get(), 0);
            ::WaitForSingleObject(process.get(), 10000);
        }
    }
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;
    std::uint32_t Id() const { return id_; }

private:
    std::uint32_t id_;
};

struct ShownWindow {
    WindowId window = 0;
    std::uint32_t processId = 0;
    bool visible = false;
    friend bool operator==(const ShownWindow&, const ShownWindow&) = default;
};

// The visible bit of the window's own style. IsWindowVisible also asks the desktop window,
// which Wine keeps invisible on a desktop that is not on the screen.
bool HasVisibleBit(WindowId window) {
    return (static_cast<DWORD>(::GetWindowLongA(ToHwnd(window), GWL_STYLE)) & WS_VISIBLE) != 0;
}

// Polls until every window's visible bit is `visible` (30 s at most).
void WaitForVisibleBits(const std::vector<WindowId>& windows, bool visible) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline &&
           !std::all_of(windows.begin(), windows.end(),
                        [&](WindowId w) { return HasVisibleBit(w) == visible; })) {
        ::Sleep(50);
    }
}

// The desktop's top-level windows in the platform's order, with their visible bit now.
std::vector<ShownWindow> WindowsOf(const std::string& desktop);

// The same, by handle: showing a window changes the order.
std::vector<ShownWindow> ByHandle(std::vector<ShownWindow> windows) {
    std::sort(windows.begin(), windows.end(),
              [](const ShownWindow& a, const ShownWindow& b) { return a.window < b.window; });
    return windows;
}

std::vector<ShownWindow> WindowsOf(const std::string& desktop) {
    Win32DesktopPlatform platform;
    std::vector<ShownWindow> windows;
    platform.ForEachDesktopWindow(desktop, [&](WindowId window) {
        windows.push_back({window, platform.WindowProcessId(window), HasVisibleBit(window)});
        return true;
    });
    return windows;
}

// The probe windows of the desktop, polled until `count` of them are there (30 s at most).
std::vector<WindowId> WaitForProbes(const std::string& desktop, std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        std::vector<WindowId> probes;
        for (const ShownWindow& w : WindowsOf(desktop)) {
            if (ClassOf(w.window) == kProbeClass) {
                probes.push_back(w.window);
            }
        }
        if (probes.size() >= count || std::chrono::steady_clock::now() > deadline) {
            return probes;
        }
        ::Sleep(100);
    }
}

WindowId ProbeOf(const std::string& desktop, std::uint32_t processId) {
    for (WindowId probe : WaitForProbes(desktop, 0)) {
        if (Win32DesktopPlatform().WindowProcessId(probe) == processId) {
            return probe;
        }
    }
    return 0;
}

WindowId WaitForProbeOf(const std::string& desktop, std::uint32_t processId) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    WindowId probe = 0;
    while ((probe = ProbeOf(desktop, processId)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        ::Sleep(100);
    }
    return probe;
}

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

TEST(Win32StartupUnit, StartProgramRunsAQuotedPathWithItsParametersOnTheNamedDesktop) {
    Win32DesktopPlatform platform;
    const std::unique_ptr<HeldDesktop> held = platform.CreateOrOpenDesktop(kDesktop);
    ASSERT_TRUE(held) << "CreateDesktopA failed: " << ::GetLastError();
    // A folder and a file name with blanks: only the quotation marks keep the path whole.
    test::TestFolder folder;
    const std::string spaced = folder.Path() + "\\with blanks";
    ASSERT_TRUE(::CreateDirectoryA(spaced.c_str(), nullptr)) << ::GetLastError();
    const std::string program = spaced + "\\feature windows.exe";
    ASSERT_TRUE(
        ::CopyFileA(BesideThisProgram("feature_windows.exe").c_str(), program.c_str(), FALSE))
        << ::GetLastError();

    const std::string parameters = "probe 60000 -x \"two words\"";
    {
        StartedProcess started(
            StartProgram(platform, Quoted(program) + " " + parameters, kDesktop));
        ASSERT_NE(started.Id(), 0u) << "CreateProcessA failed: " << ::GetLastError();
        const WindowId probe = WaitForProbeOf(kDesktop, started.Id());
        ASSERT_NE(probe, 0u) << "no window of the started program on " << kDesktop;
        EXPECT_EQ(TitleOf(probe), parameters);
        EXPECT_EQ(ProbeOf("Default", started.Id()), 0u);
    }

    for (const std::string& line :
         {Quoted(spaced + "\\missing.exe") + " -x", std::string(), std::string("   ")}) {
        StartedProcess nothing(StartProgram(platform, line, kDesktop));
        EXPECT_EQ(nothing.Id(), 0u) << "[" << line << "]";
    }
}

TEST(Win32StartupUnit, RunStartupProgramsStartsTheListOnTheOwnDesktopSkippingAMissingOne) {
    Win32DesktopPlatform platform;
    ASSERT_EQ(CurrentDesktopName(platform), "Default");
    test::TestFolder folder;
    const std::string program = Quoted(BesideThisProgram("feature_windows.exe"));
    TDesktopConfig config(0);
    config.IsActive = false; // the list of "Default" runs even so
    config.Programs = {program + " probe 60000 first", Quoted(folder.Path() + "\\missing.exe"),
                       program + " probe 60000 third"};
    SaveDesktopConfig(config, folder.Dir());

    const std::size_t probesBefore = WaitForProbes("Default", 0).size();
    RunStartupPrograms(platform, 0, folder.Dir());
    const std::vector<WindowId> probes = WaitForProbes("Default", probesBefore + 2);
    std::vector<std::string> titles;
    std::vector<std::unique_ptr<StartedProcess>> started;
    for (WindowId probe : probes) {
        titles.push_back(TitleOf(probe));
        started.push_back(std::make_unique<StartedProcess>(platform.WindowProcessId(probe)));
    }
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, (std::vector<std::string>{"probe 60000 first", "probe 60000 third"}));
}

} // namespace
} // namespace ombrevane
