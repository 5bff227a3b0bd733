#include "components/res/ExBarResources.h"

#include <cmath>

namespace ombrevane {

namespace {

using L = ExThemeLayout;

constexpr TColor kMagenta = Rgb(255, 0, 255);
constexpr TColor kBackground = Rgb(122, 160, 230);
constexpr TColor kWhite = Rgb(255, 255, 255);

struct HeaderStyle {
    TColor Left;      // colour at the left end
    TColor Right;     // colour at the right end, behind the button
    double FadeStart; // part of the middle that keeps the left colour
    TColor CircleFill;
    TColor CircleRing;
    TColor Chevron;
    TColor HotChevron;
};

constexpr HeaderStyle kNormal{kWhite,          Rgb(210, 220, 249), 0.4, kWhite, Rgb(184, 196, 236),
                              Rgb(0, 60, 165), Rgb(66, 142, 255)};
constexpr HeaderStyle kSpecial{Rgb(0, 73, 181),   Rgb(37, 91, 203),   0.0,
                               Rgb(60, 115, 225), Rgb(140, 170, 240), kWhite,
                               Rgb(172, 205, 255)};

uint8_t Lerp(uint8_t a, uint8_t b, double t) {
    return static_cast<uint8_t>(std::lround(a + (b - a) * t));
}

TColor LerpColor(TColor a, TColor b, double t) {
    return Rgb(Lerp(RedOf(a), RedOf(b), t), Lerp(GreenOf(a), GreenOf(b), t),
               Lerp(BlueOf(a), BlueOf(b), t));
}

void FillBlock(ExRgbImage& image, int left, int top, int width, int height, TColor color) {
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            image.Set(x, y, color);
        }
    }
}

// Rounded corner: the outermost pixels take the background colour.
void RoundCorner(ExRgbImage& image, int cornerX, int top, int inward) {
    image.Set(cornerX, top, kBackground);
    image.Set(cornerX + inward, top, kBackground);
    image.Set(cornerX, top + 1, kBackground);
}

// Two stacked chevrons, pointing up or down, centred on (cx, cy).
void DrawChevrons(ExRgbImage& image, int left, int top, int cx, int cy, bool up, TColor color) {
    for (int chevron = 0; chevron < 2; ++chevron) {
        const int apex = up ? cy - 5 + 4 * chevron : cy + 5 - 4 * chevron;
        const int dir = up ? 1 : -1;
        for (int i = 0; i <= 3; ++i) {
            for (int thickness = 0; thickness < 2; ++thickness) {
                const int y = apex + dir * (i + thickness);
                image.Set(left + cx - i, top + y, color);
                image.Set(left + cx + i, top + y, color);
            }
        }
    }
}

void DrawButton(ExRgbImage& image, int left, int top, const HeaderStyle& style, bool collapsed,
                bool hot) {
    FillBlock(image, left, top, L::ButtonWidth, L::RowHeight, style.Right);
    const int cx = 12;
    const int cy = 11;
    for (int y = 0; y < L::RowHeight; ++y) {
        for (int x = 0; x < L::ButtonWidth; ++x) {
            const double distance = std::hypot(x - cx, y - cy);
            if (distance <= 7.5) {
                image.Set(left + x, top + y, style.CircleFill);
            } else if (distance <= 8.5) {
                image.Set(left + x, top + y, style.CircleRing);
            }
        }
    }
    DrawChevrons(image, left, top, cx, cy, !collapsed, hot ? style.HotChevron : style.Chevron);
    RoundCorner(image, left + L::ButtonWidth - 1, top, -1);
}

void DrawHeader(ExRgbImage& image, int top, const HeaderStyle& style) {
    FillBlock(image, L::LeftX, top, L::LeftWidth, L::RowHeight, style.Left);
    RoundCorner(image, L::LeftX, top, 1);
    for (int i = 0; i < L::MiddleWidth; ++i) {
        const double t = static_cast<double>(i) / (L::MiddleWidth - 1);
        const double fade =
            t <= style.FadeStart ? 0.0 : (t - style.FadeStart) / (1 - style.FadeStart);
        FillBlock(image, L::MiddleX + i, top, 1, L::RowHeight,
                  LerpColor(style.Left, style.Right, fade));
    }
    for (int variant = 0; variant < 4; ++variant) {
        DrawButton(image, L::ButtonX[static_cast<size_t>(variant)], top, style, variant >= 2,
                   variant % 2 == 1);
    }
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// BITMAPFILEHEADER and BITMAPINFOHEADER of a bottom-up picture.
std::vector<uint8_t> BmpHeaders(int width, int height, int bitsPerPixel, uint32_t paletteBytes,
                                uint32_t imageBytes) {
    std::vector<uint8_t> out;
    const uint32_t offset = 14 + 40 + paletteBytes;
    out.push_back('B');
    out.push_back('M');
    PutLe(out, offset + imageBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, offset, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<uint32_t>(width), 4);
    PutLe(out, static_cast<uint32_t>(height), 4);
    PutLe(out, 1, 2);
    PutLe(out, static_cast<uint32_t>(bitsPerPixel), 2);
    PutLe(out, 0, 4); // BI_RGB
    PutLe(out, imageBytes, 4);
    PutLe(out, 2835, 4); // 72 pixels per inch
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    return out;
}

} // namespace

ExRgbImage MakeBlueImg() {
    ExRgbImage image{268, 49, {}};
    image.Pixels.assign(static_cast<size_t>(image.Width * image.Height), kMagenta);
    const TColor samples[7] = {kBackground,      Rgb(237, 242, 255), Rgb(255, 255, 255),
                               Rgb(33, 93, 198), Rgb(66, 142, 255),  Rgb(255, 255, 255),
                               Rgb(66, 142, 255)};
    for (size_t i = 0; i < 7; ++i) {
        FillBlock(image, 0, L::SampleY[i] - 1, 4, 5, samples[i]);
    }
    DrawHeader(image, L::NormalRow, kNormal);
    DrawHeader(image, L::SpecialRow, kSpecial);
    return image;
}

std::vector<uint8_t> EncodeBmp24(const ExRgbImage& image) {
    const uint32_t stride = (static_cast<uint32_t>(image.Width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = stride * static_cast<uint32_t>(image.Height);
    std::vector<uint8_t> out = BmpHeaders(image.Width, image.Height, 24, 0, imageBytes);
    for (int y = image.Height - 1; y >= 0; --y) {
        for (int x = 0; x < image.Width; ++x) {
            const TColor c = image.At(x, y);
            out.push_back(BlueOf(c));
            out.push_back(GreenOf(c));
            out.push_back(RedOf(c));
        }
        for (uint32_t pad = static_cast<uint32_t>(image.Width) * 3; pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

std::vector<uint8_t> EncodeGlyphBmp(const ExGlyphRows& rows) {
    std::vector<uint8_t> out = BmpHeaders(8, 8, 1, 8, 32);
    PutLe(out, 0x000000, 4); // index 0: black, the glyph
    PutLe(out, 0xFFFFFF, 4); // index 1: white
    for (int y = 7; y >= 0; --y) {
        out.push_back(static_cast<uint8_t>(~rows[static_cast<size_t>(y)]));
        out.push_back(0);
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

} // namespace ombrevane
