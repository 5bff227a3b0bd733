#pragma once
// The display modes of the current display device and requests to change the mode. The Win32
// build implements it over EnumDisplaySettingsA and ChangeDisplaySettingsA; native tests drive
// a simulated mode table.

#include <cstdint>
#include <optional>
#include <string_view>

namespace ombrevane {

struct DisplayMode {
    std::uint32_t BitsPerPel = 0;
    std::uint32_t PelsWidth = 0;
    std::uint32_t PelsHeight = 0;
    // 0 and 1 stand for the hardware's default rate.
    std::uint32_t DisplayFrequency = 0;
    friend bool operator==(const DisplayMode&, const DisplayMode&) = default;
};

class DisplayPlatform {
public:
    virtual ~DisplayPlatform() = default;

    // Mode number `number` of the current display device; nothing past the last mode.
    virtual std::optional<DisplayMode> ModeByNumber(std::uint32_t number) = 0;
    // The mode the display shows now; nothing when it cannot be read.
    virtual std::optional<DisplayMode> CurrentMode() = 0;
    // A dynamic change to exactly these four values, not stored as the default mode. The
    // platform's result: 0 when done, negative when refused.
    virtual std::int32_t ChangeMode(const DisplayMode& mode) = 0;
    // A request that names no mode field, which returns the display to its stored default.
    virtual std::int32_t ReturnToDefaultMode() = 0;

    // One line to the debugger output.
    virtual void DebugLine(std::string_view line) = 0;
};

} // namespace ombrevane
