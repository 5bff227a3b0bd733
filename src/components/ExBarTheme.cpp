#include "components/ExBarTheme.h"

#include <algorithm>

namespace ombrevane {

ExThemeColors ClassicThemeColors() {
    return ExThemeColors{
        .Background = Rgb(255, 255, 255),
        .Body = SystemColor(TSystemColor::Window),
        .BodyFrame = SystemColor(TSystemColor::ButtonFace),
        .Text = SystemColor(TSystemColor::ButtonText),
        .HotText = SystemColor(TSystemColor::ButtonText),
        .SpecialText = SystemColor(TSystemColor::CaptionText),
        .SpecialHotText = SystemColor(TSystemColor::CaptionText),
    };
}

bool IsUsableThemePicture(int width, int height) {
    return width >= ExThemeLayout::MinWidth && height >= ExThemeLayout::MinHeight;
}

ExThemeColors ThemeColorsFromPicture(const std::function<TColor(int x, int y)>& pixel) {
    const auto& sy = ExThemeLayout::SampleY;
    const int x = ExThemeLayout::SampleX;
    return ExThemeColors{
        .Background = pixel(x, sy[0]),
        .Body = pixel(x, sy[1]),
        .BodyFrame = pixel(x, sy[2]),
        .Text = pixel(x, sy[3]),
        .HotText = pixel(x, sy[4]),
        .SpecialText = pixel(x, sy[5]),
        .SpecialHotText = pixel(x, sy[6]),
    };
}

ExGlyphRows GlyphRowsUp() {
    // ....X... / ...XXX.. / ..XX.XX. / .XX...XX, twice.
    return {0x08, 0x1C, 0x36, 0x63, 0x08, 0x1C, 0x36, 0x63};
}

ExGlyphRows GlyphRowsDown() {
    // .XX...XX / ..XX.XX. / ...XXX.. / ....X..., twice.
    return {0x63, 0x36, 0x1C, 0x08, 0x63, 0x36, 0x1C, 0x08};
}

uint8_t BlendValue(uint8_t c, uint8_t b, int current, int full) {
    if (full <= 0 || current <= 0) {
        return b;
    }
    if (current >= full) {
        return c;
    }
    const long long numerator =
        static_cast<long long>(current) * c + static_cast<long long>(full - current) * b;
    long long quotient = numerator / full;
    const long long twiceRemainder = 2 * (numerator % full);
    if (twiceRemainder > full || (twiceRemainder == full && quotient % 2 == 1)) {
        ++quotient;
    }
    return static_cast<uint8_t>(quotient);
}

void BlendPixelsBgr(std::span<uint8_t> pixels, TColor background, int current, int full) {
    if (current >= full && full > 0) {
        return;
    }
    // One table per channel: the row loop is then a lookup per byte.
    const uint8_t bgrBackground[3] = {BlueOf(background), GreenOf(background), RedOf(background)};
    std::array<std::array<uint8_t, 256>, 3> table{};
    for (size_t channel = 0; channel < 3; ++channel) {
        for (int value = 0; value < 256; ++value) {
            table[channel][static_cast<size_t>(value)] =
                BlendValue(static_cast<uint8_t>(value), bgrBackground[channel], current, full);
        }
    }
    const size_t whole = pixels.size() - pixels.size() % 3;
    for (size_t i = 0; i < whole; i += 3) {
        pixels[i] = table[0][pixels[i]];
        pixels[i + 1] = table[1][pixels[i + 1]];
        pixels[i + 2] = table[2][pixels[i + 2]];
    }
}

void PremultiplyFromBackdrops(std::span<const uint8_t> overBlack,
                              std::span<const uint8_t> overWhite, std::span<uint8_t> bgra) {
    const size_t count = std::min({overBlack.size() / 3, overWhite.size() / 3, bgra.size() / 4});
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* black = &overBlack[i * 3];
        const uint8_t* white = &overWhite[i * 3];
        // The widest gap of the three channels: rounding can differ by one between them.
        int gap = 0;
        for (int c = 0; c < 3; ++c) {
            gap = std::max(gap, white[c] - black[c]);
        }
        const auto alpha = static_cast<uint8_t>(255 - gap);
        uint8_t* out = &bgra[i * 4];
        for (int c = 0; c < 3; ++c) {
            // A premultiplied value never exceeds its alpha.
            out[c] = std::min(black[c], alpha);
        }
        out[3] = alpha;
    }
}

} // namespace ombrevane
