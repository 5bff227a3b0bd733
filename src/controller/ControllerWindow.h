#pragma once
// What every process of the system agrees on about the controller window: its class name and
// the internal messages posted to it, by the input-lock library and by other instances.
// Header-only and free of dependencies, so that the library and the program share this one
// table. Always posted, never sent; the numbers are the same in every instance.

#include <cstdint>

namespace ombrevane {

inline constexpr char kControllerClassName[] = "TTileSwitchMainForm";

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

// The range of the internal messages.
inline constexpr std::uint32_t kFirstInternalMessage = WM_INTERNAL_QUIT;
inline constexpr std::uint32_t kLastInternalMessage = WM_INTERNAL_SHOWTIPS;

// Hot-key slots of WM_INTERNAL_DLL_HOTKEY.
inline constexpr std::uintptr_t HT_NEXT_DESKTOP = 0;
inline constexpr std::uintptr_t HT_SHOW_OPTIONS = 1;
inline constexpr std::uintptr_t HT_HIDE_TRAYICON = 2;

} // namespace ombrevane
