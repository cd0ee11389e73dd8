#include "SoilProfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace pavrin::graphics {

namespace {

constexpr long double kMargin = 1.05L;

// Pixels far outside any device are clamped, so that an extreme scale never
// overflows an int.
int roundPixel(long double value) {
    constexpr long double limit = 1.0e8L;
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::lround(std::clamp(value, -limit, limit)));
}

bool finite(const TWorldRect& r) {
    return std::isfinite(r.xmin) && std::isfinite(r.xmax) && std::isfinite(r.ymin) && std::isfinite(r.ymax);
}

} // namespace

// A depth in the shortest form of its value rounded to 15 significant digits: a depth converted to SI
// and back is 180.00000000000000001 in extended precision, and is labelled 180.
std::string FormatDepth(long double value) {
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    long double rounded = value;
    if (written.ec == std::errc{})
        std::from_chars(buffer, written.ptr, rounded);
    return FormatShortest(rounded);
}

std::string SoilLayerLabel(long double top, long double bottom, int soilType) {
    return "depth= " + FormatDepth(top) + " - " + FormatDepth(bottom) +
           (soilType % 2 != 0 ? "; Clay" : "; Sand");
}

void TSoilProfile::Rebuild(const SoilProfileInput& input) {
    outlines_.clear();
    invalid_ = false;
    if (input.Layers.empty()) {
        world_ = TWorldRect{};
        Resize(width_, height_);
        return;
    }
    // The diameter is in the length unit of the depths (inches or metres): the pile is drawn at its
    // true width on the common scale.
    const long double width = input.OuterDiameter;
    if (!std::isfinite(width) || !std::isfinite(input.PileLength))
        throw ESoilProfileError(PileSectionsMessage);
    pileWidth_ = width;
    pileLength_ = input.PileLength;
    outlines_.push_back(
        {{-width / 2, 0}, {width / 2, 0}, {-width / 2, pileLength_}, {width / 2, pileLength_}});

    TWorldRect world{0, 0, 0, 0};
    for (const TPileOutline& o : outlines_) {
        world.xmin = std::min(world.xmin, o.UpperLeft.X);
        world.xmax = std::max(world.xmax, o.UpperRight.X);
        world.ymax = std::max(world.ymax, o.LowerLeft.Y);
    }
    world.ymin = outlines_.front().UpperLeft.Y;
    world.ymax = std::max(world.ymax, input.Layers.back().Bottom);
    world_ = {world.xmin * kMargin, world.xmax * kMargin, world.ymin * kMargin, world.ymax * kMargin};
    Resize(width_, height_);
}

void TSoilProfile::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    view_ = world_;
    const long double a = (static_cast<long double>(width) / height) /
                          ((world_.xmax - world_.xmin) / (world_.ymax - world_.ymin));
    if (a >= 1) {
        view_.xmin *= a;
        view_.xmax *= a;
    } else {
        view_.ymin /= a;
        view_.ymax /= a;
    }
    invalid_ = width <= 0 || height <= 0 || !std::isfinite(a) || a <= 0 || !finite(view_) ||
               !(view_.xmax > view_.xmin) || !(view_.ymax > view_.ymin);
}

int TSoilProfile::ToPixelX(long double x) const {
    return roundPixel(width_ * (x - view_.xmin) / (view_.xmax - view_.xmin));
}

int TSoilProfile::ToPixelY(long double y) const {
    return roundPixel(height_ * (y - view_.ymin) / (view_.ymax - view_.ymin));
}

long double TSoilProfile::ToWorldX(int px) const {
    return view_.xmin + px * (view_.xmax - view_.xmin) / width_;
}

long double TSoilProfile::ToWorldY(int py) const {
    return view_.ymin + py * (view_.ymax - view_.ymin) / height_;
}

