#include "fake/FakeWindowStation.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <thread>

namespace ombrevane::fake {

namespace {

char LowerAscii(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

class FakeEvent : public NamedEvent {
public:
    explicit FakeEvent(std::shared_ptr<FakeWindowStation::EventState> state)
        : state_(std::move(state)) {}
    void Set() override {
        std::lock_guard lock(state_->mutex);
        state_->set = true;
        state_->signalled.notify_one();
    }
    void Wait() override {
        std::unique_lock lock(state_->mutex);
        state_->signalled.wait(lock, [&] { return state_->set; });
        state_->set = false;
    }
    bool WaitFor(unsigned milliseconds) override {
        std::unique_lock lock(state_->mutex);
        if (!state_->signalled.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                        [&] { return state_->set; })) {
            return false;
        }
        state_->set = false;
        return true;
    }

private:
    // Shared by every opener, as a named event is.
    std::shared_ptr<FakeWindowStation::EventState> state_;
};

class FakeSharedMemory : public SharedMemory {
public:
    FakeSharedMemory(std::shared_ptr<std::vector<std::byte>> bytes, bool createdNew)
        : bytes_(std::move(bytes)), createdNew_(createdNew) {}
    std::byte* Data() override { return bytes_->data(); }
    std::size_t Size() const override { return bytes_->size(); }
    bool CreatedNew() const override { return createdNew_; }

private:
    std::shared_ptr<std::vector<std::byte>> bytes_;
    bool createdNew_;
};

// The program a start would run: the image path, else the first item of the command line.
std::string ProgramOf(const ProcessLaunch& launch) {
    if (!launch.imagePath.empty()) {
        return launch.imagePath;
    }
    const std::string& line = launch.commandLine;
    if (!line.empty() && line.front() == '"') {
        const std::size_t close = line.find('"', 1);
        return close == std::string::npos ? std::string() : line.substr(1, close - 1);
    }
    return line.substr(0, line.find(' '));
}

} // namespace

// Releases its hold on the desktop when destroyed.
class FakeHeldDesktop : public HeldDesktop {
public:
    FakeHeldDesktop(FakeWindowStation& station, std::string name)
        : station_(station), name_(std::move(name)) {}
    ~FakeHeldDesktop() override {
        std::lock_guard lock(station_.stateMutex_);
        if (FakeDesktop* desktop = station_.Desktop(name_)) {
            --desktop->holds;
        }
    }
    const std::string& Name() const override { return name_; }

private:
    FakeWindowStation& station_;
    std::string name_;
};

void FakeWindowStation::AddDesktop(const std::string& name, bool refuseOpen, bool refuseSwitch) {
    std::lock_guard lock(stateMutex_);
    desktops.push_back({name, refuseOpen, refuseSwitch});
}

int FakeWindowStation::Holds(const std::string& name) {
    std::lock_guard lock(stateMutex_);
    const FakeDesktop* desktop = Desktop(name);
    return desktop == nullptr ? 0 : desktop->holds;
}

FakeDesktop* FakeWindowStation::Desktop(const std::string& name) {
    std::lock_guard lock(stateMutex_);
    for (FakeDesktop& desktop : desktops) {
        if (desktop.name == name) {
            return &desktop;
        }
    }
    return nullptr;
}

WindowId FakeWindowStation::AddWindow(const std::string& desktop, const std::string& className,
                                      std::uint32_t processId, std::uint32_t threadId,
                                      bool visible) {
    std::lock_guard lock(stateMutex_);
    const WindowId id = nextWindow_++;
    windows.push_back({id, desktop, className, processId, threadId, visible});
    return id;
}

void FakeWindowStation::AddProcess(std::uint32_t id, const std::string& imagePath,
                                   const std::string& desktop) {
    std::lock_guard lock(stateMutex_);
    processes.push_back({id, imagePath, desktop, {}, {}});
}

FakeProcess::FakeProcess(FakeWindowStation& station, std::uint32_t processId, std::string imagePath,
                         std::string desktop)
    : station_(station), processId_(processId), imagePath_(std::move(imagePath)),
      desktop_(std::move(desktop)) {}

bool FakeProcess::EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

std::string FakeProcess::InputDesktopName() {
    std::lock_guard lock(station_.stateMutex_);
    return station_.inputDesktop_;
}

DesktopSwitchOutcome FakeProcess::SwitchInputDesktop(std::string_view name) {
    std::lock_guard lock(station_.stateMutex_);
    station_.openAttempts.emplace_back(name);
    FakeDesktop* desktop = station_.Desktop(std::string(name));
    if (desktop == nullptr || desktop->refuseOpen) {
        return DesktopSwitchOutcome::NotOpened;
    }
    if (desktop->refuseSwitch) {
        return DesktopSwitchOutcome::Refused;
    }
    station_.inputDesktop_ = desktop->name;
    return DesktopSwitchOutcome::Switched;
}

std::vector<std::string> FakeProcess::DesktopNames() {
    std::lock_guard lock(station_.stateMutex_);
    std::vector<std::string> names;
    for (const FakeDesktop& desktop : station_.desktops) {
        names.push_back(desktop.name);
    }
    return names;
}

bool FakeProcess::ForEachDesktopWindow(std::string_view desktopName,
                                       const std::function<bool(WindowId)>& visit) {
    std::vector<FakeWindow> windows;
    {
        std::lock_guard lock(station_.stateMutex_);
        station_.openAttempts.emplace_back(desktopName);
        const FakeDesktop* desktop = station_.Desktop(std::string(desktopName));
        if (desktop == nullptr || desktop->refuseOpen) {
            return false;
        }
        // A copy, visited outside the lock, so that a visitor may add windows.
        windows = station_.windows;
    }
    for (const FakeWindow& window : windows) {
        if (window.desktop == desktopName && !visit(window.id)) {
            break;
        }
    }
    return true;
}

std::unique_ptr<HeldDesktop> FakeProcess::CreateOrOpenDesktop(std::string_view name) {
    std::lock_guard lock(station_.stateMutex_);
    const std::string text(name);
    station_.createAttempts.push_back(text);
    FakeDesktop* desktop = station_.Desktop(text);
    if (desktop == nullptr) {
        const auto& refused = station_.refusedCreations;
        if (std::find(refused.begin(), refused.end(), text) != refused.end()) {
            return nullptr;
        }
        station_.desktops.push_back({text});
        desktop = &station_.desktops.back();
    } else if (desktop->refuseOpen) {
        return nullptr;
    }
    ++desktop->holds;
    return std::make_unique<FakeHeldDesktop>(station_, text);
}

void FakeProcess::ForEachTopLevelWindow(const std::function<bool(WindowId)>& visit) {
    std::vector<FakeWindow> windows;
    {
        std::lock_guard lock(station_.stateMutex_);
        windows = station_.windows;
    }
    for (const FakeWindow& window : windows) {
        if (window.desktop == desktop_ && !visit(window.id)) {
            break;
        }
    }
}

const FakeWindow* FakeProcess::Window(WindowId window) const {
    // Callers hold the station's lock while they use the result.
    for (const FakeWindow& w : station_.windows) {
        if (w.id == window) {
            return &w;
        }
    }
    return nullptr;
}

std::string FakeProcess::WindowClassName(WindowId window, int maxChars) {
    std::lock_guard lock(station_.stateMutex_);
    const FakeWindow* w = Window(window);
    if (w == nullptr || maxChars <= 1) {
        return {};
    }
    return w->className.substr(0, static_cast<std::size_t>(maxChars - 1));
}

std::uint32_t FakeProcess::WindowProcessId(WindowId window) {
    std::lock_guard lock(station_.stateMutex_);
    const FakeWindow* w = Window(window);
    return w == nullptr ? 0 : w->processId;
}

std::uint32_t FakeProcess::WindowThreadId(WindowId window) {
    std::lock_guard lock(station_.stateMutex_);
    const FakeWindow* w = Window(window);
    return w == nullptr ? 0 : w->threadId;
}

bool FakeProcess::PostWindowMessage(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
    std::lock_guard lock(station_.stateMutex_);
    if (Window(window) == nullptr) {
        return false;
    }
    station_.posted.push_back({PostedMessage::Kind::Window, window, 0, message, wParam, lParam});
    return true;
}

ThreadPostOutcome FakeProcess::PostToThread(std::uint32_t threadId, std::uint32_t message,
                                            std::uintptr_t wParam, std::intptr_t lParam) {
    std::lock_guard lock(station_.stateMutex_);
    const bool exists = std::any_of(station_.windows.begin(), station_.windows.end(),
                                    [&](const FakeWindow& w) { return w.threadId == threadId; });
    if (!exists) {
        return ThreadPostOutcome::InvalidThread;
    }
    if (station_.threadPostFailures > 0) {
        --station_.threadPostFailures;
        return ThreadPostOutcome::Failed;
    }
    station_.posted.push_back({PostedMessage::Kind::Thread, 0, threadId, message, wParam, lParam});
    return ThreadPostOutcome::Posted;
}

void FakeProcess::NotifyThreadWindows(std::uint32_t threadId, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam) {
    std::lock_guard lock(station_.stateMutex_);
    station_.posted.push_back(
        {PostedMessage::Kind::NotifyThreadWindows, 0, threadId, message, wParam, lParam});
}

bool FakeProcess::BringToForeground(WindowId window) {
    std::lock_guard lock(station_.stateMutex_);
    station_.foregroundRequests.push_back(window);
    return !station_.foregroundRefused;
}

std::uint32_t FakeProcess::RegisterMessageName(const std::string& name) {
    std::lock_guard lock(station_.objectsMutex_);
    auto [it, added] = station_.messageNames_.try_emplace(
        name, static_cast<std::uint32_t>(0xC000 + station_.messageNames_.size()));
    return it->second;
}

std::vector<ProcessEntry> FakeProcess::Processes() {
    std::lock_guard lock(station_.stateMutex_);
    std::vector<ProcessEntry> entries;
    for (const FakeProcessInfo& process : station_.processes) {
        entries.push_back({process.id, process.imagePath});
    }
    return entries;
}

std::uint32_t FakeProcess::StartProcessOnDesktop(const ProcessLaunch& launch) {
    FakeProcessInfo started;
    {
        std::lock_guard lock(station_.stateMutex_);
        station_.launches.push_back(launch);
        const std::string program = ProgramOf(launch);
        const auto& missing = station_.missingPrograms;
        if (program.empty() ||
            std::find(missing.begin(), missing.end(), program) != missing.end()) {
            return 0;
        }
        const std::string desktopName = launch.desktop.empty() ? desktop_ : launch.desktop;
        const FakeDesktop* desktop = station_.Desktop(desktopName);
        if (desktop == nullptr || desktop->refuseOpen) {
            return 0;
        }
        started = {station_.nextProcess_++, program, desktop->name, launch.commandLine,
                   launch.workingDirectory};
        station_.processes.push_back(started);
    }
    if (station_.onProcessStarted) {
        station_.onProcessStarted(started);
    }
    return started.id;
}

std::string FakeProcess::WindowsDirectory() {
    std::lock_guard lock(station_.stateMutex_);
    return station_.windowsDirectory;
}

void FakeProcess::DebugLine(std::string_view line) {
    debugLines.emplace_back(line);
}

std::unique_ptr<NamedEvent> FakeProcess::OpenAutoResetEvent(const std::string& name) {
    std::lock_guard lock(station_.objectsMutex_);
    if (station_.failEvents) {
        return nullptr;
    }
    auto& slot = station_.events_[name];
    std::shared_ptr<FakeWindowStation::EventState> state = slot.lock();
    if (!state) {
        state = std::make_shared<FakeWindowStation::EventState>();
        slot = state;
    }
    return std::make_unique<FakeEvent>(std::move(state));
}

SharedMemoryResult FakeProcess::OpenSharedMemory(const std::string& name, std::size_t size) {
    std::lock_guard lock(station_.objectsMutex_);
    if (station_.failSharedMemory != SharedMemoryError::None &&
        (station_.failSharedMemoryName.empty() || station_.failSharedMemoryName == name)) {
        return {nullptr, station_.failSharedMemory};
    }
    auto& slot = station_.sections_[name];
    std::shared_ptr<FakeWindowStation::Section> section = slot.lock();
    bool createdNew = false;
    if (!section) {
        section = std::make_shared<FakeWindowStation::Section>();
        section->bytes.resize(size);
        slot = section;
        createdNew = true;
    }
    auto bytes = std::shared_ptr<std::vector<std::byte>>(section, &section->bytes);
    return {std::make_unique<FakeSharedMemory>(std::move(bytes), createdNew),
            SharedMemoryError::None};
}

std::int32_t FakeProcess::AtomicCompareExchange(std::int32_t* target, std::int32_t exchange,
                                                std::int32_t comparand) {
    ++compareExchangeCalls;
    std::atomic_ref<std::int32_t> value(*target);
    value.compare_exchange_strong(comparand, exchange);
    return comparand;
}

std::int32_t FakeProcess::AtomicIncrement(std::int32_t* target) {
    return std::atomic_ref<std::int32_t>(*target).fetch_add(1) + 1;
}

std::int32_t FakeProcess::AtomicDecrement(std::int32_t* target) {
    return std::atomic_ref<std::int32_t>(*target).fetch_sub(1) - 1;
}

std::uint32_t FakeProcess::CurrentThreadId() {
    static std::atomic<std::uint32_t> next{1000};
    thread_local const std::uint32_t id = next.fetch_add(4);
    std::lock_guard lock(station_.objectsMutex_);
    station_.threadProcess_[id] = processId_;
    return id;
}

bool FakeProcess::ThreadGone(std::uint32_t threadId, std::uint32_t processId) {
    std::lock_guard lock(station_.objectsMutex_);
    const auto contains = [](const std::vector<std::uint32_t>& ids, std::uint32_t id) {
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    };
    const auto owner = station_.threadProcess_.find(threadId);
    if (owner == station_.threadProcess_.end() || contains(station_.endedThreads_, threadId) ||
        contains(station_.endedProcesses_, owner->second)) {
        return true;
    }
    return processId != 0 && owner->second != processId;
}

void FakeWindowStation::EndProcess(std::uint32_t processId) {
    std::lock_guard lock(objectsMutex_);
    endedProcesses_.push_back(processId);
}

void FakeWindowStation::EndThread(std::uint32_t threadId) {
    std::lock_guard lock(objectsMutex_);
    endedThreads_.push_back(threadId);
}

void FakeProcess::SleepMilliseconds(unsigned milliseconds) {
    ++sleeps;
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace ombrevane::fake
