#pragma once
// The desktop seam over the real window station of the calling process.

#include "platform/DesktopPlatform.h"

namespace ombrevane::win32 {

class Win32DesktopPlatform : public DesktopPlatform {
public:
    bool EqualsIgnoreCase(std::string_view a, std::string_view b) override;
    std::string ThreadDesktopName() override;
    std::string InputDesktopName() override;
    DesktopSwitchOutcome SwitchInputDesktop(std::string_view name) override;
    std::vector<std::string> DesktopNames() override;
    bool ForEachDesktopWindow(std::string_view desktop,
                              const std::function<bool(WindowId)>& visit) override;
    std::unique_ptr<HeldDesktop> CreateOrOpenDesktop(std::string_view name) override;
    void ForEachTopLevelWindow(const std::function<bool(WindowId)>& visit) override;
    std::string WindowClassName(WindowId window, int maxChars) override;
    std::uint32_t WindowProcessId(WindowId window) override;
    std::uint32_t WindowThreadId(WindowId window) override;
    bool PostWindowMessage(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) override;
    ThreadPostOutcome PostToThread(std::uint32_t threadId, std::uint32_t message,
                                   std::uintptr_t wParam, std::intptr_t lParam) override;
    void NotifyThreadWindows(std::uint32_t threadId, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;
    bool BringToForeground(WindowId window) override;
    std::uint32_t RegisterMessageName(const std::string& name) override;
    std::vector<ProcessEntry> Processes() override;
    std::uint32_t OwnProcessId() override;
    std::string OwnImagePath() override;
    std::uint32_t StartProcessOnDesktop(const ProcessLaunch& launch) override;
    std::string WindowsDirectory() override;
    void DebugLine(std::string_view line) override;
};

} // namespace ombrevane::win32
