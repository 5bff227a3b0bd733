#include "components/TrayIconCore.h"

#include <algorithm>
#include <cstring>

namespace ombrevane {

void CopyToField(std::span<char> field, std::string_view text) {
    if (field.empty()) {
        return;
    }
    std::size_t n = std::min(text.size(), field.size() - 1);
    std::fill(field.begin(), field.end(), '\0');
    std::copy_n(text.begin(), n, field.begin());
}

int NextCycleIndex(int index, int count) {
    if (count <= 0 || index + 1 >= count || index < 0) {
        return 0;
    }
    return index + 1;
}

int ClampIconIndex(int index, int count) {
    if (count <= 0 || index < 0) {
        return 0;
    }
    return std::min(index, count - 1);
}

namespace {
constexpr std::uint32_t kLeaveWatchMs = 20;
}

TrayIconCore::TrayIconCore(const std::shared_ptr<TimerHost>& timers)
    : clickWaitTimer_(timers), leaveWatchTimer_(timers, kLeaveWatchMs) {
    clickWaitTimer_.SetOneShot(true);
    clickWaitTimer_.OnFire = [this](TSimpleTimer&) { ClickWaitTimerFired(); };
    leaveWatchTimer_.OnFire = [this](TSimpleTimer&) { LeaveWatchTimerFired(); };
}

void TrayIconCore::SetWantEnterExitEvents(bool want) {
    wantEnterExitEvents_ = want;
    if (want) {
        leaveWatchTimer_.Start();
    } else {
        leaveWatchTimer_.Stop();
    }
}

TPoint TrayIconCore::Cursor() {
    return CursorPosition().value_or(lastCursorPos_);
}

void TrayIconCore::HandleCallback(std::uint32_t code) {
    namespace m = tray_message;
    switch (code) {
    case m::kBalloonShow:
        if (OnBalloonHintShow) {
            OnBalloonHintShow();
        }
        return;
    case m::kBalloonHide:
        if (OnBalloonHintHide) {
            OnBalloonHintHide();
        }
        return;
    case m::kBalloonTimeout:
        if (OnBalloonHintTimeout) {
            OnBalloonHintTimeout();
        }
        return;
    case m::kBalloonUserClick:
        if (OnBalloonHintClick) {
            OnBalloonHintClick();
        }
        return;
    default:
        break;
    }
    if (!enabled_) {
        return;
    }
    switch (code) {
    case m::kMouseMove: {
        TPoint at = Cursor();
        if (wantEnterExitEvents_ && cursorGone_) {
            NotifyMouseEnter();
            cursorGone_ = false;
        }
        NotifyMouseMove(ModifierKeys(), at);
        lastCursorPos_ = at;
        break;
    }
    case m::kLButtonDown:
        if (OnDblClick) {
            // A fresh wait: a double click seen after an earlier wait ran out must not
            // swallow this click.
            doubleClickSeen_ = false;
            clickWaitTimer_.SetIntervalMs(DoubleClickTime());
            clickWaitTimer_.Start();
        }
        NotifyMouseDown(TMouseButton::Left, ModifierKeys() | kShiftLeft, Cursor());
        clickPending_ = true;
        if (leftPopup_) {
            PopupAtCursor();
        }
        break;
    case m::kLButtonUp:
        if (clickPending_) {
            clickReady_ = true;
            if (!clickWaitTimer_.Running()) {
                clickPending_ = false;
                clickReady_ = false;
                NotifyClick();
            }
        }
        clickPending_ = false;
        NotifyMouseUp(TMouseButton::Left, ModifierKeys() | kShiftLeft, Cursor());
        break;
    case m::kLButtonDblClk:
        clickReady_ = false;
        doubleClickSeen_ = true;
        NotifyDblClick();
        if (!leftPopup_) {
            RunDefaultMenuItem();
        }
        break;
    case m::kRButtonDown:
        NotifyMouseDown(TMouseButton::Right, ModifierKeys() | kShiftRight, Cursor());
        PopupAtCursor();
        break;
    case m::kRButtonUp:
        if (callbackStyle_ == 0) {
            NotifyMouseUp(TMouseButton::Right, ModifierKeys() | kShiftRight, Cursor());
        }
        break;
    case m::kContextMenu:
    case m::kSelect:
    case m::kKeySelect:
        if (callbackStyle_ == 1) {
            NotifyMouseUp(TMouseButton::Right, ModifierKeys() | kShiftRight, Cursor());
        }
        break;
    case m::kMButtonDown:
        NotifyMouseDown(TMouseButton::Middle, ModifierKeys() | kShiftMiddle, Cursor());
        break;
    case m::kMButtonUp:
        NotifyMouseUp(TMouseButton::Middle, ModifierKeys() | kShiftMiddle, Cursor());
        break;
    default:
        break;
    }
}

void TrayIconCore::ClickWaitTimerFired() {
    // The timer is one-shot, so it is already stopped here.
    if (!doubleClickSeen_ && clickReady_) {
        // Cleared so that a later press held past the wait is not reported twice.
        clickReady_ = false;
        NotifyClick();
    }
    doubleClickSeen_ = false;
}

void TrayIconCore::LeaveWatchTimerFired() {
    if (cursorGone_) {
        return;
    }
    std::optional<TPoint> at = CursorPosition();
    if (at && *at != lastCursorPos_) {
        cursorGone_ = true;
        NotifyMouseExit();
    }
}

void TrayIconCore::NotifyClick() {
    if (OnClick) {
        OnClick();
    }
}
void TrayIconCore::NotifyDblClick() {
    if (OnDblClick) {
        OnDblClick();
    }
}
void TrayIconCore::NotifyMouseDown(TMouseButton button, int shift, TPoint at) {
    if (OnMouseDown) {
        OnMouseDown(button, shift, at.x, at.y);
    }
}
void TrayIconCore::NotifyMouseUp(TMouseButton button, int shift, TPoint at) {
    if (OnMouseUp) {
        OnMouseUp(button, shift, at.x, at.y);
    }
}
void TrayIconCore::NotifyMouseMove(int shift, TPoint at) {
    if (OnMouseMove) {
        OnMouseMove(shift, at.x, at.y);
    }
}
void TrayIconCore::NotifyMouseEnter() {
    if (OnMouseEnter) {
        OnMouseEnter();
    }
}
void TrayIconCore::NotifyMouseExit() {
    if (OnMouseExit) {
        OnMouseExit();
    }
}

} // namespace ombrevane
