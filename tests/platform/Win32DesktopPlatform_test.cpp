// The desktop seam and the desktop operations over the real window station (run under Wine).

#include "desktops/DesktopUtils.h"
#include "desktops/tileswitchUtils.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32DesktopPlatform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace ombrevane {
namespace {

using win32::Win32DesktopPlatform;

constexpr const char* kProbeClass = "OmbrevaneProbeWindow";
// The window class of desktop_probe.exe, built beside this test.
constexpr const char* kStartedProbeClass = "OmbrevaneDesktopProbe";

std::string BesideThisProgram(DesktopPlatform& platform, const char* file) {
    const std::string own = platform.OwnImagePath();
    return own.substr(0, own.find_last_of("\\/") + 1) + file;
}

// A process started by a test, ended by its id when the test is done with it.
class StartedProcess {
public:
    explicit StartedProcess(std::uint32_t id) : id_(id) {}
    ~StartedProcess() { End(); }
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;
    std::uint32_t Id() const { return id_; }
    // True when the process has ended within ten seconds.
    bool End() {
        if (id_ == 0) {
            return true;
        }
        win32::UniqueKernelHandle process(
            ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::exchange(id_, 0)));
        if (!process) {
            return false;
        }
        ::TerminateProcess(process.get(), 0);
        return ::WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0;
    }

private:
    std::uint32_t id_;
};

// Polls until the desktop has (or, with present false, no longer has) a window of the class.
WindowId WaitForWindow(DesktopPlatform& platform, const std::string& desktop, const char* className,
                       bool present = true) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        const WindowId window = FindWindowOnDesktop(platform, desktop, className);
        if ((window != 0) == present || std::chrono::steady_clock::now() > deadline) {
            return window;
        }
        ::Sleep(100);
    }
}

void RegisterProbeClass(const char* name) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    ::RegisterClassExA(&windowClass);
}

// A hidden window of the given class on the given desktop, owned by a thread of its own
// (a thread that already has windows cannot move to another desktop).
class WindowOnDesktop {
public:
    WindowOnDesktop(HDESK desktop, const char* className) {
        std::promise<HWND> created;
        std::future<HWND> window = created.get_future();
        thread_ = std::thread([this, desktop, className, &created] {
            ::SetThreadDesktop(desktop);
            RegisterProbeClass(className);
            HWND hwnd = ::CreateWindowExA(0, className, "probe", WS_POPUP, 0, 0, 10, 10, nullptr,
                                          nullptr, ::GetModuleHandleA(nullptr), nullptr);
            created.set_value(hwnd);
            std::unique_lock lock(mutex_);
            done_.wait(lock, [this] { return finished_; });
            if (hwnd != nullptr) {
                ::DestroyWindow(hwnd);
            }
        });
        hwnd_ = window.get();
    }
    ~WindowOnDesktop() {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        thread_.join();
    }
    HWND Handle() const { return hwnd_; }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
    HWND hwnd_ = nullptr;
};

TEST(Win32DesktopPlatform, ComparesIgnoringCase) {
    Win32DesktopPlatform platform;
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    };
    const Case cases[] = {
        {"Default", "default", true},
        {"SecretDesktop##1", "SECRETDESKTOP##1", true},
        {"Default", "Defaults", false},
        {"", "", true},
        {"", "a", false},
        {"TTileSwitchMainForm", "ttileswitchmainform", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform.EqualsIgnoreCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    }
}

TEST(Win32DesktopPlatform, ReadsTheThreadAndInputDesktopNames) {
    Win32DesktopPlatform platform;
    EXPECT_EQ(CurrentDesktopName(platform), "Default");
    EXPECT_EQ(CurrentDesktopIndex(platform), 0);
    EXPECT_TRUE(IsDefaultDesktop(platform));
    EXPECT_EQ(InputDesktopName(platform), "Default");
    EXPECT_TRUE(IsInputDesktop(platform));
}

TEST(Win32DesktopPlatform, FindsAWindowOnAnotherDesktop) {
    Win32DesktopPlatform platform;
    const std::string name = "OmbrevaneTest##" + std::to_string(::GetCurrentProcessId());
    win32::UniqueDesktop desktop(
        ::CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr));
    ASSERT_TRUE(desktop) << "CreateDesktopA failed: " << ::GetLastError();
    const std::vector<std::string> names = platform.DesktopNames();
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "Default"), names.end());

    WindowOnDesktop probe(desktop.get(), kProbeClass);
    ASSERT_NE(probe.Handle(), nullptr);
    EXPECT_EQ(FindWindowOnDesktop(platform, name, "ombrevaneprobewindow"),
              reinterpret_cast<WindowId>(probe.Handle()));
    EXPECT_EQ(FindWindowOnDesktop(platform, name, "NoSuchClass"), 0u);
    EXPECT_EQ(FindWindowOnDesktop(platform, "Default", kProbeClass), 0u);
    EXPECT_EQ(FindWindowOnDesktop(platform, "NoSuchDesktop##9", kProbeClass), 0u);
    EXPECT_EQ(platform.WindowProcessId(reinterpret_cast<WindowId>(probe.Handle())),
              ::GetCurrentProcessId());
    EXPECT_EQ(platform.WindowClassName(reinterpret_cast<WindowId>(probe.Handle()), 9), "Ombrevan");
}

TEST(Win32DesktopPlatform, SwitchToAMissingDesktopFails) {
    Win32DesktopPlatform platform;
    EXPECT_EQ(SwitchToDesktopName(platform, "NoSuchDesktop##9"), kSwitchNotOpened);
    EXPECT_EQ(InputDesktopName(platform), "Default");
}

