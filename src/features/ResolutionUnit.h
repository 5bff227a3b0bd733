#pragma once
// A screen mode per desktop: applying a desktop's mode when it becomes the one on the screen,
// and the list of display modes the desktop settings page offers.

#include "config/ConfigUnit.h"
#include "platform/DisplayPlatform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ombrevane {

// Applies the desktop's own mode when it is active and has one, else returns the display to
// its default mode. Only the first writes "ChangeDisplaySettings result is %d".
void ApplyDesktopResolution(DisplayPlatform& display, std::int32_t index);
void ApplyDesktopResolution(DisplayPlatform& display, std::int32_t index,
                            const std::string& configDir);

struct TModeEntry {
    std::string Text;
    TRSItem Item;
};

// Ordered by ascending pixel area; modes of one area in the order of enumeration.
using TModeList = std::vector<TModeEntry>;

// The most modes counted; a source that never reports the end stops here.
inline constexpr std::uint32_t kMaxDisplayModes = 65536;

// "%dx%d - %d bit -  %d Hz", or "... -  Default Frequecy" for the rates 0 and 1.
std::string ModeText(const TRSItem& item);

// Adds the entry before the first one of larger area, unless it is a portrait mode or a mode
// already listed (whose entry keeps its text).
void InsertMode(TModeList& list, const std::string& text, const TRSItem& item);

// The display's modes for one owner: counted on first use, kept as long as the owner keeps
// this object (the desktop settings page keeps one).
class TDisplayModes {
public:
    explicit TDisplayModes(DisplayPlatform& display);

    std::uint32_t ModeCount();
    // Fills the list (emptied first) and returns the position to preselect: the first entry
    // of the current mode, else 0; -1 for an empty list.
    int BuildModeList(TModeList& list);

private:
    DisplayPlatform& display_;
    std::uint32_t modeCount_ = 0;
    bool counted_ = false;
};

} // namespace ombrevane
