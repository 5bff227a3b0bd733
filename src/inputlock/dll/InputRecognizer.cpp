#include "inputlock/dll/InputRecognizer.h"

namespace ombrevane::inputward {

namespace {

struct ModifierKind {
    std::uint16_t flag;
    std::uint32_t generic; // the side-less key, also what the real-state query is asked about
    std::uint32_t left;
    std::uint32_t right;
};

constexpr std::array<ModifierKind, 4> kModifierKinds{{
    {kModAlt, vk::kMenu, vk::kLMenu, vk::kRMenu},
    {kModCtrl, vk::kControl, vk::kLControl, vk::kRControl},
    {kModShift, vk::kShift, vk::kLShift, vk::kRShift},
    {kModWin, 0, vk::kLWin, vk::kRWin},
}};

bool IsModifierKey(std::uint32_t key) {
    for (const ModifierKind& kind : kModifierKinds) {
        if (key == kind.left || key == kind.right || (kind.generic != 0 && key == kind.generic)) {
            return true;
        }
    }
    return false;
}

bool IsHotKeyKey(std::uint32_t key, const Settings& settings) {
    for (const HotKey& hotKey : settings.hotKeys) {
        if (hotKey.key != 0 && hotKey.key == key) {
            return true;
        }
    }
    return false;
}

// A hot key whose press another instance consumed, with an event of it recent enough that it
// may still be held.
bool HeldElsewhere(const KeyEvent& event, const Settings& settings) {
    return settings.heldHotKey == event.key && IsHotKeyKey(event.key, settings) &&
           event.timeMs - settings.heldHotKeyMs <= kHeldKeySilenceMs;
}

int ButtonIndex(MouseButton button) {
    return button == MouseButton::Left ? 0 : 1;
}

} // namespace

int DesktopDigit(std::uint32_t key) {
    if (key >= '1' && key <= '5') {
        return static_cast<int>(key - '1');
    }
    return -1;
}

std::uint16_t InputRecognizer::HeldModifiers(KeyStateQuery query) {
    std::uint16_t held = 0;
    for (const ModifierKind& kind : kModifierKinds) {
        bool down = keyDown_[kind.left] || keyDown_[kind.right] ||
                    (kind.generic != 0 && keyDown_[kind.generic]);
        if (query != nullptr) {
            // Our record misses presses and releases made while another desktop had the input.
            const bool real =
                kind.generic != 0 ? query(kind.generic) : (query(kind.left) || query(kind.right));
            if (real != down) {
                keyDown_[kind.left] = false;
                keyDown_[kind.right] = false;
                if (kind.generic != 0) {
                    keyDown_[kind.generic] = false;
                }
                if (real) {
                    keyDown_[kind.generic != 0 ? kind.generic : kind.left] = true;
                }
                down = real;
            }
        }
        if (down) {
            held |= kind.flag;
        }
    }
    return held;
}

Decision InputRecognizer::OnKey(KeyEvent event, const Settings& settings, KeyStateQuery query) {
    Decision decision;
    if (event.key >= keyDown_.size()) {
        return decision;
    }
    if (!event.down) {
        // The release of a consumed press is consumed too, so the program sees neither; also
        // when the press was consumed on the desktop we came from.
        decision.consume = keyConsumed_[event.key] || HeldElsewhere(event, settings);
        if (decision.consume) {
            decision.hold = HoldUpdate::Released;
        }
        keyDown_[event.key] = false;
        keyConsumed_[event.key] = false;
        return decision;
    }

    bool repeat = keyDown_[event.key];
    const std::uint32_t sinceLast = event.timeMs - keyTimeMs_[event.key];
    keyDown_[event.key] = true;
    keyTimeMs_[event.key] = event.timeMs;
    if (IsModifierKey(event.key)) {
        return decision;
    }
    const int digit = DesktopDigit(event.key);
    if (digit < 0 && !IsHotKeyKey(event.key, settings)) {
        keyConsumed_[event.key] = false;
        return decision;
    }
    if (repeat) {
        if (keyConsumed_[event.key]) {
            // The key state never shows a press we consumed: only a silence longer than any
            // auto-repeat gap says that its release went where we could not see it.
            repeat = sinceLast <= kHeldKeySilenceMs;
        } else if (query != nullptr && !query(event.key)) {
            repeat = false; // released where we could not see it: this is a new press
        }
    } else if (HeldElsewhere(event, settings)) {
        // Pressed and consumed on the desktop we came from, and held on since.
        repeat = true;
        keyConsumed_[event.key] = true;
    }
    if (repeat) {
        decision.consume = keyConsumed_[event.key];
        if (decision.consume) {
            decision.hold = HoldUpdate::Held;
        }
        return decision;
    }
    keyConsumed_[event.key] = false;
    if (settings.suspended) {
        return decision;
    }

    const std::uint16_t held = HeldModifiers(query);
    for (int slot = 0; slot < kHotKeySlots; ++slot) {
        const HotKey& hotKey = settings.hotKeys[static_cast<std::size_t>(slot)];
        if (hotKey.key != 0 && hotKey.key == event.key && hotKey.modifiers == held) {
            decision.report = {kMsgHotKey, static_cast<std::uintptr_t>(slot), 0};
            decision.consume = true;
            decision.maskAltRelease = (held & kModAlt) != 0;
            decision.hold = HoldUpdate::Held;
            keyConsumed_[event.key] = true;
            return decision;
        }
    }
    if (digit >= 0) {
        std::intptr_t kind = -1;
        if (held == kModAlt) {
            kind = kKindAlt;
        } else if (held == kModCtrl) {
            kind = kKindCtrl;
        } else if (held == kModShift) {
            kind = kKindShift;
        }
        if (kind >= 0) {
            decision.report = {kMsgDesktopKey, static_cast<std::uintptr_t>(digit), kind};
        }
    }
    return decision;
}

Decision InputRecognizer::OnButton(ButtonEvent event, const Settings& settings,
                                   KeyStateQuery query) {
    Decision decision;
    const int self = ButtonIndex(event.button);
    const int other = 1 - self;
    if (event.down) {
        if (buttonDown_[self]) {
            // Its release went to another desktop: forget that press.
            buttonConsumed_[self] = false;
            chord_ = false;
        }
        if (buttonDown_[other] && query != nullptr &&
            !(query(vk::kLButton) || query(vk::kRButton))) {
            // Asks for either button: the query sees physical buttons, which the user may have
            // swapped, and the button going down now is not counted yet.
            buttonDown_[other] = false;
            buttonConsumed_[other] = false;
            chord_ = false;
        }
        buttonDown_[self] = true;
        buttonDownMs_[self] = event.timeMs;
        if (buttonDown_[other] && !chord_ && settings.bothButtons &&
            event.timeMs - buttonDownMs_[other] <= kBothButtonsWindowMs) {
            chord_ = true;
            chordStartMs_ = event.timeMs;
            buttonConsumed_[self] = true; // the program sees a plain click of the first button
            decision.consume = true;
        }
        return decision;
    }

    decision.consume = buttonConsumed_[self];
    const bool wasDown = buttonDown_[self];
    buttonDown_[self] = false;
    buttonConsumed_[self] = false;
    if (chord_ && wasDown) {
        chord_ = false;
        const std::uint32_t heldMs = event.timeMs - chordStartMs_;
        decision.report.message =
            heldMs >= kLongBothButtonsMs ? kMsgSuspendHotKeys : kMsgBothButtons;
    }
    return decision;
}

void InputRecognizer::ResetKeys() {
    keyDown_.reset();
    keyConsumed_.reset();
    keyTimeMs_ = {};
}

void InputRecognizer::ResetButtons() {
    buttonDown_ = {};
    buttonConsumed_ = {};
    buttonDownMs_ = {};
    chord_ = false;
    chordStartMs_ = 0;
}

} // namespace ombrevane::inputward
