#include "components/win32/ExBarImageList.h"

#include "components/ExBarTheme.h"

#include <span>

namespace ombrevane {

namespace {

// Wider snapshots than this would make a DIB the platform may refuse.
constexpr int kMaxSnapshotWidth = 32767;

} // namespace

ExBarImageList::ExBarImageList(HIMAGELIST list) : list_(list) {}

SIZE ExBarImageList::IconSize() const {
    int width = 0;
    int height = 0;
    if (list_ != nullptr) {
        ::ImageList_GetIconSize(list_, &width, &height);
    }
    return SIZE{width, height};
}

int ExBarImageList::ImageWidth() const {
    return IconSize().cx;
}

int ExBarImageList::ImageHeight() const {
    return IconSize().cy;
}

bool ExBarImageList::HasSnapshot() const {
    if (list_ != nullptr) {
        RefreshSnapshot(::ImageList_GetImageCount(list_));
    }
    return snapshot_ != nullptr;
}

void ExBarImageList::RefreshSnapshot(int count) const {
    const SIZE size = IconSize();
    if (count != snapshotCount_ || size.cx != width_ || size.cy != height_) {
        width_ = size.cx;
        height_ = size.cy;
        TakeSnapshot(count);
    }
}

void ExBarImageList::TakeSnapshot(int count) const {
    snapshot_.reset();
    snapshotCount_ = count;
    if (count <= 0 || width_ <= 0 || height_ <= 0 || width_ > kMaxSnapshotWidth / count) {
        return;
    }
    const int total = width_ * count;
    ExDibBuffer overBlack(total, height_);
    ExDibBuffer overWhite(total, height_);
    auto premultiplied = std::make_unique<ExDibBuffer>(total, height_, nullptr, 32);
    if (!overBlack.Valid() || !overWhite.Valid() || !premultiplied->Valid()) {
        return;
    }
    ::PatBlt(overBlack.Dc(), 0, 0, total, height_, BLACKNESS);
    ::PatBlt(overWhite.Dc(), 0, 0, total, height_, WHITENESS);
    for (int i = 0; i < count; ++i) {
        ::ImageList_Draw(list_, i, overBlack.Dc(), i * width_, 0, ILD_TRANSPARENT);
        ::ImageList_Draw(list_, i, overWhite.Dc(), i * width_, 0, ILD_TRANSPARENT);
    }
    ::GdiFlush();
    const auto rowBytes = static_cast<size_t>(total);
    for (int y = 0; y < height_; ++y) {
        PremultiplyFromBackdrops(std::span<const uint8_t>(overBlack.Row(y), rowBytes * 3),
                                 std::span<const uint8_t>(overWhite.Row(y), rowBytes * 3),
                                 std::span<uint8_t>(premultiplied->Row(y), rowBytes * 4));
    }
    snapshot_ = std::move(premultiplied);
}

void ExBarImageList::Draw(HDC dc, int index, int x, int y) const {
    if (list_ == nullptr) {
        return;
    }
    const int count = ::ImageList_GetImageCount(list_);
    if (index < 0 || index >= count) {
        return;
    }
    RefreshSnapshot(count);
    if (!snapshot_) {
        ::ImageList_Draw(list_, index, dc, x, y, ILD_TRANSPARENT);
        return;
    }
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(dc, x, y, width_, height_, snapshot_->Dc(), index * width_, 0, width_, height_,
                 blend);
}

} // namespace ombrevane
