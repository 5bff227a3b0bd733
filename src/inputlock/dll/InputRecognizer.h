#pragma once
// What the input-lock library makes of each key and mouse-button event: a report for the
// controller window, and whether the event is kept from the focused program. No windows.h here:
// the hooks feed it plain values, the tests feed it tables.

#include "controller/ControllerWindow.h"

#include <array>
#include <bitset>
#include <cstdint>

namespace ombrevane::inputward {

// Window messages posted to the controller.
inline constexpr std::uint32_t kMsgDesktopKey =
    WM_INTERNAL_DLL_DESKTOPKEY; // wParam desktop index, lParam modifier kind
inline constexpr std::uint32_t kMsgBothButtons = WM_INTERNAL_DLL_MOUSELR;
inline constexpr std::uint32_t kMsgSuspendHotKeys = WM_INTERNAL_DLL_LOCKHOTKEY;
inline constexpr std::uint32_t kMsgHotKey = WM_INTERNAL_DLL_HOTKEY; // wParam slot

// lParam of kMsgDesktopKey.
inline constexpr std::intptr_t kKindAlt = 0;
inline constexpr std::intptr_t kKindCtrl = 1;
inline constexpr std::intptr_t kKindShift = 2;

// Modifier flags of a hot key. Win is not produced by the settings but is matched exactly too.
inline constexpr std::uint16_t kModAlt = 1;
inline constexpr std::uint16_t kModCtrl = 2;
inline constexpr std::uint16_t kModShift = 4;
inline constexpr std::uint16_t kModWin = 8;

inline constexpr int kHotKeySlots = 3;

// Both buttons held at least this long (from the second press to the first release) asks for
// the timed suspension instead of the plain both-button report.
inline constexpr std::uint32_t kLongBothButtonsMs = 1000;

// The two buttons make one gesture only when the second goes down at most this long after
// the first. People pressing both "together" land them well within it; it stays under the
// time anyone takes to react to what the screen shows (about 200 ms), so a right-click made
// during a left-button drag, which is how Explorer cancels a drag, is never taken for it.
inline constexpr std::uint32_t kBothButtonsWindowMs = 150;

// A held key repeats at least every second (the slowest keyboard delay Windows offers), so a
// consumed hot key with no event for longer than this was released where we could not see it.
// Its key state cannot tell: the platform never records a key event a hook consumed.
inline constexpr std::uint32_t kHeldKeySilenceMs = 1500;

// Virtual keys the recognizer knows by number.
namespace vk {
inline constexpr std::uint32_t kLButton = 0x01;
inline constexpr std::uint32_t kRButton = 0x02;
inline constexpr std::uint32_t kShift = 0x10;
inline constexpr std::uint32_t kControl = 0x11;
inline constexpr std::uint32_t kMenu = 0x12;
inline constexpr std::uint32_t kLWin = 0x5B;
inline constexpr std::uint32_t kRWin = 0x5C;
inline constexpr std::uint32_t kLShift = 0xA0;
inline constexpr std::uint32_t kRShift = 0xA1;
inline constexpr std::uint32_t kLControl = 0xA2;
inline constexpr std::uint32_t kRControl = 0xA3;
inline constexpr std::uint32_t kLMenu = 0xA4;
inline constexpr std::uint32_t kRMenu = 0xA5;
} // namespace vk

struct HotKey {
    std::uint16_t key = 0; // 0: slot unused
    std::uint16_t modifiers = 0;
};

// What every instance agrees on; read afresh for each event.
struct Settings {
    std::array<HotKey, kHotKeySlots> hotKeys{};
    bool suspended = false;
    bool bothButtons = false;
    // The hot key whose consumed press an instance saw last, not yet released (0: none), and
    // the time of its last event. Held on, its repeats follow the switch it asked for to the
    // next desktop's instance, which must take them for repeats too.
    std::uint32_t heldHotKey = 0;
    std::uint32_t heldHotKeyMs = 0;
};

// What an event tells the other instances about the held hot key (Settings::heldHotKey).
enum class HoldUpdate {
    None,
    Held,     // this key is the held hot key now, as of this event's time
    Released, // this key went up: no longer held, if it was the one
};

struct Report {
    std::uint32_t message = 0; // 0: nothing to post
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

struct Decision {
    Report report;
    bool consume = false; // keep the event from the focused program
    // A consumed hot key was pressed with Alt held: the Alt release alone would open the focused
    // window's menu, so the caller slips a neutral key in before it.
    bool maskAltRelease = false;
    HoldUpdate hold = HoldUpdate::None;
};

struct KeyEvent {
    std::uint32_t key = 0; // virtual key
    bool down = false;
    std::uint32_t timeMs = 0; // event time, wrapping millisecond counter
};

enum class MouseButton { Left, Right };

struct ButtonEvent {
    MouseButton button = MouseButton::Left;
    bool down = false;
    std::uint32_t timeMs = 0; // event time, wrapping millisecond counter
};

// The real "held down" state of a virtual key, not yet counting the event being handled.
// Asked only when the recognizer's own record may be out of date: a key released while this
// desktop was not the input desktop never reaches our hook. May be null (own record only).
using KeyStateQuery = bool (*)(std::uint32_t key);

class InputRecognizer {
public:
    Decision OnKey(KeyEvent event, const Settings& settings, KeyStateQuery query = nullptr);
    Decision OnButton(ButtonEvent event, const Settings& settings, KeyStateQuery query = nullptr);

    // Forget everything held (watching switched off or on again).
    void ResetKeys();
    void ResetButtons();

private:
    std::uint16_t HeldModifiers(KeyStateQuery query);

    std::bitset<256> keyDown_;
    std::bitset<256> keyConsumed_;
    std::array<std::uint32_t, 256> keyTimeMs_{}; // time of each key's last press or repeat

    std::array<bool, 2> buttonDown_{};
    std::array<bool, 2> buttonConsumed_{};
    std::array<std::uint32_t, 2> buttonDownMs_{};
    bool chord_ = false;
    std::uint32_t chordStartMs_ = 0;
};

// Digit 1 to 5 of the main row: 0 to 4, else -1. The keypad digits are left alone: Alt with
// keypad digits types characters by code, and Shift turns them into cursor keys.
int DesktopDigit(std::uint32_t key);

} // namespace ombrevane::inputward
