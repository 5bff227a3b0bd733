#include "platform/win32/BoundWindow.h"

#include "platform/ErrorReport.h"

namespace ombrevane::win32 {

LRESULT CALLBACK WindowOwner::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* binding =
            static_cast<BoundWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (binding != nullptr) {
            binding->hwnd_ = hwnd;
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(binding));
        }
    }
    auto* binding = reinterpret_cast<BoundWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (binding == nullptr || binding->hwnd_ != hwnd) {
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    WindowOwner& owner = *binding->owner_;
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        binding->hwnd_ = nullptr;
    }
    try {
        return owner.OnMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        ReportCurrentException();
        return 0;
    }
}

BoundWindow::~BoundWindow() {
    Destroy();
}

bool BoundWindow::Create(WindowOwner& owner, const WindowClass& windowClass,
                         const WindowPlacement& placement) {
    Destroy();
    WindowClass bound = windowClass;
    bound.procedure = &WindowOwner::Procedure;
    if (!EnsureWindowClass(bound)) {
        return false;
    }
    owner_ = &owner;
    const HWND hwnd = ::CreateWindowExA(
        placement.exStyle, bound.name, placement.title, placement.style, placement.x, placement.y,
        placement.width, placement.height, placement.parent, nullptr, ProgramInstance(), this);
    if (hwnd == nullptr) {
        hwnd_ = nullptr;
        return false;
    }
    return true;
}

void BoundWindow::Destroy() {
    if (hwnd_ != nullptr) {
        // WM_NCDESTROY empties hwnd_.
        ::DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

} // namespace ombrevane::win32
