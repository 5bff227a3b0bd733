#include "components/ExBar.h"

#include <algorithm>

namespace ombrevane {

namespace {

using M = ExBarMetrics;

TExGroup* GroupOf(TExObject* object) {
    if (object == nullptr) {
        return nullptr;
    }
    if (auto* group = dynamic_cast<TExGroup*>(object)) {
        return group;
    }
    if (auto* item = dynamic_cast<TExCustomItem*>(object)) {
        return &item->Group();
    }
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Text fitting and animation arithmetic

std::string FitLine(std::string& rest, int maxWidth, const ExTextMetrics& metrics) {
    std::string line;
    while (!rest.empty()) {
        const size_t space = rest.find(' ');
        const size_t wordLength = space == std::string::npos ? rest.size() : space + 1;
        std::string word = rest.substr(0, wordLength);
        if (metrics.TextWidth(line + word) < maxWidth) {
            line += word;
            rest.erase(0, wordLength);
            continue;
        }
        if (line.empty()) {
            // One word alone is too wide: shorten it, drop the remainder of the word.
            rest.erase(0, wordLength);
            do {
                if (word.size() > 1) {
                    word.pop_back();
                }
            } while (word.size() > 1 && metrics.TextWidth(word + "...") >= maxWidth);
            line = word + "...";
        }
        break;
    }
    return line;
}

int32_t StepCount(int32_t a, int32_t b, int32_t c) {
    if (a > b) {
        std::swap(a, b);
    }
    // A non-positive increment would never reach b.
    c = std::max(c, 1);
    int64_t low = a;
    int64_t r = 1;
    while (low < b) {
        low += r;
        r += c;
    }
    return static_cast<int32_t>(r);
}

// ---------------------------------------------------------------------------------------------
// Items

TExCustomItem::TExCustomItem(TExGroup& group) : group_(group) {}

TExCustomItem::~TExCustomItem() {
    Bar().ForgetHotObject(this);
}

TExBar& TExCustomItem::Bar() const {
    return group_.Bar();
}

void TExCustomItem::MeasureItem(const ExTextMetrics&, int, int, int& y) {
    y += M::BaseItemHeight;
}

TExMenuItem::TExMenuItem(TExGroup& group) : TExCustomItem(group) {}

bool TExMenuItem::HasIcon() const {
    return ImageIndex != -1 && Bar().ItemIcons != nullptr;
}

namespace {

// Advances y over a caption as the painting does: lines of the text, at least the icon height.
void MeasureText(const std::string& caption, const ExTextMetrics& metrics, int lineWidth,
                 int iconHeight, int& y) {
    const int y0 = y;
    const int textHeight = metrics.TextHeight("A");
    if (textHeight < iconHeight) {
        y += (iconHeight - textHeight) / 2;
    }
    std::string rest = caption;
    do {
        FitLine(rest, lineWidth, metrics);
        y += textHeight + 1;
    } while (!rest.empty());
    y = std::max(y, y0 + iconHeight);
    y += M::ItemSpace;
}

} // namespace

void TExMenuItem::MeasureItem(const ExTextMetrics& metrics, int x, int groupWidth, int& y) {
    const bool icon = HasIcon();
    const int textStart = icon ? Bar().ItemIcons->ImageWidth() + M::IconTextGap : M::LinkTextStart;
    const int iconHeight = icon ? Bar().ItemIcons->ImageHeight() : 0;
    MeasureText(Caption, metrics, groupWidth + x - textStart - 24, iconHeight, y);
}

TExCheckBox::TExCheckBox(TExGroup& group) : TExMenuItem(group) {}

void TExCheckBox::MeasureItem(const ExTextMetrics& metrics, int x, int groupWidth, int& y) {
    MeasureText(Caption, metrics, groupWidth + x - M::CheckTextStart - 24, 16, y);
}

void TExCheckBox::SetChecked(bool checked) {
    checked_ = checked;
    if (!Bar().Updating) {
        Bar().RefreshBar();
    }
}

// ---------------------------------------------------------------------------------------------
// Groups

TExGroup::TExGroup(TExBar& bar, int timerId)
    : Width(bar.GroupWidth()), bar_(bar), timerId_(timerId) {}

TExGroup::~TExGroup() {
    StopTimer();
    // Items first: they may be the hot object and reach the bar through this group.
    Items.clear();
    bar_.ForgetHotObject(this);
}

void TExGroup::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (!bar_.Updating) {
        bar_.RefreshBar();
    }
}

void TExGroup::SetImageIndex(int32_t index) {
    imageIndex_ = index;
    if (!bar_.Updating) {
        bar_.RefreshBar();
    }
}

void TExGroup::SetSpecial(bool special) {
    special_ = special;
    if (!bar_.Updating) {
        bar_.RefreshBar();
    }
}

TExMenuItem* TExGroup::AddLink(const std::string& caption, const std::string& hint, int32_t id,
                               int32_t imageIndex) {
    if (bar_.ItemIcons == nullptr) {
        return nullptr;
    }
    auto link = std::make_unique<TExMenuItem>(*this);
    link->Caption = caption;
    link->Hint = hint;
    link->Id = id;
    link->ImageIndex = imageIndex;
    TExMenuItem* result = link.get();
    Items.push_back(std::move(link));
    ItemAdded();
    return result;
}

void TExGroup::ItemAdded() {
    // The body grows: without a new layout it would be drawn at its old height.
    bar_.LayoutPending = true;
    if (!bar_.Updating) {
        bar_.RefreshBar();
    }
}

void TExGroup::StartTimer() {
    if (!timerRunning_) {
        timerRunning_ = true;
        bar_.Host().StartAnimTimer(*this);
    }
}

void TExGroup::StopTimer() {
    if (timerRunning_) {
        timerRunning_ = false;
        bar_.Host().StopAnimTimer(*this);
    }
}

void TExGroup::ToggleGroup() {
    if (bar_.Animate) {
        bool started = false;
        switch (GroupState) {
        case ExGroupState::Expanded:
            TargetHeight = 0;
            CurrentHeight = FullHeight;
            GroupState = ExGroupState::Collapsing;
            started = true;
            break;
        case ExGroupState::Collapsed:
            TargetHeight = FullHeight;
            CurrentHeight = 0;
            GroupState = ExGroupState::Expanding;
            started = true;
            break;
        case ExGroupState::Expanding:
            TargetHeight = 0;
            GroupState = ExGroupState::Collapsing;
            break;
        case ExGroupState::Collapsing:
            TargetHeight = FullHeight;
            GroupState = ExGroupState::Expanding;
            break;
        }
        CurrentHeight = std::min(CurrentHeight, FullHeight);
        if (started) {
            StepLimit = StepCount(0, FullHeight, StepIncrement());
            Step = GroupState == ExGroupState::Expanding ? StepLimit - 1 : 0;
            StartTimer();
        }
    } else {
        // Also ends a running animation (Animate switched off meanwhile) at its far end.
        StopTimer();
        if (GroupState == ExGroupState::Expanded || GroupState == ExGroupState::Expanding) {
            GroupState = ExGroupState::Collapsed;
            CurrentHeight = 0;
        } else {
            GroupState = ExGroupState::Expanded;
            CurrentHeight = FullHeight;
        }
        TargetHeight = CurrentHeight;
    }
    bar_.UpdateLayout();
    bar_.RefreshBar();
}

void TExGroup::AnimTimerTick() {
    if (!Animating()) {
        StopTimer();
        return;
    }
    const int c = StepIncrement();
    if (GroupState == ExGroupState::Expanding) {
        CurrentHeight = std::min(CurrentHeight + Step, FullHeight);
        Step -= c;
    } else {
        CurrentHeight = std::max(CurrentHeight - Step, 0);
        Step += c;
    }
    if (Step >= StepLimit || Step < 0) {
        CurrentHeight = TargetHeight;
        StopTimer();
        GroupState = CurrentHeight == 0 ? ExGroupState::Collapsed : ExGroupState::Expanded;
    }
    bar_.UpdateLayout();
    bar_.RefreshBar();
}

void TExGroup::Measure(int x, int& y) {
    if (bar_.Updating) {
        return;
    }
    const int itemsTop = y + M::HeaderBlock + M::BodyMargin;
    int itemY = itemsTop;
    for (const auto& item : Items) {
        if (item->Visible) {
            item->MeasureItem(bar_.Host().Metrics(), x, Width, itemY);
        }
    }
    FullHeight = M::BodyMargin + (itemY - itemsTop) + M::BodyMargin;
    if (FullHeight < CurrentHeight || GroupState == ExGroupState::Expanded) {
        CurrentHeight = FullHeight;
    }
    y += Collapsed() ? M::HeaderBlock : M::HeaderBlock + FullHeight;
    y += M::GroupGap;
}

TExGroup& TExGroups::AddGroup(const std::string& caption, bool special) {
    // Updates are held while the group is set up: the setters would otherwise repaint.
    const bool wasUpdating = bar_.Updating;
    bar_.Updating = true;
    auto group = std::make_unique<TExGroup>(bar_, nextTimerId_++);
    group->SetCaption(caption);
    group->SetSpecial(special);
    bar_.Updating = wasUpdating;
    TExGroup& result = *group;
    groups_.push_back(std::move(group));
    bar_.LayoutPending = true;
    return result;
}

void TExGroups::Delete(int index) {
    if (index >= 0 && index < Count()) {
        groups_.erase(groups_.begin() + index);
        bar_.LayoutPending = true;
    }
}

void TExGroups::Clear() {
    groups_.clear();
    bar_.LayoutPending = true;
}

// ---------------------------------------------------------------------------------------------
// The bar

TExBar::TExBar(ExBarHost& host) : Groups(*this), host_(host) {
    ApplyTheme(nullptr);
}

TExBar::~TExBar() {
    Groups.Clear();
    hotObject_ = nullptr;
}

void TExBar::ApplyTheme(const ExThemeColors* pictureColors) {
    const ExThemeColors colors = pictureColors != nullptr ? *pictureColors : ClassicThemeColors();
    hasThemePicture_ = pictureColors != nullptr;
    BackgroundColor = colors.Background;
    BodyColor = colors.Body;
    BodyFrameColor = colors.BodyFrame;
    TextColor = colors.Text;
    HotTextColor = colors.HotText;
    SpecialTextColor = colors.SpecialText;
    SpecialHotTextColor = colors.SpecialHotText;
    color_ = pictureColors != nullptr ? BackgroundColor : Rgb(255, 255, 255);
}

void TExBar::UnlockUpdates() {
    Updating = false;
    UpdateLayout();
}

void TExBar::RefreshBar() {
    if (Updating) {
        return;
    }
    host_.InvalidateControl();
    if (LayoutPending) {
        LayoutPending = false;
        UpdateLayout();
    }
    host_.RenderSurface();
}

void TExBar::UpdateLayout() {
    int y = M::FirstGroupTop;
    for (const auto& group : Groups) {
        group->Measure(M::GroupLeft, y);
    }
    const bool collapsing =
        std::any_of(Groups.begin(), Groups.end(), [](const std::unique_ptr<TExGroup>& g) {
            return g->GroupState == ExGroupState::Collapsing;
        });
    const int clientHeight = host_.ClientHeight();
    const int height = collapsing && clientHeight - 1 > y ? clientHeight - 1 : y;
    if (height != surfaceHeight_) {
        surfaceHeight_ = height;
        host_.SetSurfaceSize(LastWidth, surfaceHeight_);
    }
    ContentHeight = y;
    Resized();
}

void TExBar::Resized() {
    // Showing or hiding the scroll bar changes the client width and so the layout, which
    // comes back here; the content only grows when the client narrows, so one more round
    // settles it. The bound keeps a misbehaving host from recursing without end.
    if (resizeDepth_ >= 4) {
        return;
    }
    ++resizeDepth_;
    bool changed = false;
    const int clientHeight = host_.ClientHeight();
    if (clientHeight >= ContentHeight && host_.ScrollBarVisible()) {
        host_.ShowScrollBar(false);
        changed = true;
    } else if (clientHeight < ContentHeight && !host_.ScrollBarVisible()) {
        host_.ShowScrollBar(true);
        changed = true;
    }
    const int width = host_.BarWidth();
    if (width != LastWidth) {
        LastWidth = width;
        host_.SetSurfaceSize(LastWidth, surfaceHeight_);
        changed = true;
    }
    if (changed) {
        for (const auto& group : Groups) {
            group->Width = GroupWidth();
        }
        UpdateLayout();
        RefreshBar();
    }
    --resizeDepth_;
}

TExObject* TExBar::ObjectAt(int x, int y) const {
    for (const auto& group : Groups) {
        if (group->HeaderRect.Contains(x, y)) {
            return group.get();
        }
        if (group->BodyRect.Contains(x, y)) {
            for (const auto& item : group->Items) {
                auto* link = dynamic_cast<TExMenuItem*>(item.get());
                if (link != nullptr && link->Visible && link->HitRect.Contains(x, y)) {
                    return link;
                }
            }
        }
    }
    return nullptr;
}

void TExBar::SetHotCursor() {
    if (hotObject_ == nullptr) {
        host_.SetCursor(ExCursor::Arrow);
        return;
    }
    if (auto* check = dynamic_cast<TExCheckBox*>(hotObject_)) {
        // Over a disabled check item the cursor stays as it was.
        if (check->Enabled) {
            host_.SetCursor(ExCursor::Hand);
        }
        return;
    }
    host_.SetCursor(ExCursor::Hand);
}

void TExBar::MouseMove(int x, int y, ExMouseState state) {
    if (state.Buttons || state.Shift || state.Ctrl || state.Alt) {
        return;
    }
    if (auto* link = dynamic_cast<TExMenuItem*>(hotObject_)) {
        if (link->HitRect.Contains(x, y)) {
            return;
        }
    } else if (auto* group = dynamic_cast<TExGroup*>(hotObject_)) {
        if (group->HeaderRect.Contains(x, y)) {
            return;
        }
    }
    TExObject* object = ObjectAt(x, y);
    if (object == hotObject_) {
        return;
    }
    TExGroup* previousGroup = GroupOf(hotObject_);
    hotObject_ = object;
    auto* link = dynamic_cast<TExMenuItem*>(object);
    if (link != nullptr && !link->Hint.empty()) {
        host_.SetTooltip(link->Hint, true);
    } else {
        host_.SetTooltip(std::string(), false);
    }
    TExGroup* newGroup = GroupOf(object);
    std::vector<TExGroup*> groups;
    if (previousGroup != nullptr) {
        groups.push_back(previousGroup);
    }
    if (newGroup != nullptr && newGroup != previousGroup) {
        groups.push_back(newGroup);
    }
    SetHotCursor();
    host_.RepaintGroups(groups);
}

void TExBar::MouseUp(int x, int y) {
    TExObject* object = ObjectAt(x, y);
    if (object != nullptr && object == hotObject_) {
        if (auto* check = dynamic_cast<TExCheckBox*>(object)) {
            if (check->Enabled) {
                check->SetChecked(!check->Checked());
                if (OnMenuItemClick) {
                    OnMenuItemClick(*this, check->Id);
                }
            }
        } else if (auto* link = dynamic_cast<TExMenuItem*>(object)) {
            if (OnMenuItemClick) {
                OnMenuItemClick(*this, link->Id);
            }
        } else if (auto* group = dynamic_cast<TExGroup*>(object)) {
            group->ToggleGroup();
        }
    }
    SetHotCursor();
    RefreshBar();
}

void TExBar::MouseLeave() {
    if (hotObject_ == nullptr) {
        return;
    }
    TExGroup* group = GroupOf(hotObject_);
    hotObject_ = nullptr;
    std::vector<TExGroup*> groups;
    if (group != nullptr) {
        groups.push_back(group);
    }
    host_.RepaintGroups(groups);
}

void TExBar::TimerTick(int timerId) {
    for (const auto& group : Groups) {
        if (group->TimerId() == timerId) {
            group->AnimTimerTick();
            return;
        }
    }
}

void TExBar::ForgetHotObject(const TExObject* object) {
    if (hotObject_ == object) {
        hotObject_ = nullptr;
    }
}

} // namespace ombrevane
