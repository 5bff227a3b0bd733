#include "platform/win32/Win32DisplayPlatform.h"

#include "platform/DebugOutput.h"

#include <windows.h>

namespace ombrevane::win32 {

// The ANSI record, whatever the compiler's packing: the size field tells its form.
static_assert(sizeof(DEVMODEA) == 156, "DEVMODEA in its ANSI form");

namespace {

DEVMODEA EmptyRequest() {
    DEVMODEA request{};
    request.dmSize = sizeof(DEVMODEA);
    return request;
}

std::optional<DisplayMode> EnumMode(DWORD number) {
    DEVMODEA mode = EmptyRequest();
    if (!::EnumDisplaySettingsA(nullptr, number, &mode)) {
        return std::nullopt;
    }
    return DisplayMode{mode.dmBitsPerPel, mode.dmPelsWidth, mode.dmPelsHeight,
                       mode.dmDisplayFrequency};
}

} // namespace

std::optional<DisplayMode> Win32DisplayPlatform::ModeByNumber(std::uint32_t number) {
    // These two numbers name the current and the stored mode, not a numbered one.
    if (number == ENUM_CURRENT_SETTINGS || number == ENUM_REGISTRY_SETTINGS) {
        return std::nullopt;
    }
    return EnumMode(number);
}

std::optional<DisplayMode> Win32DisplayPlatform::CurrentMode() {
    return EnumMode(ENUM_CURRENT_SETTINGS);
}

std::int32_t Win32DisplayPlatform::ChangeMode(const DisplayMode& mode) {
    DEVMODEA request = EmptyRequest();
    request.dmBitsPerPel = mode.BitsPerPel;
    request.dmPelsWidth = mode.PelsWidth;
    request.dmPelsHeight = mode.PelsHeight;
    request.dmDisplayFrequency = mode.DisplayFrequency;
    request.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    return ::ChangeDisplaySettingsA(&request, 0);
}

std::int32_t Win32DisplayPlatform::ReturnToDefaultMode() {
    DEVMODEA request = EmptyRequest();
    return ::ChangeDisplaySettingsA(&request, 0);
}

void Win32DisplayPlatform::DebugLine(std::string_view line) {
    WriteDebugLine(line);
}

} // namespace ombrevane::win32
