#pragma once
// The top-level windows of the calling thread's desktop, through EnumWindows and ShowWindow.

#include "platform/TopLevelWindows.h"

namespace ombrevane::win32 {

class Win32TopLevelWindows : public TopLevelWindows {
public:
    void ForEachWindow(const std::function<void(WindowId)>& visit) override;
    std::string ClassName(WindowId window) override;
    std::string Title(WindowId window) override;
    bool HasVisibleStyle(WindowId window) override;
    void Hide(WindowId window) override;
    void Show(WindowId window) override;
};

} // namespace ombrevane::win32
