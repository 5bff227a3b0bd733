#pragma once
// The program-wide error report: errors no caller handles (a settings file that cannot be
// written, for example) are shown to the user and written to the debugger output; the
// instance goes on running.

#include <exception>
#include <string>

namespace ombrevane {

void ReportError(const std::string& text);

// Reports the exception currently being handled. Call from a catch block only.
void ReportCurrentException();

} // namespace ombrevane
