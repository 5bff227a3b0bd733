#include "components/win32/ExBarCanvas.h"

#include "components/win32/ExBarImageList.h"
#include "components/win32/SystemColor.h"
#include "platform/DebugOutput.h"
#include "platform/win32/WindowClass.h"

#include <algorithm>
#include <cstring>

namespace ombrevane {

namespace {

constexpr int kObmCheckBoxes = 32759;

SIZE TextExtent(HDC dc, const std::string& text) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// Rows of an 8 x 8 glyph bitmap resource: black pixels are glyph pixels.
bool LoadGlyph(const char* name, ExGlyphRows& rows) {
    win32::UniqueGdiObject bitmap(::LoadBitmapA(win32::ProgramInstance(), name));
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
    shared.Hand = win32::SystemCursor(win32::kIdcHand);
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

} // namespace

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

ExBarMeasure::ExBarMeasure(HFONT font) : dc_(::CreateCompatibleDC(nullptr)) {
    if (dc_) {
        old_ = ::SelectObject(dc_.get(), font);
    }
}

ExBarMeasure::~ExBarMeasure() {
    if (dc_ && old_ != nullptr) {
        ::SelectObject(dc_.get(), old_);
    }
}

int ExBarMeasure::TextWidth(const std::string& text) const {
    return TextExtent(dc_.get(), text).cx;
}

int ExBarMeasure::TextHeight(const std::string& text) const {
    return TextExtent(dc_.get(), text).cy;
}

// ---------------------------------------------------------------------------------------------

ExBarCanvas::ExBarCanvas(const ExBarFonts& fonts, const ExDibBuffer* theme, ExDibBuffer& buffer)
    : fonts_(fonts), theme_(theme), buffer_(buffer), dc_(buffer.Dc()),
      pen_(dc_, ::GetStockObject(DC_PEN)), font_(fonts.StyleOf(::GetCurrentObject(dc_, OBJ_FONT))) {
    ::SetBkMode(dc_, TRANSPARENT);
    ::SetStretchBltMode(dc_, COLORONCOLOR);
}

ExBarCanvas::~ExBarCanvas() {
    ::SelectClipRgn(dc_, nullptr);
    SetFont(ExFontStyle{});
}

int ExBarCanvas::TextWidth(const std::string& text) const {
    return TextExtent(dc_, text).cx;
}

int ExBarCanvas::TextHeight(const std::string& text) const {
    return TextExtent(dc_, text).cy;
}

void ExBarCanvas::SetClip(const ExRect& area) {
    ::SelectClipRgn(dc_, nullptr);
    ::IntersectClipRect(dc_, area.Left, area.Top, area.Right, area.Bottom);
}

void ExBarCanvas::FillRect(const ExRect& area, TColor color) {
    const RECT rect{area.Left, area.Top, area.Right, area.Bottom};
    ::SetBkColor(dc_, win32::ResolveColor(color));
    ::ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void ExBarCanvas::SetFont(ExFontStyle style) {
    // Selecting a font costs several microseconds under Wine even when it is the same one.
    if (font_ && style.Bold == font_->Bold && style.Underline == font_->Underline) {
        return;
    }
    font_ = style;
    ::SelectObject(dc_, fonts_.Get(style));
}

void ExBarCanvas::SetTextColor(TColor color) {
    ::SetTextColor(dc_, win32::ResolveColor(color));
}

void ExBarCanvas::DrawString(int x, int y, const std::string& text) {
    ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

void ExBarCanvas::DrawImage(const ExImageList& list, int index, int x, int y) {
    if (const auto* images = dynamic_cast<const ExBarImageList*>(&list)) {
        images->Draw(dc_, index, x, y);
    }
}

void ExBarCanvas::DrawThemePart(const ExRect& source, const ExRect& target) {
    if (theme_ == nullptr || target.Width() <= 0 || target.Height() <= 0) {
        return;
    }
    ::StretchBlt(dc_, target.Left, target.Top, target.Width(), target.Height(), theme_->Dc(),
                 source.Left, source.Top, source.Width(), source.Height(), SRCCOPY);
}

void ExBarCanvas::DrawGlyph(ExGlyph glyph, int x, int y, TColor color) {
    const ExBarShared& shared = GetExBarShared();
    const ExGlyphRows& rows = glyph == ExGlyph::Up ? shared.Up : shared.Down;
    const COLORREF resolved = win32::ResolveColor(color);
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            if ((rows[static_cast<size_t>(row)] & (0x80 >> column)) != 0) {
                ::SetPixelV(dc_, x + column, y + row, resolved);
            }
        }
    }
}

void ExBarCanvas::DrawLine(int x1, int y1, int x2, int y2, TColor color) {
    ::SetDCPenColor(dc_, win32::ResolveColor(color));
    ::MoveToEx(dc_, x1, y1, nullptr);
    ::LineTo(dc_, x2, y2);
}

void ExBarCanvas::DrawCheck(const ExRect& box, int state, bool enabled, bool flat) {
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

void ExBarCanvas::DrawDottedFrame(const ExRect& area, TColor color) {
    win32::UniqueGdiObject pen(::CreatePen(PS_DOT, 1, win32::ResolveColor(color)));
    if (!pen) {
        return;
    }
    win32::SelectedObject selectedPen(dc_, pen.get());
    win32::SelectedObject brush(dc_, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc_, area.Left, area.Top, area.Right, area.Bottom);
}

void ExBarCanvas::BlendToward(const ExRect& area, TColor background, int current, int full) {
    const int left = std::max(area.Left, 0);
    const int right = std::min(area.Right, buffer_.Width());
    const int top = std::max(area.Top, 0);
    const int bottom = std::min(area.Bottom, buffer_.Height());
    if (left >= right || top >= bottom) {
        return;
    }
    ::GdiFlush();
    const TColor resolved = win32::ResolveColor(background);
    for (int y = top; y < bottom; ++y) {
        uint8_t* row = buffer_.Bits() + static_cast<ptrdiff_t>(y) * buffer_.Stride() + left * 3;
        BlendPixelsBgr(std::span<uint8_t>(row, static_cast<size_t>(right - left) * 3), resolved,
                       current, full);
    }
}

} // namespace ombrevane
