// Test host for inputward.dll: a window of the controller's class in a program that loads the
// library through the program's binding, printing every message it receives, one flushed line
// each, so a script can follow what the library reported.
//
//   inputward_host serve [--desktop name] [--hotkey slot key modifiers]... [--both-buttons]
//       serves on the named desktop (created when missing) or the one it was started on;
//       prints "problem: <text>" when the library cannot be used, then "ready", then
//       "msg <number> <wParam> <lParam> <unix microseconds>" per library message,
//       "lock <IsShortcutKeyLock>" after a lock request and "bye" at the end.
//   inputward_host post [--desktop name] <message> [wParam] [lParam]
//       posts to the host serving on that desktop (default: this one): 32769 (lock, wParam
//       1/0), 32770 (quit).
//   inputward_host notepad-text
//       prints the text of Notepad's edit control between [ and ].
//   inputward_host focus-notepad
//       brings Notepad to the front.

#include "inputlock/inputwardexport.h"
#include "controller/ControllerWindow.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT kMsgLock = WM_APP + 1;
constexpr UINT kMsgQuit = WM_APP + 2;

const ombrevane::InputWardLibrary* library = nullptr;

long long UnixMicroseconds() {
    FILETIME ft{};
    ::GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER value{};
    value.LowPart = ft.dwLowDateTime;
    value.HighPart = ft.dwHighDateTime;
    return static_cast<long long>((value.QuadPart - 116444736000000000ULL) / 10);
}

void PrintLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
}

void TellUser(const std::string& text) {
    PrintLine("problem: " + text);
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= ombrevane::kFirstInternalMessage && message <= ombrevane::kLastInternalMessage) {
        PrintLine("msg " + std::to_string(message) + " " + std::to_string(wParam) + " " +
                  std::to_string(lParam) + " " + std::to_string(UnixMicroseconds()));
        return 0;
    }
    if (message == kMsgLock) {
        library->LockShortcutKey(static_cast<std::int32_t>(wParam));
        PrintLine("lock " + std::to_string(library->IsShortcutKeyLock()));
        return 0;
    }
    if (message == kMsgQuit) {
        ::DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// The thread must not own windows or hooks yet.
ombrevane::win32::UniqueDesktop MoveToDesktop(const char* name) {
    ombrevane::win32::UniqueDesktop desktop(
        ::CreateDesktopA(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr));
    if (!desktop || !::SetThreadDesktop(desktop.get())) {
        return {};
    }
    return desktop;
}

int Serve(int argc, char** argv) {
    // Kept open while the thread works on it.
    ombrevane::win32::UniqueDesktop desktop;
    if (argc > 3 && std::strcmp(argv[2], "--desktop") == 0) {
        desktop = MoveToDesktop(argv[3]);
        if (!desktop) {
            PrintLine("error: cannot serve on desktop " + std::string(argv[3]));
            return 1;
        }
        PrintLine("desktop " + std::string(argv[3]));
    }
    const ombrevane::InputWardLibrary binding =
        ombrevane::InputWardLibrary::LoadBesideExecutable(&TellUser);
    library = &binding;

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &HostProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = ombrevane::kControllerClassName;
    if (::RegisterClassA(&windowClass) == 0) {
        PrintLine("error: RegisterClass");
        return 1;
    }
    ombrevane::win32::UniqueWindow window(
        ::CreateWindowExA(0, ombrevane::kControllerClassName, "inputward host", WS_OVERLAPPEDWINDOW,
                          10000, 0, 100, 100, nullptr, nullptr, windowClass.hInstance, nullptr));
    if (!window) {
        PrintLine("error: CreateWindow");
        return 1;
    }

    // The order the controller uses at its creation.
    binding.Initial();
    if (binding.KeyboardEnable() == 0) {
        binding.SetKeyboard(-1);
    }
    if (binding.MouseEnable() == 0) {
        binding.SetMouse(-1);
    }
    bool bothButtons = false;
    for (int i = desktop ? 4 : 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--hotkey") == 0 && i + 3 < argc) {
            const auto slot = static_cast<std::int32_t>(std::strtol(argv[i + 1], nullptr, 0));
            const auto key = static_cast<std::uint16_t>(std::strtoul(argv[i + 2], nullptr, 0));
            const auto mods = static_cast<std::uint16_t>(std::strtoul(argv[i + 3], nullptr, 0));
            binding.SetHotKey(slot, key, mods);
            i += 3;
        } else if (std::strcmp(argv[i], "--both-buttons") == 0) {
            bothButtons = true;
        }
    }
    binding.EnableLRMouseButton(bothButtons ? 1 : 0);
    PrintLine("keyboard " + std::to_string(binding.KeyboardEnable()) + " mouse " +
              std::to_string(binding.MouseEnable()));
    PrintLine("ready");

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    window.release(); // destroyed by its own quit request
    if (binding.KeyboardEnable() != 0) {
        binding.SetKeyboard(0);
    }
    if (binding.MouseEnable() != 0) {
        binding.SetMouse(0);
    }
    PrintLine("bye");
    return 0;
}

BOOL CALLBACK FindHost(HWND window, LPARAM found) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof(name));
    if (std::strcmp(name, ombrevane::kControllerClassName) == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

int Post(int argc, char** argv) {
    int first = 2;
    HWND host = nullptr;
    if (argc > 3 && std::strcmp(argv[2], "--desktop") == 0) {
        const ombrevane::win32::UniqueDesktop desktop(
            ::OpenDesktopA(argv[3], 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE));
        if (desktop) {
            ::EnumDesktopWindows(desktop.get(), &FindHost, reinterpret_cast<LPARAM>(&host));
        }
        first = 4;
    } else {
        host = ::FindWindowA(ombrevane::kControllerClassName, nullptr);
    }
    if (argc <= first) {
        return 2;
    }
    if (host == nullptr) {
        PrintLine("no host window");
        return 1;
    }
    const auto message = static_cast<UINT>(std::strtoul(argv[first], nullptr, 0));
    const WPARAM wParam =
        argc > first + 1 ? static_cast<WPARAM>(std::strtoll(argv[first + 1], nullptr, 0)) : 0;
    const LPARAM lParam =
        argc > first + 2 ? static_cast<LPARAM>(std::strtoll(argv[first + 2], nullptr, 0)) : 0;
    return ::PostMessageA(host, message, wParam, lParam) ? 0 : 1;
}

HWND FindNotepad() {
    return ::FindWindowA("Notepad", nullptr);
}

int NotepadText() {
    HWND notepad = FindNotepad();
    HWND edit = notepad != nullptr ? ::FindWindowExA(notepad, nullptr, "Edit", nullptr) : nullptr;
    if (edit == nullptr) {
        PrintLine("no notepad");
        return 1;
    }
    std::vector<char> text(4096);
    const LRESULT length =
        ::SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    PrintLine("[" + std::string(text.data(), static_cast<std::size_t>(length)) + "]");
    return 0;
}

int FocusNotepad() {
    HWND notepad = FindNotepad();
    if (notepad == nullptr) {
        PrintLine("no notepad");
        return 1;
    }
    ::SetForegroundWindow(notepad);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "serve") {
        return Serve(argc, argv);
    }
    if (mode == "post") {
        return Post(argc, argv);
    }
    if (mode == "notepad-text") {
        return NotepadText();
    }
    if (mode == "focus-notepad") {
        return FocusNotepad();
    }
    std::fputs("usage: inputward_host serve|post|notepad-text|focus-notepad ...\n", stderr);
    return 2;
}
