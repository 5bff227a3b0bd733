#include "components/win32/TextTrayIcon.h"

#include "components/win32/IconFromPixels.h"
#include "components/win32/SystemColor.h"

#include <stdexcept>

namespace ombrevane::win32 {
namespace {

// A solid rectangle without creating a brush: an opaque empty text run.
void FillSolid(HDC dc, const RECT& rect, std::uint32_t rgb) {
    ::SetBkColor(dc, rgb);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, "", 0, nullptr);
}

UniqueGdiObject CreateTrayFont(const TTrayFont& font) {
    return UniqueGdiObject(::CreateFontA(
        font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic ? TRUE : FALSE, FALSE,
        FALSE, font.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
        // Smoothed edges would blend into colours that no mask colour matches.
        NONANTIALIASED_QUALITY, DEFAULT_PITCH, font.name.c_str()));
}

} // namespace

TTextTrayIcon::TTextTrayIcon(HWND owner, HWND applicationWindow)
    : TCoolTrayIcon(owner, applicationWindow) {
    textBitmap_ = CreateIconDib(&textBits_);
    if (!textBitmap_ || textBits_ == nullptr) {
        throw std::runtime_error("cannot create the tray text bitmap");
    }
    fontHandle_ = CreateTrayFont(font_);
    options_.OnChange = [this] { RebuildIcon(); };
}

TTextTrayIcon::~TTextTrayIcon() {
    options_.OnChange = nullptr;
}

void TTextTrayIcon::SetText(std::string_view text) {
    text_ = text;
    RebuildIcon();
}

void TTextTrayIcon::SetFont(const TTrayFont& font) {
    font_ = font;
    fontHandle_ = CreateTrayFont(font_);
    RebuildIcon();
}

void TTextTrayIcon::SetColor(TColor color) {
    color_ = color;
    RebuildIcon();
}

void TTextTrayIcon::SetBorder(bool border) {
    border_ = border;
    RebuildIcon();
}

void TTextTrayIcon::SetBorderColor(TColor color) {
    borderColor_ = color;
    RebuildIcon();
}

void TTextTrayIcon::SetBackgroundIcon(HICON icon) {
    backgroundIcon_.reset(icon != nullptr ? ::CopyIcon(icon) : nullptr);
    RebuildIcon();
}

void TTextTrayIcon::PaintTextBitmap() {
    std::uint32_t fontRgb = ResolveColor(font_.color);
    TextIconColors colors = ComputeTextIconColors(color_, fontRgb, &SystemColorRgb);
    keyColor_ = colors.keyRgb;
    transparentColor_ = colors.transparent;

    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) {
        return;
    }
    {
        SelectedObject bitmap(dc.get(), textBitmap_.get());
        const RECT whole{0, 0, kTrayIconSize, kTrayIconSize};
        FillSolid(dc.get(), whole, keyColor_);
        SelectedObject font(dc.get(),
                            fontHandle_ ? fontHandle_.get() : ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetTextColor(dc.get(), fontRgb);
        ::SetBkColor(dc.get(), keyColor_);
        ::SetBkMode(dc.get(), OPAQUE);
        TEXTMETRICA metrics{};
        ::GetTextMetricsA(dc.get(), &metrics);
        auto measure = [&dc](std::string_view line) {
            SIZE size{};
            ::GetTextExtentPoint32A(dc.get(), line.data(), static_cast<int>(line.size()), &size);
            return TextExtent{size.cx, size.cy};
        };
        for (const PlacedLine& line : PlaceText(text_, options_, measure, metrics.tmHeight)) {
            ::TextOutA(dc.get(), line.x, line.y, line.text.data(),
                       static_cast<int>(line.text.size()));
        }
        if (border_) {
            std::uint32_t borderRgb = ResolveColor(borderColor_);
            const int n = kTrayIconSize;
            FillSolid(dc.get(), RECT{0, 0, n, 1}, borderRgb);
            FillSolid(dc.get(), RECT{0, n - 1, n, n}, borderRgb);
            FillSolid(dc.get(), RECT{0, 0, 1, n}, borderRgb);
            FillSolid(dc.get(), RECT{n - 1, 0, n, n}, borderRgb);
        }
    }
    ::GdiFlush();
}

void TTextTrayIcon::MergeWithBackgroundIcon(UniqueIcon& icon, std::uint32_t maskRgb) {
    std::uint32_t* baseBits = nullptr;
    UniqueGdiObject base = CreateIconDib(&baseBits);
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!base || baseBits == nullptr || !dc) {
        return;
    }
    {
        SelectedObject selected(dc.get(), base.get());
        FillSolid(dc.get(), RECT{0, 0, kTrayIconSize, kTrayIconSize}, maskRgb);
        ::DrawIconEx(dc.get(), 0, 0, backgroundIcon_.get(), kTrayIconSize, kTrayIconSize, 0,
                     nullptr, DI_NORMAL);
    }
    ::GdiFlush();
    constexpr std::size_t kCount = kTrayIconSize * kTrayIconSize;
    IconPixels basePixels(baseBits, baseBits + kCount);
    IconPixels textPixels(textBits_, textBits_ + kCount);
    IconPixels merged = ComposeOver(basePixels, textPixels, RgbToPixel(keyColor_));
    UniqueIcon made = CreateIconFromImage(MaskPixels(merged, maskRgb));
    if (made) {
        icon = std::move(made);
    }
}

void TTextTrayIcon::RebuildIcon() {
    SetCycleIcons(false);
    PaintTextBitmap();
    UniqueIcon icon;
    if (!backgroundIcon_) {
        // Only a background of none becomes transparent. The pixels are read straight from
        // the bitmap's memory.
        constexpr std::size_t kCount = kTrayIconSize * kTrayIconSize;
        icon = CreateIconFromImage(
            MaskPixels(IconPixels(textBits_, textBits_ + kCount), transparentColor_));
    } else {
        MergeWithBackgroundIcon(icon, keyColor_);
    }
    if (icon) {
        TakeIcon(std::move(icon));
    }
}

void ApplyMainFormLook(TTextTrayIcon& icon) {
    TTrayFont font;
    font.name = "MS Sans Serif";
    font.height = -13;
    font.bold = true;
    font.color = kColorWhite;
    font.charset = ANSI_CHARSET;
    icon.SetFont(font);
    icon.SetColor(0x00308BDE);
    icon.SetBorder(true);
    icon.SetBorderColor(0x000CF3E8);
    icon.Options().SetOffsetX(1);
    icon.Options().SetOffsetY(0);
    icon.Options().SetLineDistance(0);
    icon.SetHint("Ombrevane");
    icon.SetMinimizeToTray(true);
}

} // namespace ombrevane::win32
