#pragma once
// What the navigation bar draws with: its fonts, the resources read once per process, the
// measuring of texts, and the canvas that puts the model's drawing into the back buffer.

#include "components/ExBar.h"
#include "components/win32/ExDibBuffer.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>

namespace ombrevane {

// The fonts of the bar: "MS Sans Serif" 8 pt, plain, bold, underlined, both.
class ExBarFonts {
public:
    ExBarFonts();
    HFONT Get(ExFontStyle style) const;
    // The style of one of these fonts; empty for any other object.
    std::optional<ExFontStyle> StyleOf(HGDIOBJ font) const;

private:
    std::array<win32::UniqueGdiObject, 4> fonts_;
};

// Read once: the system check box size and the arrow glyphs ("AR_UP", "AR_DN" resources of
// the program, or the built-in rows when the program lacks them).
struct ExBarShared {
    int CheckWidth = 13;
    int CheckHeight = 13;
    HCURSOR Hand = nullptr;
    ExGlyphRows Up{};
    ExGlyphRows Down{};
    bool GlyphsFromResources = false;
};
const ExBarShared& GetExBarShared();

// Measuring uses the surface's default font in a DC of its own.
class ExBarMeasure final : public ExTextMetrics {
public:
    explicit ExBarMeasure(HFONT font);
    ~ExBarMeasure() override;
    ExBarMeasure(const ExBarMeasure&) = delete;
    ExBarMeasure& operator=(const ExBarMeasure&) = delete;

    int TextWidth(const std::string& text) const override;
    int TextHeight(const std::string& text) const override;

private:
    win32::UniqueMemoryDc dc_;
    HGDIOBJ old_ = nullptr;
};

// GDI drawing into the back buffer for one render or in-place repaint. `theme` is the copy of
// the theme picture, null for the classic look.
class ExBarCanvas final : public ExCanvas {
public:
    ExBarCanvas(const ExBarFonts& fonts, const ExDibBuffer* theme, ExDibBuffer& buffer);
    ~ExBarCanvas() override;
    ExBarCanvas(const ExBarCanvas&) = delete;
    ExBarCanvas& operator=(const ExBarCanvas&) = delete;

    int TextWidth(const std::string& text) const override;
    int TextHeight(const std::string& text) const override;
    void SetClip(const ExRect& area) override;
    void FillRect(const ExRect& area, TColor color) override;
    void SetFont(ExFontStyle style) override;
    void SetTextColor(TColor color) override;
    void DrawString(int x, int y, const std::string& text) override;
    void DrawImage(const ExImageList& list, int index, int x, int y) override;
    void DrawThemePart(const ExRect& source, const ExRect& target) override;
    void DrawGlyph(ExGlyph glyph, int x, int y, TColor color) override;
    void DrawLine(int x1, int y1, int x2, int y2, TColor color) override;
    void DrawCheck(const ExRect& box, int state, bool enabled, bool flat) override;
    void DrawDottedFrame(const ExRect& area, TColor color) override;
    void BlendToward(const ExRect& area, TColor background, int current, int full) override;

private:
    const ExBarFonts& fonts_;
    const ExDibBuffer* theme_;
    ExDibBuffer& buffer_;
    HDC dc_;
    win32::SelectedObject pen_;
    // The font selected in the buffer; empty when it is none of the bar's.
    std::optional<ExFontStyle> font_;
};

} // namespace ombrevane
