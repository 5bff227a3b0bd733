#pragma once
// Colour values of the interface components: 0x00BBGGRR a plain colour (red in the low byte),
// high byte 0xFF with a system colour index in the low byte, or kColorNone.

#include <cstdint>

namespace ombrevane {

using TColor = std::uint32_t;

inline constexpr TColor kColorNone = 0x1FFFFFFF;
inline constexpr TColor kSystemColorFlag = 0xFF000000u;

// System colour indices (the values of the platform's COLOR_* constants).
enum class TSystemColor : std::uint32_t {
    ActiveCaption = 2,
    Window = 5,
    CaptionText = 9,
    ButtonFace = 15,
    ButtonShadow = 16,
    ButtonText = 18,
};

constexpr TColor SystemColor(TSystemColor index) {
    return kSystemColorFlag | static_cast<std::uint32_t>(index);
}
constexpr bool IsSystemColor(TColor color) {
    return (color & 0xFF000000u) == kSystemColorFlag;
}
constexpr TColor Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
constexpr std::uint8_t RedOf(TColor c) {
    return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t GreenOf(TColor c) {
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t BlueOf(TColor c) {
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

inline constexpr TColor kColorBtnFace = SystemColor(TSystemColor::ButtonFace);
inline constexpr TColor kColorBlack = 0x00000000;
inline constexpr TColor kColorWhite = 0x00FFFFFF;

// The 0x00BBGGRR value of system colour `index` (GetSysColor on Windows).
using SystemColorLookup = std::uint32_t (*)(int index);

// The 0x00BBGGRR value of a colour, system colours looked up with `systemColor`. None has no
// RGB value and gives black.
constexpr std::uint32_t ColorToRgb(TColor color, SystemColorLookup systemColor) {
    if (color == kColorNone) {
        return 0;
    }
    if (IsSystemColor(color)) {
        return systemColor != nullptr ? (systemColor(static_cast<int>(color & 0xFFu)) & 0xFFFFFFu)
                                      : 0;
    }
    return color & 0xFFFFFFu;
}

constexpr std::uint32_t InverseRgb(std::uint32_t rgb) {
    return (rgb ^ 0xFFFFFFu) & 0xFFFFFFu;
}

} // namespace ombrevane
