#include "controller/win32/MainformWindow.h"

#include "config/programinfo.h"
#include "platform/ErrorReport.h"
#include "platform/win32/WindowClass.h"
#include "shared/ControllerWindow.h"

#include <string>

namespace ombrevane::win32 {

namespace {

const std::string kClassName(kControllerClassName);

} // namespace

MainformWindow::MainformWindow(DesktopPlatform& platform)
    : form_(MainformPorts{platform, trayIcon_, unwired_, unwired_, unwired_, registry_, unwired_,
                          unwired_, unwired_, host_, GetExtInfo()->GetConfigDir()}) {}

std::unique_ptr<MainformWindow> MainformWindow::Create(HINSTANCE instance, HWND owner,
                                                       DesktopPlatform& platform) {
    if (!EnsureWindowClass(instance, kClassName.c_str(), WindowProc)) {
        return nullptr;
    }
    auto self = std::make_unique<MainformWindow>(platform);
    // Never shown; the application window owns it so that it gets no task bar button.
    const HWND hwnd =
        ::CreateWindowExA(0, kClassName.c_str(), "Ombrevane", WS_OVERLAPPEDWINDOW, kMainformLeft, 0,
                          400, 300, owner, nullptr, instance, self.get());
    if (hwnd == nullptr) {
        return nullptr;
    }
    self->window_.reset(hwnd);
    self->trayIcon_.Create(hwnd, owner);
    self->host_.Attach(hwnd, owner);
    // Created outside the window procedure: what it lets out is reported here, and the
    // instance goes on with what was set up.
    RunReportingErrors([&] { self->form_.FormCreate(); });
    return self;
}

LRESULT CALLBACK MainformWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainformWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    }
    if (self == nullptr) {
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    // An error no handler dealt with (a settings file that cannot be written) must not unwind
    // through the system's frames: the user is told and the instance goes on.
    try {
        return self->OnMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        ReportCurrentException();
        return 0;
    }
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
