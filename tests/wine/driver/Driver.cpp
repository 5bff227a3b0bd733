// Test driver for the end-to-end scenarios: a console program that the scenario scripts run
// under Wine to start processes on named desktops, find and message windows on any desktop
// of the window station, and read an instance list's shared memory.
//
// Every command prints machine-readable lines on standard output and exits with 0 when it
// did what was asked, 1 when the condition was not met (timeout, not found), 2 on a usage
// error. Every wait is bounded by a timeout given on the command line.

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace ombrevane::testdriver {
namespace {

using win32::UniqueDesktop;
using win32::UniqueKernelHandle;
using win32::UniqueView;

constexpr int kOk = 0;
constexpr int kNotMet = 1;
constexpr int kUsage = 2;

constexpr DWORD kPollMs = 20;
constexpr std::size_t kListBytes = 1032;
constexpr std::size_t kListEntries = 257;

void Line(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string LastErrorText() {
    return "error=" + std::to_string(::GetLastError());
}

std::optional<long long> ParseNumber(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 0);
    if (end == nullptr || *end != '\0') {
        return std::nullopt;
    }
    return value;
}

std::optional<DWORD> ParseDword(const std::string& text) {
    const auto value = ParseNumber(text);
    if (!value || *value < 0 || *value > 0xFFFFFFFFLL) {
        return std::nullopt;
    }
    return static_cast<DWORD>(*value);
}

std::string HwndText(HWND hwnd) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(hwnd)));
    return buffer;
}

std::string ObjectName(HANDLE object) {
    char name[256] = {};
    DWORD needed = 0;
    if (!::GetUserObjectInformationA(object, UOI_NAME, name, sizeof name - 1, &needed)) {
        return {};
    }
    return name;
}

// --- Desktops and their windows ------------------------------------------------------------

BOOL CALLBACK CollectDesktopName(LPSTR name, LPARAM param) {
    reinterpret_cast<std::vector<std::string>*>(param)->emplace_back(name);
    return TRUE;
}

std::vector<std::string> DesktopNames() {
    std::vector<std::string> names;
    ::EnumDesktopsA(::GetProcessWindowStation(), CollectDesktopName,
                    reinterpret_cast<LPARAM>(&names));
    return names;
}

struct FoundWindow {
    HWND hwnd = nullptr;
    DWORD pid = 0;
    std::string desktop;
    std::string className;
};

std::string WindowText(const FoundWindow& w) {
    return "window hwnd=" + HwndText(w.hwnd) + " pid=" + std::to_string(w.pid) +
           " desktop=" + w.desktop + " class=" + w.className;
}

struct WindowFilter {
    std::string className; // "*" takes every class
    DWORD pid = 0;         // 0 takes every process
};

struct EnumState {
    const WindowFilter* filter;
    const std::string* desktop;
    std::vector<FoundWindow>* found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
    auto& state = *reinterpret_cast<EnumState*>(param);
    char className[256] = {};
    ::GetClassNameA(hwnd, className, sizeof className);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    const bool classMatches =
        state.filter->className == "*" || state.filter->className == className;
    if (classMatches && (state.filter->pid == 0 || state.filter->pid == pid)) {
        state.found->push_back({hwnd, pid, *state.desktop, className});
    }
    return TRUE;
}

// Top-level windows of every desktop of this window station (or of the one named).
std::vector<FoundWindow> FindWindows(const WindowFilter& filter, const std::string& onlyDesktop) {
    std::vector<FoundWindow> found;
    for (const auto& name : DesktopNames()) {
        if (!onlyDesktop.empty() && onlyDesktop != "*" && name != onlyDesktop) {
            continue;
        }
        UniqueDesktop desktop(::OpenDesktopA(name.c_str(), 0, FALSE, MAXIMUM_ALLOWED));
        if (!desktop) {
            continue;
        }
        EnumState state{&filter, &name, &found};
        ::EnumDesktopWindows(desktop.get(), CollectWindow, reinterpret_cast<LPARAM>(&state));
    }
    return found;
}

