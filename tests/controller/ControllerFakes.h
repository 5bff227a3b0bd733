#pragma once
// Recording stand-ins for everything the controller uses, and one instance of the program
// built from them over the simulated window station. Every fake notes its calls in its own
// list and in the instance's shared log, so tests can check the order across them.

#include "config/TestFolder.h"
#include "controller/MainformUnit.h"
#include "fake/FakeRegistry.h"
#include "fake/FakeWindowStation.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ombrevane::test {

class Recorder {
public:
    explicit Recorder(std::vector<std::string>& log) : log_(log) {}
    std::vector<std::string> calls;

protected:
    void Note(const std::string& call) {
        calls.push_back(call);
        log_.push_back(call);
    }

private:
    std::vector<std::string>& log_;
};

class RecordingTrayIcon : public TrayIconView, public Recorder {
public:
    using Recorder::Recorder;
    void SetText(std::string_view text) override { Note("text " + std::string(text)); }
    void SetIconVisible(bool visible) override {
        visible_ = visible;
        Note(visible ? "show" : "hide");
    }
    bool IconVisible() const override { return visible_; }
    void SendMainFormToTray() override { Note("to tray"); }
    void ShowBalloon(std::string_view title, std::string_view text, BalloonIcon icon,
                     int timeoutSeconds) override {
        Note("balloon " + std::string(title) + "|" + std::string(text) + "|" +
             std::to_string(static_cast<int>(icon)) + "|" + std::to_string(timeoutSeconds));
    }

private:
    bool visible_ = true;
};

// Keeps the library's state as the library would: watching on or off, hot keys suspended.
class RecordingInputLock : public InputLock, public Recorder {
public:
    using Recorder::Recorder;
    std::int32_t Initial() override { return Noted("Initial", 1); }
    std::int32_t KeyboardEnable() override { return keyboard ? -1 : 0; }
    std::int32_t SetKeyboard(std::int32_t on) override {
        keyboard = on != 0;
        return Noted("SetKeyboard " + std::to_string(on), 1);
    }
    std::int32_t MouseEnable() override { return mouse ? -1 : 0; }
    std::int32_t SetMouse(std::int32_t on) override {
        mouse = on != 0;
        return Noted("SetMouse " + std::to_string(on), 1);
    }
    std::int32_t EnableLRMouseButton(std::int32_t on) override {
        return Noted("EnableLRMouseButton " + std::to_string(on), 1);
    }
    std::int32_t SetHotKey(std::int32_t slot, std::uint16_t key, std::uint16_t mods) override {
        return Noted("SetHotKey " + std::to_string(slot) + " " + std::to_string(key) + " " +
                         std::to_string(mods),
                     1);
    }
    std::int32_t LockShortcutKey(std::int32_t on) override {
        locked = on != 0;
        return Noted("LockShortcutKey " + std::to_string(on), 1);
    }
    std::int32_t IsShortcutKeyLock() override { return locked ? 1 : 0; }
    std::int32_t EnablePassword(std::int32_t a, std::int32_t b) override {
        return Noted("EnablePassword " + std::to_string(a) + " " + std::to_string(b), 1);
    }

    bool keyboard = false;
    bool mouse = false;
    bool locked = false;

private:
    std::int32_t Noted(const std::string& call, std::int32_t result) {
        Note(call);
        return result;
    }
};

inline const char* TimerName(ControllerTimer timer) {
    switch (timer) {
    case ControllerTimer::Timer:
        return "Timer";
    case ControllerTimer::TimerRestore:
        return "TimerRestore";
    case ControllerTimer::TimerHotkeyDelay:
        return "TimerHotkeyDelay";
    case ControllerTimer::TimerCreatorFree:
        return "TimerCreatorFree";
    }
    return "?";
}

// System timers on a simulated clock: Advance lets time pass and delivers the ticks that
// come due, in time order, to onTick.
class FakeTimerPlatform : public TimerPlatform, public Recorder {
public:
    using Recorder::Recorder;
    void StartTimer(ControllerTimer timer, std::uint32_t intervalMs) override {
        running_[timer] = {intervalMs, 0};
        Note(std::string("start ") + TimerName(timer) + " " + std::to_string(intervalMs));
    }
    void StopTimer(ControllerTimer timer) override {
        running_.erase(timer);
        Note(std::string("stop ") + TimerName(timer));
    }

