#include "Curves.h"

#include <cmath>

namespace pavrin::engine {

namespace {

constexpr float Pi = 3.1416f;
constexpr float InchToMetre = 0.0254f;

float itemOf(const ProfilePoint& p, ProfileItem item) {
    switch (item) {
    case ProfileItem::Cohesion:
        return p.cohesion;
    case ProfileItem::E50:
        return p.e50;
    case ProfileItem::SideFriction:
        return p.sideFriction;
    case ProfileItem::TipResistance:
        return p.tipResistance;
    case ProfileItem::FrictionAngle:
        return p.frictionAngle;
    }
    return 0;
}

Int stopStatusOf(ProfileItem item) {
    switch (item) {
    case ProfileItem::Cohesion:
        return 5;
    case ProfileItem::SideFriction:
        return 6;
    case ProfileItem::TipResistance:
        return 7;
    case ProfileItem::FrictionAngle:
        return 8;
    case ProfileItem::E50:
        break;
    }
    return 0;
}

// Linear interpolation between (x0, v0) and (x1, v1); a zero-length segment
// gives the lower point's value.
float interpolate(float x, float x0, float v0, float x1, float v1) {
    if (x1 == x0)
        return v1;
    return v0 + (x - x0) * (v1 - v0) / (x1 - x0);
}

// Fixed curve tables: first column the movement (inches or multiples of D), second the ratio.
constexpr float DrivenClayZ[10] = {0, 0.01f, 0.02f, 0.04f, 0.06f, 0.08f, 0.12f, 0.16f, 0.5f, 10.0f};
constexpr float DrivenClayT[10] = {0, 0.18f, 0.38f, 0.79f, 0.97f, 1.0f, 0.97f, 0.93f, 0.93f, 0.93f};
constexpr float ShaftZD[10] = {0, 0.001f, 0.002f, 0.003f, 0.005f, 0.006f, 0.008f, 0.012f, 0.016f, 0.1f};
constexpr float ShaftClayT[10] = {0, 0.51f, 0.72f, 0.9f, 0.925f, 0.945f, 0.955f, 0.925f, 0.9f, 0.835f};
constexpr float ShaftSandT[10] = {0, 0.335f, 0.58f, 0.72f, 0.86f, 0.91f, 0.95f, 0.965f, 0.96f, 0.95f};
constexpr float ApiClayZD[10] = {0, 0.0016f, 0.0031f, 0.0057f, 0.008f, 0.01f, 0.02f, 0.03f, 0.05f, 0.2f};
constexpr float ApiClayT[10] = {0, 0.3f, 0.5f, 0.75f, 0.9f, 1.0f, 0.9f, 0.9f, 0.9f, 0.9f};
constexpr float ApiSandZ[10] = {0, 0.01f, 0.02f, 0.04f, 0.06f, 0.08f, 0.09f, 0.1f, 0.5f, 2.0f};
constexpr float ApiSandT[10] = {0, 0.1f, 0.2f, 0.4f, 0.6f, 0.8f, 0.9f, 1.0f, 1.0f, 1.0f};

constexpr float ApiTipWD[10] = {0, 0.0005f, 0.001f, 0.002f, 0.013f, 0.042f, 0.073f, 0.1f, 0.15f, 0.2f};
constexpr float ApiTipQ[10] = {0, 0.0625f, 0.125f, 0.25f, 0.5f, 0.75f, 0.9f, 1.0f, 1.0f, 1.0f};
constexpr float SandTipW[10] = {0, 0.0001f, 0.005f, 0.01f, 0.05f, 0.1f, 0.2f, 0.5f, 0.75f, 1.0f};
constexpr float ShaftTipWD[10] = {0, 0.005f, 0.01f, 0.015f, 0.025f, 0.03f, 0.04f, 0.05f, 0.07f, 0.1f};
constexpr float ShaftClayTipQ[10] = {0, 0.395f, 0.56f, 0.7f, 0.865f, 0.9f, 0.95f, 0.97f, 0.98f, 0.99f};
constexpr float ShaftSandTipQ[10] = {0, 0.2f, 0.345f, 0.485f, 0.64f, 0.73f, 0.83f, 1.015f, 1.195f, 1.46f};

void fillRatios(TzCurve& c, const float* z, const float* ratio, float zScale, float f) {
    c.points.assign(GeneratedPoints, CurvePoint{});
    for (int m = 1; m < GeneratedPoints; ++m) {
        c.points[static_cast<std::size_t>(m)].z = z[m] * zScale;
        c.points[static_cast<std::size_t>(m)].t = ratio[m] * f;
    }
}

std::vector<QwPoint> tipTable(const float* wd, const float* ratio, float diameter, float qmax) {
    std::vector<QwPoint> q(GeneratedPoints);
    for (int m = 1; m < GeneratedPoints; ++m) {
        q[static_cast<std::size_t>(m)].w = wd[m] * diameter;
        q[static_cast<std::size_t>(m)].q = ratio[m] * qmax;
    }
    return q;
}

// Bearing capacity factor Nq = exp(pi tan(phi)) tan^2(45 + phi/2).
float bearingFactor(float phi) {
    const float rad = Pi / 180.0f;
    float phr = phi * rad;
    float t = std::tan(45.0f * rad + phr / 2.0f);
    return std::exp(Pi * std::tan(phr)) * t * t;
}

std::vector<QwPoint> clayBaseTip(const TipSoil& s, float qmax, Int units) {
    // Worked in inches and kips for SI projects, converted back point by point.
    float d = s.diameter;
    float qm = qmax;
    if (units == SI) {
        d = d / InchToMetre;
        qm = qm / 4.448f;
    }
    float z50 = 2.0f * s.e50 * d;
    float w9 = 4.0f * z50;
    std::vector<QwPoint> q(GeneratedPoints);
    for (int m = 2; m <= 8; ++m) {
        float w = static_cast<float>(m - 1) * w9 / 8.0f;
        q[static_cast<std::size_t>(m - 1)].w = w;
        q[static_cast<std::size_t>(m - 1)].q = z50 > 0.0f ? qm / 2.0f * std::sqrt(w / z50) : 0.0f;
    }
    q[8] = {qm, w9};
    q[9] = {qm, 10.0f * w9};
    if (units == SI)
        for (auto& p : q) {
            p.w = p.w * InchToMetre;
            p.q = p.q * 4.448f;
        }
    return q;
}

} // namespace

float profileValue(const std::vector<ProfilePoint>& profile, ProfileItem item, float x, LookupStop& stop) {
    const std::size_t n = profile.size();
    if (n == 0)
        return 0;
    if (n == 1)
        return itemOf(profile[0], item);
    std::size_t i = 1; // point 2
    while (i < n - 1 && x >= profile[i].depth)
        ++i;
    if (i == n - 1 && x > profile[i].depth) {
        if (item != ProfileItem::E50) {
            stop.status = stopStatusOf(item);
            stop.x = x;
            return 0;
        }
    }
    return interpolate(x, profile[i - 1].depth, itemOf(profile[i - 1], item), profile[i].depth,
                       itemOf(profile[i], item));
}

float averageUnitWeight(const std::vector<ProfilePoint>& profile, float x, LookupStop& stop) {
    if (profile.empty())
        return 0;
    const float s = profile.front().depth;
    const float h = x - s;
    if (x < s)
        return 0;
    if (x > profile.back().depth) {
        stop.status = 4;
        stop.x = x;
        return 0;
    }
    if (h == 0.0f)
        return profile.front().unitWeight;
    float sum = 0;
    for (std::size_t i = 1; i < profile.size(); ++i) {
        const ProfilePoint& a = profile[i - 1];
        const ProfilePoint& b = profile[i];
        if (x <= b.depth) {
            float g = interpolate(x, a.depth, a.unitWeight, b.depth, b.unitWeight);
            sum += (a.unitWeight + g) / 2.0f * (x - a.depth) / h;
            break;
        }
        sum += (a.unitWeight + b.unitWeight) / 2.0f * (b.depth - a.depth) / h;
    }
    return sum;
}

std::array<float, 5> layerCurveDepths(float top, float bottom) {
    float m = (top + bottom) / 2.0f;
    float e = bottom - 0.01f;
    return {top, (top + m) / 2.0f, m, (m + e) / 2.0f, e};
}

float sandModulus(float phi) {
    if (phi <= 28.0f)
        return 6000.0f;
    if (phi <= 31.0f)
        return 6000.0f + 1333.3f * (phi - 28.0f);
    if (phi <= 32.0f)
        return 10000.0f;
    if (phi <= 34.0f)
        return 10000.0f + 1333.3f * (phi - 32.0f);
    if (phi <= 35.0f)
        return 14000.0f;
    if (phi <= 38.0f)
        return 14000.0f + 1333.3f * (phi - 35.0f);
    return 18000.0f;
}

void buildSideCurve(TzCurve& c, float diameter, Int units) {
    const float f = c.sideFriction;
    const bool si = units == SI;
    switch (c.soilType) {
    case 1:
        fillRatios(c, DrivenClayZ, DrivenClayT, si ? InchToMetre : 1.0f, f);
        break;
    case 2: {
        c.points.assign(GeneratedPoints, CurvePoint{});
        float k = sandModulus(c.frictionAngle) / 144.0f;
        float fs = f;
        if (si) {
            k = sandModulus(c.frictionAngle);
            fs = f * 20.88f;
        }
        for (int m = 1; m < GeneratedPoints; ++m) {
            float z = DrivenClayZ[m];
            float t = fs != 0.0f ? z / (z / fs + 1.0f / k) : 0.0f;
            if (si) {
                t = t / 20.88f;
                z = z * InchToMetre;
            }
            c.points[static_cast<std::size_t>(m)] = {t, z};
        }
        break;
    }
    case 3:
        fillRatios(c, ShaftZD, ShaftClayT, diameter, f);
        break;
    case 4:
        fillRatios(c, ShaftZD, ShaftSandT, diameter, f);
        break;
    case 5:
        fillRatios(c, ApiClayZD, ApiClayT, diameter, f);
        break;
    case 6:
        fillRatios(c, ApiSandZ, ApiSandT, 1.0f, f);
        if (si)
            for (auto& p : c.points)
                p.z = p.z / 39.79f;
        break;
    default:
        c.points.assign(GeneratedPoints, CurvePoint{});
        break;
    }
}

std::vector<QwPoint> buildTipCurve(const TipSoil& s, Int units) {
    const bool clay = s.soilType % 2 == 1;
    float q = 0;
    if (clay) {
        q = 9.0f * s.cohesion;
        if (s.tipResistance > 1e-5f)
            q = s.tipResistance;
    } else {
        q = s.depth * s.unitWeight * bearingFactor(s.frictionAngle);
        if (s.tipResistance > 1e-4f)
            q = s.tipResistance;
    }
    const float qmax = s.tipArea * q;
    switch (s.soilType) {
    case 1:
        return clayBaseTip(s, qmax, units);
    case 3:
        return tipTable(ShaftTipWD, ShaftClayTipQ, s.diameter, qmax);
    case 4:
        return tipTable(ShaftTipWD, ShaftSandTipQ, s.diameter, qmax);
    case 5:
    case 6:
        return tipTable(ApiTipWD, ApiTipQ, s.diameter, qmax);
    default:
        break;
    }
    // Type 2: sand power curve.
    const float phi = s.lastCurveFrictionAngle;
    const float wd = 0.05f * s.diameter;
    std::vector<QwPoint> curve(GeneratedPoints);
    for (int m = 1; m < GeneratedPoints; ++m) {
        float w = SandTipW[m];
        if (units == SI)
            w = w * InchToMetre;
        float r = w / wd;
        float factor = 0;
        if (phi <= 31.0f)
            factor = std::sqrt(r);
        else if (phi <= 38.0f)
            factor = std::pow(r, 0.333f);
        else
            factor = std::pow(r, 0.25f);
        curve[static_cast<std::size_t>(m)] = {qmax * factor, w};
    }
    return curve;
}

LookupStop generateCurves(InputData& d) {
    LookupStop stop;
    for (TzCurve& c : d.curves) {
        c.sideFriction = profileValue(d.profile, ProfileItem::SideFriction, c.depth, stop);
        if (stop)
            return stop;
        c.frictionAngle = profileValue(d.profile, ProfileItem::FrictionAngle, c.depth, stop);
        if (stop)
            return stop;
        buildSideCurve(c, d.diameter, d.units);
    }

    TipSoil s;
    s.depth = d.pileLength;
    s.diameter = d.diameter;
    s.tipArea = d.tipArea;
    s.soilType = d.layers.back().soilType;
    for (const SoilLayer& layer : d.layers)
        if (layer.bottom >= d.pileLength) {
            s.soilType = layer.soilType;
            break;
        }
    const float x = d.pileLength;
    if (s.soilType % 2 == 1) {
        s.cohesion = profileValue(d.profile, ProfileItem::Cohesion, x, stop);
        if (stop)
            return stop;
        s.e50 = profileValue(d.profile, ProfileItem::E50, x, stop);
    } else {
        s.frictionAngle = profileValue(d.profile, ProfileItem::FrictionAngle, x, stop);
        if (stop)
            return stop;
        s.unitWeight = averageUnitWeight(d.profile, x, stop);
        if (stop)
            return stop;
        s.lastCurveFrictionAngle = d.curves.empty() ? s.frictionAngle : d.curves.back().frictionAngle;
    }
    s.tipResistance = profileValue(d.profile, ProfileItem::TipResistance, x, stop);
    if (stop)
        return stop;
    d.qw = buildTipCurve(s, d.units);
    return stop;
}

float factorAt(const std::vector<FactorRow>& rows, float x, bool tColumn) {
    auto value = [&](std::size_t i) { return tColumn ? rows[i].tMultiplier : rows[i].zMultiplier; };
    const std::size_t n = rows.size();
    if (n == 0 || x < rows.front().depth || x > rows.back().depth)
        return 1.0f;
    if (n == 1)
        return 1.0f;
    for (std::size_t i = 0; i < n; ++i) {
        if (x == rows[i].depth) {
            if (i + 1 < n && rows[i + 1].depth == x)
                return value(i + 1);
            return value(i);
        }
        if (i + 1 < n && x > rows[i].depth && x < rows[i + 1].depth)
            return interpolate(x, rows[i].depth, value(i), rows[i + 1].depth, value(i + 1));
    }
    return 1.0f;
}

void applySideFactors(InputData& d) {
    for (TzCurve& c : d.curves) {
        float mt = factorAt(d.sideFactors, c.depth, true);
        float mz = factorAt(d.sideFactors, c.depth, false);
        for (CurvePoint& p : c.points) {
            p.z = p.z * mz;
            p.t = p.t * mt;
        }
    }
}

void applyTipFactors(InputData& d) {
    for (QwPoint& p : d.qw) {
        p.q = p.q * d.qMultiplier;
        p.w = p.w * d.wMultiplier;
    }
}

} // namespace pavrin::engine
