#include "app/JclSynch.h"

#include <algorithm>
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
    SharedMemoryResult stamp =
        platform_.OpenSharedMemory(StampName(name_), sizeof(OptexOwnerStamp));
    if (stamp.error == SharedMemoryError::None && stamp.memory &&
        stamp.memory->Size() >= sizeof(OptexOwnerStamp)) {
        stamp_ = std::move(stamp.memory);
    }
    // Spinning only helps when the owner can run at the same time on another processor.
    if (platform_.ProcessorCount() > 1) {
        Store(Record().spinCount, static_cast<std::int32_t>(spinCount));
    }
}

OptexRecord& TJclOptex::Record() {
    return *reinterpret_cast<OptexRecord*>(record_->Data());
}

OptexOwnerStamp* TJclOptex::Stamp() {
    return stamp_ ? reinterpret_cast<OptexOwnerStamp*>(stamp_->Data()) : nullptr;
}

void TJclOptex::TakeOwnership(std::uint32_t threadId) {
    Store(Record().ownerThreadId, threadId);
    Store(Record().recursionCount, std::int32_t{1});
    if (OptexOwnerStamp* stamp = Stamp()) {
        // The process first: whoever sees our thread id in the stamp sees our process id too.
        Store(stamp->processId, platform_.CurrentProcessId());
        Store(stamp->threadId, threadId);
    }
}

bool TJclOptex::TakeOverFromGoneOwner(std::uint32_t threadId) {
    OptexRecord& record = Record();
    const std::uint32_t owner = Load(record.ownerThreadId);
    if (owner == 0 || owner == threadId) {
        return false; // between two owners: the hand-over is under way
    }
    std::uint32_t ownerProcess = 0;
    if (OptexOwnerStamp* stamp = Stamp(); stamp != nullptr && Load(stamp->threadId) == owner) {
        ownerProcess = Load(stamp->processId);
    }
    if (!platform_.ThreadGone(owner, ownerProcess)) {
        return false;
    }
    // Of several waiters that found the owner gone, one takes over.
    static_assert(sizeof(record.ownerThreadId) == sizeof(std::int32_t));
    auto* ownerField = reinterpret_cast<std::int32_t*>(&record.ownerThreadId);
    if (platform_.AtomicCompareExchange(ownerField, static_cast<std::int32_t>(threadId),
                                        static_cast<std::int32_t>(owner)) !=
        static_cast<std::int32_t>(owner)) {
        return false;
    }
    // The lock count holds one per entry of the gone owner (at least its first, should it
    // have died before its recursion count was set) and one for this waiter, which stays as
    // its own entry.
    const std::int32_t goneEntries = std::max(Load(record.recursionCount), std::int32_t{1});
    for (std::int32_t i = 0; i < goneEntries; ++i) {
        platform_.AtomicDecrement(&record.lockCount);
    }
    TakeOwnership(threadId);
    return true;
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
        // The owner's Leave hands over through the event; an owner that is gone never will.
        while (!event_->WaitFor(kOwnerCheckMs)) {
            if (TakeOverFromGoneOwner(threadId)) {
                return;
            }
        }
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
    if (OptexOwnerStamp* stamp = Stamp()) {
        Store(stamp->threadId, std::uint32_t{0});
    }
    Store(record.ownerThreadId, std::uint32_t{0});
    if (platform_.AtomicDecrement(&record.lockCount) > 0) {
        event_->Set();
    }
}

} // namespace ombrevane
