// The desktop seam and the desktop operations over the real window station (run under Wine).

#include "desktops/DesktopUtils.h"
#include "desktops/tileswitchUtils.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32DesktopPlatform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <thread>

namespace ombrevane {
namespace {

using win32::Win32DesktopPlatform;

constexpr const char* kProbeClass = "OmbrevaneProbeWindow";

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

} // namespace
} // namespace ombrevane
