// The committed icon is what the generator writes, and it is the tray icon's framed orange
// square at each size, read back through the .ico layout Windows reads.

#include "app/res/AppIcon.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace ombrevane {
namespace {

std::vector<std::uint8_t> ReadCommitted() {
    std::ifstream in(std::string(APP_RES_DIR) + "/Ombrevane.ico", std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t Le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b.at(at) | (b.at(at + 1) << 8);
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return Le16(b, at) | (Le16(b, at + 2) << 16);
}

// Decodes image number `entry` of a 4-bit .ico into 0x00RRGGBB pixels, top row first.
std::vector<std::uint32_t> DecodeEntry(const std::vector<std::uint8_t>& file, std::size_t entry,
                                       int& size) {
    const std::size_t e = 6 + 16 * entry;
    size = file.at(e);
    const std::size_t image = Le32(file, e + 12);
    EXPECT_EQ(Le32(file, image), 40u);                                      // header size
    EXPECT_EQ(Le32(file, image + 8), static_cast<std::uint32_t>(size * 2)); // XOR + AND height
    EXPECT_EQ(Le16(file, image + 14), 4u);                                  // bits per pixel
    const std::uint32_t colours = Le32(file, image + 32);
    const std::size_t palette = image + 40;
    const std::size_t pixels = palette + 4 * colours;
    const std::size_t row = static_cast<std::size_t>((size * 4 + 31) / 32 * 4);
    const std::size_t maskRow = static_cast<std::size_t>((size + 31) / 32 * 4);
    EXPECT_EQ(Le32(file, e + 8), 40 + 4 * colours + (row + maskRow) * size);
    std::vector<std::uint32_t> out(static_cast<std::size_t>(size * size));
    for (int y = 0; y < size; ++y) {
        const std::size_t line = pixels + row * static_cast<std::size_t>(size - 1 - y);
        const std::size_t mask =
            pixels + row * size + maskRow * static_cast<std::size_t>(size - 1 - y);
        for (int x = 0; x < size; ++x) {
            const std::uint8_t both = file.at(line + x / 2);
            const std::uint32_t index = x % 2 == 0 ? both >> 4 : both & 0x0F;
            EXPECT_EQ(file.at(mask + x / 8) & (0x80 >> (x % 8)), 0) << "transparent pixel";
            out[static_cast<std::size_t>(y * size + x)] =
                Le32(file, palette + 4 * index) & 0xFFFFFF;
        }
    }
    return out;
}

TEST(AppIcon, CommittedFileMatchesTheGenerator) {
    // When this fails, run make_app_icon src/app/res (native build) and commit the result.
    const std::vector<std::uint8_t> committed = ReadCommitted();
    ASSERT_FALSE(committed.empty()) << "Ombrevane.ico missing in " << APP_RES_DIR;
    EXPECT_TRUE(committed == EncodeAppIcon()) << "Ombrevane.ico differs from the generator";
}

TEST(AppIcon, EachSizeIsTheOrangeSquareInItsYellowFrame) {
    const std::vector<std::uint8_t> file = ReadCommitted();
    ASSERT_GE(file.size(), 6u);
    EXPECT_EQ(Le16(file, 2), 1u); // an icon, not a cursor
    ASSERT_EQ(Le16(file, 4), kAppIconSizes.size());
    // Frame widths 1, 2 and 3 pixels: the tray icon's one pixel at 16, scaled.
    const int frames[] = {1, 2, 3};
    for (std::size_t entry = 0; entry < kAppIconSizes.size(); ++entry) {
        int size = 0;
        const std::vector<std::uint32_t> pixels = DecodeEntry(file, entry, size);
        ASSERT_EQ(size, kAppIconSizes[entry]);
        SCOPED_TRACE(size);
        const int frame = frames[entry];
        int orange = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const bool edge = x < frame || y < frame || x >= size - frame || y >= size - frame;
                const std::uint32_t got = pixels[static_cast<std::size_t>(y * size + x)];
                ASSERT_EQ(got, edge ? kAppIconFrame : kAppIconOrange) << x << "," << y;
                orange += got == kAppIconOrange ? 1 : 0;
            }
        }
        EXPECT_EQ(orange, (size - 2 * frame) * (size - 2 * frame));
    }
}

} // namespace
} // namespace ombrevane
