#pragma once
// Helpers of the Win32 tray tests: reading icons back, asking the shell whether an icon is
// there (and the message pump of every Win32 test).

#include "components/TextTrayLayout.h"
#include "components/win32/CoolTrayIcon.h"
#include "components/win32/IconFromPixels.h"
#include "platform/MessagePump.h"

#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <functional>
#include <string>

namespace ombrevane::testing {

// Whether the shell knows the icon (hwnd, id): only then does a modify succeed.
inline bool IconInTray(HWND hwnd, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd;
    data.uID = id;
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

struct IconReadback {
    IconPixels color; // 0x00RRGGBB
    IconPixels mask;  // 0xFFFFFF where transparent, 0 where opaque
};

inline IconReadback ReadIcon(HICON icon) {
    ICONINFO info{};
    IconReadback back;
    if (icon == nullptr || !::GetIconInfo(icon, &info)) {
        return back;
    }
    win32::UniqueGdiObject color(info.hbmColor);
    win32::UniqueGdiObject mask(info.hbmMask);
    back.color = win32::ReadIconBitmapPixels(info.hbmColor);
    back.mask = win32::ReadIconBitmapPixels(info.hbmMask);
    for (auto& p : back.color) {
        p &= 0xFFFFFFu;
    }
    for (auto& p : back.mask) {
        p &= 0xFFFFFFu;
    }
    return back;
}

// One character per pixel, for failure messages.
inline std::string Picture(const IconPixels& pixels, const IconPixels& mask) {
    std::string out = "\n";
    for (int y = 0; y < kTrayIconSize; ++y) {
        for (int x = 0; x < kTrayIconSize; ++x) {
            std::size_t i = static_cast<std::size_t>(y * kTrayIconSize + x);
            char c = '?';
            if (!mask.empty() && mask[i] != 0) {
                c = '.';
            } else if (pixels[i] == 0xFFFFFF) {
                c = '#';
            } else if (pixels[i] == RgbToPixel(0x308BDE)) {
                c = 'o';
            } else if (pixels[i] == RgbToPixel(0x0CF3E8)) {
                c = 'y';
            } else if (pixels[i] == 0) {
                c = 'k';
            }
            out += c;
        }
        out += '\n';
    }
    return out;
}

} // namespace ombrevane::testing
