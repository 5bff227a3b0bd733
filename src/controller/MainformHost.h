#pragma once
// The window side of the controller: its own hidden main window, the application's window
// that owns it, and the message loop they run in.

#include <cstdint>

namespace ombrevane {

inline constexpr std::uint32_t kSysCommandMinimize = 0xF020;
inline constexpr std::uint32_t kSysCommandRestore = 0xF120;

class MainformHost {
public:
    virtual ~MainformHost() = default;

    virtual void SetMainWindowLeft(int left) = 0;
    // The main window invisible and the application's window hidden: no task bar button.
    virtual void HideApplication() = 0;
    virtual void PostToMainWindow(std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) = 0;
    virtual void PostApplicationSystemCommand(std::uint32_t command) = 0;
    // From Hook to Unhook every system command the application's window receives is handed
    // to TTileSwitchMainForm::ApplicationSystemCommand before it takes its normal course.
    virtual void HookApplicationWindow() = 0;
    virtual void UnhookApplicationWindow() = 0;
    // Ends the message loop after the current message.
    virtual void Terminate() = 0;
};

} // namespace ombrevane
