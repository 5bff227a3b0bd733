#include "app/ApplicationWindow.h"

#include "app/JclAppInst.h"

#include <string>

namespace ombrevane::win32 {

namespace {

const std::string kClassName(TJclAppInstances::kApplicationClassName);

} // namespace

ApplicationWindow::ApplicationWindow() {
    // Zero size and never shown: it exists to be found and to own the main window.
    WindowPlacement placement;
    placement.title = "Ombrevane";
    placement.style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
    window_.Create(*this, {.name = kClassName.c_str(), .cursor = SystemCursor(kIdcArrow)},
                   placement);
}

LRESULT ApplicationWindow::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace ombrevane::win32
