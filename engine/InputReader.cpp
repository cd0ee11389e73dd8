#include "InputReader.h"

#include "Curves.h"
#include "FieldFormat.h"

namespace pavrin::engine {

namespace {

// Record names as the report's error block shows them.
constexpr const char* RecTitle = "RECORD 1 (TITLE)";
constexpr const char* RecControl = "RECORD 2 (INCREMENTS, OUTPUT DETAIL, UNIT SYSTEM)";
constexpr const char* RecSource = "RECORD 3 (CURVE SOURCE)";
constexpr const char* RecCurveCount = "RECORD 4A (NUMBER OF T-Z CURVES)";
constexpr const char* RecCurveHead = "RECORD 4B (T-Z CURVE NUMBER, DEPTH, NUMBER OF POINTS)";
constexpr const char* RecCurvePoint = "RECORD 4C (T-Z CURVE POINT)";
constexpr const char* RecLayerCount = "RECORD 5A (NUMBER OF SOIL LAYERS)";
constexpr const char* RecLayer = "RECORD 5B (SOIL LAYER)";
constexpr const char* RecProfile = "RECORD 5C (SOIL PROFILE POINT)";
constexpr const char* RecAeCount = "RECORD 6A (NUMBER OF AE POINTS)";
constexpr const char* RecAe = "RECORD 6B (AE TABLE)";
constexpr const char* RecQwCount = "RECORD 7A (NUMBER OF Q-W POINTS)";
constexpr const char* RecQw = "RECORD 7B (Q-W CURVE)";
constexpr const char* RecPile = "RECORD 8 (TOLERANCE, PILE LENGTH, OUTER DIAMETER, TIP AREA)";
constexpr const char* RecTipCount = "RECORD 9A (NUMBER OF TIP MOVEMENTS)";
constexpr const char* RecTip = "RECORD 9B (TIP MOVEMENTS)";
constexpr const char* RecLoadCount = "RECORD 10A (NUMBER OF HEAD LOADS)";
constexpr const char* RecLoad = "RECORD 10B (HEAD LOAD)";
constexpr const char* RecSettleCount = "RECORD 11A (NUMBER OF SOIL SETTLEMENT POINTS)";
constexpr const char* RecSettle = "RECORD 11B (SOIL SETTLEMENT PROFILE)";
constexpr const char* RecSideSwitch = "RECORD 12A (T-Z FACTOR SWITCH)";
constexpr const char* RecSideCount = "RECORD 12B (NUMBER OF T-Z FACTOR ROWS)";
constexpr const char* RecSide = "RECORD 12C (T-Z FACTORS)";
constexpr const char* RecTipSwitch = "RECORD 13A (Q-W FACTOR SWITCH)";
constexpr const char* RecTipFactors = "RECORD 13B (Q-W FACTORS)";

std::string real(float v) {
    std::string s;
    appendE(s, v, 11, 4);
    return s.substr(s.find_first_not_of(' '));
}

std::string numbered(const char* record, Int n) {
    return std::string(record) + " " + std::to_string(n);
}

} // namespace

Int InputReader::readCount(const char* record, Int min, Int max, const char* what) {
    Int n = in_.readInt(record);
    if (n < min || n > max)
        throw InputError(record, std::string("THE NUMBER OF ") + what + " MUST LIE BETWEEN " +
                                     std::to_string(min) + " AND " + std::to_string(max) + ", READ " +
                                     std::to_string(n));
    return n;
}

void InputReader::readHeader() {
    std::string title = in_.readLine(RecTitle);
    title.resize(MaxTitle, ' ');
    d_.title = title;
    in_.beginRead(RecControl);
    d_.increments = in_.nextInt();
    d_.outputDetail = in_.nextInt();
    d_.units = in_.nextInt();
    if (d_.increments < 1 || d_.increments > MaxIncrements)
        throw InputError(RecControl, "THE NUMBER OF INCREMENTS MUST LIE BETWEEN 1 AND 900, READ " +
                                         std::to_string(d_.increments));
}

void InputReader::readCurveSource() {
    d_.curveSource = in_.readInt(RecSource);
}

Int InputReader::readCurveCount() {
    Int n = readCount(RecCurveCount, 1, MaxTzCurves, "T-Z CURVES");
    d_.curves.reserve(static_cast<std::size_t>(n));
    return n;
}

Int InputReader::readCurveHead(Int k) {
    in_.beginRead(numbered(RecCurveHead, k));
    TzCurve c;
    c.number = in_.nextInt();
    c.depth = in_.nextReal();
    Int m = in_.nextInt();
    if (m < 1 || m > MaxTzPoints)
        throw InputError(numbered(RecCurveHead, k),
                         "THE NUMBER OF POINTS OF A T-Z CURVE MUST LIE BETWEEN 1 AND 100, READ " +
                             std::to_string(m));
    c.points.reserve(static_cast<std::size_t>(m));
    d_.curves.push_back(std::move(c));
    return m;
}

void InputReader::readCurvePoint(TzCurve& curve, Int point) {
    in_.beginRead(numbered(RecCurvePoint, point) + " OF CURVE " + std::to_string(curve.number));
    CurvePoint p;
    p.t = in_.nextReal();
    p.z = in_.nextReal();
    curve.points.push_back(p);
}

void InputReader::readLayers() {
    Int n = readCount(RecLayerCount, 1, MaxLayers, "SOIL LAYERS");
    for (Int k = 1; k <= n; ++k) {
        const std::string rec = numbered(RecLayer, k);
        in_.beginRead(rec);
        SoilLayer layer;
        layer.number = in_.nextInt();
        layer.soilType = in_.nextInt();
        layer.top = in_.nextReal();
        layer.bottom = in_.nextReal();
        if (layer.soilType < 1 || layer.soilType > 6)
            throw InputError(rec, "THE SOIL TYPE MUST LIE BETWEEN 1 AND 6, READ " +
                                      std::to_string(layer.soilType));
        d_.layers.push_back(layer);
    }
    // Five t-z curves per layer, numbered from the top down.
    for (const SoilLayer& layer : d_.layers)
        for (float depth : layerCurveDepths(layer.top, layer.bottom)) {
            TzCurve c;
            c.number = static_cast<Int>(d_.curves.size()) + 1;
            c.depth = depth;
            c.soilType = layer.soilType;
            d_.curves.push_back(std::move(c));
        }
}

void InputReader::readProfile() {
    Int point = 0;
    for (const SoilLayer& layer : d_.layers)
        for (float depth : {layer.top, layer.bottom}) {
            ++point;
            std::vector<float> v = in_.readReals(numbered(RecProfile, point), 6);
            d_.profile.push_back({depth, v[0], v[1], v[2], v[3], v[4], v[5]});
        }
}

void InputReader::readAe() {
    Int n = readCount(RecAeCount, MinAePoints, MaxAePoints, "AE POINTS");
    std::vector<float> v = in_.readReals(RecAe, 2 * static_cast<std::size_t>(n));
    for (Int i = 0; i < n; ++i) {
        AePoint p{v[2 * static_cast<std::size_t>(i)], v[2 * static_cast<std::size_t>(i) + 1]};
        if (!(p.ae > 0.0f))
            throw InputError(RecAe, "AE MUST BE POSITIVE, READ " + real(p.ae) + " AT POINT " +
                                        std::to_string(i + 1));
        if (i > 0 && p.depth < d_.ae.back().depth)
            throw InputError(RecAe, "THE DEPTHS MUST NOT DECREASE, READ " + real(p.depth) + " AT POINT " +
                                        std::to_string(i + 1) + " BELOW " + real(d_.ae.back().depth));
        d_.ae.push_back(p);
    }
}

void InputReader::readQw() {
    Int n = readCount(RecQwCount, 1, MaxQwPoints, "Q-W POINTS");
    std::vector<float> v = in_.readReals(RecQw, 2 * static_cast<std::size_t>(n));
    for (Int i = 0; i < n; ++i)
        d_.qw.push_back({v[2 * static_cast<std::size_t>(i)], v[2 * static_cast<std::size_t>(i) + 1]});
}

void InputReader::readPile() {
    std::vector<float> v = in_.readReals(RecPile, 4);
    d_.tolerance = v[0];
    d_.pileLength = v[1];
    d_.diameter = v[2];
    d_.tipArea = v[3];
    auto positive = [](float value, const char* what) {
        if (!(value > 0.0f))
            throw InputError(RecPile, std::string("THE ") + what + " MUST BE POSITIVE, READ " + real(value));
    };
    positive(d_.tolerance, "TOLERANCE");
    positive(d_.pileLength, "PILE LENGTH");
    positive(d_.diameter, "OUTER DIAMETER");
    if (!d_.userCurves())
        positive(d_.tipArea, "TIP AREA");
}

void InputReader::readTipMovements() {
    Int n = readCount(RecTipCount, 0, MaxTipMovements, "TIP MOVEMENTS");
    if (n >= 1) {
        d_.tipMovements = in_.readReals(RecTip, static_cast<std::size_t>(n));
        return;
    }
    for (float w : DefaultTipMovements)
        d_.tipMovements.push_back(d_.units == SI ? w * 0.0254f : w);
}

void InputReader::readHeadLoads() {
    Int n = readCount(RecLoadCount, 0, MaxHeadLoads, "HEAD LOADS");
    for (Int i = 1; i <= n; ++i)
        d_.headLoads.push_back(in_.readReals(numbered(RecLoad, i), 1)[0]);
}

void InputReader::readSettlement() {
    Int n = readCount(RecSettleCount, 0, MaxSettlementPoints, "SOIL SETTLEMENT POINTS");
    for (Int i = 1; i <= n; ++i) {
        std::vector<float> v = in_.readReals(numbered(RecSettle, i), 2);
        d_.settlement.push_back({v[0], v[1]});
    }
}

void InputReader::readSideFactors() {
    d_.sideFactorsOn = in_.readInt(RecSideSwitch) > 0;
    if (!d_.sideFactorsOn)
        return;
    Int n = readCount(RecSideCount, 0, MaxFactorRows, "T-Z FACTOR ROWS");
    for (Int i = 1; i <= n; ++i) {
        std::vector<float> v = in_.readReals(numbered(RecSide, i), 3);
        d_.sideFactors.push_back({v[0], v[1], v[2]});
    }
}

void InputReader::readTipFactors() {
    d_.tipFactorsOn = in_.readInt(RecTipSwitch) > 0;
    if (!d_.tipFactorsOn)
        return;
    std::vector<float> v = in_.readReals(RecTipFactors, 2);
    d_.qMultiplier = v[0];
    d_.wMultiplier = v[1];
}

} // namespace pavrin::engine