TProfileDrawing TSoilProfile::Draw(const SoilProfileInput& input, int textHeight) const {
    TProfileDrawing drawing;
    if (invalid_)
        return drawing;
    long double top = 0;
    for (std::size_t i = 0; i < input.Layers.size(); ++i) {
        const TSoilLayerInput& layer = input.Layers[i];
        if (i == 0) {
            const int ground = ToPixelY(0);
            drawing.Lines.push_back({0, ground, width_, ground});
            for (int j = 1; j <= 20; ++j)
                drawing.Lines.push_back({100 + 20 * j, ground, 115 + 20 * j, ground + 5});
        }
        const int bottom = ToPixelY(layer.Bottom);
        drawing.Lines.push_back({0, bottom, width_, bottom});
        drawing.Labels.push_back(
            {0, ToPixelY(top) + textHeight, SoilLayerLabel(top, layer.Bottom, layer.SoilType)});
        top = layer.Bottom;
    }
    for (const TPileOutline& o : outlines_) {
        int left = ToPixelX(o.UpperLeft.X);
        int right = ToPixelX(o.UpperRight.X);
        // A slender pile in a deep profile stays visible.
        if (right - left < MinPilePixels) {
            left = ToPixelX((o.UpperLeft.X + o.UpperRight.X) / 2) - MinPilePixels / 2;
            right = left + MinPilePixels;
        }
        const int top = ToPixelY(o.UpperLeft.Y);
        const int bottom = ToPixelY(o.LowerLeft.Y);
        drawing.Piles.push_back({{left, right, right, left}, {top, top, bottom, bottom}});
    }
    return drawing;
}

std::optional<TProfileDrawing> LayoutProfilePrintout(const SoilProfileInput& input,
                                                     const TSoilProfile& profile, int width, int height,
                                                     int textHeight, int minPileWidth) {
    // The depth scale ends at the last layer's bottom. A profile whose last
    // bottom is not below the ground is scaled by its deepest point instead,
    // rather than dividing by zero.
    long double dmax = input.Layers.empty() ? 0 : input.Layers.back().Bottom;
    if (!(dmax > 0)) {
        for (const TSoilLayerInput& layer : input.Layers)
            dmax = std::max(dmax, layer.Bottom);
        dmax = std::max(dmax, profile.PileLength());
    }
    if (!(dmax > 0) || !std::isfinite(dmax) || width <= 0 || height <= 0)
        return std::nullopt;

    const long double W = width;
    const long double H = height;
    const auto y = [&](long double depth) { return roundPixel(0.1L * H + 0.8L * H * depth / dmax); };
    const int left = roundPixel(0.1L * W);
    const int right = roundPixel(0.9L * W);
    TProfileDrawing drawing;
    long double top = 0;
    for (std::size_t i = 0; i < input.Layers.size(); ++i) {
        const TSoilLayerInput& layer = input.Layers[i];
        if (i == 0) {
            const int ground = y(0);
            drawing.Lines.push_back({left, ground, right, ground});
            // The strokes start at fractions of the page height, as the label does.
            for (int k = 1; k <= 10; ++k)
                drawing.Lines.push_back(
                    {roundPixel(0.35L * H) + 50 * k, ground, roundPixel(0.365L * H) + 50 * k, ground + 70});
        }
        drawing.Lines.push_back({left, y(layer.Bottom), right, y(layer.Bottom)});
        drawing.Labels.push_back(
            {roundPixel(0.15L * H), y(top) + textHeight, SoilLayerLabel(top, layer.Bottom, layer.SoilType)});
        top = layer.Bottom;
    }
    if (!profile.PileOutlines().empty()) {
        // The bar at the pile's true width on the depth scale, never narrower than minPileWidth.
        const int n = std::max(roundPixel(profile.PileWidth() / 2 / dmax * 0.8L * H), (minPileWidth + 1) / 2);
        const int m = roundPixel(profile.PileLength() / dmax * 0.8L * H);
        const int xc = roundPixel(0.5L * W);
        const int y0 = y(0);
        if (n >= 1)
            drawing.Piles.push_back({{xc - n, xc + n, xc + n, xc - n}, {y0, y0, y0 + m, y0 + m}});
    }
    return drawing;
}

} // namespace pavrin::graphics