TEST(Win32DesktopPlatform, ListsThisProcessUnderItsOwnPath) {
    Win32DesktopPlatform platform;
    const std::string own = platform.OwnImagePath();
    ASSERT_FALSE(own.empty());
    const std::vector<ProcessEntry> processes = platform.Processes();
    const auto self = std::find_if(processes.begin(), processes.end(), [&](const ProcessEntry& p) {
        return p.id == platform.OwnProcessId();
    });
    ASSERT_NE(self, processes.end());
    EXPECT_TRUE(platform.EqualsIgnoreCase(self->imagePath, own)) << self->imagePath << " / " << own;
}

TEST(Win32DesktopPlatform, BroadcastReachesOwnControllerOnlyWhenIncluded) {
    Win32DesktopPlatform platform;
    RegisterProbeClass("TTileSwitchMainForm");
    win32::UniqueWindow controller(::CreateWindowExA(0, "TTileSwitchMainForm", "", WS_POPUP, 0, 0,
                                                     10, 10, nullptr, nullptr,
                                                     ::GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(controller);
    constexpr UINT kMessage = WM_APP + 7;
    MSG message{};

    BroadcastToInstances(platform, kMessage, false, 5, 6);
    EXPECT_FALSE(::PeekMessageA(&message, controller.get(), kMessage, kMessage, PM_REMOVE));

    BroadcastToInstances(platform, kMessage, true, 5, 6);
    ASSERT_TRUE(::PeekMessageA(&message, controller.get(), kMessage, kMessage, PM_REMOVE));
    EXPECT_EQ(message.wParam, 5u);
    EXPECT_EQ(message.lParam, 6);
    EXPECT_FALSE(::PeekMessageA(&message, controller.get(), kMessage, kMessage, PM_REMOVE));
}

TEST(Win32DesktopPlatform, StartsAProcessOnACreatedDesktop) {
    Win32DesktopPlatform platform;
    const std::string name = "OmbrevaneStart##" + std::to_string(::GetCurrentProcessId());
    const std::unique_ptr<HeldDesktop> desktop = platform.CreateOrOpenDesktop(name);
    ASSERT_TRUE(desktop) << "CreateDesktopA failed: " << ::GetLastError();
    EXPECT_EQ(desktop->Name(), name);
    // A second creation opens the same desktop.
    const std::unique_ptr<HeldDesktop> again = platform.CreateOrOpenDesktop(name);
    ASSERT_TRUE(again) << ::GetLastError();
    const std::vector<std::string> names = platform.DesktopNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), name), 1);

    const std::string probe = BesideThisProgram(platform, "desktop_probe.exe");
    ASSERT_NE(::GetFileAttributesA(probe.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the probe program is missing: " << probe;
    const std::string directory = platform.WindowsDirectory();
    ProcessLaunch launch;
    launch.imagePath = probe;
    launch.commandLine = "\"" + probe + "\" 45000";
    launch.desktop = name;
    launch.workingDirectory = directory;
    StartedProcess started(platform.StartProcessOnDesktop(launch));
    ASSERT_NE(started.Id(), 0u) << "CreateProcessA failed: " << ::GetLastError();

    const WindowId window = WaitForWindow(platform, name, kStartedProbeClass);
    ASSERT_NE(window, 0u) << "no probe window appeared on " << name;
    EXPECT_EQ(platform.WindowProcessId(window), started.Id());
    EXPECT_EQ(FindWindowOnDesktop(platform, "Default", kStartedProbeClass), 0u);
    // The probe's title tells its current directory and its argument.
    std::array<char, 512> title{};
    ::GetWindowTextA(reinterpret_cast<HWND>(window), title.data(), static_cast<int>(title.size()));
    EXPECT_TRUE(platform.EqualsIgnoreCase(title.data(), directory + "|45000")) << title.data();

    const std::vector<ProcessEntry> processes = platform.Processes();
    const auto entry = std::find_if(processes.begin(), processes.end(),
                                    [&](const ProcessEntry& p) { return p.id == started.Id(); });
    ASSERT_NE(entry, processes.end());
    EXPECT_TRUE(platform.EqualsIgnoreCase(entry->imagePath, probe)) << entry->imagePath;

    EXPECT_TRUE(started.End());
    EXPECT_EQ(WaitForWindow(platform, name, kStartedProbeClass, false), 0u);
}

TEST(Win32DesktopPlatform, StartingAProgramThatCannotRunGivesNoProcess) {
    Win32DesktopPlatform platform;
    const std::string missing = BesideThisProgram(platform, "no_such_program.exe");
    ProcessLaunch byPath;
    byPath.imagePath = missing;
    ProcessLaunch byCommandLine;
    byCommandLine.commandLine = "\"" + missing + "\" -x";
    const ProcessLaunch empty;
    for (const ProcessLaunch& launch : {byPath, byCommandLine, empty}) {
        StartedProcess started(platform.StartProcessOnDesktop(launch));
        EXPECT_EQ(started.Id(), 0u) << launch.imagePath << " / " << launch.commandLine;
    }
}

TEST(Win32DesktopPlatform, WindowsDirectoryHoldsTheShell) {
    Win32DesktopPlatform platform;
    std::string directory = platform.WindowsDirectory();
    ASSERT_FALSE(directory.empty());
    if (directory.back() != '\\') {
        directory += '\\';
    }
    const std::string shell = directory + "explorer.exe";
    EXPECT_NE(::GetFileAttributesA(shell.c_str()), INVALID_FILE_ATTRIBUTES) << shell;
}

} // namespace
} // namespace ombrevane
