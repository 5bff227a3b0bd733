#include "features/HideDesktopWnd.h"

#include "desktops/tileswitchUtils.h"

#include <string>

namespace ombrevane {

THideDesktopWnd::THideDesktopWnd(DesktopPlatform& desktops, TopLevelWindows& windows)
    : desktops_(desktops), windows_(windows) {}

void THideDesktopWnd::UpdateDesktopWindows() {
    // Runs every second: the own name is read once per tick, the input name only off
    // "Default".
    const std::string own = desktops_.ThreadDesktopName();
    if (desktops_.EqualsIgnoreCase(own, kDefaultDesktopName)) {
        return;
    }
    // An input desktop whose name cannot be read (a secure desktop) is never this one.
    const std::string input = desktops_.InputDesktopName();
    const bool onScreen = !input.empty() && desktops_.EqualsIgnoreCase(input, own);
    if (!windowsHidden_ && !onScreen) {
        HideDesktopWindows();
        windowsHidden_ = true;
    } else if (windowsHidden_ && onScreen) {
        RestoreDesktopWindows();
        windowsHidden_ = false;
    }
}

void THideDesktopWnd::HideDesktopWindows() {
    // Every window is looked at before the first is hidden: the programs of hidden windows get
    // busy at once, and looking at the rest would then wait behind them.
    std::vector<WindowId> toHide;
    windows_.ForEachWindow([this, &toHide](WindowId window) {
        // Whatever is invisible now stays out of the list, the shell's windows too: the
        // restore would show them (a shell keeps an invisible task bar on a desktop where it
        // is not the shell).
        if (!windows_.HasVisibleStyle(window)) {
            return;
        }
        if (!desktops_.EqualsIgnoreCase(windows_.ClassName(window), kShellTrayClassName) &&
            !desktops_.EqualsIgnoreCase(windows_.Title(window), kProgramManagerTitle)) {
            toHide.push_back(window);
        }
        hiddenWindows_.push_back(window);
    });
    for (WindowId window : toHide) {
        windows_.Hide(window);
    }
}

void THideDesktopWnd::RestoreDesktopWindows() {
    while (!hiddenWindows_.empty()) {
        windows_.Show(hiddenWindows_.back());
        hiddenWindows_.pop_back();
    }
}

} // namespace ombrevane
