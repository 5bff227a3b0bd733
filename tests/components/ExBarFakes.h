#pragma once
// Stand-ins for the window side of the navigation bar: fixed text metrics, a host that
// records what the model asks of it, and a canvas that records what is drawn.

#include "components/ExBar.h"

#include <set>
#include <string>
#include <vector>

namespace ombrevane::testing {

// Every character is `charWidth` wide; every text `textHeight` high.
class FakeMetrics : public ExTextMetrics {
public:
    int TextWidth(const std::string& text) const override {
        return static_cast<int>(text.size()) * charWidth;
    }
    int TextHeight(const std::string&) const override { return textHeight; }
    int charWidth = 6;
    int textHeight = 13;
};

class FakeImageList : public ExImageList {
public:
    FakeImageList(int width, int height) : width_(width), height_(height) {}
    int ImageWidth() const override { return width_; }
    int ImageHeight() const override { return height_; }

private:
    int width_;
    int height_;
};

struct DrawnText {
    int X;
    int Y;
    std::string Text;
    TColor Color;
    ExFontStyle Font;
};

class RecordingCanvas : public ExCanvas {
public:
    explicit RecordingCanvas(const FakeMetrics& metrics) : metrics_(&metrics) {}
    int TextWidth(const std::string& text) const override { return metrics_->TextWidth(text); }
    int TextHeight(const std::string& text) const override { return metrics_->TextHeight(text); }
    void SetClip(const ExRect& area) override { clips.push_back(area); }
    void FillRect(const ExRect& area, TColor color) override { fills.push_back({area, color}); }
    void SetFont(ExFontStyle style) override { font_ = style; }
    void SetTextColor(TColor color) override { color_ = color; }
    void DrawString(int x, int y, const std::string& text) override {
        texts.push_back({x, y, text, color_, font_});
    }
    void DrawImage(const ExImageList&, int index, int x, int y) override {
        images.push_back({index, x, y});
    }
    void DrawThemePart(const ExRect& source, const ExRect& target) override {
        themeParts.push_back({source, target});
    }
    void DrawGlyph(ExGlyph glyph, int x, int y, TColor color) override {
        glyphs.push_back({glyph, x, y, color});
    }
    void DrawLine(int, int, int, int, TColor) override { ++lines; }
    void DrawCheck(const ExRect& box, int state, bool enabled, bool flat) override {
        checks.push_back({box, state, enabled, flat});
    }
    void DrawDottedFrame(const ExRect& area, TColor) override { dotted.push_back(area); }
    void BlendToward(const ExRect& area, TColor background, int current, int full) override {
        blends.push_back({area, background, current, full});
    }

    const DrawnText* FindText(const std::string& text) const {
        for (auto it = texts.rbegin(); it != texts.rend(); ++it) {
            if (it->Text == text) {
                return &*it;
            }
        }
        return nullptr;
    }
    void Clear() { *this = RecordingCanvas(*metrics_); }

    struct Fill {
        ExRect Area;
        TColor Color;
    };
    struct Image {
        int Index, X, Y;
    };
    struct ThemePart {
        ExRect Source, Target;
    };
    struct Glyph {
        ExGlyph Kind;
        int X, Y;
        TColor Color;
    };
    struct Check {
        ExRect Box;
        int State;
        bool Enabled, Flat;
    };
    struct Blend {
        ExRect Area;
        TColor Background;
        int Current, Full;
    };
    std::vector<ExRect> clips;
    std::vector<Fill> fills;
    std::vector<DrawnText> texts;
    std::vector<Image> images;
    std::vector<ThemePart> themeParts;
    std::vector<Glyph> glyphs;
    int lines = 0;
    std::vector<Check> checks;
    std::vector<ExRect> dotted;
    std::vector<Blend> blends;

private:
    const FakeMetrics* metrics_;
    ExFontStyle font_{};
    TColor color_ = 0;
};

// The window side: a bar 218 wide (17 of it the scroll bar when shown) and 400 high.
class FakeHost : public ExBarHost {
public:
    FakeHost() : canvas(metrics) {}
    void Attach(TExBar& bar) { bar_ = &bar; }

    const ExTextMetrics& Metrics() const override { return metrics; }
    int BarWidth() const override { return barWidth; }
    int ClientWidth() const override { return barWidth - (scrollBar ? 17 : 0); }
    int ClientHeight() const override { return clientHeight; }
    void InvalidateControl() override { ++invalidates; }
    void RenderSurface() override {
        ++renders;
        canvas.Clear();
        if (bar_ != nullptr) {
            bar_->PaintGroups(canvas);
        }
    }
    void RepaintGroups(std::span<TExGroup* const> groups) override {
        repaints.emplace_back(groups.begin(), groups.end());
        for (TExGroup* group : groups) {
            bar_->PaintGroupInPlace(canvas, *group);
        }
    }
    void SetSurfaceSize(int width, int height) override {
        surfaceWidth = width;
        surfaceHeight = height;
        ++surfaceResizes;
    }
    bool ScrollBarVisible() const override { return scrollBar; }
    void ShowScrollBar(bool show) override {
        scrollBar = show;
        scrollBarChanges.push_back(show);
    }
    void SetCursor(ExCursor value) override {
        cursor = value;
        ++cursorSets;
    }
    void SetTooltip(const std::string& text, bool active) override {
        tooltip = text;
        tooltipActive = active;
    }
    void StartAnimTimer(TExGroup& group) override { timers.insert(group.TimerId()); }
    void StopAnimTimer(TExGroup& group) override { timers.erase(group.TimerId()); }

    FakeMetrics metrics;
    RecordingCanvas canvas;
    int barWidth = 218;
    int clientHeight = 400;
    bool scrollBar = false;
    int invalidates = 0;
    int renders = 0;
    std::vector<std::vector<TExGroup*>> repaints;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    int surfaceResizes = 0;
    std::vector<bool> scrollBarChanges;
    ExCursor cursor = ExCursor::Arrow;
    int cursorSets = 0;
    std::string tooltip;
    bool tooltipActive = false;
    std::set<int> timers;

private:
    TExBar* bar_ = nullptr;
};

} // namespace ombrevane::testing
