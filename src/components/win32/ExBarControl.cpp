#include "components/win32/ExBarControl.h"

#include "components/win32/SystemColor.h"
#include "platform/DebugOutput.h"

#include <algorithm>
#include <cstdlib>

namespace ombrevane {

namespace {

constexpr char kBarClass[] = "TExBar";
constexpr int kScrollLine = 16;

} // namespace

ExBarControl::ExBarControl(PassKey) {}

std::unique_ptr<ExBarControl> ExBarControl::Create(HWND parent) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    GetExBarShared();
    auto control = std::make_unique<ExBarControl>(PassKey{});
    if (!control->CreateWindows(parent)) {
        return nullptr;
    }
    return control;
}

bool ExBarControl::CreateWindows(HWND parent) {
    fonts_ = std::make_unique<ExBarFonts>();
    metrics_ = std::make_unique<ExBarMeasure>(fonts_->Get(ExFontStyle{}));
    win32::WindowPlacement placement;
    placement.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL;
    placement.width = ExBarMetrics::InitialWidth;
    placement.height = ExBarMetrics::InitialHeight;
    placement.parent = parent;
    if (!window_.Create(*this, {.name = kBarClass, .cursor = win32::SystemCursor(win32::kIdcArrow)},
                        placement)) {
        return false;
    }
    suppressSize_ = true;
    ::ShowScrollBar(window_.get(), SB_VERT, FALSE);
    suppressSize_ = false;
    surface_ = std::make_unique<TFlickerFreePaintBox>(
        window_.get(), static_cast<ExSurfaceEvents&>(*this), fonts_->Get({}));
    if (surface_->Handle() == nullptr) {
        return false;
    }
    tooltip_.reset(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                     WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_.get(),
                                     nullptr, win32::ProgramInstance(), nullptr));
    if (tooltip_) {
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_.get();
        tool.uId = reinterpret_cast<UINT_PTR>(surface_->Handle());
        tool.lpszText = tooltipText_.data();
        ::SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        ::SendMessageA(tooltip_.get(), TTM_ACTIVATE, FALSE, 0);
    }
    bar_ = std::make_unique<TExBar>(static_cast<ExBarHost&>(*this));
    surface_->SetColor(win32::ResolveColor(bar_->Color()));
    return true;
}

ExBarControl::~ExBarControl() {
    // The model first: its groups stop their timers through this window.
    bar_.reset();
    tooltip_.reset();
    surface_.reset();
    window_.Destroy();
}