std::optional<FoundWindow> WaitForWindow(const WindowFilter& filter, const std::string& desktop,
                                         DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        auto found = FindWindows(filter, desktop);
        if (!found.empty()) {
            return found.front();
        }
        if (::GetTickCount64() >= deadline) {
            return std::nullopt;
        }
        ::Sleep(kPollMs);
    }
}

// The benchmark's wait: one desktop, polled closely so that the poll adds little to the figure.
std::optional<FoundWindow> WaitForWindowQuick(const WindowFilter& filter, HDESK desktop,
                                              DWORD timeoutMs) {
    const std::string name = ObjectName(desktop);
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        std::vector<FoundWindow> found;
        EnumState state{&filter, &name, &found};
        ::EnumDesktopWindows(desktop, CollectWindow, reinterpret_cast<LPARAM>(&state));
        if (!found.empty()) {
            return found.front();
        }
        if (::GetTickCount64() >= deadline) {
            return std::nullopt;
        }
        ::Sleep(2);
    }
}

// --- Processes ----------------------------------------------------------------------------

// "NAME" means the desktop NAME of this process's window station.
std::string QualifiedDesktop(const std::string& desktop) {
    if (desktop.find('\\') != std::string::npos) {
        return desktop;
    }
    std::string station = ObjectName(::GetProcessWindowStation());
    if (station.empty()) {
        station = "WinSta0";
    }
    return station + "\\" + desktop;
}

struct Started {
    UniqueKernelHandle process;
    UniqueKernelHandle thread;
    DWORD pid = 0;
};

// The started program gets no console handles of ours: a scenario's command substitution must
// not wait for the program to close the driver's output. Its debugger output still reaches
// the Wine log on the inherited standard error.
std::optional<Started> StartOnDesktop(const std::string& desktop, const std::string& exe,
                                      bool suspended) {
    std::string desktopName = QualifiedDesktop(desktop);
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktopName.data();
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION info{};
    const DWORD flags = suspended ? CREATE_SUSPENDED : 0;
    if (!::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                          nullptr, &startup, &info)) {
        return std::nullopt;
    }
    Started started;
    started.process.reset(info.hProcess);
    started.thread.reset(info.hThread);
    started.pid = info.dwProcessId;
    return started;
}

// A desktop exists while someone holds it; hold it until the started program is on it.
UniqueDesktop OpenOrCreateDesktop(const std::string& name) {
    return UniqueDesktop(::CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr));
}

std::string ExitText(HANDLE process) {
    DWORD code = 0;
    if (!::GetExitCodeProcess(process, &code)) {
        return "exit unknown " + LastErrorText();
    }
    return "exit code=" + std::to_string(code);
}

