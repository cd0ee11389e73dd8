// The soil-pile profile: the soil layers as horizontal bands below the ground
// line, each labelled with its depth range and soil kind, and the pile as a
// solid bar from the ground surface down to its length. This is the geometry
// of the profile view and of its landscape printout in pixels, over a plain
// description of the project; the view only paints what it is given.
#pragma once

#include "PltData.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pavrin::graphics {

// One row of the soil-layer table.
struct TSoilLayerInput {
    int SoilType = 1;     // 1..6; odd codes are clays, even codes sands
    long double Bottom{}; // depth of the layer's bottom, project length unit
};

// What the profile needs of the project. Lengths are in the project's length
// unit: inches in English projects (Units 1), metres in SI projects (Units 2).
struct SoilProfileInput {
    int Units = 1;
    long double OuterDiameter{};
    long double PileLength{};
    std::vector<TSoilLayerInput> Layers; // in table order; layer 1 starts at depth 0
};

// An extent in the profile's world: x is the offset from the pile axis, y the
// depth below the ground surface, growing downward.
struct TWorldRect {
    long double xmin = -10;
    long double xmax = 10;
    long double ymin = 0;
    long double ymax = 10;
};

// One quadrilateral of the pile.
struct TPileOutline {
    TFloatPoint UpperLeft, UpperRight, LowerLeft, LowerRight;
};

// The pile's outline could not be built.
class ESoilProfileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
inline constexpr const char* PileSectionsMessage = "One or more Pile Types does not have any sections";

// "depth= 0 - 10; Clay": a layer's label, numbers in the shortest decimal form
// of their value rounded to 15 significant digits.
std::string SoilLayerLabel(long double top, long double bottom, int soilType);

// Pixel geometry of a drawing, screen or paper.
struct TPixelLine {
    int x1, y1, x2, y2;
};
struct TPixelText {
    int x, y; // top left corner of the text
    std::string text;
};
struct TPixelPolygon {
    int x[4], y[4]; // upper left, upper right, lower right, lower left
};
struct TProfileDrawing {
    std::vector<TPixelLine> Lines;    // ground line, hatch strokes, layer bottoms
    std::vector<TPixelText> Labels;   // one per layer
    std::vector<TPixelPolygon> Piles; // filled in the text colour
};

// The profile of the view: the world extent, the extent shown at equal scales
// in a client area, and the conversions between world and pixels.
class TSoilProfile {
public:
    // Rebuilds the pile outline and the extent from the project: the pile
    // is as wide as its diameter on the common scale, the extent covers it
    // and the last layer with a 1.05 margin. A project
    // without layers keeps the initial extent and no pile. Throws
    // ESoilProfileError (PileSectionsMessage) when the pile's size is not a number.
    void Rebuild(const SoilProfileInput& input);
    // The extent shown in a client area of width x height pixels: the world
    // extent widened in one direction so that both scales are equal. A
    // degenerate extent (or an empty client area) makes the profile invalid.
    void Resize(int width, int height);

    bool Invalid() const { return invalid_; }
    const TWorldRect& WorldRect() const { return world_; }
    const TWorldRect& ViewRect() const { return view_; }
    const std::vector<TPileOutline>& PileOutlines() const { return outlines_; }
    long double PileWidth() const { return pileWidth_; }
    long double PileLength() const { return pileLength_; }

    int ToPixelX(long double x) const;
    int ToPixelY(long double y) const;
    long double ToWorldX(int px) const;
    long double ToWorldY(int py) const;

    // The screen drawing in the client area of the last Resize; `textHeight`
    // is the height of a line of label text in pixels. Empty when invalid.
    // The pile is never narrower than MinPilePixels.
    TProfileDrawing Draw(const SoilProfileInput& input, int textHeight) const;

private:
    TWorldRect world_;
    TWorldRect view_;
    std::vector<TPileOutline> outlines_;
    long double pileWidth_ = 0;
    long double pileLength_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool invalid_ = false;
};

// The landscape printout on a page of width x height device pixels: depths
// scaled so that the last layer's bottom lies at 90 % of the page height, the
// pile a bar of the profile's width and length on that scale centred on the
// page, at least minPileWidth pixels wide. None when the profile has no depth
// to scale by.
std::optional<TProfileDrawing> LayoutProfilePrintout(const SoilProfileInput& input,
                                                     const TSoilProfile& profile, int width, int height,
                                                     int textHeight, int minPileWidth = 1);

// The narrowest pile on screen, pixels, and on paper, millimetres.
inline constexpr int MinPilePixels = 3;
inline constexpr double MinPilePaperMm = 0.5;

// The pen width of the printout in device pixels.
inline constexpr int PrintPenWidth = 12;

} // namespace pavrin::graphics
