#pragma once
// Light timers that share one sink per process. The sink (on Windows a hidden window that
// receives WM_TIMER) is created by the first timer and goes away with the last one.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace ombrevane {

class TSimpleTimer;

// Where the system timers of every TSimpleTimer of the process arrive. It hands out the
// timer ids and routes each expiry back to its timer by id.
class TimerHost : public std::enable_shared_from_this<TimerHost> {
public:
    virtual ~TimerHost() = default;

    // Called for every expiry of a system timer; ids of no live timer are ignored.
    void Dispatch(std::uint32_t timerId);

    // Number of live timers using this host.
    std::size_t UserCount() const { return timers_.size(); }

protected:
    TimerHost() = default;

private:
    friend class TSimpleTimer;
    virtual bool StartSystemTimer(std::uint32_t timerId, std::uint32_t intervalMs) = 0;
    virtual void StopSystemTimer(std::uint32_t timerId) = 0;

    std::uint32_t Register(TSimpleTimer* timer);
    void Unregister(std::uint32_t timerId);

    std::map<std::uint32_t, TSimpleTimer*> timers_;
    std::uint32_t nextId_ = 1;
};

class TSimpleTimer {
public:
    using FireHandler = std::function<void(TSimpleTimer& sender)>;

    explicit TSimpleTimer(std::shared_ptr<TimerHost> host, std::uint32_t intervalMs = 1000);
    ~TSimpleTimer();
    TSimpleTimer(const TSimpleTimer&) = delete;
    TSimpleTimer& operator=(const TSimpleTimer&) = delete;

    // False when the interval is 0 or the system refused the timer.
    bool Start();
    void Stop();

    // A changed non-zero interval restarts a running timer; 0 pauses it until a later
    // non-zero value, while Running() stays true.
    void SetIntervalMs(std::uint32_t intervalMs);
    std::uint32_t IntervalMs() const { return intervalMs_; }

    bool Running() const { return running_; }
    std::uint32_t TimerId() const { return timerId_; }
    void SetOneShot(bool oneShot) { oneShot_ = oneShot; }
    bool OneShot() const { return oneShot_; }

    FireHandler OnFire;

private:
    friend class TimerHost;
    void Fire();

    std::shared_ptr<TimerHost> host_;
    std::uint32_t timerId_ = 0;
    bool running_ = false;
    std::uint32_t intervalMs_;
    bool oneShot_ = false;
};

} // namespace ombrevane
