// Reads the records of the input file into the engine's input tables,
// checking counts against the capacities and values that would make the
// computation meaningless. Each failure is an InputError naming its record.
#pragma once

#include "ListReader.h"
#include "Model.h"

#include <string_view>

namespace pavrin::engine {

class InputReader {
public:
    InputReader(std::string_view text, InputData& data) : in_(text), d_(data) {}

    void readHeader(); // title; increments, output detail, unit system
    void readCurveSource();
    Int readCurveCount();     // user curves: number of t-z curves
    Int readCurveHead(Int k); // user curve k: appends it, returns its point count
    void readCurvePoint(TzCurve& curve, Int point);
    void readLayers(); // layers, and the depths of their generated curves
    void readProfile();
    void readAe();
    void readQw();
    void readPile();
    void readTipMovements();
    void readHeadLoads();
    void readSettlement();
    void readSideFactors();
    void readTipFactors();

private:
    Int readCount(const char* record, Int min, Int max, const char* what);
    ListReader in_;
    InputData& d_;
};

// Default tip movements in inches, used when the count is 0.
inline constexpr float DefaultTipMovements[9] = {0.0001f, 0.001f, 0.01f, 0.03f, 0.07f,
                                                 0.1f,    0.2f,   0.5f,  5.0f};

} // namespace pavrin::engine
