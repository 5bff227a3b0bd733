// The baseline of the latency benchmark: a window whose own low-level keyboard hook posts every
// key press to it unconditionally. Prints "msg <message> <virtual key> 0 <unix microseconds>"
// per arrival, like the inputward test host, and ends on message 32770.

#include "platform/win32/UniqueHandle.h"
#include "controller/ControllerWindow.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr char kClass[] = "OmbrevaneBareHost";
// The message the library posts for a digit key, so the script reads both hosts alike.
constexpr UINT kMsgKey = ombrevane::WM_INTERNAL_DLL_DESKTOPKEY;
constexpr UINT kMsgQuit = WM_APP + 2;

HWND window = nullptr;

long long UnixMicroseconds() {
    FILETIME ft{};
    ::GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER value{};
    value.LowPart = ft.dwLowDateTime;
    value.HighPart = ft.dwHighDateTime;
    return static_cast<long long>((value.QuadPart - 116444736000000000ULL) / 10);
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)) {
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        ::PostMessageA(window, kMsgKey, info->vkCode, 0);
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMsgKey) {
        std::printf("msg %u %u 0 %lld\n", message, static_cast<unsigned>(wParam),
                    UnixMicroseconds());
        std::fflush(stdout);
        return 0;
    }
    if (message == kMsgQuit) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

int main() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClass;
    ::RegisterClassA(&windowClass);
    ombrevane::win32::UniqueWindow owner(
        ::CreateWindowExA(0, kClass, "bare host", WS_OVERLAPPEDWINDOW, 10000, 0, 100, 100, nullptr,
                          nullptr, windowClass.hInstance, nullptr));
    window = owner.get();
    ombrevane::win32::UniqueHook hook(
        ::SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardProc, windowClass.hInstance, 0));
    if (!owner || !hook) {
        std::puts("error: no window or hook");
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageA(&msg);
    }
    return 0;
}
