#pragma once
// What the controller asks of the features attached to its desktop: hiding the windows of a
// desktop that is not shown, its startup programs and its screen mode.

namespace ombrevane {

class DesktopFeatures {
public:
    virtual ~DesktopFeatures() = default;

    // Hides this desktop's windows while it is not the input desktop, shows them when it is.
    virtual void UpdateDesktopWindows() = 0;
    // Shows every window hidden so far.
    virtual void RestoreDesktopWindows() = 0;
    virtual void RunStartupPrograms(int desktopIndex) = 0;
    virtual void ApplyDesktopResolution(int desktopIndex) = 0;
};

} // namespace ombrevane
