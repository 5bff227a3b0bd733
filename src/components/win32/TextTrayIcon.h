#pragma once
// TTextTrayIcon: a tray icon whose 16 x 16 image is painted from a short text (the desktop
// number). Every property that changes the look rebuilds the image at once.

#include "components/TextTrayLayout.h"
#include "components/win32/CoolTrayIcon.h"

#include <string>

namespace ombrevane::win32 {

struct TTrayFont {
    std::string name = "MS Sans Serif";
    int height = -11; // negative: character height in pixels
    bool bold = false;
    bool italic = false;
    TColor color = kColorBlack;
    BYTE charset = DEFAULT_CHARSET;
    bool operator==(const TTrayFont&) const = default;
};

class TTextTrayIcon : public TCoolTrayIcon {
public:
    explicit TTextTrayIcon(HWND owner, HWND applicationWindow = nullptr);
    ~TTextTrayIcon() override;

    void SetText(std::string_view text);
    const std::string& Text() const { return text_; }
    void SetFont(const TTrayFont& font);
    const TTrayFont& Font() const { return font_; }
    void SetColor(TColor color);
    TColor Color() const { return color_; }
    void SetBorder(bool border);
    bool Border() const { return border_; }
    void SetBorderColor(TColor color);
    TColor BorderColor() const { return borderColor_; }
    // Changes made here rebuild the icon.
    TOffsetOptions& Options() { return options_; }
    void SetOptions(const TOffsetOptions& options) { options_.Assign(options); }
    // A picture under the text; copied. Null removes it.
    void SetBackgroundIcon(HICON icon);

    // Paints TextBitmap and sets KeyColor.
    virtual void PaintTextBitmap();
    void RebuildIcon();

    // The last painted text image (owned) and the colour painted behind the text.
    HBITMAP TextBitmap() const { return static_cast<HBITMAP>(textBitmap_.get()); }
    std::uint32_t KeyColor() const { return keyColor_; }

private:
    void MergeWithBackgroundIcon(UniqueIcon& icon, std::uint32_t maskRgb);

    TTrayFont font_;
    UniqueGdiObject fontHandle_;
    TColor color_ = kColorBtnFace;
    std::uint32_t keyColor_ = 0;
    TColor transparentColor_ = kColorNone;
    bool border_ = false;
    TColor borderColor_ = kColorBlack;
    std::string text_;
    UniqueGdiObject textBitmap_;
    std::uint32_t* textBits_ = nullptr;
    TOffsetOptions options_;
    UniqueIcon backgroundIcon_;
};

// The look of the icon on the main window: white bold 13-pixel digit on orange with a yellow
// frame, one pixel right of centre, hint "Ombrevane", minimising to the tray.
void ApplyMainFormLook(TTextTrayIcon& icon);

} // namespace ombrevane::win32