bool IsRunning(HANDLE process) {
    return ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

UniqueKernelHandle OpenProcessById(DWORD pid, DWORD access) {
    return UniqueKernelHandle(::OpenProcess(access, FALSE, pid));
}

// --- Commands ------------------------------------------------------------------------------

using Args = std::vector<std::string>;

int CreateDesktopCommand(const Args& a) {
    if (a.size() != 1) {
        return kUsage;
    }
    UniqueDesktop desktop = OpenOrCreateDesktop(a[0]);
    if (!desktop) {
        Line("desktop failed name=" + a[0] + " " + LastErrorText());
        return kNotMet;
    }
    Line("desktop ok name=" + ObjectName(desktop.get()));
    return kOk;
}

int StartCommand(const Args& a) {
    if (a.size() != 2) {
        return kUsage;
    }
    UniqueDesktop desktop = OpenOrCreateDesktop(a[0]);
    auto started = StartOnDesktop(a[0], a[1], false);
    if (!started) {
        Line("start failed " + LastErrorText());
        return kNotMet;
    }
    Line("pid " + std::to_string(started->pid));
    // Bounded: a program that never waits for input only costs the timeout.
    ::WaitForInputIdle(started->process.get(), 5000);
    return kOk;
}

int RunCommand(const Args& a) {
    const auto timeout = a.size() == 3 ? ParseDword(a[2]) : std::nullopt;
    if (!timeout) {
        return kUsage;
    }
    UniqueDesktop desktop = OpenOrCreateDesktop(a[0]);
    auto started = StartOnDesktop(a[0], a[1], false);
    if (!started) {
        Line("start failed " + LastErrorText());
        return kNotMet;
    }
    Line("pid " + std::to_string(started->pid));
    if (::WaitForSingleObject(started->process.get(), *timeout) != WAIT_OBJECT_0) {
        Line("running");
        return kNotMet;
    }
    Line(ExitText(started->process.get()));
    return kOk;
}

// Starts COUNT copies suspended and releases them together, so that they race for the
// instance slot; waits until at most one runs (or the timeout) and reports each.
int StartManyCommand(const Args& a) {
    const auto count = a.size() == 4 ? ParseDword(a[2]) : std::nullopt;
    const auto timeout = a.size() == 4 ? ParseDword(a[3]) : std::nullopt;
    if (!count || !timeout || *count == 0 || *count > 64) {
        return kUsage;
    }
    UniqueDesktop desktop = OpenOrCreateDesktop(a[0]);
    std::vector<Started> all;
    for (DWORD i = 0; i < *count; ++i) {
        auto started = StartOnDesktop(a[0], a[1], true);
        if (!started) {
            Line("start failed " + LastErrorText());
            for (auto& s : all) {
                ::TerminateProcess(s.process.get(), 1);
            }
            return kNotMet;
        }
        all.push_back(std::move(*started));
    }
    for (auto& s : all) {
        ::ResumeThread(s.thread.get());
    }
    const ULONGLONG deadline = ::GetTickCount64() + *timeout;
    std::size_t running = all.size();
    for (;;) {
        running = static_cast<std::size_t>(std::count_if(
            all.begin(), all.end(), [](const Started& s) { return IsRunning(s.process.get()); }));
        if (running <= 1 || ::GetTickCount64() >= deadline) {
            break;
        }
        ::Sleep(kPollMs);
    }
    for (auto& s : all) {
        if (IsRunning(s.process.get())) {
            Line("running pid=" + std::to_string(s.pid));
        } else {
            Line("exited pid=" + std::to_string(s.pid) + " " + ExitText(s.process.get()));
        }
    }
    Line("survivors " + std::to_string(running));
    return kOk;
}

// wait-window CLASS [DESKTOP] TIMEOUT_MS [PID]
int WaitWindowCommand(const Args& a) {
    if (a.size() < 2 || a.size() > 4) {
        return kUsage;
    }
    WindowFilter filter{a[0], 0};
    std::string desktop = "*";
    std::optional<DWORD> timeout;
    if (a.size() == 2) {
        timeout = ParseDword(a[1]);
    } else {
        desktop = a[1];
        timeout = ParseDword(a[2]);
        if (a.size() == 4) {
            const auto pid = ParseDword(a[3]);
            if (!pid) {
                return kUsage;
            }
            filter.pid = *pid;
        }
    }
    if (!timeout) {
        return kUsage;
    }
    const auto found = WaitForWindow(filter, desktop, *timeout);
    if (!found) {
        Line("timeout class=" + a[0] + " desktop=" + desktop);
        return kNotMet;
    }
    Line(WindowText(*found));
    return kOk;
}

// list-windows [CLASS] [DESKTOP]
int ListWindowsCommand(const Args& a) {
    if (a.size() > 2) {
        return kUsage;
    }
    const WindowFilter filter{a.empty() ? "*" : a[0], 0};
    const auto found = FindWindows(filter, a.size() == 2 ? a[1] : "*");
    for (const auto& w : found) {
        Line(WindowText(w));
    }
    Line("windows " + std::to_string(found.size()));
    return kOk;
}

int PostTo(HWND hwnd, const Args& numbers) {
    const auto message = ParseDword(numbers[0]);
    const auto wParam = ParseNumber(numbers[1]);
    const auto lParam = ParseNumber(numbers[2]);
    if (!message || !wParam || !lParam) {
        return kUsage;
    }
    if (!::PostMessageA(hwnd, *message, static_cast<WPARAM>(*wParam),
                        static_cast<LPARAM>(*lParam))) {
        Line("post failed hwnd=" + HwndText(hwnd) + " " + LastErrorText());
        return kNotMet;
    }
    Line("posted hwnd=" + HwndText(hwnd) + " msg=" + numbers[0]);
    return kOk;
}

// post CLASS DESKTOP MSG WPARAM LPARAM: to the first window of that class on that desktop.
int PostCommand(const Args& a) {
    if (a.size() != 5) {
        return kUsage;
    }
    const auto found = FindWindows({a[0], 0}, a[1]);
    if (found.empty()) {
        Line("not found class=" + a[0] + " desktop=" + a[1]);
        return kNotMet;
    }
    return PostTo(found.front().hwnd, Args(a.begin() + 2, a.end()));
}

int PostHwndCommand(const Args& a) {
    const auto value = a.size() == 4 ? ParseNumber(a[0]) : std::nullopt;
    if (!value) {
        return kUsage;
    }
    const auto hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*value));
    return PostTo(hwnd, Args(a.begin() + 1, a.end()));
}

