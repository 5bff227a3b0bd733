#pragma once
// The groups and links of the options dialog's navigation bar, and what each link's id shows.

#include "components/ExBar.h"

#include <cstdint>

namespace ombrevane {

inline constexpr std::int32_t kOptionsLinkGeneral = 1;
inline constexpr std::int32_t kOptionsLinkHotkey = 2;
inline constexpr std::int32_t kOptionsLinkAbout = 3;
// "Desktop 1" to "Desktop 5": this id plus the desktop index.
inline constexpr std::int32_t kOptionsLinkFirstDesktop = 10;

// Adds the groups "Options" (special), "Desktop Setting" and "About" with their links. The
// bar needs its item icons first: without them it takes no links.
void AddOptionsDialogGroups(TExBar& bar);

} // namespace ombrevane
