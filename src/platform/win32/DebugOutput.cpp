#include "platform/DebugOutput.h"

#include <windows.h>

#include <string>

namespace ombrevane {

void WriteDebugLine(std::string_view line) {
    const std::string text(line);
    ::OutputDebugStringA(text.c_str());
}

} // namespace ombrevane
