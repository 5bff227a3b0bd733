#include "components/ExBarControl.h"

#include "platform/DebugOutput.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace ombrevane {

namespace {

constexpr char kBarClass[] = "TExBar";
constexpr char kSurfaceClass[] = "TFlickerFreePaintBox";
constexpr int kObmCheckBoxes = 32759;
constexpr int kIdcHand = 32649;
constexpr int kScrollLine = 16;

HINSTANCE ProgramInstance() {
    return ::GetModuleHandleA(nullptr);
}

bool RegisterWindowClass(const char* name, WNDPROC proc, HCURSOR cursor) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = ProgramInstance();
    wc.hCursor = cursor;
    wc.lpszClassName = name;
    return ::RegisterClassA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Rows of an 8 x 8 glyph bitmap resource: black pixels are glyph pixels.
bool LoadGlyph(const char* name, ExGlyphRows& rows) {
    win32::UniqueGdiObject bitmap(::LoadBitmapA(ProgramInstance(), name));
    if (!bitmap) {
        return false;
    }
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) {
        return false;
    }
    win32::SelectedObject selected(dc.get(), bitmap.get());
    for (int y = 0; y < 8; ++y) {
        uint8_t row = 0;
        for (int x = 0; x < 8; ++x) {
            if ((::GetPixel(dc.get(), x, y) & 0xFFFFFF) == 0) {
                row = static_cast<uint8_t>(row | (0x80 >> x));
            }
        }
        rows[static_cast<size_t>(y)] = row;
    }
    return true;
}

ExBarShared LoadShared() {
    ExBarShared shared;
    win32::UniqueGdiObject checks(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(kObmCheckBoxes)));
    BITMAP info{};
    if (checks && ::GetObjectA(checks.get(), sizeof(info), &info) != 0) {
        shared.CheckWidth = info.bmWidth / 4;
        shared.CheckHeight = info.bmHeight / 3;
    }
    shared.Hand = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(kIdcHand));
    shared.Up = GlyphRowsUp();
    shared.Down = GlyphRowsDown();
    ExGlyphRows up{};
    ExGlyphRows down{};
    if (LoadGlyph("AR_UP", up) && LoadGlyph("AR_DN", down)) {
        shared.Up = up;
        shared.Down = down;
        shared.GlyphsFromResources = true;
    } else {
        WriteDebugLine("ExBar: arrow glyph resources missing, built-in glyphs used");
    }
    return shared;
}

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

COLORREF ResolveColor(ExColor color) {
    if (IsSystemColor(color)) {
        return ::GetSysColor(static_cast<int>(color & 0xFF));
    }
    return color & 0xFFFFFF;
}

const ExBarShared& GetExBarShared() {
    static const ExBarShared shared = LoadShared();
    return shared;
}

// ---------------------------------------------------------------------------------------------

ExBarFonts::ExBarFonts() {
    int dpi = 96;
    {
        win32::WindowDc screen(nullptr);
        if (screen.get() != nullptr) {
            dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
        }
    }
    for (size_t i = 0; i < fonts_.size(); ++i) {
        LOGFONTA font{};
        font.lfHeight = -::MulDiv(8, dpi, 72);
        font.lfWeight = (i & 1) != 0 ? FW_BOLD : FW_NORMAL;
        font.lfUnderline = (i & 2) != 0 ? TRUE : FALSE;
        font.lfCharSet = DEFAULT_CHARSET;
        std::strcpy(font.lfFaceName, "MS Sans Serif");
        fonts_[i].reset(::CreateFontIndirectA(&font));
    }
}

HFONT ExBarFonts::Get(ExFontStyle style) const {
    const size_t index = (style.Bold ? 1u : 0u) | (style.Underline ? 2u : 0u);
    return static_cast<HFONT>(fonts_[index].get());
}

std::optional<ExFontStyle> ExBarFonts::StyleOf(HGDIOBJ font) const {
    for (size_t i = 0; i < fonts_.size(); ++i) {
        if (font != nullptr && fonts_[i].get() == font) {
            return ExFontStyle{.Bold = (i & 1) != 0, .Underline = (i & 2) != 0};
        }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------

TFlickerFreePaintBox::TFlickerFreePaintBox(HWND parent, ExSurfaceEvents& events, HFONT font)
    : events_(events), font_(font), cursor_(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512))) {
    RegisterWindowClass(kSurfaceClass, &TFlickerFreePaintBox::WindowProc, nullptr);
    RECT parentRect{};
    ::GetWindowRect(parent, &parentRect);
    ::CreateWindowExA(0, kSurfaceClass, "", WS_CHILD | WS_VISIBLE, 0, 0,
                      parentRect.right - parentRect.left, 1, parent, nullptr, ProgramInstance(),
                      this);
    if (!backBuffer_) {
        backBuffer_ = std::make_unique<ExDibBuffer>(1, 1, font_);
    }
}

