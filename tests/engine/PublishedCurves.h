// The published t-z and Q-w tables and formulas of the six curve generators, written down once for
// the checks that compare the engine's generated curves against them (the engine tests and the
// technical manual's verification run). Double precision, independent of the engine's own code.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace pavrin::reference {

inline constexpr double Pi = 3.1416; // the value of pi the methods use everywhere

// Side curves: movement (inches, or a fraction of the diameter) and t as a fraction of the ultimate.
inline constexpr double ClayDrivenZ[10] = {0, 0.01, 0.02, 0.04, 0.06, 0.08, 0.12, 0.16, 0.5, 10.0}; // inches
inline constexpr double ClayDrivenT[10] = {0, 0.18, 0.38, 0.79, 0.97, 1.0, 0.97, 0.93, 0.93, 0.93};
inline constexpr double ShaftZ[10] = {0, 0.001, 0.002, 0.003, 0.005, 0.006, 0.008, 0.012, 0.016, 0.1}; // z/D
inline constexpr double ClayShaftT[10] = {0, 0.51, 0.72, 0.9, 0.925, 0.945, 0.955, 0.925, 0.9, 0.835};
inline constexpr double SandShaftT[10] = {0, 0.335, 0.58, 0.72, 0.86, 0.91, 0.95, 0.965, 0.96, 0.95};
inline constexpr double ApiClayZ[10] = {0, 0.0016, 0.0031, 0.0057, 0.008, 0.01, 0.02, 0.03, 0.05, 0.2}; // z/D
inline constexpr double ApiClayT[10] = {0, 0.3, 0.5, 0.75, 0.9, 1.0, 0.9, 0.9, 0.9, 0.9};
inline constexpr double ApiSandZ[10] = {0, 0.01, 0.02, 0.04, 0.06, 0.08, 0.09, 0.1, 0.5, 2.0}; // inches
inline constexpr double ApiSandT[10] = {0, 0.1, 0.2, 0.4, 0.6, 0.8, 0.9, 1.0, 1.0, 1.0};

// Tip curves: movement (w/D or inches) and Q as a fraction of the ultimate.
inline constexpr double ApiTipW[10] = {0, 0.0005, 0.001, 0.002, 0.013, 0.042, 0.073, 0.1, 0.15, 0.2}; // w/D
inline constexpr double ApiTipQ[10] = {0, 0.0625, 0.125, 0.25, 0.5, 0.75, 0.9, 1.0, 1.0, 1.0};
inline constexpr double SandTipW[10] = {0, 0.0001, 0.005, 0.01, 0.05, 0.1, 0.2, 0.5, 0.75, 1.0};     // inches
inline constexpr double ShaftTipW[10] = {0, 0.005, 0.01, 0.015, 0.025, 0.03, 0.04, 0.05, 0.07, 0.1}; // w/D
inline constexpr double ClayShaftTipQ[10] = {0, 0.395, 0.56, 0.7, 0.865, 0.9, 0.95, 0.97, 0.98, 0.99};
inline constexpr double SandShaftTipQ[10] = {0, 0.2, 0.345, 0.485, 0.64, 0.73, 0.83, 1.015, 1.195, 1.46};

// Modulus of the driven-pile sand curve against the friction angle, pounds per square foot per inch.
inline double SandModulus(double phi) {
    if (phi <= 28)
        return 6000;
    if (phi <= 31)
        return 6000 + 1333.3 * (phi - 28);
    if (phi <= 32)
        return 10000;
    if (phi <= 34)
        return 10000 + 1333.3 * (phi - 32);
    if (phi <= 35)
        return 14000;
    if (phi <= 38)
        return 14000 + 1333.3 * (phi - 35);
    return 18000;
}

// Bearing capacity factor Nq of the sand tip rule for a friction angle in degrees.
inline double BearingFactor(double phiDeg) {
    const double rad = Pi / 180;
    const double tan45 = std::tan((45 + phiDeg / 2) * rad);
    return std::exp(Pi * std::tan(phiDeg * rad)) * tan45 * tan45;
}

// A point of a reference curve: (t, z) of a side curve or (Q, w) of a tip curve.
struct RefPoint {
    double a, b;
};

// The side curve of soil type 1..6 for the ultimate unit side friction `f`, the friction angle `phi`
// (driven pile in sand) and the diameter `d`, in English (inches, psi) or SI (metres, kPa) units.
inline std::vector<RefPoint> SideCurve(int type, bool si, double f, double phi, double d) {
    std::vector<RefPoint> p(10);
    for (int m = 0; m < 10; ++m) {
        double t = 0, z = 0;
        switch (type) {
        case 1:
            z = ClayDrivenZ[m] * (si ? 0.0254 : 1.0);
            t = ClayDrivenT[m] * f;
            break;
        case 2: {
            const double zIn = ClayDrivenZ[m];
            if (m > 0) {
                if (si) {
                    const double fPsf = f * 20.88;
                    t = zIn / (zIn / fPsf + 1 / SandModulus(phi)) / 20.88;
                } else {
                    t = zIn / (zIn / f + 1 / (SandModulus(phi) / 144));
                }
            }
            z = zIn * (si ? 0.0254 : 1.0);
            break;
        }
        case 3:
            z = ShaftZ[m] * d;
            t = ClayShaftT[m] * f;
            break;
        case 4:
            z = ShaftZ[m] * d;
            t = SandShaftT[m] * f;
            break;
        case 5:
            z = ApiClayZ[m] * d;
            t = ApiClayT[m] * f;
            break;
        case 6:
            z = ApiSandZ[m] / (si ? 39.79 : 1.0);
            t = ApiSandT[m] * f;
            break;
        }
        p[static_cast<std::size_t>(m)] = {t, z};
    }
    return p;
}

} // namespace pavrin::reference
