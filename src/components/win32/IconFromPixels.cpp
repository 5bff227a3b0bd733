#include "components/win32/IconFromPixels.h"

#include <algorithm>
#include <vector>

namespace ombrevane::win32 {
namespace {

BITMAPINFO IconBitmapInfo() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kTrayIconSize;
    info.bmiHeader.biHeight = -kTrayIconSize; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

} // namespace

UniqueGdiObject CreateIconDib(std::uint32_t** bits) {
    BITMAPINFO info = IconBitmapInfo();
    void* raw = nullptr;
    UniqueGdiObject bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0));
    *bits = static_cast<std::uint32_t*>(raw);
    return bitmap;
}

IconPixels ReadIconBitmapPixels(HBITMAP bitmap) {
    IconPixels pixels(kTrayIconSize * kTrayIconSize, 0);
    BITMAPINFO info = IconBitmapInfo();
    WindowDc screen(nullptr);
    if (::GetDIBits(screen.get(), bitmap, 0, kTrayIconSize, pixels.data(), &info, DIB_RGB_COLORS) ==
        0) {
        std::fill(pixels.begin(), pixels.end(), 0);
    }
    return pixels;
}

UniqueIcon CreateIconFromImage(const IconImage& image) {
    constexpr std::size_t kCount = kTrayIconSize * kTrayIconSize;
    if (image.color.size() != kCount || image.transparent.size() != kCount) {
        return UniqueIcon();
    }
    std::uint32_t* bits = nullptr;
    UniqueGdiObject color = CreateIconDib(&bits);
    if (!color || bits == nullptr) {
        return UniqueIcon();
    }
    std::copy(image.color.begin(), image.color.end(), bits);
    // Monochrome rows of 16 pixels are two bytes, already WORD aligned; 1 = transparent.
    std::vector<BYTE> maskBits(kTrayIconSize * 2, 0);
    for (std::size_t i = 0; i < kCount; ++i) {
        if (image.transparent[i]) {
            maskBits[i / 8] |= static_cast<BYTE>(0x80u >> (i % 8));
        }
    }
    UniqueGdiObject mask(::CreateBitmap(kTrayIconSize, kTrayIconSize, 1, 1, maskBits.data()));
    if (!mask) {
        return UniqueIcon();
    }
    ICONINFO iconInfo{};
    iconInfo.fIcon = TRUE;
    iconInfo.hbmColor = static_cast<HBITMAP>(color.get());
    iconInfo.hbmMask = static_cast<HBITMAP>(mask.get());
    return UniqueIcon(::CreateIconIndirect(&iconInfo));
}

bool MakeIconFromBitmap(HBITMAP bitmap, UniqueIcon& icon, TColor transparentColor) {
    UniqueIcon made =
        CreateIconFromImage(MaskPixels(ReadIconBitmapPixels(bitmap), transparentColor));
    if (!made) {
        return false;
    }
    icon = std::move(made);
    return true;
}

} // namespace ombrevane::win32
