#include "components/win32/SimpleTimerHandler.h"

#include "platform/win32/UniqueHandle.h"

#include <stdexcept>

namespace ombrevane::win32 {
namespace {

constexpr char kWindowClass[] = "OmbrevaneSimpleTimerWindow";

class TSimpleTimerHandler : public TimerHost {
public:
    TSimpleTimerHandler();
    HWND Window() const { return window_.get(); }

private:
    bool StartSystemTimer(std::uint32_t timerId, std::uint32_t intervalMs) override {
        return ::SetTimer(window_.get(), timerId, intervalMs, nullptr) != 0;
    }
    void StopSystemTimer(std::uint32_t timerId) override { ::KillTimer(window_.get(), timerId); }

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    UniqueWindow window_;
};

// One handler per process, alive while some timer holds it.
std::weak_ptr<TSimpleTimerHandler>& SharedHandler() {
    static std::weak_ptr<TSimpleTimerHandler> handler;
    return handler;
}

ATOM RegisterTimerWindowClass() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    return ::RegisterClassExA(&wc);
}

TSimpleTimerHandler::TSimpleTimerHandler() {
    static const ATOM atom = RegisterTimerWindowClass();
    (void)atom;
    // Message-only: it never needs broadcasts, only its own WM_TIMER.
    window_.reset(::CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr));
    if (!window_) {
        throw std::runtime_error("cannot create the timer window");
    }
    ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrA(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndProc));
}

LRESULT CALLBACK TSimpleTimerHandler::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        auto* self =
            reinterpret_cast<TSimpleTimerHandler*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self != nullptr) {
            self->Dispatch(static_cast<std::uint32_t>(wParam));
        }
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
