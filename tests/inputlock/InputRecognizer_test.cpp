// The recogniser fed with sequences of key and button events: what is reported, what is kept
// from the focused program.

#include "inputlock/dll/InputRecognizer.h"

#include <gtest/gtest.h>

#include <bitset>
#include <string>
#include <vector>

namespace ombrevane::inputward {
namespace {

// The real key state the recogniser may ask about; set by the steps of a case.
std::bitset<256> realState;
// Like Windows, a side-less modifier is down when either side is.
bool RealState(std::uint32_t key) {
    switch (key) {
    case vk::kShift:
        return realState[vk::kShift] || realState[vk::kLShift] || realState[vk::kRShift];
    case vk::kControl:
        return realState[vk::kControl] || realState[vk::kLControl] || realState[vk::kRControl];
    case vk::kMenu:
        return realState[vk::kMenu] || realState[vk::kLMenu] || realState[vk::kRMenu];
    default:
        return realState[key];
    }
}

enum class StepKind { Key, Button, Suspend, Real, ResetButtons, Hold };

struct Step {
    StepKind kind = StepKind::Key;
    std::uint32_t key = 0; // virtual key; for Suspend/Real the value
    bool down = false;
    MouseButton button = MouseButton::Left;
    std::uint32_t timeMs = 0;
    Report expect{};
    bool consume = false;
    bool maskAlt = false;

