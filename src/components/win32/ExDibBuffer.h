#pragma once
// A top-down DIB section selected into a memory DC of its own: the navigation bar's back
// buffer, its theme copy and the snapshots of its icons.

#include "components/ExBar.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <cstdint>

namespace ombrevane {

class ExDibBuffer {
public:
    // `font` (optional) is selected while the buffer lives. `bitCount` is 24 or 32.
    ExDibBuffer(int width, int height, HFONT font = nullptr, int bitCount = 24);
    ~ExDibBuffer();
    ExDibBuffer(const ExDibBuffer&) = delete;
    ExDibBuffer& operator=(const ExDibBuffer&) = delete;

    bool Valid() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_.get(); }
    HBITMAP Bitmap() const { return static_cast<HBITMAP>(bitmap_.get()); }
    uint8_t* Bits() const { return bits_; }
    // First byte of row y; GDI must be flushed before the bits are read or written.
    uint8_t* Row(int y) const { return bits_ + static_cast<ptrdiff_t>(y) * stride_; }
    int Stride() const { return stride_; }
    int BytesPerPixel() const { return bytesPerPixel_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // 0x00BBGGRR of a pixel; 0 outside the buffer.
    TColor PixelAt(int x, int y) const;

private:
    win32::UniqueMemoryDc dc_;
    win32::UniqueGdiObject bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
    uint8_t* bits_ = nullptr;
    int stride_ = 0;
    int bytesPerPixel_ = 3;
    int width_ = 0;
    int height_ = 0;
};

} // namespace ombrevane
