#include "platform/win32/Win32DesktopPlatform.h"

#include "platform/DebugOutput.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#include <tlhelp32.h>

#include <array>
#include <memory>
#include <vector>

namespace ombrevane::win32 {

namespace {

HWND ToHwnd(WindowId window) {
    return reinterpret_cast<HWND>(window);
}
WindowId ToWindowId(HWND hwnd) {
    return reinterpret_cast<WindowId>(hwnd);
}

// The name of a desktop or window station, read into 255 bytes up to the first zero.
std::string ObjectName(HANDLE object) {
    std::array<char, 255> buffer{};
    DWORD needed = 0;
    if (!::GetUserObjectInformationA(object, UOI_NAME, buffer.data(),
                                     static_cast<DWORD>(buffer.size()), &needed)) {
        return {};
    }
    buffer.back() = '\0';
    return std::string(buffer.data());
}

UniqueDesktop OpenNamedDesktop(std::string_view name) {
    const std::string text(name);
    return UniqueDesktop(::OpenDesktopA(text.c_str(), 0, FALSE, MAXIMUM_ALLOWED));
}

class Win32HeldDesktop : public HeldDesktop {
public:
    Win32HeldDesktop(std::string name, UniqueDesktop desktop)
        : name_(std::move(name)), desktop_(std::move(desktop)) {}
    const std::string& Name() const override { return name_; }

private:
    std::string name_;
    UniqueDesktop desktop_;
};

// CreateProcessA wants writable texts; null for an empty one.
char* MutableOrNull(std::vector<char>& buffer, const std::string& text) {
    if (text.empty()) {
        return nullptr;
    }
    buffer.assign(text.begin(), text.end());
    buffer.push_back('\0');
    return buffer.data();
}

using WindowVisitor = std::function<bool(WindowId)>;

BOOL CALLBACK VisitWindow(HWND hwnd, LPARAM context) {
    const auto& visit = *reinterpret_cast<const WindowVisitor*>(context);
    return visit(ToWindowId(hwnd)) ? TRUE : FALSE;
}

BOOL CALLBACK CollectDesktopName(LPSTR name, LPARAM context) {
    reinterpret_cast<std::vector<std::string>*>(context)->emplace_back(name);
    return TRUE;
}

struct ThreadMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

BOOL CALLBACK NotifyWindow(HWND hwnd, LPARAM context) {
    const auto& m = *reinterpret_cast<const ThreadMessage*>(context);
    ::SendNotifyMessageA(hwnd, m.message, m.wParam, m.lParam);
    return TRUE;
}

std::string ProcessImagePath(DWORD processId, const char* bareName) {
    UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (process) {
        std::array<char, MAX_PATH * 2> buffer{};
        DWORD size = static_cast<DWORD>(buffer.size());
        if (::QueryFullProcessImageNameA(process.get(), 0, buffer.data(), &size)) {
            return std::string(buffer.data(), size);
        }
    }
    return bareName;
}

} // namespace

bool Win32DesktopPlatform::EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) {
        return a.empty() && b.empty();
    }
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                            static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::string Win32DesktopPlatform::ThreadDesktopName() {
    // The thread desktop handle belongs to the thread and is not closed.
    HDESK desktop = ::GetThreadDesktop(::GetCurrentThreadId());
    return desktop == nullptr ? std::string() : ObjectName(desktop);
}

std::string Win32DesktopPlatform::InputDesktopName() {
    UniqueDesktop desktop(::OpenInputDesktop(0, FALSE, MAXIMUM_ALLOWED));
    return desktop ? ObjectName(desktop.get()) : std::string();
}

DesktopSwitchOutcome Win32DesktopPlatform::SwitchInputDesktop(std::string_view name) {
    UniqueDesktop desktop = OpenNamedDesktop(name);
    if (!desktop) {
        return DesktopSwitchOutcome::NotOpened;
    }
    if (!::SwitchDesktop(desktop.get())) {
        return DesktopSwitchOutcome::Refused;
    }
    return DesktopSwitchOutcome::Switched;
}

std::vector<std::string> Win32DesktopPlatform::DesktopNames() {
    std::vector<std::string> names;
    ::EnumDesktopsA(::GetProcessWindowStation(), CollectDesktopName,
                    reinterpret_cast<LPARAM>(&names));
    return names;
}

bool Win32DesktopPlatform::ForEachDesktopWindow(std::string_view desktopName,
                                                const std::function<bool(WindowId)>& visit) {
    UniqueDesktop desktop = OpenNamedDesktop(desktopName);
    if (!desktop) {
        return false;
    }
    ::EnumDesktopWindows(desktop.get(), VisitWindow, reinterpret_cast<LPARAM>(&visit));
    return true;
}

std::unique_ptr<HeldDesktop> Win32DesktopPlatform::CreateOrOpenDesktop(std::string_view name) {
    std::string text(name);
    // An existing desktop of that name is opened instead.
    UniqueDesktop desktop(
        ::CreateDesktopA(text.c_str(), nullptr, nullptr, 0, MAXIMUM_ALLOWED, nullptr));
    if (!desktop) {
        return nullptr;
    }
    return std::make_unique<Win32HeldDesktop>(std::move(text), std::move(desktop));
}

