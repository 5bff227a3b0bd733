#include "platform/win32/Win32SyncPlatform.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

namespace ombrevane::win32 {

namespace {

class Win32Event : public NamedEvent {
public:
    explicit Win32Event(HANDLE event) : event_(event) {}
    void Set() override { ::SetEvent(event_.get()); }
    void Wait() override { ::WaitForSingleObject(event_.get(), INFINITE); }
    bool WaitFor(unsigned milliseconds) override {
        return ::WaitForSingleObject(event_.get(), milliseconds) == WAIT_OBJECT_0;
    }

private:
    UniqueKernelHandle event_;
};

class Win32SharedMemory : public SharedMemory {
public:
    Win32SharedMemory(UniqueKernelHandle section, UniqueView view, std::size_t size,
                      bool createdNew)
        : section_(std::move(section)), view_(std::move(view)), size_(size),
          createdNew_(createdNew) {}
    std::byte* Data() override { return static_cast<std::byte*>(view_.get()); }
    std::size_t Size() const override { return size_; }
    bool CreatedNew() const override { return createdNew_; }

private:
    // Declared in this order so that the view is unmapped before the section closes.
    UniqueKernelHandle section_;
    UniqueView view_;
    std::size_t size_;
    bool createdNew_;
};

// LONG is 32 bits on every Windows target.
static_assert(sizeof(LONG) == sizeof(std::int32_t));
volatile LONG* AsLong(std::int32_t* target) {
    return reinterpret_cast<volatile LONG*>(target);
}

} // namespace

std::unique_ptr<NamedEvent> Win32SyncPlatform::OpenAutoResetEvent(const std::string& name) {
    HANDLE event = ::CreateEventA(nullptr, FALSE, FALSE, name.c_str());
    if (event == nullptr) {
        return nullptr;
    }
    return std::make_unique<Win32Event>(event);
}

SharedMemoryResult Win32SyncPlatform::OpenSharedMemory(const std::string& name, std::size_t size) {
    UniqueKernelHandle section(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                                    0, static_cast<DWORD>(size), name.c_str()));
    if (!section) {
        return {nullptr, SharedMemoryError::Section};
    }
    const bool createdNew = ::GetLastError() != ERROR_ALREADY_EXISTS;
    UniqueView view(::MapViewOfFile(section.get(), FILE_MAP_ALL_ACCESS, 0, 0, size));
    if (!view) {
        return {nullptr, SharedMemoryError::View};
    }
    return {
        std::make_unique<Win32SharedMemory>(std::move(section), std::move(view), size, createdNew),
        SharedMemoryError::None};
}

std::int32_t Win32SyncPlatform::AtomicCompareExchange(std::int32_t* target, std::int32_t exchange,
                                                      std::int32_t comparand) {
    return ::InterlockedCompareExchange(AsLong(target), exchange, comparand);
}

std::int32_t Win32SyncPlatform::AtomicIncrement(std::int32_t* target) {
    return ::InterlockedIncrement(AsLong(target));
}

std::int32_t Win32SyncPlatform::AtomicDecrement(std::int32_t* target) {
    return ::InterlockedDecrement(AsLong(target));
}

std::uint32_t Win32SyncPlatform::CurrentThreadId() {
    return ::GetCurrentThreadId();
}

std::uint32_t Win32SyncPlatform::CurrentProcessId() {
    return ::GetCurrentProcessId();
}

bool Win32SyncPlatform::ThreadGone(std::uint32_t threadId, std::uint32_t processId) {
    UniqueKernelHandle thread(
        ::OpenThread(SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId));
    if (!thread) {
        // No such thread. Any other refusal (access denied) leaves it presumed alive.
        return ::GetLastError() == ERROR_INVALID_PARAMETER;
    }
    if (::WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0) {
        return true; // ended; someone still holds a handle to it
    }
    return processId != 0 && ::GetProcessIdOfThread(thread.get()) != processId;
}

unsigned Win32SyncPlatform::ProcessorCount() {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.dwNumberOfProcessors;
}

void Win32SyncPlatform::SleepMilliseconds(unsigned milliseconds) {
    ::Sleep(milliseconds);
}

} // namespace ombrevane::win32
