// t-z and Q-w curves: profile look-ups, generated curves for the six soil
// types, and the modification factors. Pure functions over the input tables.
#pragma once

#include "Model.h"

#include <array>
#include <vector>

namespace pavrin::engine {

// A look-up beyond the last profile point stops the run; `status` 0 means no stop.
struct LookupStop {
    Int status = 0;
    float x = 0; // the depth that lay beyond the profile
    explicit operator bool() const { return status != 0; }
};

enum class ProfileItem { Cohesion, E50, SideFriction, TipResistance, FrictionAngle };

// Profile value at depth x: linear between the bracketing points, the lower
// layer's value at a layer boundary, extrapolated above the first point.
// Beyond the last point the run stops (e50 extrapolates from the last two points).
float profileValue(const std::vector<ProfilePoint>& profile, ProfileItem item, float x, LookupStop& stop);

// Average effective unit weight from the top of layer 1 down to depth x.
float averageUnitWeight(const std::vector<ProfilePoint>& profile, float x, LookupStop& stop);

// Depths of the five generated t-z curves of a layer from `top` to `bottom`.
std::array<float, 5> layerCurveDepths(float top, float bottom);

// Modulus K of the driven-pile sand curve (pounds per square foot per inch).
float sandModulus(float frictionAngle);

// Builds the ten points of a generated side curve from the curve's soil type,
// ultimate side friction and friction angle.
void buildSideCurve(TzCurve& curve, float diameter, Int units);

// Inputs of a generated tip curve, looked up at the tip depth.
struct TipSoil {
    Int soilType = 1;
    float depth = 0; // pile length
    float diameter = 0;
    float tipArea = 0;
    float cohesion = 0;               // clays
    float e50 = 0;                    // clays
    float frictionAngle = 0;          // sands
    float unitWeight = 0;             // sands: average to the tip
    float tipResistance = 0;          // from the profile; replaces q when above its threshold
    float lastCurveFrictionAngle = 0; // sands: chooses the exponent of the power curve
};

std::vector<QwPoint> buildTipCurve(const TipSoil& soil, Int units);

// Generates every side curve and the tip curve of `data` (generated mode).
// Returns the first stop met, leaving the tables as far as they were built.
LookupStop generateCurves(InputData& data);

// Multiplier at depth x over the factor rows; `tColumn` picks the t or z column.
float factorAt(const std::vector<FactorRow>& rows, float x, bool tColumn);

void applySideFactors(InputData& data);
void applyTipFactors(InputData& data);

} // namespace pavrin::engine
