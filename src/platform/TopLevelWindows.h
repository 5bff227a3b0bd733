#pragma once
// The top-level windows of the calling thread's own desktop, as far as hiding them while the
// desktop is not on the screen needs them. The Win32 build implements it over EnumWindows,
// ShowWindow and ShowWindowAsync; native tests drive a simulated list.

#include "platform/DesktopPlatform.h"

#include <functional>
#include <string>

namespace ombrevane {

class TopLevelWindows {
public:
    virtual ~TopLevelWindows() = default;

    // Visits every top-level window of the caller's desktop once, in the platform's order.
    virtual void ForEachWindow(const std::function<void(WindowId)>& visit) = 0;
    // At most 255 characters; empty for a window that is gone.
    virtual std::string ClassName(WindowId window) = 0;
    // At most 255 characters (more could never match a title looked for); empty for a window
    // without one or one that is gone.
    virtual std::string Title(WindowId window) = 0;
    // True when the window's style carries the visible bit.
    virtual bool HasVisibleStyle(WindowId window) = 0;
    // Both do nothing for a window that is gone. A window of another thread changes when its
    // thread gets to it; the caller does not wait for that.
    virtual void Hide(WindowId window) = 0;
    virtual void Show(WindowId window) = 0;
};

} // namespace ombrevane
