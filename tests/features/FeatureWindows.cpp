// A small program that the desktop feature tests start on a desktop. Its first argument says
// what it shows, its second how long it lives (milliseconds, default 60000, so a forgotten
// one never stays):
//   probe <ms> [...]  one hidden window of class "OmbrevaneFeatureProbe", titled with the
//                     whole argument text, so a test sees where it runs and what it was given
//   set <ms>          the probe, plus two visible windows ("visible 1", "visible 2"), a
//                     visible "Shell_TrayWnd", a visible "Progman" titled "Program Manager"
//                     and an invisible window ("invisible"); the probe comes last, so once it
//                     is there all the others are too
//   hung <ms>         the probe and two visible windows ("hung 1", "hung 2"), then it stops
//                     handling messages for its lifetime, as a program that hangs

#include <windows.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace {

constexpr const char* kProbeClass = "OmbrevaneFeatureProbe";
constexpr const char* kWindowClass = "OmbrevaneFeatureWindow";

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

bool Register(HINSTANCE instance, const char* name, WNDPROC procedure) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = name;
    return ::RegisterClassExA(&windowClass) != 0;
}

HWND Make(HINSTANCE instance, const char* className, const char* title, DWORD style, int slot) {
    return ::CreateWindowExA(0, className, title, style, 20 + 30 * slot, 20 + 30 * slot, 200, 120,
                             nullptr, nullptr, instance, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const std::string arguments = commandLine != nullptr ? commandLine : "";
    std::istringstream words(arguments);
    std::string mode;
    std::string lifetimeText;
    words >> mode >> lifetimeText;
    unsigned long lifetime = std::strtoul(lifetimeText.c_str(), nullptr, 10);
    if (lifetime == 0 || lifetime > 600000) {
        lifetime = 60000;
    }
    if (!Register(instance, kProbeClass, ProbeProc) ||
        !Register(instance, kWindowClass, ::DefWindowProcA) ||
        !Register(instance, "Shell_TrayWnd", ::DefWindowProcA) ||
        !Register(instance, "Progman", ::DefWindowProcA)) {
        return 2;
    }
    if (mode == "set") {
        const DWORD shown = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        if (!Make(instance, kWindowClass, "visible 1", shown, 0) ||
            !Make(instance, kWindowClass, "visible 2", shown, 1) ||
            !Make(instance, "Shell_TrayWnd", "", WS_POPUP | WS_VISIBLE, 2) ||
            !Make(instance, "Progman", "Program Manager", WS_POPUP | WS_VISIBLE, 3) ||
            !Make(instance, kWindowClass, "invisible", WS_OVERLAPPEDWINDOW, 4)) {
            return 3;
        }
    }
    if (mode == "hung") {
        const DWORD shown = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        if (!Make(instance, kWindowClass, "hung 1", shown, 0) ||
            !Make(instance, kWindowClass, "hung 2", shown, 1)) {
            return 3;
        }
    }
    HWND probe = Make(instance, kProbeClass, arguments.c_str(), WS_POPUP, 5);
    if (probe == nullptr) {
        return 3;
    }
    if (mode == "hung") {
        ::Sleep(static_cast<DWORD>(lifetime));
        return 0;
    }
    ::SetTimer(probe, 1, static_cast<UINT>(lifetime), nullptr);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageA(&message);
    }
    return 0;
}
