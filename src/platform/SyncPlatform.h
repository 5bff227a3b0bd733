#pragma once
// Named kernel objects shared between the processes of one logon: auto-reset events and
// paging-file-backed shared memory, plus the interlocked operations used on that memory.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ombrevane {

class NamedEvent {
public:
    virtual ~NamedEvent() = default;
    // Wakes exactly one waiter, or the next one to wait.
    virtual void Set() = 0;
    // Waits without a time limit.
    virtual void Wait() = 0;
    // Waits at most that long; true when the event was set.
    virtual bool WaitFor(unsigned milliseconds) = 0;
};

class SharedMemory {
public:
    virtual ~SharedMemory() = default;
    virtual std::byte* Data() = 0;
    virtual std::size_t Size() const = 0;
    // True when this call created the section (its content is then all zeros).
    virtual bool CreatedNew() const = 0;
};

enum class SharedMemoryError { None, Section, View };

struct SharedMemoryResult {
    std::unique_ptr<SharedMemory> memory;
    SharedMemoryError error = SharedMemoryError::None;
};

class SyncPlatform {
public:
    virtual ~SyncPlatform() = default;

    // Opens or creates a named auto-reset event, created non-signalled; null on failure.
    virtual std::unique_ptr<NamedEvent> OpenAutoResetEvent(const std::string& name) = 0;
    // Opens or creates a named section of size bytes, mapped whole for reading and writing.
    virtual SharedMemoryResult OpenSharedMemory(const std::string& name, std::size_t size) = 0;

    // Atomic operations on a 32-bit value in shared memory; each returns the new value,
    // CompareExchange the value found before.
    virtual std::int32_t AtomicCompareExchange(std::int32_t* target, std::int32_t exchange,
                                               std::int32_t comparand) = 0;
    virtual std::int32_t AtomicIncrement(std::int32_t* target) = 0;
    virtual std::int32_t AtomicDecrement(std::int32_t* target) = 0;

    virtual std::uint32_t CurrentThreadId() = 0;
    virtual std::uint32_t CurrentProcessId() = 0;
    // True when the thread of that id no longer runs. With a process id (0: unknown), also
    // when the id now names a thread of another process: ids are reused.
    virtual bool ThreadGone(std::uint32_t threadId, std::uint32_t processId) = 0;
    virtual unsigned ProcessorCount() = 0;
    virtual void SleepMilliseconds(unsigned milliseconds) = 0;
};

} // namespace ombrevane
