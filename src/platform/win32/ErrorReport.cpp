#include "platform/ErrorReport.h"

#include "platform/DebugOutput.h"

#include <windows.h>

namespace ombrevane {

void ReportError(const std::string& text) {
    WriteDebugLine("error: " + text);
    ::MessageBoxA(nullptr, text.c_str(), "Ombrevane", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

} // namespace ombrevane
