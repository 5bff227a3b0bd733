#pragma once
// The program's icon: the tray icon's orange square with its yellow frame, as one .ico file
// with 16, 32 and 48 pixel images. MakeAppIcon writes it as the committed Ombrevane.ico.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ombrevane {

inline constexpr std::array<int, 3> kAppIconSizes = {16, 32, 48};

// The tray icon's colours, 0x00RRGGBB.
inline constexpr std::uint32_t kAppIconOrange = 0xDE8B30; // rgb(222,139,48)
inline constexpr std::uint32_t kAppIconFrame = 0xE8F30C;  // rgb(232,243,12)

// One square image, row by row from the top, as 0xAARRGGBB.
struct AppIconImage {
    int Size = 0;
    std::vector<std::uint32_t> Pixels;

    std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y * Size + x)]; }
};

// The frame is one pixel wide per 16 pixels of size, like the tray icon's one pixel at 16.
int AppIconFrameWidth(int size);

AppIconImage MakeAppIconImage(int size);

// The .ico file: one 16-colour image with an empty AND mask per size, smallest first.
std::vector<std::uint8_t> EncodeAppIcon();

} // namespace ombrevane
