#pragma once
// The program-wide error report: errors no caller handles (a settings file that cannot be
// written, for example) are shown to the user and written to the debugger output; the
// instance goes on running.

#include <exception>
#include <functional>
#include <string>

namespace ombrevane {

void ReportError(const std::string& text);

// Reports the exception currently being handled. Call from a catch block only.
void ReportCurrentException();

// Runs `action`; an exception it lets out is reported and goes no further, so the instance
// goes on. Answers whether the action finished without one.
bool RunReportingErrors(const std::function<void()>& action);

} // namespace ombrevane