// Name of a desktop's instance list section.
std::string ListName(const std::string& desktop) {
    std::string name = "Jcl" + desktop + "tileswitch_Map";
    std::replace(name.begin(), name.end(), '\\', '_');
    return name;
}

// The instance list of a desktop: u16 maximum, u16 count, then 257 u32 process ids.
int PrintList(const std::string& desktop, HANDLE mapping) {
    const std::string name = ListName(desktop);
    if (mapping == nullptr) {
        Line("list missing name=" + name);
        return kNotMet;
    }
    UniqueView view(::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kListBytes));
    if (!view) {
        Line("list unmapped name=" + name + " " + LastErrorText());
        return kNotMet;
    }
    unsigned char bytes[kListBytes];
    std::memcpy(bytes, view.get(), kListBytes);
    const auto u16 = [&](std::size_t at) { return bytes[at] | (bytes[at + 1] << 8); };
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(bytes[at]) |
               (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
               (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
               (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
    };
    const int count = u16(2);
    std::string pids;
    for (int i = 0; i < count && i < static_cast<int>(kListEntries); ++i) {
        if (i > 0) {
            pids += ',';
        }
        pids += std::to_string(u32(4 + 4 * static_cast<std::size_t>(i)));
    }
    Line("list max=" + std::to_string(u16(0)) + " count=" + std::to_string(count) +
         " pids=" + pids);
    return kOk;
}

int ReadListCommand(const Args& a) {
    if (a.size() != 1) {
        return kUsage;
    }
    UniqueKernelHandle mapping(::OpenFileMappingA(FILE_MAP_READ, FALSE, ListName(a[0]).c_str()));
    return PrintList(a[0], mapping.get());
}

// Waits for PID to end and prints its exit code; with LIST_DESKTOP, that desktop's instance
// list, held open from before the end (so that it outlives the process), is printed after.
// With a message, it is posted once the process and the list are held.
int WaitExit(const std::string& pidText, const std::string& timeoutText,
             const std::string& listDesktop, HWND postTo, const Args& message) {
    const auto pid = ParseDword(pidText);
    const auto timeout = ParseDword(timeoutText);
    if (!pid || !timeout) {
        return kUsage;
    }
    UniqueKernelHandle list;
    if (!listDesktop.empty()) {
        list.reset(::OpenFileMappingA(FILE_MAP_READ, FALSE, ListName(listDesktop).c_str()));
    }
    auto process = OpenProcessById(*pid, SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION);
    if (postTo != nullptr) {
        const int posted = PostTo(postTo, message);
        if (posted != kOk) {
            return posted;
        }
    }
    if (!process) {
        // Ended and released before we looked: its exit code is gone with it.
        Line("gone pid=" + pidText);
    } else if (::WaitForSingleObject(process.get(), *timeout) != WAIT_OBJECT_0) {
        Line("running pid=" + pidText);
        return kNotMet;
    } else {
        Line(ExitText(process.get()));
    }
    if (!listDesktop.empty()) {
        return PrintList(listDesktop, list.get());
    }
    return kOk;
}

// wait-exit PID TIMEOUT_MS [LIST_DESKTOP]
int WaitExitCommand(const Args& a) {
    if (a.size() != 2 && a.size() != 3) {
        return kUsage;
    }
    return WaitExit(a[0], a[1], a.size() == 3 ? a[2] : "", nullptr, {});
}

// post-wait-exit HWND MSG WPARAM LPARAM PID TIMEOUT_MS [LIST_DESKTOP]
int PostWaitExitCommand(const Args& a) {
    const auto value = a.size() == 6 || a.size() == 7 ? ParseNumber(a[0]) : std::nullopt;
    if (!value) {
        return kUsage;
    }
    const auto hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*value));
    return WaitExit(a[4], a[5], a.size() == 7 ? a[6] : "", hwnd,
                    Args(a.begin() + 1, a.begin() + 4));
}

