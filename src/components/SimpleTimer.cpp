#include "components/SimpleTimer.h"

namespace ombrevane {

void TimerHost::Dispatch(std::uint32_t timerId) {
    auto found = timers_.find(timerId);
    if (found == timers_.end()) {
        return;
    }
    // A handler may destroy its own timer, even the last one and with it this host.
    auto keepAlive = shared_from_this();
    found->second->Fire();
}

std::uint32_t TimerHost::Register(TSimpleTimer* timer) {
    while (nextId_ == 0 || timers_.contains(nextId_)) {
        ++nextId_;
    }
    std::uint32_t id = nextId_++;
    timers_[id] = timer;
    return id;
}

void TimerHost::Unregister(std::uint32_t timerId) {
    timers_.erase(timerId);
}

TSimpleTimer::TSimpleTimer(std::shared_ptr<TimerHost> host, std::uint32_t intervalMs)
    : host_(std::move(host)), intervalMs_(intervalMs) {
    timerId_ = host_->Register(this);
}

TSimpleTimer::~TSimpleTimer() {
    if (running_) {
        Stop();
    }
    host_->Unregister(timerId_);
}

bool TSimpleTimer::Start() {
    if (intervalMs_ == 0) {
        return false;
    }
    if (running_) {
        host_->StopSystemTimer(timerId_);
    }
    running_ = host_->StartSystemTimer(timerId_, intervalMs_);
    return running_;
}

void TSimpleTimer::Stop() {
    running_ = false;
    host_->StopSystemTimer(timerId_);
}

void TSimpleTimer::SetIntervalMs(std::uint32_t intervalMs) {
    if (intervalMs == intervalMs_) {
        return;
    }
    intervalMs_ = intervalMs;
    if (!running_) {
        return;
    }
    if (intervalMs_ == 0) {
        host_->StopSystemTimer(timerId_);
    } else {
        Start();
    }
}

void TSimpleTimer::Fire() {
    if (oneShot_) {
        Stop();
    }
    if (OnFire) {
        // Copy: the handler may reassign OnFire or destroy this timer.
        FireHandler handler = OnFire;
        handler(*this);
    }
}

} // namespace ombrevane
