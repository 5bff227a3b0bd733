#pragma once
// A simulated window station for native tests: desktops (some refusing to open or to
// switch), the input desktop, top-level windows with class, owner and visibility, processes
// with image paths and desktops, named events and shared memory, and a log of what was
// posted and started. FakeProcess is one process's view of it and implements the platform
// seams. The desktop, window and process operations may be called from several threads.

#include "platform/DesktopPlatform.h"
#include "platform/SyncPlatform.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ombrevane::fake {

struct FakeDesktop {
    std::string name;
    bool refuseOpen = false;
    bool refuseSwitch = false;
    // Open holds from CreateOrOpenDesktop not yet released.
    int holds = 0;
};

struct FakeWindow {
    WindowId id = 0;
    std::string desktop;
    std::string className;
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
    bool visible = false;
};

struct FakeProcessInfo {
    std::uint32_t id = 0;
    std::string imagePath;
    std::string desktop;
    // As started by StartProcessOnDesktop; empty for processes added by a test.
    std::string commandLine;
    std::string workingDirectory;
};

struct PostedMessage {
    enum class Kind { Window, Thread, NotifyThreadWindows };
    Kind kind = Kind::Window;
    WindowId window = 0;        // Window
    std::uint32_t threadId = 0; // Thread, NotifyThreadWindows
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class FakeWindowStation {
public:
    void AddDesktop(const std::string& name, bool refuseOpen = false, bool refuseSwitch = false);
    FakeDesktop* Desktop(const std::string& name);
    // An empty input desktop name stands for one that cannot be opened.
    void SetInputDesktop(const std::string& name) { inputDesktop_ = name; }
    const std::string& InputDesktop() const { return inputDesktop_; }

    WindowId AddWindow(const std::string& desktop, const std::string& className,
                       std::uint32_t processId, std::uint32_t threadId = 1, bool visible = false);
    void AddProcess(std::uint32_t id, const std::string& imagePath,
                    const std::string& desktop = "Default");
    // CreateOrOpenDesktop of this name fails while no desktop of the name exists.
    void RefuseCreation(const std::string& name) { refusedCreations.push_back(name); }
    int Holds(const std::string& desktop);

    // Every CreateOrOpenDesktop, in order, including failed attempts.
    std::vector<std::string> createAttempts;
    // Every StartProcessOnDesktop, in order, including failed starts.
    std::vector<ProcessLaunch> launches;
    // Programs (image paths) whose start fails, as for a missing file.
    std::vector<std::string> missingPrograms;
    std::vector<std::string> refusedCreations;
    std::string windowsDirectory = "C:\\windows";
    // Runs after a process was started, outside the station's lock, so that a test can
    // play the started program (add its windows, for example).
    std::function<void(const FakeProcessInfo&)> onProcessStarted;

    // Posted, thread-posted and notified messages in order.
    std::vector<PostedMessage> posted;
    // Every desktop opened, in order, including failed attempts.
    std::vector<std::string> openAttempts;
    // Number of failures PostToThread reports before it succeeds, and the outcome then.
    int threadPostFailures = 0;
    bool foregroundRefused = false;
    std::vector<WindowId> foregroundRequests;
    // Make the next shared memory or event creation fail.
    bool failEvents = false;
    SharedMemoryError failSharedMemory = SharedMemoryError::None;
    std::string failSharedMemoryName; // empty: any name

    std::vector<FakeDesktop> desktops;
    std::vector<FakeWindow> windows;
    std::vector<FakeProcessInfo> processes;

    // The process (or one thread) ends: ThreadGone answers true for its threads from now on.
    void EndProcess(std::uint32_t processId);
    void EndThread(std::uint32_t threadId);

    struct EventState {
        std::mutex mutex;
        std::condition_variable signalled;
        bool set = false;
    };
    struct Section {
        std::vector<std::byte> bytes;
    };

private:
    friend class FakeProcess;
    friend class FakeHeldDesktop;

    std::string inputDesktop_;
    WindowId nextWindow_ = 0x100;
    std::uint32_t nextProcess_ = 5000;
    // Guards desktops, windows, processes and the logs against the seam's callers.
    std::recursive_mutex stateMutex_;
    std::mutex objectsMutex_;
    std::map<std::string, std::weak_ptr<EventState>> events_;
    std::map<std::string, std::weak_ptr<Section>> sections_;
    std::map<std::string, std::uint32_t> messageNames_;
    // Which process each thread id last acted for, and what has ended (objectsMutex_).
    std::map<std::uint32_t, std::uint32_t> threadProcess_;
    std::vector<std::uint32_t> endedProcesses_;
    std::vector<std::uint32_t> endedThreads_;
};

class FakeProcess : public DesktopPlatform, public SyncPlatform {
public:
    FakeProcess(FakeWindowStation& station, std::uint32_t processId, std::string imagePath,
                std::string desktop);

    // DesktopPlatform
    bool EqualsIgnoreCase(std::string_view a, std::string_view b) override;
    std::string ThreadDesktopName() override { return desktop_; }
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
    std::uint32_t OwnProcessId() override { return processId_; }
    std::string OwnImagePath() override { return imagePath_; }
    std::uint32_t StartProcessOnDesktop(const ProcessLaunch& launch) override;
    std::string WindowsDirectory() override;
    void DebugLine(std::string_view line) override;

    // SyncPlatform
    std::unique_ptr<NamedEvent> OpenAutoResetEvent(const std::string& name) override;
    SharedMemoryResult OpenSharedMemory(const std::string& name, std::size_t size) override;
    std::int32_t AtomicCompareExchange(std::int32_t* target, std::int32_t exchange,
                                       std::int32_t comparand) override;
    std::int32_t AtomicIncrement(std::int32_t* target) override;
    std::int32_t AtomicDecrement(std::int32_t* target) override;
    // Each std::thread gets its own non-zero id, as thread ids are on Windows.
    std::uint32_t CurrentThreadId() override;
    std::uint32_t CurrentProcessId() override { return processId_; }
    // A thread id names the thread that last acted for a process through CurrentThreadId.
    bool ThreadGone(std::uint32_t threadId, std::uint32_t processId) override;
    unsigned ProcessorCount() override { return processorCount; }
    void SleepMilliseconds(unsigned milliseconds) override;

    unsigned processorCount = 2;
    std::vector<std::string> debugLines;
    std::atomic<int> compareExchangeCalls{0};
    std::atomic<int> sleeps{0};

private:
    const FakeWindow* Window(WindowId window) const;

    FakeWindowStation& station_;
    std::uint32_t processId_;
    std::string imagePath_;
    std::string desktop_;
};

} // namespace ombrevane::fake
