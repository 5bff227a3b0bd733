#include "components/win32/ExBarSurface.h"

#include <windowsx.h>

#include <algorithm>

namespace ombrevane {

namespace {

constexpr char kSurfaceClass[] = "TFlickerFreePaintBox";

ExMouseState MouseState(WPARAM wParam) {
    const auto keys = static_cast<UINT>(wParam);
    ExMouseState state;
    state.Buttons =
        (keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2)) != 0;
    state.Shift = (keys & MK_SHIFT) != 0;
    state.Ctrl = (keys & MK_CONTROL) != 0;
    state.Alt = ::GetKeyState(VK_MENU) < 0;
    return state;
}

} // namespace

TFlickerFreePaintBox::TFlickerFreePaintBox(HWND parent, ExSurfaceEvents& events, HFONT font)
    : events_(events), font_(font), cursor_(win32::SystemCursor(win32::kIdcArrow)) {
    RECT parentRect{};
    ::GetWindowRect(parent, &parentRect);
    win32::WindowPlacement placement;
    placement.style = WS_CHILD | WS_VISIBLE;
    placement.width = parentRect.right - parentRect.left;
    placement.height = 1;
    placement.parent = parent;
    // No class cursor: the surface sets the arrow or the hand itself.
    window_.Create(*this, {.name = kSurfaceClass}, placement);
    if (!backBuffer_) {
        backBuffer_ = std::make_unique<ExDibBuffer>(1, 1, font_);
    }
}

LRESULT TFlickerFreePaintBox::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        // Everything is drawn from the back buffer; erasing would only flicker.
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SIZE:
        Resized();
        return 0;
    case WM_MOUSEMOVE:
        if (!tracking_) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
            tracking_ = ::TrackMouseEvent(&track) != FALSE;
        }
        events_.SurfaceMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), MouseState(wParam));
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        events_.SurfaceMouseLeave();
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_XBUTTONUP:
        events_.SurfaceMouseUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return message == WM_XBUTTONUP ? TRUE : 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && cursor_ != nullptr) {
            ::SetCursor(cursor_);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

void TFlickerFreePaintBox::Resized() {
    if (painting_) {
        return;
    }
    RECT rect{};
    ::GetClientRect(window_.get(), &rect);
    backBuffer_ = std::make_unique<ExDibBuffer>(rect.right, rect.bottom, font_);
    Fill();
    dirty_ = true;
}

void TFlickerFreePaintBox::Fill() {
    if (!backBuffer_->Valid()) {
        return;
    }
    const RECT all{0, 0, backBuffer_->Width(), backBuffer_->Height()};
    ::SetBkColor(backBuffer_->Dc(), color_);
    ::ExtTextOutA(backBuffer_->Dc(), 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
}

void TFlickerFreePaintBox::Render() {
    if (!backBuffer_->Valid()) {
        return;
    }
    Fill();
    events_.PaintBuffer(*this);
    dirty_ = false;
    CopyToScreen();
}

void TFlickerFreePaintBox::CopyToScreen() {
    CopyToScreen(ExRect{0, 0, backBuffer_->Width(), backBuffer_->Height()});
}

void TFlickerFreePaintBox::CopyToScreen(const ExRect& area) {
    if (!window_ || !backBuffer_->Valid()) {
        return;
    }
    // Whole rows: the copy costs by the pixel under Wine, and rows keep it one rectangle.
    const int top = std::max(area.Top, 0);
    const int bottom = std::min(area.Bottom, backBuffer_->Height());
    if (top >= bottom) {
        return;
    }
    win32::WindowDc dc(window_.get());
    if (dc.get() == nullptr) {
        return;
    }
    painting_ = true;
    ::BitBlt(dc.get(), 0, top, backBuffer_->Width(), bottom - top, backBuffer_->Dc(), 0, top,
             SRCCOPY);
    painting_ = false;
}

void TFlickerFreePaintBox::Paint() {
    PAINTSTRUCT ps{};
    const HDC dc = ::BeginPaint(window_.get(), &ps);
    if (dc != nullptr && backBuffer_->Valid()) {
        if (dirty_) {
            Fill();
            events_.PaintBuffer(*this);
            dirty_ = false;
        }
        painting_ = true;
        ::BitBlt(dc, 0, 0, backBuffer_->Width(), backBuffer_->Height(), backBuffer_->Dc(), 0, 0,
                 SRCCOPY);
        painting_ = false;
    }
    ::EndPaint(window_.get(), &ps);
}

void TFlickerFreePaintBox::SetCursor(HCURSOR cursor) {
    // Every hot-tracking step sets the cursor; only a change needs the round trips below.
    if (cursor == cursor_) {
        return;
    }
    cursor_ = cursor;
    POINT point{};
    if (cursor_ != nullptr && ::GetCursorPos(&point) && ::WindowFromPoint(point) == window_.get()) {
        ::SetCursor(cursor_);
    }
}

} // namespace ombrevane
