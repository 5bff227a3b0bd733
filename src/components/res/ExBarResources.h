#pragma once
// The navigation bar's pictures: the options dialog's blue theme picture and the two arrow
// glyphs of the classic header. MakeExBarResources writes them as the committed BMP files.

#include "components/ExBarTheme.h"

#include <cstdint>
#include <vector>

namespace ombrevane {

// A picture as 0x00BBGGRR values, row by row from the top.
struct ExRgbImage {
    int Width = 0;
    int Height = 0;
    std::vector<TColor> Pixels;

    TColor At(int x, int y) const { return Pixels[static_cast<size_t>(y * Width + x)]; }
    void Set(int x, int y, TColor color) { Pixels[static_cast<size_t>(y * Width + x)] = color; }
};

// The options dialog's theme picture "BlueImg": 268 x 49.
ExRgbImage MakeBlueImg();

// A 24-bit BMP file.
std::vector<uint8_t> EncodeBmp24(const ExRgbImage& image);

// A 1-bit 8 x 8 BMP file, glyph pixels black, the others white.
std::vector<uint8_t> EncodeGlyphBmp(const ExGlyphRows& rows);

} // namespace ombrevane
