#pragma once
// The display modes of the current display device, through EnumDisplaySettingsA and
// ChangeDisplaySettingsA.

#include "platform/DisplayPlatform.h"

namespace ombrevane::win32 {

class Win32DisplayPlatform : public DisplayPlatform {
public:
    std::optional<DisplayMode> ModeByNumber(std::uint32_t number) override;
    std::optional<DisplayMode> CurrentMode() override;
    std::int32_t ChangeMode(const DisplayMode& mode) override;
    std::int32_t ReturnToDefaultMode() override;
    void DebugLine(std::string_view line) override;
};

} // namespace ombrevane::win32
