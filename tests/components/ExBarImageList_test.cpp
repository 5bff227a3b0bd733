// The navigation bar's icon snapshots under Wine: what they put down must be what the image
// list itself draws, over any background, inside the clip, and after the list grows.

#include "components/win32/ExBarImageList.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace ombrevane {
namespace {

constexpr int kSize = 16;

// A background no image list would produce by accident: every pixel differs.
void PaintPattern(ExDibBuffer& buffer) {
    ::GdiFlush();
    for (int y = 0; y < buffer.Height(); ++y) {
        uint8_t* row = buffer.Row(y);
        for (int x = 0; x < buffer.Width(); ++x) {
            row[x * 3] = static_cast<uint8_t>(x * 7 + y);
            row[x * 3 + 1] = static_cast<uint8_t>(y * 11 + 3);
            row[x * 3 + 2] = static_cast<uint8_t>(x * y + 40);
        }
    }
}

// The largest difference of one channel between the two buffers.
int LargestDifference(const ExDibBuffer& a, const ExDibBuffer& b) {
    ::GdiFlush();
    int largest = 0;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width() * 3; ++x) {
            largest = std::max(largest, std::abs(a.Row(y)[x] - b.Row(y)[x]));
        }
    }
    return largest;
}

// An icon whose left third is transparent and whose rest is a colour ramp; with `alpha`, a
// 32-bit icon whose coverage rises from left to right instead of a mask.
win32::UniqueIcon MakeIcon(int seed, bool alpha) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kSize;
    info.bmiHeader.biHeight = -kSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32::UniqueGdiObject colour(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    // Word-aligned rows of 16 pixels: two bytes each.
    std::vector<uint8_t> maskBits(static_cast<size_t>(kSize) * 2, 0);
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const bool transparent = !alpha && x < kSize / 3;
            if (transparent) {
                maskBits[static_cast<size_t>(y) * 2 + static_cast<size_t>(x / 8)] |=
                    static_cast<uint8_t>(0x80 >> (x % 8));
            }
            const uint32_t a = alpha ? static_cast<uint32_t>(x * 17) : 0;
            const uint32_t rgb = transparent ? 0
                                             : (static_cast<uint32_t>(seed * 40 + x * 9) << 16) |
                                                   (static_cast<uint32_t>(y * 15) << 8) |
                                                   static_cast<uint32_t>(200 - x * 5);
            pixels[y * kSize + x] = (a << 24) | (rgb & 0xFFFFFF);
        }
    }
    win32::UniqueGdiObject mask(::CreateBitmap(kSize, kSize, 1, 1, maskBits.data()));
    ICONINFO icon{};
    icon.fIcon = TRUE;
    icon.hbmColor = static_cast<HBITMAP>(colour.get());
    icon.hbmMask = static_cast<HBITMAP>(mask.get());
    return win32::UniqueIcon(::CreateIconIndirect(&icon));
}

class ExBarImagesTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        const bool alpha = GetParam();
        list_ =
            ::ImageList_Create(kSize, kSize, (alpha ? ILC_COLOR32 : ILC_COLOR24) | ILC_MASK, 4, 4);
        ASSERT_NE(list_, nullptr);
        for (int i = 0; i < 3; ++i) {
            win32::UniqueIcon icon = MakeIcon(i, alpha);
            ASSERT_TRUE(icon);
            ASSERT_EQ(::ImageList_AddIcon(list_, icon.get()), i);
        }
    }
    void TearDown() override {
        if (list_ != nullptr) {
            ::ImageList_Destroy(list_);
        }
    }
    // Masks are exact; alpha coverage goes through two rounded drawings.
    int Tolerance() const { return GetParam() ? 2 : 0; }

    HIMAGELIST list_ = nullptr;
    ExDibBuffer expected_{64, 40};
    ExDibBuffer actual_{64, 40};
};

