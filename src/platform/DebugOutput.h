#pragma once
// Diagnostic lines: one fixed-format line per call, to the debugger output on Windows
// (OutputDebugStringA) and to standard error in native builds.

#include <string_view>

namespace ombrevane {

void WriteDebugLine(std::string_view line);

} // namespace ombrevane
