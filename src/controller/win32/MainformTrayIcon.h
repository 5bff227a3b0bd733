#pragma once
// The controller's tray icon: a text tray icon painted with the desktop number, set up with
// the main form's look (orange square, yellow frame, white bold digit).

#include "components/win32/TextTrayIcon.h"
#include "controller/TrayIconView.h"

#include <windows.h>

#include <memory>

namespace ombrevane::win32 {

class MainformTrayIcon : public TrayIconView {
public:
    MainformTrayIcon() = default;

    // Creates the icon once the main window exists; until then the calls do nothing.
    void Create(HWND mainWindow, HWND applicationWindow);

    void SetText(std::string_view text) override;
    void SetIconVisible(bool visible) override;
    bool IconVisible() const override;
    void SendMainFormToTray() override;
    void ShowBalloon(std::string_view title, std::string_view text, BalloonIcon icon,
                     int timeoutSeconds) override;

private:
    std::unique_ptr<TTextTrayIcon> icon_;
};

} // namespace ombrevane::win32
