#include "app/JclSynch.h"

#include <atomic>

namespace ombrevane {

namespace {

// The fields besides the lock count are written only by the owner, but other threads and
// processes read them; atomic accesses keep those reads defined.
template <typename T> T Load(T& field) {
    return std::atomic_ref<T>(field).load(std::memory_order_acquire);
}
template <typename T> void Store(T& field, T value) {
    std::atomic_ref<T>(field).store(value, std::memory_order_release);
}

} // namespace

TJclOptex::TJclOptex(SyncPlatform& platform, const std::string& name, int spinCount)
    : platform_(platform), name_(name) {
    event_ = platform_.OpenAutoResetEvent(EventName(name_));
    if (!event_) {
        throw StartupError("Failed to create event");
    }
    SharedMemoryResult record = platform_.OpenSharedMemory(RecordName(name_), sizeof(OptexRecord));
    if (record.error != SharedMemoryError::None || !record.memory ||
        record.memory->Size() < sizeof(OptexRecord)) {
        // Without the record there is no lock, and the instance list would go unguarded.
        throw StartupError("Failed to create lock record");
    }
    record_ = std::move(record.memory);
    // Spinning only helps when the owner can run at the same time on another processor.
    if (platform_.ProcessorCount() > 1) {
        Store(Record().spinCount, static_cast<std::int32_t>(spinCount));
    }
}

OptexRecord& TJclOptex::Record() {
    return *reinterpret_cast<OptexRecord*>(record_->Data());
}

void TJclOptex::TakeOwnership(std::uint32_t threadId) {
    Store(Record().ownerThreadId, threadId);
    Store(Record().recursionCount, std::int32_t{1});
}

bool TJclOptex::TryEnter() {
    OptexRecord& record = Record();
    const std::uint32_t threadId = platform_.CurrentThreadId();
    std::int32_t spins = Load(record.spinCount);
    bool entered = false;
    do {
        if (platform_.AtomicCompareExchange(&record.lockCount, 1, 0) == 0) {
            TakeOwnership(threadId);
            entered = true;
        } else if (Load(record.ownerThreadId) == threadId) {
            platform_.AtomicIncrement(&record.lockCount);
            Store(record.recursionCount, Load(record.recursionCount) + 1);
            entered = true;
        }
        --spins;
    } while (!entered && spins > 0);
    return entered;
}

void TJclOptex::Enter() {
    if (TryEnter()) {
        return;
    }
    OptexRecord& record = Record();
    const std::uint32_t threadId = platform_.CurrentThreadId();
    if (platform_.AtomicIncrement(&record.lockCount) == 1) {
        // Freed between the attempt and the increment.
        TakeOwnership(threadId);
    } else if (Load(record.ownerThreadId) == threadId) {
        Store(record.recursionCount, Load(record.recursionCount) + 1);
    } else {
        event_->Wait();
        TakeOwnership(threadId);
    }
}

void TJclOptex::Leave() {
    OptexRecord& record = Record();
    // Leaving a lock this thread does not hold would hand it to nobody and corrupt the
    // count for every process; ignore such a call.
    if (Load(record.ownerThreadId) != platform_.CurrentThreadId() ||
        Load(record.recursionCount) <= 0) {
        return;
    }
    const std::int32_t recursion = Load(record.recursionCount) - 1;
    Store(record.recursionCount, recursion);
    if (recursion > 0) {
        platform_.AtomicDecrement(&record.lockCount);
        return;
    }
    Store(record.ownerThreadId, std::uint32_t{0});
    if (platform_.AtomicDecrement(&record.lockCount) > 0) {
        event_->Set();
    }
}

} // namespace ombrevane
