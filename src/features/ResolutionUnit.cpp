#include "features/ResolutionUnit.h"

#include <optional>

namespace ombrevane {

namespace {

void ApplyLoadedResolution(DisplayPlatform& display, const TDesktopConfig& config) {
    if (!config.IsActive || !config.ResolutionActive) {
        // No mode of its own: back to the default, whatever the platform answers.
        display.ReturnToDefaultMode();
        return;
    }
    // Requested as stored, even zeros: the platform refuses what it cannot show.
    const DisplayMode mode{static_cast<std::uint32_t>(config.BitsPerPel),
                           static_cast<std::uint32_t>(config.PelsWidth),
                           static_cast<std::uint32_t>(config.PelsHeight),
                           static_cast<std::uint32_t>(config.DisplayFrequency)};
    const std::int32_t result = display.ChangeMode(mode);
    display.DebugLine("ChangeDisplaySettings result is " + std::to_string(result));
}

TRSItem ItemOf(const DisplayMode& mode) {
    TRSItem item;
    item.BitsPerPel = mode.BitsPerPel;
    item.PelsWidth = mode.PelsWidth;
    item.PelsHeight = mode.PelsHeight;
    item.DisplayFrequency = mode.DisplayFrequency;
    return item;
}

// Wide enough that no reported size wraps around and sorts before a small one.
std::uint64_t Area(const TRSItem& item) {
    return std::uint64_t{item.PelsWidth} * item.PelsHeight;
}

} // namespace

void ApplyDesktopResolution(DisplayPlatform& display, std::int32_t index) {
    TDesktopConfig config(index);
    LoadDesktopConfig(config);
    ApplyLoadedResolution(display, config);
}

void ApplyDesktopResolution(DisplayPlatform& display, std::int32_t index,
                            const std::string& configDir) {
    TDesktopConfig config(index);
    LoadDesktopConfig(config, configDir);
    ApplyLoadedResolution(display, config);
}

std::string ModeText(const TRSItem& item) {
    std::string text = std::to_string(item.PelsWidth) + "x" + std::to_string(item.PelsHeight) +
                       " - " + std::to_string(item.BitsPerPel) + " bit -  ";
    if (item.DisplayFrequency == 0 || item.DisplayFrequency == 1) {
        return text + "Default Frequecy";
    }
    return text + std::to_string(item.DisplayFrequency) + " Hz";
}

void InsertMode(TModeList& list, const std::string& text, const TRSItem& item) {
    if (item.PelsWidth < item.PelsHeight) {
        return;
    }
    auto place = list.begin();
    for (; place != list.end(); ++place) {
        if (SameMode(place->Item, item)) {
            return;
        }
        if (Area(place->Item) > Area(item)) {
            break;
        }
    }
    list.insert(place, TModeEntry{text, item});
}

TDisplayModes::TDisplayModes(DisplayPlatform& display) : display_(display) {}

std::uint32_t TDisplayModes::ModeCount() {
    if (!counted_) {
        while (modeCount_ < kMaxDisplayModes && display_.ModeByNumber(modeCount_)) {
            ++modeCount_;
        }
        counted_ = true;
    }
    return modeCount_;
}

int TDisplayModes::BuildModeList(TModeList& list) {
    list.clear();
    const std::optional<DisplayMode> current = display_.CurrentMode();
    const std::uint32_t count = ModeCount();
    for (std::uint32_t number = 0; number < count; ++number) {
        // A device that lost modes since they were counted has fewer to give.
        if (const std::optional<DisplayMode> mode = display_.ModeByNumber(number)) {
            const TRSItem item = ItemOf(*mode);
            InsertMode(list, ModeText(item), item);
        }
    }
    if (list.empty()) {
        return -1;
    }
    if (current) {
        const TRSItem wanted = ItemOf(*current);
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (SameMode(list[i].Item, wanted)) {
                return static_cast<int>(i);
            }
        }
    }
    return 0;
}

} // namespace ombrevane
