#include "app/ApplicationWindow.h"

#include "app/JclAppInst.h"
#include "platform/win32/WindowClass.h"

#include <string>

namespace ombrevane::win32 {

namespace {

const std::string kClassName(TJclAppInstances::kApplicationClassName);

LRESULT CALLBACK ApplicationWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

ApplicationWindow::ApplicationWindow(HINSTANCE instance) {
    if (!EnsureWindowClass(instance, kClassName.c_str(), ApplicationWindowProc)) {
        return;
    }
    // Zero size and never shown: it exists to be found and to own the main window.
    window_.reset(
        ::CreateWindowExA(0, kClassName.c_str(), "Ombrevane",
                          WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                          0, 0, 0, nullptr, nullptr, instance, nullptr));
}

} // namespace ombrevane::win32
