#include "platform/ErrorReport.h"

#include <stdexcept>

namespace ombrevane {

void ReportCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        ReportError(e.what());
    } catch (...) {
        ReportError("Unknown error");
    }
}

bool RunReportingErrors(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (...) {
        ReportCurrentException();
        return false;
    }
}

} // namespace ombrevane
