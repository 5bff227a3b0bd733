#pragma once
// The platform-free half of the text tray icon: where each text line goes in the 16 x 16
// image, and how the painted pixels become an icon with a transparency mask.

#include "components/Color.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrevane {

constexpr int kTrayIconSize = 16;

// The colour painted behind the text and the colour that becomes transparent in the icon.
struct TextIconColors {
    std::uint32_t keyRgb = 0;        // behind the text
    TColor transparent = kColorNone; // plain colour or none
};
// Background none, or equal to the font colour, paints the inverse of the font colour so
// the text stays readable; only none turns that background transparent.
TextIconColors ComputeTextIconColors(TColor color, std::uint32_t fontRgb,
                                     SystemColorLookup systemColor);

// Lines separated by carriage returns; a trailing one gives an empty last line, a line feed
// stays part of the next line.
std::vector<std::string> SplitLines(std::string_view text);

// Offsets of the painted text.
class TOffsetOptions {
public:
    int OffsetX() const { return offsetX_; }
    int OffsetY() const { return offsetY_; }
    int LineDistance() const { return lineDistance_; }
    // Each setter raises OnChange only when the value really changes.
    void SetOffsetX(int value);
    void SetOffsetY(int value);
    void SetLineDistance(int value);
    // Takes all three values, raising OnChange once when any differs.
    void Assign(const TOffsetOptions& other);

    std::function<void()> OnChange;

private:
    void Changed();
    int offsetX_ = 0;
    int offsetY_ = 0;
    int lineDistance_ = 0;
};

struct TextExtent {
    int width = 0;
    int height = 0;
};

struct PlacedLine {
    std::string text;
    int x = 0;
    int y = 0;
    bool operator==(const PlacedLine&) const = default;
};

// Centring on 15 pixels (not 16) with division toward zero.
int CentreOn15(int extent);

// Where each line of text is drawn. measure gives the extent of one line; fontHeight is
// the font's text height (used for the line pitch of a multi-line text).
std::vector<PlacedLine> PlaceText(std::string_view text, const TOffsetOptions& options,
                                  const std::function<TextExtent(std::string_view)>& measure,
                                  int fontHeight);

// Pixels of a 16 x 16 image, row by row from the top, as 0x00RRGGBB (the DIB order).
using IconPixels = std::vector<std::uint32_t>;
inline std::uint32_t RgbToPixel(std::uint32_t rgb) {
    return ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}

// Colour and mask of an icon: where mask is 1 the pixel is transparent and its colour is 0;
// opaque pixels get alpha 255.
struct IconImage {
    IconPixels color;
    std::vector<bool> transparent;
};
IconImage MaskPixels(const IconPixels& pixels, TColor transparentColor);

// overlay drawn on base, its pixels of keyPixel left out.
IconPixels ComposeOver(const IconPixels& base, const IconPixels& overlay, std::uint32_t keyPixel);

} // namespace ombrevane
