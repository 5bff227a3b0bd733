#pragma once
// The windows the controller opens on the user's request: the password prompt, the options
// dialog, the tip of the day and the About box; and the tray menu's desktop entries, which
// follow the desktop settings. Modal ones run nested message loops, so the controller's
// handlers may be entered again while one is open.

#include <string>

namespace ombrevane {

class ControllerDialogs {
public:
    virtual ~ControllerDialogs() = default;

    // True when the user's entry matched the stored hash; false when the prompt was
    // cancelled or closed.
    virtual bool AskPassword(const std::string& storedHash) = 0;
    // Asks for the options password itself when that option is on.
    virtual void ShowOptionsDialog() = 0;
    virtual void ShowTipOfTheDay() = 0;
    virtual void ShowAbout() = 0;
    virtual void RebuildDesktopMenu() = 0;
};

} // namespace ombrevane
