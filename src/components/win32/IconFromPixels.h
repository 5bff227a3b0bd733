#pragma once
// 16 x 16 tray icons made from pixels and read back as pixels.

#include "components/TextTrayLayout.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <cstdint>

namespace ombrevane::win32 {

// A 32-bit top-down 16 x 16 DIB section; `bits` gets its pixels (0x00RRGGBB), or null.
UniqueGdiObject CreateIconDib(std::uint32_t** bits);

// The pixels of a 16 x 16 bitmap, top row first, as 0x00RRGGBB.
IconPixels ReadIconBitmapPixels(HBITMAP bitmap);
// An icon from colour and mask pixels; null on failure.
UniqueIcon CreateIconFromImage(const IconImage& image);

// Makes a 16 x 16 icon from a bitmap; pixels of transparentColor become transparent
// (kColorNone keeps every pixel opaque). The bitmap itself is left unchanged.
bool MakeIconFromBitmap(HBITMAP bitmap, UniqueIcon& icon, TColor transparentColor);

} // namespace ombrevane::win32