LRESULT ExBarControl::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCDESTROY:
        // Destroyed with its parent: the windows are gone, the model stays usable but idle.
        tooltip_.release();
        break;
    case WM_SIZE:
        if (!suppressSize_ && bar_) {
            bar_->Resized();
            UpdateScrollInfo();
        }
        return 0;
    case WM_ERASEBKGND: {
        // Only the part below the surface shows the bar itself.
        RECT rect{};
        ::GetClientRect(hwnd, &rect);
        const auto dc = reinterpret_cast<HDC>(wParam);
        ::SetBkColor(dc, win32::ResolveColor(bar_ ? bar_->Color() : Rgb(255, 255, 255)));
        ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
        return 1;
    }
    case WM_VSCROLL: {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_ALL;
        ::GetScrollInfo(hwnd, SB_VERT, &info);
        int position = scrollPos_;
        switch (LOWORD(wParam)) {
        case SB_LINEUP:
            position -= kScrollLine;
            break;
        case SB_LINEDOWN:
            position += kScrollLine;
            break;
        case SB_PAGEUP:
            position -= static_cast<int>(info.nPage);
            break;
        case SB_PAGEDOWN:
            position += static_cast<int>(info.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            position = info.nTrackPos;
            break;
        case SB_TOP:
            position = 0;
            break;
        case SB_BOTTOM:
            position = info.nMax;
            break;
        default:
            break;
        }
        ScrollTo(position);
        return 0;
    }
    case WM_TIMER:
        if (bar_) {
            bar_->TimerTick(static_cast<int>(wParam));
        }
        return 0;
    default:
        break;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

void ExBarControl::UpdateScrollInfo() {
    if (!window_ || !bar_) {
        return;
    }
    const bool restore = suppressSize_;
    suppressSize_ = true;
    if (ScrollBarVisible()) {
        const int client = ClientHeight();
        const int surfaceHeight = bar_->SurfaceHeight();
        scrollPos_ = std::clamp(scrollPos_, 0, std::max(surfaceHeight - client, 0));
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        // Never hidden behind the model's back: only ShowScrollBar shows or hides it.
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        info.nMin = 0;
        info.nMax = std::max(surfaceHeight - 1, 0);
        info.nPage = static_cast<UINT>(std::max(client, 0));
        info.nPos = scrollPos_;
        ::SetScrollInfo(window_.get(), SB_VERT, &info, TRUE);
    } else {
        scrollPos_ = 0;
    }
    ::SetWindowPos(surface_->Handle(), nullptr, 0, -scrollPos_, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    suppressSize_ = restore;
}

void ExBarControl::ScrollTo(int position) {
    if (!ScrollBarVisible()) {
        return;
    }
    scrollPos_ = position;
    UpdateScrollInfo();
}

void ExBarControl::ApplyTheme(HBITMAP picture) {
    theme_.reset();
    BITMAP info{};
    if (picture != nullptr && ::GetObjectA(picture, sizeof(info), &info) != 0 &&
        IsUsableThemePicture(info.bmWidth, std::abs(info.bmHeight))) {
        auto copy = std::make_unique<ExDibBuffer>(info.bmWidth, std::abs(info.bmHeight));
        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof(format.bmiHeader);
        format.bmiHeader.biWidth = copy->Width();
        format.bmiHeader.biHeight = -copy->Height();
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 24;
        format.bmiHeader.biCompression = BI_RGB;
        if (copy->Valid() && ::GetDIBits(copy->Dc(), picture, 0, static_cast<UINT>(copy->Height()),
                                         copy->Bits(), &format, DIB_RGB_COLORS) == copy->Height()) {
            theme_ = std::move(copy);
        }
    }
    if (theme_) {
        const ExThemeColors colors =
            ThemeColorsFromPicture([this](int x, int y) { return theme_->PixelAt(x, y); });
        bar_->ApplyTheme(&colors);
    } else {
        if (picture != nullptr) {
            WriteDebugLine("ExBar: theme picture unusable, classic look used");
        }
        bar_->ApplyTheme(nullptr);
    }
    surface_->SetColor(win32::ResolveColor(bar_->Color()));
}

void ExBarControl::SetItemIcons(HIMAGELIST list) {
    itemIcons_ = list != nullptr ? std::make_unique<ExBarImageList>(list) : nullptr;
    bar_->ItemIcons = itemIcons_.get();
}

void ExBarControl::SetGroupIcons(HIMAGELIST list) {
    groupIcons_ = list != nullptr ? std::make_unique<ExBarImageList>(list) : nullptr;
    bar_->GroupIcons = groupIcons_.get();
}

void ExBarControl::SetBounds(int x, int y, int width, int height) {
    ::MoveWindow(window_.get(), x, y, width, height, TRUE);
}

// ---------------------------------------------------------------------------------------------
// ExBarHost

const ExTextMetrics& ExBarControl::Metrics() const {
    return *metrics_;
}

int ExBarControl::BarWidth() const {
    RECT rect{};
    ::GetWindowRect(window_.get(), &rect);
    return rect.right - rect.left;
}

int ExBarControl::ClientWidth() const {
    RECT rect{};
    ::GetClientRect(window_.get(), &rect);
    return rect.right;
}

int ExBarControl::ClientHeight() const {
    RECT rect{};
    ::GetClientRect(window_.get(), &rect);
    return rect.bottom;
}

void ExBarControl::InvalidateControl() {
    if (window_) {
        ::InvalidateRect(window_.get(), nullptr, TRUE);
    }
}

void ExBarControl::RenderSurface() {
    surface_->SetColor(win32::ResolveColor(bar_->Color()));
    surface_->Render();
}

void ExBarControl::PaintBuffer(TFlickerFreePaintBox& surface) {
    ExBarCanvas canvas(*fonts_, theme_.get(), surface.BackBuffer());
    bar_->PaintGroups(canvas);
    if (OnRender) {
        OnRender();
    }
}

void ExBarControl::RepaintGroups(std::span<TExGroup* const> groups) {
    if (surface_->Dirty()) {
        // A new back buffer has not been drawn yet: only a full render makes it whole.
        surface_->Render();
        return;
    }
    ExRect changed{};
    {
        ExBarCanvas canvas(*fonts_, theme_.get(), surface_->BackBuffer());
        for (TExGroup* group : groups) {
            const ExRect area = bar_->PaintGroupInPlace(canvas, *group);
            changed = changed.Height() <= 0 ? area : Union(changed, area);
            if (OnGroupPainted) {
                OnGroupPainted(*group);
            }
        }
    }
    if (changed.Height() > 0) {
        surface_->CopyToScreen(changed);
    }
}

void ExBarControl::SetSurfaceSize(int width, int height) {
    const bool restore = suppressSize_;
    suppressSize_ = true;
    ::SetWindowPos(surface_->Handle(), nullptr, 0, -scrollPos_, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    suppressSize_ = restore;
    UpdateScrollInfo();
}

bool ExBarControl::ScrollBarVisible() const {
    return window_ && (::GetWindowLongPtrA(window_.get(), GWL_STYLE) & WS_VSCROLL) != 0;
}

void ExBarControl::ShowScrollBar(bool show) {
    const bool restore = suppressSize_;
    suppressSize_ = true;
    if (!show) {
        scrollPos_ = 0;
    }
    ::ShowScrollBar(window_.get(), SB_VERT, show ? TRUE : FALSE);
    suppressSize_ = restore;
    UpdateScrollInfo();
}

void ExBarControl::SetCursor(ExCursor cursor) {
    surface_->SetCursor(cursor == ExCursor::Hand ? GetExBarShared().Hand
                                                 : win32::SystemCursor(win32::kIdcArrow));
}

void ExBarControl::SetTooltip(const std::string& text, bool active) {
    if (!tooltip_) {
        return;
    }
    if (text != tooltipText_) {
        tooltipText_ = text;
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = window_.get();
        tool.uId = reinterpret_cast<UINT_PTR>(surface_->Handle());
        tool.lpszText = tooltipText_.data();
        ::SendMessageA(tooltip_.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (active != tooltipActive_) {
        tooltipActive_ = active;
        ::SendMessageA(tooltip_.get(), TTM_ACTIVATE, active ? TRUE : FALSE, 0);
    }
}

void ExBarControl::StartAnimTimer(TExGroup& group) {
    ::SetTimer(window_.get(), static_cast<UINT_PTR>(group.TimerId()), ExBarMetrics::AnimPeriodMs,
               nullptr);
}

void ExBarControl::StopAnimTimer(TExGroup& group) {
    if (window_) {
        ::KillTimer(window_.get(), static_cast<UINT_PTR>(group.TimerId()));
    }
}

// ---------------------------------------------------------------------------------------------
// Surface events

void ExBarControl::SurfaceMouseMove(int x, int y, ExMouseState state) {
    bar_->MouseMove(x, y, state);
}

void ExBarControl::SurfaceMouseUp(int x, int y) {
    bar_->MouseUp(x, y);
}

void ExBarControl::SurfaceMouseLeave() {
    bar_->MouseLeave();
}

} // namespace ombrevane
