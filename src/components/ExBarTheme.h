#pragma once
// The theme picture of the navigation bar, its colours and the pixel arithmetic of its fade.

#include "components/Color.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>

namespace ombrevane {

struct ExThemeColors {
    TColor Background;
    TColor Body;
    TColor BodyFrame;
    TColor Text;
    TColor HotText;
    TColor SpecialText;
    TColor SpecialHotText;
    bool operator==(const ExThemeColors&) const = default;
};

// The colours when there is no theme picture.
ExThemeColors ClassicThemeColors();

// The layout of a theme picture.
struct ExThemeLayout {
    static constexpr int MinWidth = 267;
    static constexpr int MinHeight = 48;
    static constexpr int RowHeight = 23;
    static constexpr int NormalRow = 1;
    static constexpr int SpecialRow = 25;
    static constexpr int LeftX = 7;
    static constexpr int LeftWidth = 5;
    static constexpr int MiddleX = 13;
    static constexpr int MiddleWidth = 150;
    static constexpr int ButtonWidth = 25;
    // Button variants: expanded, expanded hot, collapsed, collapsed hot.
    static constexpr std::array<int, 4> ButtonX{164, 190, 216, 242};
    // Sample pixels (x 1) in the order of ExThemeColors' fields.
    static constexpr int SampleX = 1;
    static constexpr std::array<int, 7> SampleY{1, 7, 13, 19, 25, 31, 37};
};

constexpr int ThemeButtonX(bool collapsed, bool hot) {
    return ExThemeLayout::ButtonX[(collapsed ? 2 : 0) + (hot ? 1 : 0)];
}

bool IsUsableThemePicture(int width, int height);

// Reads the seven sample pixels; `pixel` answers 0x00BBGGRR for (x, y).
ExThemeColors ThemeColorsFromPicture(const std::function<TColor(int x, int y)>& pixel);

// Rows of the 8 x 8 arrow glyphs, bit 7 = leftmost pixel, set = glyph pixel.
using ExGlyphRows = std::array<uint8_t, 8>;
ExGlyphRows GlyphRowsUp();
ExGlyphRows GlyphRowsDown();

// (current * c + (full - current) * b) / full rounded to nearest, ties to even.
uint8_t BlendValue(uint8_t c, uint8_t b, int current, int full);

// Fades `count` blue-green-red pixels toward (r, g, b) of `background`.
// current <= 0 fills with the background; current >= full leaves the pixels as they are.
void BlendPixelsBgr(std::span<uint8_t> pixels, TColor background, int current, int full);

// One image drawn over black and over white (blue-green-red pixels) gives its premultiplied
// blue-green-red-alpha pixels: a channel that reads b over black and w over white has the
// alpha 255 - (w - b) and the premultiplied value b. Opaque pixels keep their exact values,
// transparent ones become 0, 0, 0, 0. Works on as many pixels as all three spans hold.
void PremultiplyFromBackdrops(std::span<const uint8_t> overBlack,
                              std::span<const uint8_t> overWhite, std::span<uint8_t> bgra);

} // namespace ombrevane
