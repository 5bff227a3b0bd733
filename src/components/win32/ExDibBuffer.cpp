#include "components/win32/ExDibBuffer.h"

#include "platform/DebugOutput.h"

#include <algorithm>

namespace ombrevane {

ExDibBuffer::ExDibBuffer(int width, int height, HFONT font, int bitCount)
    : bytesPerPixel_(bitCount == 32 ? 4 : 3), width_(std::max(width, 1)),
      height_(std::max(height, 1)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_; // top-down: row 0 is the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bytesPerPixel_ * 8);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32::UniqueGdiObject bitmap(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!bitmap || !dc || bits == nullptr) {
        WriteDebugLine("ExBar: back buffer could not be created");
        return;
    }
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    oldBitmap_ = ::SelectObject(dc_.get(), bitmap_.get());
    if (font != nullptr) {
        oldFont_ = ::SelectObject(dc_.get(), font);
    }
    ::SetBkMode(dc_.get(), TRANSPARENT);
    bits_ = static_cast<uint8_t*>(bits);
    stride_ = (width_ * bytesPerPixel_ + 3) & ~3;
}

ExDibBuffer::~ExDibBuffer() {
    if (dc_) {
        if (oldFont_ != nullptr) {
            ::SelectObject(dc_.get(), oldFont_);
        }
        if (oldBitmap_ != nullptr) {
            ::SelectObject(dc_.get(), oldBitmap_);
        }
    }
}

TColor ExDibBuffer::PixelAt(int x, int y) const {
    if (bits_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    ::GdiFlush();
    const uint8_t* p = Row(y) + static_cast<ptrdiff_t>(x) * bytesPerPixel_;
    return Rgb(p[2], p[1], p[0]);
}

} // namespace ombrevane
