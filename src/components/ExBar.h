#pragma once
// The navigation bar of the options dialog: a scrollable column of collapsible groups whose
// bodies list link items. This is the portable model: layout, hit testing, mouse interaction,
// animation and drawing through the ExCanvas interface. The window that shows it, its back
// buffer and its GDI drawing live in ExBarControl.

#include "components/ExBarTheme.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace ombrevane {

// Left and top edges inside, right and bottom edges outside.
struct ExRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const ExRect&) const = default;
};

// The smallest rectangle holding both.
constexpr ExRect Union(const ExRect& a, const ExRect& b) {
    return ExRect{a.Left < b.Left ? a.Left : b.Left, a.Top < b.Top ? a.Top : b.Top,
                  a.Right > b.Right ? a.Right : b.Right, a.Bottom > b.Bottom ? a.Bottom : b.Bottom};
}

// Width and height of a text in the font currently in use.
class ExTextMetrics {
public:
    virtual ~ExTextMetrics() = default;
    virtual int TextWidth(const std::string& text) const = 0;
    virtual int TextHeight(const std::string& text) const = 0;
};

// A list of equally sized images (the bar does not own it).
class ExImageList {
public:
    virtual ~ExImageList() = default;
    virtual int ImageWidth() const = 0;
    virtual int ImageHeight() const = 0;
};

enum class ExGlyph { Up, Down };

struct ExFontStyle {
    bool Bold = false;
    bool Underline = false;
};

// The back buffer as the painting code sees it.
class ExCanvas : public ExTextMetrics {
public:
    // Later drawing is limited to `area` (replaces the previous limit).
    virtual void SetClip(const ExRect& area) = 0;
    virtual void FillRect(const ExRect& area, TColor color) = 0;
    virtual void SetFont(ExFontStyle style) = 0;
    virtual void SetTextColor(TColor color) = 0;
    // Text without background, top-left corner at (x, y).
    virtual void DrawString(int x, int y, const std::string& text) = 0;
    virtual void DrawImage(const ExImageList& list, int index, int x, int y) = 0;
    // Copies (stretching when the sizes differ) a region of the theme picture.
    virtual void DrawThemePart(const ExRect& source, const ExRect& target) = 0;
    // The 8 x 8 arrow glyph, its set pixels in `color`.
    virtual void DrawGlyph(ExGlyph glyph, int x, int y, TColor color) = 0;
    // A one-pixel line from (x1, y1) to (x2, y2), the end point excluded.
    virtual void DrawLine(int x1, int y1, int x2, int y2, TColor color) = 0;
    // The system check box: state 0 clear, 1 checked, 2 grayed.
    virtual void DrawCheck(const ExRect& box, int state, bool enabled, bool flat) = 0;
    virtual void DrawDottedFrame(const ExRect& area, TColor color) = 0;
    // Fades the pixels of `area` toward `background`, keeping current/full of each value.
    virtual void BlendToward(const ExRect& area, TColor background, int current, int full) = 0;
};

class TExBar;
class TExGroup;

enum class ExCursor { Arrow, Hand };

// What the model asks of the window that shows it.
class ExBarHost {
public:
    virtual ~ExBarHost() = default;
    // Metrics of the surface's default font, for measuring.
    virtual const ExTextMetrics& Metrics() const = 0;
    virtual int BarWidth() const = 0;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual void InvalidateControl() = 0;
    // Full render of the back buffer (PaintGroups), then one copy to the screen.
    virtual void RenderSurface() = 0;
    // PaintGroup of each group in place in the back buffer, then one copy to the screen.
    virtual void RepaintGroups(std::span<TExGroup* const> groups) = 0;
    virtual void SetSurfaceSize(int width, int height) = 0;
    virtual bool ScrollBarVisible() const = 0;
    virtual void ShowScrollBar(bool show) = 0;
    virtual void SetCursor(ExCursor cursor) = 0;
    virtual void SetTooltip(const std::string& text, bool active) = 0;
    virtual void StartAnimTimer(TExGroup& group) = 0;
    virtual void StopAnimTimer(TExGroup& group) = 0;
};

