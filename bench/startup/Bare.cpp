// The start-up benchmark's baseline: the least a Win32 program with a hidden window does.
// Registers a class, creates one hidden window and runs its message loop.

#include <windows.h>

namespace {

LRESULT CALLBACK BareProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BareProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "OmbrevaneBenchBare";
    if (::RegisterClassA(&windowClass) == 0) {
        return 1;
    }
    HWND hwnd = ::CreateWindowExA(0, windowClass.lpszClassName, "Bare", WS_OVERLAPPED, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        return 1;
    }
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
