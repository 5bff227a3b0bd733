#pragma once
// Named events, paging-file-backed sections and interlocked operations of Windows.

#include "platform/SyncPlatform.h"

namespace ombrevane::win32 {

class Win32SyncPlatform : public SyncPlatform {
public:
    std::unique_ptr<NamedEvent> OpenAutoResetEvent(const std::string& name) override;
    SharedMemoryResult OpenSharedMemory(const std::string& name, std::size_t size) override;
    std::int32_t AtomicCompareExchange(std::int32_t* target, std::int32_t exchange,
                                       std::int32_t comparand) override;
    std::int32_t AtomicIncrement(std::int32_t* target) override;
    std::int32_t AtomicDecrement(std::int32_t* target) override;
    std::uint32_t CurrentThreadId() override;
    std::uint32_t CurrentProcessId() override;
    bool ThreadGone(std::uint32_t threadId, std::uint32_t processId) override;
    unsigned ProcessorCount() override;
    void SleepMilliseconds(unsigned milliseconds) override;
};

} // namespace ombrevane::win32
