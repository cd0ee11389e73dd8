// The engine's input tables, in single precision, as read from the input file.
// Units are those of the project (English: in, lb, psi, lb/in^3; SI: m, kN, kPa, kN/m^3).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pavrin::engine {

using Int = std::int32_t;

// Capacities of the data model.
inline constexpr Int MaxTitle = 72;
inline constexpr Int MaxIncrements = 900;
inline constexpr Int MaxTzCurves = 100;
inline constexpr Int MaxTzPoints = 100;
inline constexpr Int MaxLayers = 20;
inline constexpr Int MinAePoints = 2;
inline constexpr Int MaxAePoints = 50;
inline constexpr Int MaxQwPoints = 50;
inline constexpr Int MaxTipMovements = 50;
inline constexpr Int MaxHeadLoads = 50;
inline constexpr Int MaxSettlementPoints = 100;
inline constexpr Int MaxFactorRows = 50;
inline constexpr Int MaxPlotCurves = 30;
inline constexpr Int GeneratedPoints = 10;

enum UnitSystem : Int { English = 1, SI = 2 };

struct CurvePoint {
    float t = 0; // unit side friction (pressure)
    float z = 0; // local pile movement (length)
};

struct TzCurve {
    Int number = 0;
    float depth = 0;                // length
    Int soilType = 0;               // generated curves only
    float sideFriction = 0;         // ultimate unit side friction at the depth (generated)
    float frictionAngle = 0;        // degrees (generated)
    std::vector<CurvePoint> points; // point 1 is (0, 0)
};

struct QwPoint {
    float q = 0; // tip load (force)
    float w = 0; // tip movement (length)
};

struct SoilLayer {
    Int number = 0;   // as read; echoed only
    Int soilType = 0; // 1..6, odd clays, even sands
    float top = 0;
    float bottom = 0;
};

// One profile point; points 2k-1 and 2k lie at the top and bottom of layer k.
struct ProfilePoint {
    float depth = 0;
    float unitWeight = 0;
    float cohesion = 0;
    float frictionAngle = 0; // degrees
    float e50 = 0;           // strain at half the peak stress difference (blow count for sands)
    float sideFriction = 0;  // ultimate unit side friction
    float tipResistance = 0; // ultimate unit tip resistance
};

struct AePoint {
    float ae = 0; // axial stiffness (force)
    float depth = 0;
};

struct SettlementPoint {
    float depth = 0;
    float settlement = 0;
};

struct FactorRow {
    float depth = 0;
    float tMultiplier = 1;
    float zMultiplier = 1;
};

struct InputData {
    std::string title; // exactly 72 characters, blank-padded
    Int increments = 0;
    Int outputDetail = 0;
    Int units = English;
    Int curveSource = 1;
    std::vector<TzCurve> curves;
    std::vector<SoilLayer> layers;
    std::vector<ProfilePoint> profile;
    std::vector<AePoint> ae;
    std::vector<QwPoint> qw;
    float tolerance = 0;
    float pileLength = 0;
    float diameter = 0;
    float tipArea = 0;
    std::vector<float> tipMovements;
    std::vector<float> headLoads;
    std::vector<SettlementPoint> settlement;
    bool sideFactorsOn = false;
    std::vector<FactorRow> sideFactors;
    bool tipFactorsOn = false;
    float qMultiplier = 1;
    float wMultiplier = 1;

    bool userCurves() const { return curveSource == 1; }
    bool si() const { return units == SI; }
};

} // namespace pavrin::engine
