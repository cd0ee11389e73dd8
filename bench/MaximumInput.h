// The benchmark input at every capacity of the data model: 900 increments, 100 user t-z curves
// of 100 points, 50 Q-w points, 50 tip movements, 50 head loads, 100 settlement points, factors on.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

namespace pavrin::bench {

inline std::string line(const char* format, double a, double b = 0, double c = 0) {
    char buf[128];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return std::string(buf) + "\r\n";
}

// A 60 ft pile, 18 in OD, in a soil whose t-z curves stiffen with depth.
inline std::string maximumInput(int outputDetail) {
    const double length = 720.0;
    std::string in = "Benchmark pile at every capacity of the data model\r\n";
    in += line("900 %.0f 1", outputDetail);
    in += "1 \r\n100\r\n";
    for (int k = 1; k <= 100; ++k) {
        const double depth = (k - 1) * length / 99.0;
        in += line("%.0f %.6g %.0f", k, depth, 100);
        const double fmax = 2.0 + 8.0 * depth / length; // psi
        for (int p = 0; p < 100; ++p) {
            const double z = 0.005 * p * p / 99.0 * 20.0; // up to 1 in, denser near 0
            const double t = fmax * std::tanh(z / 0.1);
            in += line("%.6g %.6g", t, z);
        }
    }
    in += "50\r\n";
    for (int i = 0; i < 50; ++i)
        in += line("%.6g %.6g", 7.0e9 - 1.0e7 * i, i * (length + 12.0) / 49.0);
    in += "50\r\n";
    for (int i = 0; i < 50; ++i) {
        const double w = 2.0 * i / 49.0;
        in += line("%.6g %.6g", 250000.0 * std::sqrt(w / 2.0), w);
    }
    in += line("%.6g %.6g %.6g", 1e-5, length, 18.0);
    in.insert(in.size() - 2, " 254.47");
    in += "50\r\n";
    for (int i = 1; i <= 50; ++i)
        in += line("%.6g", 0.002 * i * i / 2.0);
    in += "50\r\n";
    for (int i = 1; i <= 50; ++i)
        in += line("%.6g", 9500.0 * i);
    in += "100\r\n";
    for (int i = 0; i < 100; ++i)
        in += line("%.6g %.6g", i * length / 99.0 * 0.3, 0.05 * (1.0 - i / 99.0));
    in += " 1\r\n50\r\n";
    for (int i = 0; i < 50; ++i)
        in += line("%.6g %.6g %.6g", i * length / 49.0, 1.0 + 0.2 * i / 49.0, 1.0);
    in += " 1\r\n0.9 1.1\r\n";
    return in;
}

} // namespace pavrin::bench
