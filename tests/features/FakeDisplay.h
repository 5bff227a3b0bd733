#pragma once
// A simulated display device serving a mode table. Like the platform, it numbers its modes
// from 0 and has no mode past the last, refuses a request for a mode it does not have (-2,
// the platform's "bad mode"), takes a refresh rate of 0 or 1 as "any rate of that size", and
// goes back to its stored default on a request without mode fields.

#include "platform/DisplayPlatform.h"

#include <optional>
#include <string>
#include <vector>

namespace ombrevane::fake {

inline constexpr std::int32_t kDisplayChangeBadMode = -2;

class FakeDisplay : public DisplayPlatform {
public:
    struct Request {
        std::optional<DisplayMode> mode; // nothing: the return to the default mode
    };

    std::optional<DisplayMode> ModeByNumber(std::uint32_t number) override {
        ++modeQueries;
        if (endless) {
            return DisplayMode{32, 800 + number % 4, 600, 60};
        }
        if (number >= modes.size()) {
            return std::nullopt;
        }
        return modes[number];
    }
    std::optional<DisplayMode> CurrentMode() override { return current; }
    std::int32_t ChangeMode(const DisplayMode& mode) override {
        requests.push_back({mode});
        for (const DisplayMode& offered : modes) {
            const bool anyRate = mode.DisplayFrequency <= 1;
            if (offered.BitsPerPel == mode.BitsPerPel && offered.PelsWidth == mode.PelsWidth &&
                offered.PelsHeight == mode.PelsHeight &&
                (anyRate || offered.DisplayFrequency == mode.DisplayFrequency)) {
                current = offered;
                return 0;
            }
        }
        return kDisplayChangeBadMode;
    }
    std::int32_t ReturnToDefaultMode() override {
        requests.push_back({std::nullopt});
        current = defaultMode;
        return 0;
    }
    void DebugLine(std::string_view line) override { debugLines.emplace_back(line); }

    std::vector<DisplayMode> modes;
    std::optional<DisplayMode> current;
    DisplayMode defaultMode{32, 1024, 768, 60};
    // A broken driver that never reports the end of its list.
    bool endless = false;

    int modeQueries = 0;
    std::vector<Request> requests;
    std::vector<std::string> debugLines;
};

} // namespace ombrevane::fake
