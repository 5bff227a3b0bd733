#pragma once
// Colour values resolved on this system: a system colour becomes what the user's scheme has.

#include "components/Color.h"

#include <windows.h>

namespace ombrevane::win32 {

inline std::uint32_t SystemColorRgb(int index) {
    return ::GetSysColor(index);
}

inline COLORREF ResolveColor(TColor color) {
    return ColorToRgb(color, &SystemColorRgb);
}

} // namespace ombrevane::win32
