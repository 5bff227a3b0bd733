#pragma once
// The groups and links the options dialog puts in its navigation bar, for the tests, the demo
// and the benchmark.

#include "components/ExBar.h"

#include <string>

namespace ombrevane {

inline void AddOptionsDialogGroups(TExBar& bar) {
    TExGroup& options = bar.Groups.AddGroup("Options", true);
    options.AddLink("General", "General options", 1, 0);
    options.AddLink("Hotkey", "Golobal hotkey", 2, 1);
    TExGroup& desktops = bar.Groups.AddGroup("Desktop Setting", false);
    for (int i = 0; i < 5; ++i) {
        const std::string name = "Desktop " + std::to_string(i + 1);
        desktops.AddLink(name, name, 10 + i, 2);
    }
    bar.Groups.AddGroup("About", false).AddLink("About", "", 3, 3);
}

} // namespace ombrevane
