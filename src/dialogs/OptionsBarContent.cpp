#include "dialogs/OptionsBarContent.h"

#include <string>

namespace ombrevane {

void AddOptionsDialogGroups(TExBar& bar) {
    TExGroup& options = bar.Groups.AddGroup("Options", true);
    options.AddLink("General", "General options", kOptionsLinkGeneral, 0);
    options.AddLink("Hotkey", "Golobal hotkey", kOptionsLinkHotkey, 1);
    TExGroup& desktops = bar.Groups.AddGroup("Desktop Setting", false);
    for (int i = 0; i < 5; ++i) {
        const std::string name = "Desktop " + std::to_string(i + 1);
        desktops.AddLink(name, name, kOptionsLinkFirstDesktop + i, 2);
    }
    bar.Groups.AddGroup("About", false).AddLink("About", "", kOptionsLinkAbout, 3);
}

} // namespace ombrevane
