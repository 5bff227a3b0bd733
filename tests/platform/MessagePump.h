#pragma once
// Helpers of the Win32 tests that wait for windows: pumping this thread's messages with a
// bound, finding this thread's windows, and answering the error report's message box.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ombrevane::testing {

// Dispatches messages until pred() holds or the time is up; returns pred().
inline bool PumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (pred()) {
            return true;
        }
        auto now = std::chrono::steady_clock::now();
        if (now >= end) {
            return false;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                    static_cast<DWORD>(std::min<long long>(left, 50)), QS_ALLINPUT);
    }
}

inline void PumpFor(std::chrono::milliseconds time) {
    PumpUntil([] { return false; }, time);
}

inline std::string WindowText(HWND window) {
    char text[512] = {};
    ::GetWindowTextA(window, text, static_cast<int>(sizeof(text)));
    return text;
}

// A visible top-level window of this thread with this title, or null.
inline HWND FindThreadWindow(const std::string& title) {
    struct Search {
        const std::string& title;
        HWND found;
    } search{title, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            if (::IsWindowVisible(window) && WindowText(window) == s.title) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs `step` on this thread every 20 ms from a thread timer, also inside the modal loops of
// dialogs and message boxes, until it answers true or the object goes.
class TimerDriver {
public:
    explicit TimerDriver(std::function<bool()> step) : step_(std::move(step)) {
        timer_ = ::SetTimer(nullptr, 0, 20, &Tick);
        Drivers()[timer_] = this;
    }
    ~TimerDriver() {
        ::KillTimer(nullptr, timer_);
        Drivers().erase(timer_);
    }
    TimerDriver(const TimerDriver&) = delete;
    TimerDriver& operator=(const TimerDriver&) = delete;

private:
    static std::map<UINT_PTR, TimerDriver*>& Drivers() {
        static std::map<UINT_PTR, TimerDriver*> drivers;
        return drivers;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
        auto found = Drivers().find(timer);
        if (found == Drivers().end()) {
            return;
        }
        TimerDriver* self = found->second;
        // A step may run a modal loop of its own, in which the timer fires again.
        if (self->done_ || self->running_) {
            return;
        }
        self->running_ = true;
        self->done_ = self->step_();
        self->running_ = false;
    }

    std::function<bool()> step_;
    UINT_PTR timer_ = 0;
    bool running_ = false;
    bool done_ = false;
};

// Answers the program-wide error report while it lives: each message box "Ombrevane" of this
// thread is read (its static texts) and closed with OK.
class ErrorReportAnswerer {
public:
    ErrorReportAnswerer()
        : driver_([this] {
              if (HWND box = FindThreadWindow("Ombrevane")) {
                  ::EnumChildWindows(
                      box,
                      [](HWND child, LPARAM param) -> BOOL {
                          char name[32] = {};
                          ::GetClassNameA(child, name, static_cast<int>(sizeof(name)));
                          if (lstrcmpiA(name, "Static") == 0 && !WindowText(child).empty()) {
                              reinterpret_cast<std::vector<std::string>*>(param)->push_back(
                                  WindowText(child));
                          }
                          return TRUE;
                      },
                      reinterpret_cast<LPARAM>(&texts));
                  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
              }
              return false;
          }) {}

    std::vector<std::string> texts;

private:
    TimerDriver driver_;
};

} // namespace ombrevane::testing
