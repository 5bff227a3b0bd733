#include "platform/DebugOutput.h"

#include <cstdio>

namespace ombrevane {

void WriteDebugLine(std::string_view line) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

} // namespace ombrevane
