// A stand-in inputward.dll that exports only Initial, for the binding's test of a library that
// lacks functions.

#include <cstdint>

extern "C" std::int32_t __stdcall Initial(void) {
    return 1;
}