// Mouse buttons and modifier keys at the time of a mouse event.
struct ExMouseState {
    bool Buttons = false;
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

// Anything that can be the bar's hot object: a group or an item.
class TExObject {
public:
    virtual ~TExObject() = default;
};

class TExCustomItem : public TExObject {
public:
    explicit TExCustomItem(TExGroup& group);
    ~TExCustomItem() override;
    TExCustomItem(const TExCustomItem&) = delete;
    TExCustomItem& operator=(const TExCustomItem&) = delete;

    virtual void PaintItem(ExCanvas& canvas, int x, int groupWidth, int& y);
    virtual void MeasureItem(const ExTextMetrics& metrics, int x, int groupWidth, int& y);

    TExGroup& Group() const { return group_; }
    bool Visible = true;

protected:
    TExBar& Bar() const;

private:
    TExGroup& group_;
};

// A link: icon, caption, hint, id.
class TExMenuItem : public TExCustomItem {
public:
    explicit TExMenuItem(TExGroup& group);
    void PaintItem(ExCanvas& canvas, int x, int groupWidth, int& y) override;
    void MeasureItem(const ExTextMetrics& metrics, int x, int groupWidth, int& y) override;

    std::string Caption = "MenuItem";
    std::string Hint = "MenuItem";
    int32_t ImageIndex = -1;
    int32_t Id = -1;
    ExRect HitRect{-1, -1, -1, -1};

protected:
    bool HasIcon() const;
    // Lines of the caption from (x + textStart, y); returns the right end of the widest.
    int PaintLines(ExCanvas& canvas, int x, int textStart, int lineWidth, int& y) const;
};

// A check item: a check box instead of the icon.
class TExCheckBox : public TExMenuItem {
public:
    explicit TExCheckBox(TExGroup& group);
    void PaintItem(ExCanvas& canvas, int x, int groupWidth, int& y) override;
    void MeasureItem(const ExTextMetrics& metrics, int x, int groupWidth, int& y) override;

    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool Enabled = true;
    bool Flat = true;

private:
    bool checked_ = false;
};

enum class ExGroupState { Expanded = 0, Collapsed = 1, Expanding = 2, Collapsing = 3 };

class TExGroup : public TExObject {
public:
    TExGroup(TExBar& bar, int timerId);
    ~TExGroup() override;
    TExGroup(const TExGroup&) = delete;
    TExGroup& operator=(const TExGroup&) = delete;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    int32_t ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int32_t index);
    bool Special() const { return special_; }
    void SetSpecial(bool special);

    // Appends a link; does nothing while the bar has no item icons. Returns the link or null.
    TExMenuItem* AddLink(const std::string& caption, const std::string& hint, int32_t id,
                         int32_t imageIndex);
    // Appends an item of any kind (check items, the base item); returns it.
    template <typename Item> Item& AddItem() {
        auto item = std::make_unique<Item>(*this);
        Item& ref = *item;
        Items.push_back(std::move(item));
        ItemAdded();
        return ref;
    }

    void ToggleGroup();
    // One 30 ms step of the running animation.
    void AnimTimerTick();
    void Measure(int x, int& y);
    void PaintGroup(ExCanvas& canvas, int x, int& y);
    bool Collapsed() const {
        return GroupState == ExGroupState::Collapsed || GroupState == ExGroupState::Collapsing;
    }
    bool Animating() const {
        return GroupState == ExGroupState::Expanding || GroupState == ExGroupState::Collapsing;
    }
    TExBar& Bar() const { return bar_; }
    int TimerId() const { return timerId_; }
    bool TimerRunning() const { return timerRunning_; }

    int32_t Step = 0;
    int32_t StepLimit = 0;
    int32_t TargetHeight = 25;
    int32_t CurrentHeight = 25;
    std::vector<std::unique_ptr<TExCustomItem>> Items;
    ExGroupState GroupState = ExGroupState::Expanded;
    ExRect HeaderRect;
    ExRect BodyRect;
    int32_t FullHeight = 25;
    int32_t Width = 0;

private:
    void ItemAdded();
    void StartTimer();
    void StopTimer();
    int StepIncrement() const { return FullHeight / 150 + 1; }

    TExBar& bar_;
    int timerId_;
    bool timerRunning_ = false;
    int32_t imageIndex_ = -1;
    bool special_ = false;
    std::string caption_;
};