    void Advance(std::uint32_t ms) {
        while (true) {
            std::optional<ControllerTimer> next;
            std::uint32_t due = 0;
            for (const auto& [timer, state] : running_) {
                const std::uint32_t left = state.intervalMs - state.elapsedMs;
                if (!next || left < due) {
                    next = timer;
                    due = left;
                }
            }
            if (!next || due > ms) {
                for (auto& entry : running_) {
                    entry.second.elapsedMs += ms;
                }
                return;
            }
            for (auto& entry : running_) {
                entry.second.elapsedMs += due;
            }
            ms -= due;
            running_[*next].elapsedMs = 0;
            onTick(*next);
        }
    }
    bool IsRunning(ControllerTimer timer) const { return running_.count(timer) != 0; }

    std::function<void(ControllerTimer)> onTick = [](ControllerTimer) {};

private:
    struct State {
        std::uint32_t intervalMs = 0;
        std::uint32_t elapsedMs = 0;
    };
    std::map<ControllerTimer, State> running_;
};

class FakeIdleClock : public IdleClock {
public:
    std::optional<std::uint32_t> LastInputTick() override { return lastInput; }
    std::uint32_t TickCount() override { return now; }

    std::optional<std::uint32_t> lastInput = 0u;
    std::uint32_t now = 0;
};

class RecordingFeatures : public DesktopFeatures, public Recorder {
public:
    using Recorder::Recorder;
    void UpdateDesktopWindows() override { Note("update windows"); }
    void RestoreDesktopWindows() override { Note("restore windows"); }
    void RunStartupPrograms(int index) override { Note("startup " + std::to_string(index)); }
    void ApplyDesktopResolution(int index) override { Note("resolution " + std::to_string(index)); }
};

// The prompt answers through `answer`, which a test may use to play a nested message loop.
class RecordingDialogs : public ControllerDialogs, public Recorder {
public:
    using Recorder::Recorder;
    bool AskPassword(const std::string& storedHash) override {
        Note("password " + storedHash);
        return answer(storedHash);
    }
    void ShowOptionsDialog() override {
        Note("options");
        onOptions();
    }
    void ShowTipOfTheDay() override { Note("tip"); }
    void ShowAbout() override { Note("about"); }
    void RebuildDesktopMenu() override { Note("menu"); }

    std::function<bool(const std::string&)> answer = [](const std::string&) { return true; };
    std::function<void()> onOptions = [] {};
};

class RecordingCreation : public DesktopCreation, public Recorder {
public:
    using Recorder::Recorder;
    void CreateDesktops() override { Note("create desktops"); }
    void FreeDesktopCreators() override { Note("free creators"); }
};

class RecordingHost : public MainformHost, public Recorder {
public:
    using Recorder::Recorder;
    void SetMainWindowLeft(int left) override { Note("left " + std::to_string(left)); }
    void HideApplication() override { Note("hide application"); }
    void PostToMainWindow(std::uint32_t message, std::uintptr_t, std::intptr_t) override {
        Note("post " + std::to_string(message));
    }
    void PostApplicationSystemCommand(std::uint32_t command) override {
        Note("syscommand " + std::to_string(command));
    }
    void HookApplicationWindow() override { Note("hook"); }
    void UnhookApplicationWindow() override { Note("unhook"); }
    void Terminate() override {
        Note("terminate");
        onTerminate();
    }

    std::function<void()> onTerminate = [] {};
};

// One instance of the program on a desktop of the station, with its settings in `configDir`.
class Instance {
public:
    Instance(fake::FakeWindowStation& station, std::uint32_t processId, const std::string& desktop,
             const std::string& configDir, const std::string& exe)
        : process(station, processId, exe, desktop),
          form(MainformPorts{process, trayIcon, inputLock, timers, clock, registry, features,
                             dialogs, creation, host, configDir}) {
        timers.onTick = [this](ControllerTimer timer) { form.HandleTimer(timer); };
    }

    std::vector<std::string> log;
    fake::FakeProcess process;
    RecordingTrayIcon trayIcon{log};
    RecordingInputLock inputLock{log};
    FakeTimerPlatform timers{log};
    FakeIdleClock clock;
    fake::FakeRegistry registry;
    RecordingFeatures features{log};
    RecordingDialogs dialogs{log};
    RecordingCreation creation{log};
    RecordingHost host{log};
    TTileSwitchMainForm form;
};

} // namespace ombrevane::test
