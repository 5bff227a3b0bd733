#include "platform/ErrorReport.h"

#include "platform/DebugOutput.h"

namespace ombrevane {

void ReportError(const std::string& text) {
    WriteDebugLine("error: " + text);
}

} // namespace ombrevane
