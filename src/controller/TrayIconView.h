#pragma once
// What the controller does with its tray icon. The Win32 build puts a text tray icon behind
// it; native tests record the calls.

#include <string_view>

namespace ombrevane {

enum class BalloonIcon { None = 0, Info = 1, Warning = 2, Error = 3 };

class TrayIconView {
public:
    virtual ~TrayIconView() = default;

    virtual void SetText(std::string_view text) = 0;
    virtual void SetIconVisible(bool visible) = 0;
    virtual bool IconVisible() const = 0;
    // Hides the main window and the application's task bar button.
    virtual void SendMainFormToTray() = 0;
    virtual void ShowBalloon(std::string_view title, std::string_view text, BalloonIcon icon,
                             int timeoutSeconds) = 0;
};

} // namespace ombrevane
