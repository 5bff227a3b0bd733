#include "controller/win32/MainformPorts.h"

namespace ombrevane::win32 {

void MainformHostWindow::Attach(HWND mainWindow, HWND applicationWindow) {
    mainWindow_ = mainWindow;
    applicationWindow_ = applicationWindow;
}

void MainformHostWindow::SetMainWindowLeft(int left) {
    RECT bounds{};
    if (mainWindow_ == nullptr || !::GetWindowRect(mainWindow_, &bounds)) {
        return;
    }
    ::SetWindowPos(mainWindow_, nullptr, left, bounds.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainformHostWindow::HideApplication() {
    if (mainWindow_ != nullptr) {
        ::ShowWindow(mainWindow_, SW_HIDE);
    }
    if (applicationWindow_ != nullptr) {
        ::ShowWindow(applicationWindow_, SW_HIDE);
    }
}

void MainformHostWindow::PostToMainWindow(std::uint32_t message, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
    if (mainWindow_ != nullptr) {
        ::PostMessageA(mainWindow_, message, wParam, lParam);
    }
}

// The application's window has no hook yet. Without it a posted minimise would show that
// window minimised, with a task bar button, and nothing would hide it again.
void MainformHostWindow::PostApplicationSystemCommand(std::uint32_t) {}

void MainformHostWindow::HookApplicationWindow() {}

void MainformHostWindow::UnhookApplicationWindow() {}

void MainformHostWindow::Terminate() {
    ::PostQuitMessage(0);
}

} // namespace ombrevane::win32