void Win32DesktopPlatform::ForEachTopLevelWindow(const std::function<bool(WindowId)>& visit) {
    ::EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

std::string Win32DesktopPlatform::WindowClassName(WindowId window, int maxChars) {
    if (maxChars <= 1) {
        return {};
    }
    std::string buffer(static_cast<std::size_t>(maxChars), '\0');
    const int length = ::GetClassNameA(ToHwnd(window), buffer.data(), maxChars);
    buffer.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return buffer;
}

std::uint32_t Win32DesktopPlatform::WindowProcessId(WindowId window) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(ToHwnd(window), &processId);
    return processId;
}

std::uint32_t Win32DesktopPlatform::WindowThreadId(WindowId window) {
    return ::GetWindowThreadProcessId(ToHwnd(window), nullptr);
}

bool Win32DesktopPlatform::PostWindowMessage(WindowId window, std::uint32_t message,
                                             std::uintptr_t wParam, std::intptr_t lParam) {
    return ::PostMessageA(ToHwnd(window), message, wParam, lParam) != FALSE;
}

ThreadPostOutcome Win32DesktopPlatform::PostToThread(std::uint32_t threadId, std::uint32_t message,
                                                     std::uintptr_t wParam, std::intptr_t lParam) {
    if (::PostThreadMessageA(threadId, message, wParam, lParam)) {
        return ThreadPostOutcome::Posted;
    }
    return ::GetLastError() == ERROR_INVALID_THREAD_ID ? ThreadPostOutcome::InvalidThread
                                                       : ThreadPostOutcome::Failed;
}

void Win32DesktopPlatform::NotifyThreadWindows(std::uint32_t threadId, std::uint32_t message,
                                               std::uintptr_t wParam, std::intptr_t lParam) {
    ThreadMessage m{message, wParam, lParam};
    ::EnumThreadWindows(threadId, NotifyWindow, reinterpret_cast<LPARAM>(&m));
}

bool Win32DesktopPlatform::BringToForeground(WindowId window) {
    const HWND hwnd = ToHwnd(window);
    if (::IsIconic(hwnd)) {
        ::SendMessageA(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
    const HWND foreground = ::GetForegroundWindow();
    if (foreground == hwnd) {
        return true;
    }
    const DWORD foregroundThread = ::GetWindowThreadProcessId(foreground, nullptr);
    const DWORD windowThread = ::GetWindowThreadProcessId(hwnd, nullptr);
    if (foreground == nullptr || foregroundThread == windowThread) {
        return ::SetForegroundWindow(hwnd) != FALSE;
    }
    // The foreground lock lets a window come forward when its thread shares input with the
    // thread that has the foreground.
    ::AttachThreadInput(foregroundThread, windowThread, TRUE);
    bool done = ::SetForegroundWindow(hwnd) != FALSE;
    ::AttachThreadInput(foregroundThread, windowThread, FALSE);
    if (done) {
        done = ::SetForegroundWindow(hwnd) != FALSE;
    }
    return done;
}

std::uint32_t Win32DesktopPlatform::RegisterMessageName(const std::string& name) {
    return ::RegisterWindowMessageA(name.c_str());
}

std::vector<ProcessEntry> Win32DesktopPlatform::Processes() {
    std::vector<ProcessEntry> entries;
    UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return entries;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry)) {
        entries.push_back(
            {entry.th32ProcessID, ProcessImagePath(entry.th32ProcessID, entry.szExeFile)});
    }
    return entries;
}

std::uint32_t Win32DesktopPlatform::OwnProcessId() {
    return ::GetCurrentProcessId();
}

std::string Win32DesktopPlatform::OwnImagePath() {
    std::array<char, MAX_PATH * 2> buffer{};
    const DWORD length =
        ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::string(buffer.data(), length);
}

std::uint32_t Win32DesktopPlatform::StartProcessOnDesktop(const ProcessLaunch& launch) {
    // Nothing to start; Wine's CreateProcessA would crash on it rather than fail.
    if (launch.imagePath.empty() && launch.commandLine.empty()) {
        return 0;
    }
    std::vector<char> commandLine;
    std::vector<char> desktop;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    // The bare desktop name means that desktop of the caller's window station.
    startup.lpDesktop = MutableOrNull(desktop, launch.desktop);
    PROCESS_INFORMATION started{};
    const BOOL ok = ::CreateProcessA(
        launch.imagePath.empty() ? nullptr : launch.imagePath.c_str(),
        MutableOrNull(commandLine, launch.commandLine), nullptr, nullptr, FALSE, 0, nullptr,
        launch.workingDirectory.empty() ? nullptr : launch.workingDirectory.c_str(), &startup,
        &started);
    // Nobody waits for the process: its handles are closed at once.
    UniqueKernelHandle process(started.hProcess);
    UniqueKernelHandle thread(started.hThread);
    return ok ? started.dwProcessId : 0;
}

std::string Win32DesktopPlatform::WindowsDirectory() {
    std::array<char, MAX_PATH + 1> buffer{};
    const UINT length = ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0 || length >= buffer.size()) {
        return {};
    }
    return std::string(buffer.data(), length);
}

void Win32DesktopPlatform::DebugLine(std::string_view line) {
    WriteDebugLine(line);
}

} // namespace ombrevane::win32
