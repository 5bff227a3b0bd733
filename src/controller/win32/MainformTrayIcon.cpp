#include "controller/win32/MainformTrayIcon.h"

namespace ombrevane::win32 {

void MainformTrayIcon::Create(HWND mainWindow, HWND applicationWindow) {
    icon_ = std::make_unique<TTextTrayIcon>(mainWindow, applicationWindow);
    ApplyMainFormLook(*icon_);
    icon_->SetIconVisible(true);
    icon_->Loaded();
}

void MainformTrayIcon::SetText(std::string_view text) {
    if (icon_) {
        icon_->SetText(text);
    }
}

void MainformTrayIcon::SetIconVisible(bool visible) {
    if (icon_) {
        icon_->SetIconVisible(visible);
    }
}

bool MainformTrayIcon::IconVisible() const {
    return icon_ && icon_->IconVisible();
}

void MainformTrayIcon::SendMainFormToTray() {
    if (icon_) {
        icon_->SendMainFormToTray();
    }
}

void MainformTrayIcon::ShowBalloon(std::string_view title, std::string_view text, BalloonIcon icon,
                                   int timeoutSeconds) {
    if (icon_) {
        icon_->ShowBalloon(title, text, static_cast<TBalloonHintIcon>(icon), timeoutSeconds);
    }
}

} // namespace ombrevane::win32
