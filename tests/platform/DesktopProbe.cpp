// A small program that tests start on a desktop: it makes one hidden window of class
// "OmbrevaneDesktopProbe", titled with its current directory, "|" and its command-line
// argument, and waits until it is closed, ended, or its lifetime (the argument, in
// milliseconds, default 60000) runs out, so that a forgotten probe never stays.

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
    case WM_CLOSE:
        ::DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const std::string argument = commandLine != nullptr ? commandLine : "";
    char* end = nullptr;
    unsigned long lifetime = std::strtoul(argument.c_str(), &end, 10);
    if (end == argument.c_str() || lifetime == 0 || lifetime > 600000) {
        lifetime = 60000;
    }
    char directory[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryA(MAX_PATH, directory);
    const std::string title = std::string(directory) + "|" + argument;

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ProbeProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "OmbrevaneDesktopProbe";
    if (!::RegisterClassExA(&windowClass)) {
        return 2;
    }
    HWND hwnd = ::CreateWindowExA(0, windowClass.lpszClassName, title.c_str(), WS_POPUP, 0, 0, 10,
                                  10, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        return 3;
    }
    ::SetTimer(hwnd, 1, static_cast<UINT>(lifetime), nullptr);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageA(&message);
    }
    return 0;
}