    Step Reports(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
        Step s = *this;
        s.expect = {message, wParam, lParam};
        return s;
    }
    Step Consumed() {
        Step s = *this;
        s.consume = true;
        return s;
    }
    Step MasksAlt() {
        Step s = *this;
        s.maskAlt = true;
        return s;
    }
    // A key event's time (button steps take theirs as an argument).
    Step At(std::uint32_t ms) {
        Step s = *this;
        s.timeMs = ms;
        return s;
    }
    // What the event tells the other instances about a held hot key.
    Step Holds() {
        Step s = *this;
        s.hold = HoldUpdate::Held;
        return s;
    }
    Step Releases() {
        Step s = *this;
        s.hold = HoldUpdate::Released;
        return s;
    }
    HoldUpdate hold = HoldUpdate::None;
};

Step Down(std::uint32_t key) {
    return {StepKind::Key, key, true};
}
Step Up(std::uint32_t key) {
    return {StepKind::Key, key, false};
}
Step Press(MouseButton b, std::uint32_t t) {
    return {StepKind::Button, 0, true, b, t};
}
Step Release(MouseButton b, std::uint32_t t) {
    return {StepKind::Button, 0, false, b, t};
}
Step Suspend(bool on) {
    return {StepKind::Suspend, on ? 1u : 0u};
}
// The real state of a key changes where our events do not show it (another desktop).
Step RealDown(std::uint32_t key) {
    return {StepKind::Real, key, true};
}
Step RealUp(std::uint32_t key) {
    return {StepKind::Real, key, false};
}
Step ResetButtons() {
    return {StepKind::ResetButtons};
}
// Another instance consumed a press of this hot key at that time and saw no release yet.
Step HeldElsewhere(std::uint32_t key, std::uint32_t ms) {
    return {StepKind::Hold, key, true, MouseButton::Left, ms};
}

constexpr MouseButton L = MouseButton::Left;
constexpr MouseButton R = MouseButton::Right;

struct Case {
    std::string name;
    std::vector<Step> steps;
    bool bothButtons = true;
    bool useQuery = true;
};

Settings BaseSettings(bool bothButtons) {
    Settings settings;
    settings.hotKeys[0] = {0x53, kModAlt | kModShift}; // Alt+Shift+S
    settings.hotKeys[1] = {0x58, kModAlt | kModShift}; // Alt+Shift+X
    settings.hotKeys[2] = {0x51, kModShift};           // Shift+Q
    settings.bothButtons = bothButtons;
    return settings;
}

void RunCase(const Case& c) {
    SCOPED_TRACE(c.name);
    InputRecognizer recognizer;
    Settings settings = BaseSettings(c.bothButtons);
    realState.reset();
    const KeyStateQuery query = c.useQuery ? &RealState : nullptr;
    int index = 0;
    for (const Step& step : c.steps) {
        SCOPED_TRACE("step " + std::to_string(index++));
        Decision d;
        switch (step.kind) {
        case StepKind::Suspend:
            settings.suspended = step.key != 0;
            continue;
        case StepKind::Real:
            realState[step.key] = step.down;
            continue;
        case StepKind::ResetButtons:
            recognizer.ResetButtons();
            continue;
        case StepKind::Hold:
            settings.heldHotKey = step.key;
            settings.heldHotKeyMs = step.timeMs;
            continue;
        case StepKind::Key:
            d = recognizer.OnKey({step.key, step.down, step.timeMs}, settings, query);
            // The real state follows our events after they are handled, as on Windows: an
            // event the hook consumed never reaches the key state.
            if (!d.consume) {
                realState[step.key] = step.down;
            }
            // The library keeps the held hot key where every instance reads it.
            if (d.hold == HoldUpdate::Held) {
                settings.heldHotKey = step.key;
                settings.heldHotKeyMs = step.timeMs;
            } else if (d.hold == HoldUpdate::Released && settings.heldHotKey == step.key) {
                settings.heldHotKey = 0;
            }
            break;
        case StepKind::Button:
            d = recognizer.OnButton({step.button, step.down, step.timeMs}, settings, query);
            if (!d.consume) {
                realState[step.button == L ? vk::kLButton : vk::kRButton] = step.down;
            }
            break;
        }
        EXPECT_EQ(d.report.message, step.expect.message);
        EXPECT_EQ(d.report.wParam, step.expect.wParam);
        EXPECT_EQ(d.report.lParam, step.expect.lParam);
        EXPECT_EQ(d.consume, step.consume);
        EXPECT_EQ(d.maskAltRelease, step.maskAlt);
        EXPECT_EQ(d.hold, step.hold);
    }
}

const std::uint32_t kAlt = vk::kLMenu;
const std::uint32_t kCtrl = vk::kLControl;
const std::uint32_t kShift = vk::kLShift;

TEST(InputRecognizer, DigitKeys) {
    const Case cases[] = {
        {"Alt+3", {Down(kAlt), Down('3').Reports(kMsgDesktopKey, 2, kKindAlt), Up('3'), Up(kAlt)}},
        {"Ctrl+1",
         {Down(kCtrl), Down('1').Reports(kMsgDesktopKey, 0, kKindCtrl), Up('1'), Up(kCtrl)}},
        {"Shift+5",
         {Down(kShift), Down('5').Reports(kMsgDesktopKey, 4, kKindShift), Up('5'), Up(kShift)}},
        {"right-hand modifiers",
         {Down(vk::kRControl), Down('2').Reports(kMsgDesktopKey, 1, kKindCtrl), Up('2'),
          Up(vk::kRControl), Down(vk::kRMenu), Down('4').Reports(kMsgDesktopKey, 3, kKindAlt)}},
        {"side-less modifier key",
         {Down(vk::kShift), Down('2').Reports(kMsgDesktopKey, 1, kKindShift)}},
        {"two modifiers at once",
         {Down(kAlt), Down(kCtrl), Down('3'), Up('3'), Up(kCtrl), Down(kShift), Down('3')}},
        {"Win with Alt", {Down(vk::kLWin), Down(kAlt), Down('2')}},
        {"no modifier", {Down('3'), Up('3')}},
        {"digits 0 and 6 to 9, keypad", {Down(kAlt), Down('0'), Down('6'), Down('9'), Down(0x61)}},
        {"modifier released again", {Down(kAlt), Up(kAlt), Down('3')}},
        {"auto-repeat reports once",
         {Down(kAlt), Down('3').Reports(kMsgDesktopKey, 2, kKindAlt), Down('3'), Down('3'), Up('3'),
          Down('3').Reports(kMsgDesktopKey, 2, kKindAlt)}},
        {"other digit while one is held",
         {Down(kAlt), Down('3').Reports(kMsgDesktopKey, 2, kKindAlt),
          Down('4').Reports(kMsgDesktopKey, 3, kKindAlt)}},
        {"without the real-state query",
         {Down(kAlt), Down('1').Reports(kMsgDesktopKey, 0, kKindAlt), Down('1')},
         true,
         false},
    };
    for (const Case& c : cases) {
        RunCase(c);
    }
}

TEST(InputRecognizer, HotKeys) {
    const Case cases[] = {
        {"Alt+Shift+S slot 0, consumed with its release",
         {Down(kAlt), Down(kShift), Down(0x53).Reports(kMsgHotKey, 0).Consumed().MasksAlt().Holds(),
          Up(0x53).Consumed().Releases(), Up(kShift), Up(kAlt)}},
        // The key state never shows a consumed press: the repeats must not pass for presses.
        {"auto-repeat of a hot key stays consumed, reported once",
         {Down(kShift), Down(kAlt),
          Down(0x58).At(1000).Reports(kMsgHotKey, 1).Consumed().MasksAlt().Holds(),
          Down(0x58).At(1500).Consumed().Holds(), Down(0x58).At(1533).Consumed().Holds(),
          Down(0x58).At(1566).Consumed().Holds(), Up(0x58).At(1580).Consumed().Releases()}},
        {"held through the longest keyboard delay, reported once",
         {Down(kShift), Down(0x51).At(0).Reports(kMsgHotKey, 2).Consumed().Holds(),
          Down(0x51).At(kHeldKeySilenceMs).Consumed().Holds(),
          Down(0x51).At(2 * kHeldKeySilenceMs).Consumed().Holds()}},
        {"Shift-only hot key needs no Alt mask",
         {Down(kShift), Down(0x51).Reports(kMsgHotKey, 2).Consumed().Holds(),
          Up(0x51).Consumed().Releases()}},
        {"wrong extra modifier", {Down(kCtrl), Down(kAlt), Down(kShift), Down(0x53), Up(0x53)}},
        {"a modifier short",
         {Down(kAlt), Down(0x53), Up(0x53), Down(kShift), Up(kAlt), Down(0x53)}},
        {"plain key of a hot key", {Down(0x53), Up(0x53), Down(0x51), Up(0x51)}},
        {"Win is an extra modifier too", {Down(vk::kRWin), Down(kShift), Down(0x51)}},
        {"released modifier afterwards",
         {Down(kShift), Down(0x51).Reports(kMsgHotKey, 2).Consumed().Holds(), Up(kShift),
          Up(0x51).Consumed().Releases(), Down(0x51)}},
    };
    for (const Case& c : cases) {
        RunCase(c);
    }
}

TEST(InputRecognizer, HotKeyTakesPrecedenceOverDigitKey) {
    InputRecognizer recognizer;
    Settings settings;
    settings.hotKeys[1] = {'2', kModCtrl};
    recognizer.OnKey({kCtrl, true}, settings);
    const Decision d = recognizer.OnKey({'2', true}, settings);
    EXPECT_EQ(d.report.message, kMsgHotKey);
    EXPECT_EQ(d.report.wParam, 1u);
    EXPECT_TRUE(d.consume);
}

TEST(InputRecognizer, UnusedSlotsMatchNothing) {
    InputRecognizer recognizer;
    const Settings settings; // every slot key 0
    for (std::uint32_t key = 0; key < 256; ++key) {
        const Decision d = recognizer.OnKey({key, true}, settings);
        EXPECT_NE(d.report.message, kMsgHotKey) << key;
        EXPECT_FALSE(d.consume) << key;
    }
}

TEST(InputRecognizer, Suspension) {
    const Case cases[] = {
        {"nothing reported or consumed while suspended",
         {Suspend(true), Down(kAlt), Down('3'), Up('3'), Down(kShift), Down(0x53), Up(0x53)}},
        {"reports again after resuming",
         {Suspend(true), Down(kAlt), Down('2'), Up('2'), Suspend(false),
          Down('2').Reports(kMsgDesktopKey, 1, kKindAlt), Down(kShift),
          Down(0x53).Reports(kMsgHotKey, 0).Consumed().MasksAlt().Holds()}},
        {"a consumed hot key's release stays consumed across a suspension",
         {Down(kShift), Down(0x51).Reports(kMsgHotKey, 2).Consumed().Holds(), Suspend(true),
          Down(0x51).Consumed().Holds(), Up(0x51).Consumed().Releases(), Down(0x51)}},
        {"both buttons still reported",
         {Suspend(true), Press(L, 100), Press(R, 150).Consumed(),
          Release(R, 300).Reports(kMsgBothButtons).Consumed(), Release(L, 320)}},
    };
    for (const Case& c : cases) {
        RunCase(c);
    }
}

TEST(InputRecognizer, BothButtons) {
    const Case cases[] = {
        {"left then right",
         {Press(L, 1000), Press(R, 1100).Consumed(),
          Release(R, 1200).Reports(kMsgBothButtons).Consumed(), Release(L, 1250)}},
        {"right then left, left released last",
         {Press(R, 1000), Press(L, 1050).Consumed(), Release(R, 1200).Reports(kMsgBothButtons),
          Release(L, 1300).Consumed()}},
        {"held a second asks for the suspension",
         {Press(L, 5000), Press(R, 5010).Consumed(), Release(L, 6010).Reports(kMsgSuspendHotKeys),
          Release(R, 6020).Consumed()}},
        {"just under a second is a plain press",
         {Press(R, 5000), Press(L, 5010).Consumed(),
          Release(L, 6009).Reports(kMsgBothButtons).Consumed(), Release(R, 6010)}},
        {"across the wrap of the millisecond counter",
         {Press(L, 0xFFFFFF00u), Press(R, 0xFFFFFF10u).Consumed(),
          Release(R, 0x40).Reports(kMsgBothButtons).Consumed(), Release(L, 0x50)}},
        {"single clicks", {Press(L, 10), Release(L, 20), Press(R, 30), Release(R, 40)}},
        {"one report per press of both",
         {Press(L, 10), Press(R, 20).Consumed(), Release(R, 30).Reports(kMsgBothButtons).Consumed(),
          Press(R, 40).Consumed(), Release(R, 50).Reports(kMsgBothButtons).Consumed(),
          Release(L, 60)}},
        {"switched off", {Press(L, 10), Press(R, 20), Release(R, 30), Release(L, 40)}, false},
        {"a release seen without its press", {Release(L, 5), Press(R, 10), Release(R, 20)}},
        {"first button released elsewhere",
         {Press(L, 10), RealUp(vk::kLButton), Press(R, 5000), Release(R, 5100)}},
        // A right-click during a left-button drag (how Explorer cancels one) is no switch.
        {"second button late: a drag cancelled",
         {Press(L, 1000), Press(R, 1000 + kBothButtonsWindowMs + 1), Release(R, 1400),
          Release(L, 1500)}},
        {"second button at the end of the window",
         {Press(R, 1000), Press(L, 1000 + kBothButtonsWindowMs).Consumed(),
          Release(L, 1300).Reports(kMsgBothButtons).Consumed(), Release(R, 1310)}},
        {"window across the wrap of the millisecond counter",
         {Press(L, 0xFFFFFFF0u), Press(R, kBothButtonsWindowMs - 0x11).Consumed(),
          Release(R, 300).Reports(kMsgBothButtons).Consumed(), Release(L, 310),
          Press(L, 0xFFFFFFF0u), Press(R, kBothButtonsWindowMs - 0x0F), Release(R, 400),
          Release(L, 410)}},
        {"forgotten after a reset",
         {Press(L, 10), Press(R, 20).Consumed(), ResetButtons(), Press(L, 30), Release(L, 40)}},
        {"press seen twice: the release was lost",
         {Press(L, 10), Press(R, 20).Consumed(), RealUp(vk::kLButton), RealUp(vk::kRButton),
          Press(L, 900), Release(L, 950), Press(L, 1000), Press(R, 1100).Consumed(),
          Release(R, 1200).Reports(kMsgBothButtons).Consumed()}},
    };
    for (const Case& c : cases) {
        RunCase(c);
    }
}

TEST(InputRecognizer, RecordsCorrectedByRealState) {
    const Case cases[] = {
        {"Alt released on another desktop",
         {Down(kAlt), RealUp(kAlt), Down(kCtrl), Down('2').Reports(kMsgDesktopKey, 1, kKindCtrl)}},
        {"Alt pressed on another desktop and still held",
         {RealDown(vk::kMenu), Down('4').Reports(kMsgDesktopKey, 3, kKindAlt)}},
        {"digit released on another desktop is a new press",
         {Down(kAlt), Down('3').Reports(kMsgDesktopKey, 2, kKindAlt), RealUp('3'),
          Down('3').Reports(kMsgDesktopKey, 2, kKindAlt)}},
        // Its release never shows in the key state (the press was consumed); only a silence
        // longer than any auto-repeat gap tells that it went to another desktop.
        {"hot key released elsewhere fires again",
         {Down(kShift), Down(0x51).At(100).Reports(kMsgHotKey, 2).Consumed().Holds(),
          Down(0x51).At(101 + kHeldKeySilenceMs).Reports(kMsgHotKey, 2).Consumed().Holds()}},
        {"Shift released elsewhere leaves Alt alone",
         {Down(kShift), Down(kAlt), RealUp(kShift),
          Down('5').Reports(kMsgDesktopKey, 4, kKindAlt)}},
    };
    for (const Case& c : cases) {
        RunCase(c);
    }
}

// Held on, the hot key's repeats follow the switch it asked for to the next desktop's
// instance, which never saw its press: they are repeats there too, not a new press.
TEST(InputRecognizer, HotKeyHeldAcrossADesktopSwitch) {
    const Case cases[] = {
        {"repeats after the switch",
         {RealDown(kShift), RealDown(kAlt), HeldElsewhere(0x53, 1000),
          Down(0x53).At(1500).Consumed().Holds(), Down(0x53).At(1533).Consumed().Holds(),
          Up(0x53).At(1540).Consumed().Releases(),
          Down(0x53).At(1600).Reports(kMsgHotKey, 0).Consumed().MasksAlt().Holds()}},
        {"a hold gone stale is a new press",
         {RealDown(kShift), RealDown(kAlt), HeldElsewhere(0x53, 1000),
          Down(0x53)
              .At(1001 + kHeldKeySilenceMs)
              .Reports(kMsgHotKey, 0)
              .Consumed()
              .MasksAlt()
              .Holds()}},
        // A quick tap: the switch came before the release, which comes here.
        {"released after the switch, the next press counts",
         {RealDown(kShift), RealDown(kAlt), HeldElsewhere(0x53, 1000),
          Up(0x53).At(1050).Consumed().Releases(),
          Down(0x53).At(1300).Reports(kMsgHotKey, 0).Consumed().MasksAlt().Holds()}},
        {"the release of a stale hold passes",
         {HeldElsewhere(0x53, 1000), Up(0x53).At(1001 + kHeldKeySilenceMs)}},
        {"another key held elsewhere",
         {RealDown(kShift), HeldElsewhere(0x53, 1000),
          Down(0x51).At(1100).Reports(kMsgHotKey, 2).Consumed().Holds()}},
        {"not a hot key any more", {HeldElsewhere(0x41, 1000), Down(0x41).At(1100)}},
    };
    for (const Case& c : cases) {
        RunCase(c);
    }
}

TEST(InputRecognizer, ResetForgetsHeldKeys) {
    InputRecognizer recognizer;
    const Settings settings = BaseSettings(true);
    recognizer.OnKey({kAlt, true}, settings);
    EXPECT_EQ(recognizer.OnKey({'3', true}, settings).report.message, kMsgDesktopKey);
    recognizer.ResetKeys();
    // Neither the Alt nor the 3 is still believed down.
    recognizer.OnKey({kCtrl, true}, settings);
    const Decision d = recognizer.OnKey({'3', true}, settings);
    EXPECT_EQ(d.report.message, kMsgDesktopKey);
    EXPECT_EQ(d.report.lParam, kKindCtrl);
}

TEST(InputRecognizer, DesktopDigit) {
    EXPECT_EQ(DesktopDigit('1'), 0);
    EXPECT_EQ(DesktopDigit('5'), 4);
    EXPECT_EQ(DesktopDigit('0'), -1);
    EXPECT_EQ(DesktopDigit('6'), -1);
    EXPECT_EQ(DesktopDigit(0x61), -1); // keypad 1
}

} // namespace
} // namespace ombrevane::inputward