int AliveCommand(const Args& a) {
    const auto pid = a.size() == 1 ? ParseDword(a[0]) : std::nullopt;
    if (!pid) {
        return kUsage;
    }
    auto process = OpenProcessById(*pid, SYNCHRONIZE);
    const bool alive = process && IsRunning(process.get());
    Line(alive ? "alive yes" : "alive no");
    return alive ? kOk : kNotMet;
}

int KillCommand(const Args& a) {
    const auto pid = a.size() == 1 ? ParseDword(a[0]) : std::nullopt;
    if (!pid) {
        return kUsage;
    }
    auto process = OpenProcessById(*pid, PROCESS_TERMINATE | SYNCHRONIZE);
    if (!process) {
        Line("gone pid=" + a[0]);
        return kNotMet;
    }
    ::TerminateProcess(process.get(), 1);
    ::WaitForSingleObject(process.get(), 5000);
    Line("killed pid=" + a[0]);
    return kOk;
}

// short-path PATH: the 8.3 form of an existing path, as "short PATH".
int ShortPathCommand(const Args& a) {
    if (a.size() != 1) {
        return kUsage;
    }
    std::string buffer(MAX_PATH * 2, '\0');
    const DWORD length =
        ::GetShortPathNameA(a[0].c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) {
        Line("no short path " + LastErrorText());
        return kNotMet;
    }
    buffer.resize(length);
    Line("short " + buffer);
    return kOk;
}

