#include "platform/win32/Win32TopLevelWindows.h"

#include <windows.h>

#include <array>

namespace ombrevane::win32 {

namespace {

HWND ToHwnd(WindowId window) {
    return reinterpret_cast<HWND>(window);
}

using Visitor = std::function<void(WindowId)>;

BOOL CALLBACK VisitEveryWindow(HWND hwnd, LPARAM context) {
    (*reinterpret_cast<const Visitor*>(context))(reinterpret_cast<WindowId>(hwnd));
    return TRUE;
}

// Another thread's window is only asked to change: ShowWindow would wait for that thread,
// for good when its program hangs, and the caller is an instance's only thread. (Under Wine
// without a window manager, hiding a top-level X window also waits two seconds.) A window of
// the calling thread, which nothing can keep waiting, changes before the call returns.
void ShowAs(HWND hwnd, int command) {
    if (::GetWindowThreadProcessId(hwnd, nullptr) == ::GetCurrentThreadId()) {
        ::ShowWindow(hwnd, command);
    } else {
        ::ShowWindowAsync(hwnd, command);
    }
}

} // namespace

void Win32TopLevelWindows::ForEachWindow(const std::function<void(WindowId)>& visit) {
    ::EnumWindows(VisitEveryWindow, reinterpret_cast<LPARAM>(&visit));
}

std::string Win32TopLevelWindows::ClassName(WindowId window) {
    std::array<char, 256> buffer{};
    const int length =
        ::GetClassNameA(ToHwnd(window), buffer.data(), static_cast<int>(buffer.size()));
    return length > 0 ? std::string(buffer.data(), static_cast<std::size_t>(length))
                      : std::string();
}

std::string Win32TopLevelWindows::Title(WindowId window) {
    std::array<char, 256> buffer{};
    const int length =
        ::GetWindowTextA(ToHwnd(window), buffer.data(), static_cast<int>(buffer.size()));
    return length > 0 ? std::string(buffer.data(), static_cast<std::size_t>(length))
                      : std::string();
}

bool Win32TopLevelWindows::HasVisibleStyle(WindowId window) {
    return (static_cast<DWORD>(::GetWindowLongA(ToHwnd(window), GWL_STYLE)) & WS_VISIBLE) != 0;
}

void Win32TopLevelWindows::Hide(WindowId window) {
    ShowAs(ToHwnd(window), SW_HIDE);
}

void Win32TopLevelWindows::Show(WindowId window) {
    ShowAs(ToHwnd(window), SW_SHOW);
}

} // namespace ombrevane::win32
