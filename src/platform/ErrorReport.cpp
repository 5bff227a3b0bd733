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

} // namespace ombrevane
