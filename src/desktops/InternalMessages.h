#pragma once
// The internal messages posted to the controller window of class "TTileSwitchMainForm", by
// the input-lock library and by other instances. Always posted, never sent; the numbers are
// the same in every instance. They live here, beside the broadcast that carries them, so
// that the desktop operations and the controller share one table.

#include <cstdint>

namespace ombrevane {

inline constexpr std::uint32_t WM_INTERNAL_QUIT = 2228;
inline constexpr std::uint32_t WM_INTERNAL_RELOAD = 2229;
// wParam desktop index 0..4, lParam modifier kind: 0 Alt, 1 Ctrl, 2 Shift.
inline constexpr std::uint32_t WM_INTERNAL_DLL_DESKTOPKEY = 2230;
inline constexpr std::uint32_t WM_INTERNAL_DLL_MOUSELR = 2231;
inline constexpr std::uint32_t WM_INTERNAL_DLL_LOCKHOTKEY = 2232;
// wParam is one of the hot-key slots below.
inline constexpr std::uint32_t WM_INTERNAL_DLL_HOTKEY = 2233;
// Accepted from the library; nothing happens.
inline constexpr std::uint32_t WM_INTERNAL_DLL_NOTHING = 2235;
// wParam the new desktop index.
inline constexpr std::uint32_t WM_INTERNAL_SWITCH = 2237;
// The library switched the input desktop itself; wParam the new desktop index.
inline constexpr std::uint32_t WM_INTERNAL_DLL_SWITCH = 2238;
inline constexpr std::uint32_t WM_INTERNAL_EXITALL = 2240;
inline constexpr std::uint32_t WM_INTERNAL_SHOWTIPS = 2241;

// Hot-key slots of WM_INTERNAL_DLL_HOTKEY.
inline constexpr std::uintptr_t HT_NEXT_DESKTOP = 0;
inline constexpr std::uintptr_t HT_SHOW_OPTIONS = 1;
inline constexpr std::uintptr_t HT_HIDE_TRAYICON = 2;

} // namespace ombrevane
