#pragma once
// A simulated list of the top-level windows of one desktop, as awkward as the real one: the
// enumeration visits a snapshot taken when it starts, class names and titles are cut at 255
// characters, and a window that has gone answers with empty texts and ignores show and hide.

#include "platform/TopLevelWindows.h"

#include <algorithm>
#include <string>
#include <vector>

namespace ombrevane::fake {

struct FakeTopLevelWindow {
    WindowId id = 0;
    std::string className;
    std::string title;
    bool visible = false;
};

struct WindowCall {
    enum class Kind { Hide, Show };
    Kind kind = Kind::Hide;
    WindowId window = 0;
    friend bool operator==(const WindowCall&, const WindowCall&) = default;
};

class FakeTopLevelWindows : public TopLevelWindows {
public:
    WindowId Add(std::string className, std::string title, bool visible) {
        windows.push_back({nextId_, std::move(className), std::move(title), visible});
        nextId_ += 0x10;
        return windows.back().id;
    }
    // The window is destroyed; its handle stays what it was.
    void Close(WindowId window) {
        std::erase_if(windows, [window](const FakeTopLevelWindow& w) { return w.id == window; });
    }
    bool IsVisible(WindowId window) const {
        const FakeTopLevelWindow* w = Find(window);
        return w != nullptr && w->visible;
    }

    void ForEachWindow(const std::function<void(WindowId)>& visit) override {
        ++enumerations;
        std::vector<WindowId> snapshot;
        for (const FakeTopLevelWindow& w : windows) {
            snapshot.push_back(w.id);
        }
        for (WindowId id : snapshot) {
            visit(id);
        }
    }
    std::string ClassName(WindowId window) override {
        const FakeTopLevelWindow* w = Find(window);
        return w == nullptr ? std::string() : w->className.substr(0, 255);
    }
    std::string Title(WindowId window) override {
        const FakeTopLevelWindow* w = Find(window);
        return w == nullptr ? std::string() : w->title.substr(0, 255);
    }
    bool HasVisibleStyle(WindowId window) override { return IsVisible(window); }
    void Hide(WindowId window) override {
        calls.push_back({WindowCall::Kind::Hide, window});
        if (FakeTopLevelWindow* w = Find(window)) {
            w->visible = false;
        }
    }
    void Show(WindowId window) override {
        calls.push_back({WindowCall::Kind::Show, window});
        if (FakeTopLevelWindow* w = Find(window)) {
            w->visible = true;
        }
    }

    // In the platform's order of enumeration.
    std::vector<FakeTopLevelWindow> windows;
    // Every hide and show, in order, including those for windows that had gone.
    std::vector<WindowCall> calls;
    int enumerations = 0;

private:
    FakeTopLevelWindow* Find(WindowId window) {
        const auto found = std::find_if(windows.begin(), windows.end(),
                                        [window](const auto& w) { return w.id == window; });
        return found == windows.end() ? nullptr : &*found;
    }
    const FakeTopLevelWindow* Find(WindowId window) const {
        return const_cast<FakeTopLevelWindows*>(this)->Find(window);
    }

    WindowId nextId_ = 0x10010;
};

} // namespace ombrevane::fake