TEST_P(ExBarImagesTest, DrawsWhatTheListDrawsOverAnyBackground) {
    ExBarImageList images(list_);
    PaintPattern(expected_);
    PaintPattern(actual_);
    for (int i = 0; i < 3; ++i) {
        ::ImageList_Draw(list_, i, expected_.Dc(), 2 + i * 20, 3 + i * 5, ILD_TRANSPARENT);
        images.Draw(actual_.Dc(), i, 2 + i * 20, 3 + i * 5);
    }
    EXPECT_TRUE(images.HasSnapshot());
    EXPECT_LE(LargestDifference(expected_, actual_), Tolerance());
    // The transparent part really shows the background (the test would pass on two blanks).
    EXPECT_EQ(actual_.PixelAt(2, 3), Rgb(2 * 3 + 40, 3 * 11 + 3, 2 * 7 + 3));
}

TEST_P(ExBarImagesTest, KeepsInsideTheClip) {
    ExBarImageList images(list_);
    PaintPattern(expected_);
    PaintPattern(actual_);
    ::IntersectClipRect(actual_.Dc(), 0, 0, 30, 10);
    images.Draw(actual_.Dc(), 1, 20, 2);
    ::SelectClipRgn(actual_.Dc(), nullptr);
    ::IntersectClipRect(expected_.Dc(), 0, 0, 30, 10);
    ::ImageList_Draw(list_, 1, expected_.Dc(), 20, 2, ILD_TRANSPARENT);
    ::SelectClipRgn(expected_.Dc(), nullptr);
    EXPECT_LE(LargestDifference(expected_, actual_), Tolerance());
}

TEST_P(ExBarImagesTest, ImagesAddedLaterAreDrawnAndOutOfRangeDrawsNothing) {
    ExBarImageList images(list_);
    PaintPattern(actual_);
    images.Draw(actual_.Dc(), 0, 0, 0); // the snapshot of three images
    win32::UniqueIcon fourth = MakeIcon(5, GetParam());
    ASSERT_EQ(::ImageList_AddIcon(list_, fourth.get()), 3);

    PaintPattern(expected_);
    PaintPattern(actual_);
    ::ImageList_Draw(list_, 3, expected_.Dc(), 30, 10, ILD_TRANSPARENT);
    images.Draw(actual_.Dc(), 3, 30, 10);
    EXPECT_LE(LargestDifference(expected_, actual_), Tolerance());

    PaintPattern(expected_);
    PaintPattern(actual_);
    images.Draw(actual_.Dc(), 4, 30, 10);
    images.Draw(actual_.Dc(), -1, 30, 10);
    EXPECT_EQ(LargestDifference(expected_, actual_), 0);
}

TEST_P(ExBarImagesTest, NewImageSizeTakesANewSnapshot) {
    ExBarImageList images(list_);
    PaintPattern(actual_);
    images.Draw(actual_.Dc(), 0, 0, 0);
    // Setting the size empties the list; refilled with 16-pixel icons drawn at 24.
    ASSERT_TRUE(::ImageList_SetIconSize(list_, 24, 24));
    win32::UniqueIcon icon = MakeIcon(2, GetParam());
    ASSERT_EQ(::ImageList_AddIcon(list_, icon.get()), 0);
    EXPECT_EQ(images.ImageWidth(), 24);
    EXPECT_EQ(images.ImageHeight(), 24);

    PaintPattern(expected_);
    PaintPattern(actual_);
    ::ImageList_Draw(list_, 0, expected_.Dc(), 5, 5, ILD_TRANSPARENT);
    images.Draw(actual_.Dc(), 0, 5, 5);
    EXPECT_LE(LargestDifference(expected_, actual_), Tolerance());
}

INSTANTIATE_TEST_SUITE_P(MaskAndAlpha, ExBarImagesTest, ::testing::Values(false, true),
                         [](const auto& info) {
                             return std::string(info.param ? "Alpha" : "Mask");
                         });

} // namespace
} // namespace ombrevane
