#include "components/TextTrayLayout.h"

#include <algorithm>

namespace ombrevane {

TextIconColors ComputeTextIconColors(TColor color, std::uint32_t fontRgb,
                                     SystemColorLookup systemColor) {
    fontRgb &= 0xFFFFFFu;
    if (color == kColorNone) {
        return {InverseRgb(fontRgb), InverseRgb(fontRgb)};
    }
    std::uint32_t rgb = ColorToRgb(color, systemColor);
    if (rgb == fontRgb) {
        return {InverseRgb(fontRgb), kColorNone};
    }
    return {rgb, kColorNone};
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    for (;;) {
        std::size_t cr = text.find('\r');
        if (cr == std::string_view::npos) {
            lines.emplace_back(text);
            return lines;
        }
        lines.emplace_back(text.substr(0, cr));
        text.remove_prefix(cr + 1);
    }
}

void TOffsetOptions::Changed() {
    if (OnChange) {
        OnChange();
    }
}

void TOffsetOptions::SetOffsetX(int value) {
    if (value != offsetX_) {
        offsetX_ = value;
        Changed();
    }
}

void TOffsetOptions::SetOffsetY(int value) {
    if (value != offsetY_) {
        offsetY_ = value;
        Changed();
    }
}

void TOffsetOptions::SetLineDistance(int value) {
    if (value != lineDistance_) {
        lineDistance_ = value;
        Changed();
    }
}

void TOffsetOptions::Assign(const TOffsetOptions& other) {
    if (other.offsetX_ == offsetX_ && other.offsetY_ == offsetY_ &&
        other.lineDistance_ == lineDistance_) {
        return;
    }
    offsetX_ = other.offsetX_;
    offsetY_ = other.offsetY_;
    lineDistance_ = other.lineDistance_;
    Changed();
}

int CentreOn15(int extent) {
    return (15 - extent) / 2;
}

std::vector<PlacedLine> PlaceText(std::string_view text, const TOffsetOptions& options,
                                  const std::function<TextExtent(std::string_view)>& measure,
                                  int fontHeight) {
    std::vector<PlacedLine> placed;
    if (text.find('\r') == std::string_view::npos) {
        TextExtent extent = measure(text);
        placed.push_back({std::string(text), CentreOn15(extent.width) + options.OffsetX(),
                          CentreOn15(extent.height) + options.OffsetY()});
        return placed;
    }
    std::vector<std::string> lines = SplitLines(text);
    int pitch = fontHeight + options.LineDistance();
    int count = static_cast<int>(lines.size());
    int top = CentreOn15(count * pitch) + options.OffsetY();
    for (int i = 0; i < count; ++i) {
        TextExtent extent = measure(lines[static_cast<std::size_t>(i)]);
        placed.push_back({std::move(lines[static_cast<std::size_t>(i)]),
                          CentreOn15(extent.width) + options.OffsetX(), pitch * i + top});
    }
    return placed;
}

IconImage MaskPixels(const IconPixels& pixels, TColor transparentColor) {
    IconImage image{pixels, std::vector<bool>(pixels.size(), false)};
    bool masked = transparentColor != kColorNone;
    std::uint32_t key = RgbToPixel(transparentColor & 0xFFFFFFu);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        std::uint32_t rgb = pixels[i] & 0xFFFFFFu;
        if (masked && rgb == key) {
            image.transparent[i] = true;
            image.color[i] = 0;
        } else {
            image.color[i] = rgb | 0xFF000000u;
        }
    }
    return image;
}

IconPixels ComposeOver(const IconPixels& base, const IconPixels& overlay, std::uint32_t keyPixel) {
    IconPixels out = base;
    std::size_t n = std::min(base.size(), overlay.size());
    for (std::size_t i = 0; i < n; ++i) {
        if ((overlay[i] & 0xFFFFFFu) != (keyPixel & 0xFFFFFFu)) {
            out[i] = overlay[i];
        }
    }
    return out;
}

} // namespace ombrevane
