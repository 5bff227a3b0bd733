#include "app/res/AppIcon.h"

namespace ombrevane {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// The two colours make a 16-colour image: a few hundred bytes instead of the kilobytes of a
// 32-bit one, and every Windows draws it the same.
constexpr std::array<std::uint32_t, 2> kPalette = {kAppIconOrange, kAppIconFrame};
constexpr std::uint32_t kPaletteEntries = 16;

std::uint8_t PaletteIndex(std::uint32_t argb) {
    return (argb & 0xFFFFFFu) == kPalette[1] ? 1 : 0;
}

// Bytes of one image as it sits in the file: BITMAPINFOHEADER (height counts the XOR and AND
// halves), the palette, four bits per pixel bottom-up, then the AND mask, rows padded to 32
// bits.
std::vector<std::uint8_t> EncodeImage(const AppIconImage& image) {
    const int size = image.Size;
    const auto pixelRow = static_cast<std::uint32_t>((size * 4 + 31) / 32 * 4);
    const auto maskRow = static_cast<std::uint32_t>((size + 31) / 32 * 4);
    const auto rows = static_cast<std::uint32_t>(size);
    std::vector<std::uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(size));
    Put32(out, static_cast<std::uint32_t>(size * 2));
    Put16(out, 1); // planes
    Put16(out, 4); // bits per pixel
    Put32(out, 0); // BI_RGB
    Put32(out, (pixelRow + maskRow) * rows);
    Put32(out, 0); // resolution
    Put32(out, 0);
    Put32(out, kPaletteEntries);
    Put32(out, 0);
    for (std::uint32_t i = 0; i < kPaletteEntries; ++i) {
        Put32(out, i < kPalette.size() ? kPalette[i] : 0); // 0x00RRGGBB is B, G, R, 0
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(pixelRow, 0);
        for (int x = 0; x < size; ++x) {
            const std::uint8_t index = PaletteIndex(image.At(x, y));
            row[static_cast<std::size_t>(x / 2)] |=
                static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    // Every pixel is opaque: the AND mask is all zero.
    out.insert(out.end(), static_cast<std::size_t>(maskRow * rows), 0);
    return out;
}

} // namespace

int AppIconFrameWidth(int size) {
    return size / 16 > 0 ? size / 16 : 1;
}

AppIconImage MakeAppIconImage(int size) {
    AppIconImage image;
    image.Size = size;
    image.Pixels.resize(static_cast<std::size_t>(size * size));
    const int frame = AppIconFrameWidth(size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool onFrame = x < frame || y < frame || x >= size - frame || y >= size - frame;
            image.Pixels[static_cast<std::size_t>(y * size + x)] =
                kOpaque | (onFrame ? kAppIconFrame : kAppIconOrange);
        }
    }
    return image;
}

std::vector<std::uint8_t> EncodeAppIcon() {
    std::vector<std::vector<std::uint8_t>> images;
    for (int size : kAppIconSizes) {
        images.push_back(EncodeImage(MakeAppIconImage(size)));
    }
    std::vector<std::uint8_t> out;
    Put16(out, 0); // reserved
    Put16(out, 1); // icon
    Put16(out, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto size = static_cast<std::uint8_t>(kAppIconSizes[i]);
        out.push_back(size); // width
        out.push_back(size); // height
        out.push_back(static_cast<std::uint8_t>(kPaletteEntries));
        out.push_back(0); // reserved
        Put16(out, 1);    // planes
        Put16(out, 4);    // bits per pixel
        Put32(out, static_cast<std::uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images) {
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

} // namespace ombrevane
