#include "controller/win32/MainformWindow.h"

#include "config/programinfo.h"
#include "platform/ErrorReport.h"
#include "controller/ControllerWindow.h"

namespace ombrevane::win32 {

MainformWindow::MainformWindow(DesktopPlatform& platform)
    : form_(MainformPorts{platform, trayIcon_, unwired_, unwired_, unwired_, registry_, unwired_,
                          unwired_, unwired_, host_, GetExtInfo()->GetConfigDir()}) {}

std::unique_ptr<MainformWindow> MainformWindow::Create(HWND owner, DesktopPlatform& platform) {
    auto self = std::make_unique<MainformWindow>(platform);
    // Never shown; the application window owns it so that it gets no task bar button.
    WindowPlacement placement;
    placement.title = "Ombrevane";
    placement.style = WS_OVERLAPPEDWINDOW;
    placement.x = kMainformLeft;
    placement.width = 400;
    placement.height = 300;
    placement.parent = owner;
    if (!self->window_.Create(
            *self, {.name = kControllerClassName, .cursor = SystemCursor(kIdcArrow)}, placement)) {
        return nullptr;
    }
    const HWND hwnd = self->window_.get();
    self->trayIcon_.Create(hwnd, owner);
    self->host_.Attach(hwnd, owner);
    // Created outside the window procedure: what it lets out is reported here, and the
    // instance goes on with what was set up.
    RunReportingErrors([&] { self->form_.FormCreate(); });
    return self;
}

LRESULT MainformWindow::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        if (!form_.FormClose()) {
            return 0;
        }
        break;
    case WM_DESTROY:
        form_.FormDestroy();
        return 0;
    default:
        if (form_.HandleInternalMessage(message, wParam, lParam)) {
            return 0;
        }
        break;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace ombrevane::win32
