#pragma once
// What the Win32 feature tests share: feature_windows.exe started on a desktop and ended by
// its id, and the windows of a desktop with their visible bits.

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32DesktopPlatform.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace ombrevane::test {

using win32::Win32DesktopPlatform;

inline constexpr const char* kDesktop = "SecretDesktop##1";
inline constexpr const char* kProbeClass = "OmbrevaneFeatureProbe";

inline HWND ToHwnd(WindowId window) {
    return reinterpret_cast<HWND>(window);
}

inline std::string BesideThisProgram(const char* file) {
    std::array<char, MAX_PATH * 2> own{};
    ::GetModuleFileNameA(nullptr, own.data(), static_cast<DWORD>(own.size()));
    const std::string path(own.data());
    return path.substr(0, path.find_last_of("\\/") + 1) + file;
}

inline std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

inline std::string TitleOf(WindowId window) {
    std::array<char, 512> title{};
    ::GetWindowTextA(ToHwnd(window), title.data(), static_cast<int>(title.size()));
    return title.data();
}

inline std::string ClassOf(WindowId window) {
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
inline bool HasVisibleBit(WindowId window) {
    return (static_cast<DWORD>(::GetWindowLongA(ToHwnd(window), GWL_STYLE)) & WS_VISIBLE) != 0;
}

// Polls until every window's visible bit is `visible` (30 s at most).
inline void WaitForVisibleBits(const std::vector<WindowId>& windows, bool visible) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline &&
           !std::all_of(windows.begin(), windows.end(),
                        [&](WindowId w) { return HasVisibleBit(w) == visible; })) {
        ::Sleep(50);
    }
}

// The desktop's top-level windows in the platform's order, with their visible bit now.
inline std::vector<ShownWindow> WindowsOf(const std::string& desktop);

// The same, by handle: showing a window changes the order.
inline std::vector<ShownWindow> ByHandle(std::vector<ShownWindow> windows) {
    std::sort(windows.begin(), windows.end(),
              [](const ShownWindow& a, const ShownWindow& b) { return a.window < b.window; });
    return windows;
}

inline std::vector<ShownWindow> WindowsOf(const std::string& desktop) {
    Win32DesktopPlatform platform;
    std::vector<ShownWindow> windows;
    platform.ForEachDesktopWindow(desktop, [&](WindowId window) {
        windows.push_back({window, platform.WindowProcessId(window), HasVisibleBit(window)});
        return true;
    });
    return windows;
}

// The probe windows of the desktop, polled until `count` of them are there (30 s at most).
inline std::vector<WindowId> WaitForProbes(const std::string& desktop, std::size_t count) {
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

inline WindowId ProbeOf(const std::string& desktop, std::uint32_t processId) {
    for (WindowId probe : WaitForProbes(desktop, 0)) {
        if (Win32DesktopPlatform().WindowProcessId(probe) == processId) {
            return probe;
        }
    }
    return 0;
}

inline WindowId WaitForProbeOf(const std::string& desktop, std::uint32_t processId) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    WindowId probe = 0;
    while ((probe = ProbeOf(desktop, processId)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        ::Sleep(100);
    }
    return probe;
}

} // namespace ombrevane::test
