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
    const HWND hwnd = ToHwnd(window);
    const int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0) {
        return {};
    }
    // The length may count more than the text holds (double-byte titles); the copy tells.
    std::string title(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(hwnd, title.data(), length + 1);
    title.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return title;
}

bool Win32TopLevelWindows::HasVisibleStyle(WindowId window) {
    return (static_cast<DWORD>(::GetWindowLongA(ToHwnd(window), GWL_STYLE)) & WS_VISIBLE) != 0;
}

void Win32TopLevelWindows::Hide(WindowId window) {
    ::ShowWindow(ToHwnd(window), SW_HIDE);
}

void Win32TopLevelWindows::Show(WindowId window) {
    ::ShowWindow(ToHwnd(window), SW_SHOW);
}

} // namespace ombrevane::win32