// time-start RUNS TIMEOUT_MS DESKTOP CLASS EXE [CLASS EXE]...
// For each program in turn, RUNS times (interleaved): the time from CreateProcess to a
// top-level window of CLASS owned by the new process; the process is then terminated.
// Prints "run NAME MS" per run and "median NAME MS" per program.
int TimeStartCommand(const Args& a) {
    const auto runs = a.size() >= 5 ? ParseDword(a[0]) : std::nullopt;
    const auto timeout = a.size() >= 5 ? ParseDword(a[1]) : std::nullopt;
    if (!runs || !timeout || *runs == 0 || (a.size() - 3) % 2 != 0) {
        return kUsage;
    }
    const std::string desktopName = a[2];
    struct Program {
        std::string className;
        std::string exe;
        std::vector<double> ms;
    };
    std::vector<Program> programs;
    for (std::size_t i = 3; i + 1 < a.size(); i += 2) {
        programs.push_back({a[i], a[i + 1], {}});
    }
    UniqueDesktop desktop = OpenOrCreateDesktop(desktopName);
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    // One run of each first, not counted: the first start in a prefix loads everything.
    // The order turns round every run, so that neither program always starts right after the
    // other one was ended.
    for (DWORD run = 0; run <= *runs; ++run) {
        for (std::size_t k = 0; k < programs.size(); ++k) {
            auto& program = programs[run % 2 == 0 ? k : programs.size() - 1 - k];
            LARGE_INTEGER begin;
            ::QueryPerformanceCounter(&begin);
            auto started = StartOnDesktop(desktopName, program.exe, false);
            if (!started) {
                Line("start failed exe=" + program.exe + " " + LastErrorText());
                return kNotMet;
            }
            const auto found =
                WaitForWindowQuick({program.className, started->pid}, desktop.get(), *timeout);
            LARGE_INTEGER end;
            ::QueryPerformanceCounter(&end);
            ::TerminateProcess(started->process.get(), 0);
            ::WaitForSingleObject(started->process.get(), 10000);
            if (!found) {
                Line("timeout exe=" + program.exe);
                return kNotMet;
            }
            const double ms = 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) /
                              static_cast<double>(frequency.QuadPart);
            if (run > 0) {
                program.ms.push_back(ms);
                char text[64];
                std::snprintf(text, sizeof text, "%.1f", ms);
                Line("run " + program.className + " " + text);
            }
        }
    }
    for (auto& program : programs) {
        std::sort(program.ms.begin(), program.ms.end());
        const std::size_t n = program.ms.size();
        const double median =
            n % 2 ? program.ms[n / 2] : (program.ms[n / 2 - 1] + program.ms[n / 2]) / 2.0;
        char text[64];
        std::snprintf(text, sizeof text, "%.1f", median);
        Line("median " + program.className + " " + text);
    }
    return kOk;
}

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const Args&);
};

const Command kCommands[] = {
    {"create-desktop", "NAME", CreateDesktopCommand},
    {"start", "DESKTOP EXE", StartCommand},
    {"run", "DESKTOP EXE TIMEOUT_MS", RunCommand},
    {"start-many", "DESKTOP EXE COUNT TIMEOUT_MS", StartManyCommand},
    {"wait-window", "CLASS [DESKTOP|*] TIMEOUT_MS [PID]", WaitWindowCommand},
    {"list-windows", "[CLASS|*] [DESKTOP|*]", ListWindowsCommand},
    {"post", "CLASS DESKTOP MSG WPARAM LPARAM", PostCommand},
    {"post-hwnd", "HWND MSG WPARAM LPARAM", PostHwndCommand},
    {"read-list", "DESKTOP", ReadListCommand},
    {"wait-exit", "PID TIMEOUT_MS [LIST_DESKTOP]", WaitExitCommand},
    {"post-wait-exit", "HWND MSG WPARAM LPARAM PID TIMEOUT_MS [LIST_DESKTOP]", PostWaitExitCommand},
    {"alive", "PID", AliveCommand},
    {"kill", "PID", KillCommand},
    {"short-path", "PATH", ShortPathCommand},
    {"time-start", "RUNS TIMEOUT_MS DESKTOP CLASS EXE [CLASS EXE]...", TimeStartCommand},
};

void PrintUsage() {
    std::fputs("usage: ombrevane_driver COMMAND ARGS\n", stderr);
    for (const auto& command : kCommands) {
        std::fprintf(stderr, "  %s %s\n", command.name, command.usage);
    }
}

} // namespace
} // namespace ombrevane::testdriver

int main(int argc, char** argv) {
    using namespace ombrevane::testdriver;
    // Plain "\n" line ends: the scenario scripts read this output with bash.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) {
        PrintUsage();
        return kUsage;
    }
    const std::string name = argv[1];
    const Args args(argv + 2, argv + argc);
    for (const auto& command : kCommands) {
        if (name == command.name) {
            const int result = command.run(args);
            if (result == kUsage) {
                std::fprintf(stderr, "usage: ombrevane_driver %s %s\n", command.name,
                             command.usage);
            }
            return result;
        }
    }
    PrintUsage();
    return kUsage;
}