class TExGroups {
public:
    explicit TExGroups(TExBar& bar) : bar_(bar) {}
    TExGroup& AddGroup(const std::string& caption, bool special);
    int Count() const { return static_cast<int>(groups_.size()); }
    TExGroup& operator[](int index) const { return *groups_.at(static_cast<size_t>(index)); }
    void Delete(int index);
    void Clear();
    auto begin() const { return groups_.begin(); }
    auto end() const { return groups_.end(); }

private:
    TExBar& bar_;
    int nextTimerId_ = 1;
    std::vector<std::unique_ptr<TExGroup>> groups_;
};

using TMenuItemClickEvent = std::function<void(TExBar& sender, int32_t id)>;

// Pixels of the layout, fixed by the design (not scaled).
struct ExBarMetrics {
    static constexpr int GroupLeft = 12;
    static constexpr int FirstGroupTop = 8;
    static constexpr int SideMargins = 24;
    static constexpr int HeaderBlock = 32;
    static constexpr int HeaderGap = 9;
    static constexpr int HeaderBar = 23;
    static constexpr int BodyMargin = 8;
    static constexpr int GroupGap = 8;
    static constexpr int ItemSpace = 4;
    static constexpr int CheckTextStart = 34;
    static constexpr int LinkTextStart = 12;
    static constexpr int IconTextGap = 18;
    static constexpr int BaseItemHeight = 20;
    static constexpr int InitialWidth = 218;
    static constexpr int InitialHeight = 300;
    static constexpr int AnimPeriodMs = 30;
};

class TExBar {
public:
    explicit TExBar(ExBarHost& host);
    ~TExBar();
    TExBar(const TExBar&) = delete;
    TExBar& operator=(const TExBar&) = delete;

    // Colours from a theme picture, or the classic ones when there is none.
    void ApplyTheme(const ExThemeColors* pictureColors);
    bool HasThemePicture() const { return hasThemePicture_; }
    TColor Color() const { return color_; }

    void LockUpdates() { Updating = true; }
    void UnlockUpdates();
    void RefreshBar();
    void UpdateLayout();
    // The bar's size changed (also called after the scroll bar came or went).
    void Resized();

    TExObject* ObjectAt(int x, int y) const;
    void MouseMove(int x, int y, ExMouseState state);
    void MouseUp(int x, int y);
    void MouseLeave();
    // A 30 ms tick of the animation timer with this id.
    void TimerTick(int timerId);

    void PaintGroups(ExCanvas& canvas);
    // PaintGroup of one group at its place from the last full render; answers the area it
    // painted over, so that only that part of the back buffer needs copying to the screen.
    ExRect PaintGroupInPlace(ExCanvas& canvas, TExGroup& group);

    TExObject* HotObject() const { return hotObject_; }
    void ForgetHotObject(const TExObject* object);
    ExBarHost& Host() const { return host_; }
    int SurfaceHeight() const { return surfaceHeight_; }
    int GroupWidth() const { return host_.ClientWidth() - ExBarMetrics::SideMargins; }

    bool Updating = false;
    TColor BackgroundColor = 0;
    TColor BodyFrameColor = 0;
    TColor BodyColor = 0;
    TColor SpecialTextColor = 0;
    TColor SpecialHotTextColor = 0;
    TColor TextColor = 0;
    TColor HotTextColor = 0;
    bool Animate = true;
    TExGroups Groups;
    const ExImageList* GroupIcons = nullptr;
    const ExImageList* ItemIcons = nullptr;
    bool LayoutPending = true;
    TMenuItemClickEvent OnMenuItemClick;
    int32_t LastWidth = ExBarMetrics::InitialWidth;
    int32_t ContentHeight = 0;

private:
    void SetHotCursor();

    ExBarHost& host_;
    TExObject* hotObject_ = nullptr;
    bool hasThemePicture_ = false;
    TColor color_ = 0xFFFFFF;
    int surfaceHeight_ = 1;
    int resizeDepth_ = 0;
};

// The next line of `rest` no wider than `maxWidth` (strictly narrower), removed from `rest`.
// Wraps after spaces; a single word too wide is cut and ends in "...", the rest of it dropped.
std::string FitLine(std::string& rest, int maxWidth, const ExTextMetrics& metrics);

// Number of animation steps from a to b, each step c larger than the previous.
int32_t StepCount(int32_t a, int32_t b, int32_t c);

} // namespace ombrevane