TFlickerFreePaintBox::~TFlickerFreePaintBox() {
    if (window_) {
        ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
    }
    window_.reset();
}

LRESULT CALLBACK TFlickerFreePaintBox::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<TFlickerFreePaintBox*>(create->lpCreateParams);
        self->window_.reset(hwnd);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TFlickerFreePaintBox*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->window_.release();
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT TFlickerFreePaintBox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = window_.get();
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

// ---------------------------------------------------------------------------------------------

// Measuring uses the surface's default font in a DC of its own.
class ExBarControl::MeasureMetrics final : public ExTextMetrics {
public:
    explicit MeasureMetrics(HFONT font) : dc_(::CreateCompatibleDC(nullptr)) {
        if (dc_) {
            old_ = ::SelectObject(dc_.get(), font);
        }
    }
    ~MeasureMetrics() override {
        if (dc_ && old_ != nullptr) {
            ::SelectObject(dc_.get(), old_);
        }
    }
    MeasureMetrics(const MeasureMetrics&) = delete;
    MeasureMetrics& operator=(const MeasureMetrics&) = delete;

    int TextWidth(const std::string& text) const override { return Extent(text).cx; }
    int TextHeight(const std::string& text) const override { return Extent(text).cy; }

private:
    SIZE Extent(const std::string& text) const {
        SIZE size{};
        ::GetTextExtentPoint32A(dc_.get(), text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }

    win32::UniqueMemoryDc dc_;
    HGDIOBJ old_ = nullptr;
};

// GDI drawing into the back buffer for one render or in-place repaint.
class ExBarControl::Canvas final : public ExCanvas {
public:
    Canvas(const ExBarControl& control, ExDibBuffer& buffer)
        : control_(control), buffer_(buffer), dc_(buffer.Dc()), pen_(dc_, ::GetStockObject(DC_PEN)),
          font_(control.fonts_->StyleOf(::GetCurrentObject(dc_, OBJ_FONT))) {
        ::SetBkMode(dc_, TRANSPARENT);
        ::SetStretchBltMode(dc_, COLORONCOLOR);
    }
    ~Canvas() override {
        ::SelectClipRgn(dc_, nullptr);
        SetFont(ExFontStyle{});
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int TextWidth(const std::string& text) const override { return Extent(text).cx; }
    int TextHeight(const std::string& text) const override { return Extent(text).cy; }

    void SetClip(const ExRect& area) override {
        ::SelectClipRgn(dc_, nullptr);
        ::IntersectClipRect(dc_, area.Left, area.Top, area.Right, area.Bottom);
    }
    void FillRect(const ExRect& area, ExColor color) override {
        const RECT rect{area.Left, area.Top, area.Right, area.Bottom};
        ::SetBkColor(dc_, ResolveColor(color));
        ::ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    }
    void SetFont(ExFontStyle style) override {
        // Selecting a font costs several microseconds under Wine even when it is the same one.
        if (font_ && style.Bold == font_->Bold && style.Underline == font_->Underline) {
            return;
        }
        font_ = style;
        ::SelectObject(dc_, control_.fonts_->Get(style));
    }
    void SetTextColor(ExColor color) override { ::SetTextColor(dc_, ResolveColor(color)); }
    void DrawString(int x, int y, const std::string& text) override {
        ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
    }
    void DrawImage(const ExImageList& list, int index, int x, int y) override {
        if (const auto* images = dynamic_cast<const ExBarImageList*>(&list)) {
            images->Draw(dc_, index, x, y);
        }
    }
    void DrawThemePart(const ExRect& source, const ExRect& target) override {
        if (!control_.theme_ || target.Width() <= 0 || target.Height() <= 0) {
            return;
        }
        ::StretchBlt(dc_, target.Left, target.Top, target.Width(), target.Height(),
                     control_.theme_->Dc(), source.Left, source.Top, source.Width(),
                     source.Height(), SRCCOPY);
    }
    void DrawGlyph(ExGlyph glyph, int x, int y, ExColor color) override {
        const ExBarShared& shared = GetExBarShared();
        const ExGlyphRows& rows = glyph == ExGlyph::Up ? shared.Up : shared.Down;
        const COLORREF resolved = ResolveColor(color);
        for (int row = 0; row < 8; ++row) {
            for (int column = 0; column < 8; ++column) {
                if ((rows[static_cast<size_t>(row)] & (0x80 >> column)) != 0) {
                    ::SetPixelV(dc_, x + column, y + row, resolved);
                }
            }
        }
    }
    void DrawLine(int x1, int y1, int x2, int y2, ExColor color) override {
        ::SetDCPenColor(dc_, ResolveColor(color));
        ::MoveToEx(dc_, x1, y1, nullptr);
        ::LineTo(dc_, x2, y2);
    }
    void DrawCheck(const ExRect& box, int state, bool enabled, bool flat) override {
        const ExBarShared& shared = GetExBarShared();
        RECT rect{};
        rect.left = box.Left + (box.Width() - shared.CheckWidth) / 2;
        rect.top = box.Top + (box.Height() - shared.CheckHeight) / 2;
        rect.right = rect.left + shared.CheckWidth;
        rect.bottom = rect.top + shared.CheckHeight;
        UINT flags = DFCS_BUTTONCHECK;
        if (state == 1) {
            flags |= DFCS_CHECKED;
        } else if (state == 2) {
            flags |= DFCS_CHECKED | DFCS_BUTTON3STATE;
        }
        if (!enabled) {
            flags |= DFCS_INACTIVE;
        }
        ::DrawFrameControl(dc_, &rect, DFC_BUTTON, flags);
        if (flat) {
            win32::SelectedObject brush(dc_, ::GetStockObject(NULL_BRUSH));
            ::SetDCPenColor(dc_, ::GetSysColor(COLOR_BTNSHADOW));
            ::Rectangle(dc_, rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1);
        }
    }
    void DrawDottedFrame(const ExRect& area, ExColor color) override {
        win32::UniqueGdiObject pen(::CreatePen(PS_DOT, 1, ResolveColor(color)));
        if (!pen) {
            return;
        }
        win32::SelectedObject selectedPen(dc_, pen.get());
        win32::SelectedObject brush(dc_, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc_, area.Left, area.Top, area.Right, area.Bottom);
    }
    void BlendToward(const ExRect& area, ExColor background, int current, int full) override {
        const int left = std::max(area.Left, 0);
        const int right = std::min(area.Right, buffer_.Width());
        const int top = std::max(area.Top, 0);
        const int bottom = std::min(area.Bottom, buffer_.Height());
        if (left >= right || top >= bottom) {
            return;
        }
        ::GdiFlush();
        const ExColor resolved = ResolveColor(background);
        for (int y = top; y < bottom; ++y) {
            uint8_t* row = buffer_.Bits() + static_cast<ptrdiff_t>(y) * buffer_.Stride() + left * 3;
            BlendPixelsBgr(std::span<uint8_t>(row, static_cast<size_t>(right - left) * 3), resolved,
                           current, full);
        }
    }

private:
    SIZE Extent(const std::string& text) const {
        SIZE size{};
        ::GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }

    const ExBarControl& control_;
    ExDibBuffer& buffer_;
    HDC dc_;
    win32::SelectedObject pen_;
    // The font selected in the buffer; empty when it is none of the bar's.
    std::optional<ExFontStyle> font_;
};

// ---------------------------------------------------------------------------------------------

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
    if (!RegisterWindowClass(kBarClass, &ExBarControl::WindowProc,
                             ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)))) {
        return false;
    }
    fonts_ = std::make_unique<ExBarFonts>();
    metrics_ = std::make_unique<MeasureMetrics>(fonts_->Get(ExFontStyle{}));
    ::CreateWindowExA(0, kBarClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL, 0, 0,
                      ExBarMetrics::InitialWidth, ExBarMetrics::InitialHeight, parent, nullptr,
                      ProgramInstance(), this);
    if (!window_) {
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
                                     nullptr, ProgramInstance(), nullptr));
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
    surface_->SetColor(ResolveColor(bar_->Color()));
    return true;
}

ExBarControl::~ExBarControl() {
    // The model first: its groups stop their timers through this window.
    bar_.reset();
    tooltip_.reset();
    surface_.reset();
    if (window_) {
        ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
    }
    window_.reset();
}

LRESULT CALLBACK ExBarControl::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<ExBarControl*>(create->lpCreateParams);
        self->window_.reset(hwnd);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<ExBarControl*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // Destroyed with its parent: the windows are gone, the model stays usable but idle.
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->window_.release();
        self->tooltip_.release();
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT ExBarControl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = window_.get();
    switch (message) {
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
        ::SetBkColor(dc, ResolveColor(bar_ ? bar_->Color() : Rgb(255, 255, 255)));
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
    surface_->SetColor(ResolveColor(bar_->Color()));
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
    surface_->SetColor(ResolveColor(bar_->Color()));
    surface_->Render();
}

void ExBarControl::PaintBuffer(TFlickerFreePaintBox& surface) {
    Canvas canvas(*this, surface.BackBuffer());
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
        Canvas canvas(*this, surface_->BackBuffer());
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
                                                 : ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
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
