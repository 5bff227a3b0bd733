// Events per second of the recognition step, against a bare step that only turns every key
// press into a report (what a hook posting unconditionally would do), measured in the same run.
// Goal: under 1 microsecond per event.

#include "inputlock/dll/InputRecognizer.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

using namespace ombrevane::inputward;

namespace {

struct Event {
    bool isKey;
    KeyEvent key;
    ButtonEvent button;
};

// Typing with now and then a digit key, a hot key, a repeat run and a both-button press.
std::vector<Event> MakeStream() {
    std::vector<Event> events;
    auto key = [&](std::uint32_t vk, bool down) { events.push_back({true, {vk, down}, {}}); };
    auto tap = [&](std::uint32_t vk) {
        key(vk, true);
        key(vk, false);
    };
    std::uint32_t time = 0;
    auto button = [&](MouseButton b, bool down) {
        time += 40;
        events.push_back({false, {}, {b, down, time}});
    };
    for (int round = 0; round < 200; ++round) {
        for (std::uint32_t vk = 'A'; vk <= 'Z'; ++vk) {
            tap(vk);
        }
        key(vk::kLMenu, true);
        tap('1' + static_cast<std::uint32_t>(round % 5));
        key(vk::kLMenu, false);
        key(vk::kLShift, true);
        key(vk::kLMenu, true);
        tap('S');
        key(vk::kLMenu, false);
        key(vk::kLShift, false);
        for (int i = 0; i < 10; ++i) {
            key('E', true);
        }
        key('E', false);
        button(MouseButton::Left, true);
        button(MouseButton::Right, true);
        button(MouseButton::Right, false);
        button(MouseButton::Left, false);
    }
    return events;
}

bool QueryNothingDown(std::uint32_t) {
    return false;
}

template <typename Step> double NanosecondsPerEvent(const std::vector<Event>& events, Step step) {
    std::vector<double> samples;
    for (int run = 0; run < 15; ++run) {
        const auto start = std::chrono::steady_clock::now();
        std::uint64_t sink = 0;
        for (int pass = 0; pass < 20; ++pass) {
            for (const Event& event : events) {
                sink += step(event);
            }
        }
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (sink == 42) {
            std::puts("");
        }
        samples.push_back(std::chrono::duration<double, std::nano>(elapsed).count() /
                          (20.0 * static_cast<double>(events.size())));
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main() {
    const std::vector<Event> events = MakeStream();
    Settings settings;
    settings.hotKeys[0] = {'S', kModAlt | kModShift};
    settings.hotKeys[1] = {'X', kModAlt | kModShift};
    settings.hotKeys[2] = {'A', kModAlt | kModShift};
    settings.bothButtons = true;

    InputRecognizer recognizer;
    const double recognise = NanosecondsPerEvent(events, [&](const Event& e) -> std::uint64_t {
        const Settings snapshot = settings; // the hook reads the shared settings per event
        const Decision d = e.isKey ? recognizer.OnKey(e.key, snapshot, &QueryNothingDown)
                                   : recognizer.OnButton(e.button, snapshot, &QueryNothingDown);
        return d.report.message + (d.consume ? 1u : 0u);
    });
    const double bare = NanosecondsPerEvent(events, [](const Event& e) -> std::uint64_t {
        return e.isKey && e.key.down ? kMsgDesktopKey + e.key.key : 0;
    });

    std::printf("events per run      %zu\n", events.size());
    std::printf("recognition step    %.1f ns/event  (%.1f million events/s)\n", recognise,
                1000.0 / recognise);
    std::printf("bare step           %.1f ns/event\n", bare);
    std::printf("ratio               %.1fx the bare step\n", recognise / bare);
    std::printf("goal < 1000 ns/event: %s\n", recognise < 1000.0 ? "met" : "NOT met");
    return 0;
}
