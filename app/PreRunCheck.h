// The check made before every run: everything that would take the project
// beyond the analysis engine's capacities or make its computation meaningless,
// each finding a readable message that names the table, row and value. A
// project with findings is not handed to the engine.
#pragma once

#include <string>
#include <vector>

namespace pavrin::app {

class TProgramData;

struct CheckFinding {
    std::string where;   // the table caption or field name
    int row = 0;         // 1-based row of that table; 0 when not a row
    std::string message; // what is wrong, with the offending value

    std::string Text() const; // "Soil Layers, row 3: ..." or "Pile length: ..."
};

std::vector<CheckFinding> CheckBeforeRun(const TProgramData& project);

// The engine's capacities that the project tables allow beyond.
inline constexpr int kEngineMaxLayers = 20;
inline constexpr int kEngineMaxTipMovements = 50;
inline constexpr int kEngineMaxIncrements = 900;

} // namespace pavrin::app
