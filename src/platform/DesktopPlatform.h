#pragma once
// The desktops, windows and processes of the user's window station, as far as the desktop
// switching and creation, the instance broadcast and the instance registry need them. The Win32
// build implements it over the real window station; native tests drive a simulated one.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ombrevane {

// A top-level window; 0 is no window.
using WindowId = std::uintptr_t;

struct ProcessEntry {
    std::uint32_t id = 0;
    // Full path of the executable, or the bare file name when the path cannot be read.
    std::string imagePath;
};

// What to start and where. Empty fields take the platform's defaults.
struct ProcessLaunch {
    // The program file; empty: the program is the first item of the command line (a quoted
    // path, or the system's rules for an unquoted one).
    std::string imagePath;
    std::string commandLine;
    // Name of a desktop of the caller's window station; empty: the caller's desktop.
    std::string desktop;
    // Empty: the caller's current directory.
    std::string workingDirectory;
};

// A desktop held open. The platform destroys a desktop once nothing runs on it and nobody
// holds it, so a creator keeps this until the processes it starts there are running.
class HeldDesktop {
public:
    virtual ~HeldDesktop() = default;
    virtual const std::string& Name() const = 0;
};

enum class DesktopSwitchOutcome {
    Switched,
    NotOpened, // the desktop does not exist or access is denied
    Refused,   // opened, but the platform did not make it the input desktop
};

enum class ThreadPostOutcome {
    Posted,
    InvalidThread, // the thread is gone; retrying is pointless
    Failed,
};

class DesktopPlatform {
public:
    virtual ~DesktopPlatform() = default;

    // Texts equal ignoring case, by the user's locale.
    virtual bool EqualsIgnoreCase(std::string_view a, std::string_view b) = 0;

    // Name of the calling thread's desktop; empty when it cannot be read.
    virtual std::string ThreadDesktopName() = 0;
    // Name of the desktop that receives input; empty when it cannot be opened or read.
    virtual std::string InputDesktopName() = 0;
    virtual DesktopSwitchOutcome SwitchInputDesktop(std::string_view name) = 0;
    // Desktop names of the caller's window station, in the platform's order.
    virtual std::vector<std::string> DesktopNames() = 0;
    // Opens the desktop and visits its top-level windows in the platform's order until visit
    // returns false. False when the desktop cannot be opened.
    virtual bool ForEachDesktopWindow(std::string_view desktop,
                                      const std::function<bool(WindowId)>& visit) = 0;
    // Creates the desktop in the caller's window station, or opens it when it exists already;
    // null when neither works.
    virtual std::unique_ptr<HeldDesktop> CreateOrOpenDesktop(std::string_view name) = 0;
    // Top-level windows of the caller's own desktop.
    virtual void ForEachTopLevelWindow(const std::function<bool(WindowId)>& visit) = 0;

    // Class name read into a buffer of maxChars characters including the terminator, so
    // longer names come back cut.
    virtual std::string WindowClassName(WindowId window, int maxChars) = 0;
    virtual std::uint32_t WindowProcessId(WindowId window) = 0;
    virtual std::uint32_t WindowThreadId(WindowId window) = 0;
    virtual bool PostWindowMessage(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam) = 0;
    virtual ThreadPostOutcome PostToThread(std::uint32_t threadId, std::uint32_t message,
                                           std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // Sends without waiting for the message to be handled, to every window of the thread.
    virtual void NotifyThreadWindows(std::uint32_t threadId, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // Restores a minimised window and makes it the foreground window.
    virtual bool BringToForeground(WindowId window) = 0;
    // A message number shared by every process that asks for the same name; 0 on failure.
    virtual std::uint32_t RegisterMessageName(const std::string& name) = 0;

    virtual std::vector<ProcessEntry> Processes() = 0;
    virtual std::uint32_t OwnProcessId() = 0;
    // The path under which this process was started.
    virtual std::string OwnImagePath() = 0;
    // Starts a process and lets it run on its own; its id, or 0 when it could not be started.
    virtual std::uint32_t StartProcessOnDesktop(const ProcessLaunch& launch) = 0;
    // The platform's Windows folder as the platform reports it; empty when unreadable.
    virtual std::string WindowsDirectory() = 0;

    virtual void DebugLine(std::string_view line) = 0;
};

} // namespace ombrevane
