#pragma once
// The programs a desktop starts with its instance: the "ProgramList" of its settings file,
// started once when the instance starts on that desktop.

#include "platform/DesktopPlatform.h"

#include <cstdint>
#include <string>

namespace ombrevane {

// Starts every entry of the desktop's program list, first to last, on the caller's desktop.
// Entries that cannot be started are skipped. IsActive is not consulted.
void RunStartupPrograms(DesktopPlatform& platform, std::int32_t index);
void RunStartupPrograms(DesktopPlatform& platform, std::int32_t index,
                        const std::string& configDir);

// Starts one process from the command line, as the system reads it (a quoted path is the
// program, the rest its parameters), and forgets it. An empty desktop name: the caller's
// desktop. The process id, 0 when nothing started; callers may drop it.
std::uint32_t StartProgram(DesktopPlatform& platform, const std::string& commandLine,
                           const std::string& desktopName = {});

} // namespace ombrevane
