#include "components/win32/SimpleTimerHandler.h"

#include "platform/win32/BoundWindow.h"

#include <stdexcept>

namespace ombrevane::win32 {
namespace {

constexpr char kWindowClass[] = "OmbrevaneSimpleTimerWindow";

class TSimpleTimerHandler final : public TimerHost, private WindowOwner {
public:
    TSimpleTimerHandler();
    HWND Window() const { return window_.get(); }

private:
    bool StartSystemTimer(std::uint32_t timerId, std::uint32_t intervalMs) override {
        return ::SetTimer(window_.get(), timerId, intervalMs, nullptr) != 0;
    }
    void StopSystemTimer(std::uint32_t timerId) override { ::KillTimer(window_.get(), timerId); }

    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

    BoundWindow window_;
};

// One handler per process, alive while some timer holds it.
std::weak_ptr<TSimpleTimerHandler>& SharedHandler() {
    static std::weak_ptr<TSimpleTimerHandler> handler;
    return handler;
}

TSimpleTimerHandler::TSimpleTimerHandler() {
    // Message-only: it never needs broadcasts, only its own WM_TIMER.
    WindowPlacement placement;
    placement.parent = HWND_MESSAGE;
    if (!window_.Create(*this, {.name = kWindowClass}, placement)) {
        throw std::runtime_error("cannot create the timer window");
    }
}

LRESULT TSimpleTimerHandler::OnMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        Dispatch(static_cast<std::uint32_t>(wParam));
        return 0;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

std::shared_ptr<TimerHost> AcquireSimpleTimerHandler() {
    std::shared_ptr<TSimpleTimerHandler> handler = SharedHandler().lock();
    if (!handler) {
        handler = std::make_shared<TSimpleTimerHandler>();
        SharedHandler() = handler;
    }
    return handler;
}

HWND SimpleTimerWindow() {
    std::shared_ptr<TSimpleTimerHandler> handler = SharedHandler().lock();
    return handler ? handler->Window() : nullptr;
}

} // namespace ombrevane::win32
