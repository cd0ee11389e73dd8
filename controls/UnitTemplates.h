// Unit-label templates: force and length written as tokens (F, F1, ..., L, L2,
// ...) and expanded for a unit system when shown; the same tokens carry the
// factors between the English and the SI system. Unit systems: 1 English,
// 2 SI, 3 none.
#pragma once

#include <array>
#include <stdexcept>
#include <string>

namespace pavrin::controls {

// One placeholder of a units template.
struct UnitToken {
    const char* token;        // "F", "F1", ..., "L3"
    const char* english;      // text in the English system (1)
    const char* si;           // text in the SI system (2)
    const char* none;         // dimension letter for grid columns without units (3)
    long double englishPerSi; // English units in one SI unit
};

// The ten tokens: F, F1, F2, F4, F5, F6, L, L1, L2, L3 in this order.
const std::array<UnitToken, 10>& UnitTokens();

// A template that cannot be converted (an exponent position that is not a digit).
class EConvertError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Label of a numeric edit: one force token kind and one length token kind are
// replaced. Units 3 returns the template unchanged; units up to 0 count as 1,
// above 3 as 3.
std::string ExpandUnits(const std::string& tmpl, int units);

// Heading of a grid column: every token is replaced, digit tokens before bare
// letters. Units 3 gives dimension letters. Units outside 1..3 are clamped as
// for ExpandUnits.
std::string ExpandColumnUnits(const std::string& tmpl, int units);

// Multiplier that converts a value with the template's units from one unit
// system to the other: 1 for any pair other than 1->2 and 2->1. Throws
// EConvertError for a template whose exponent position is not a digit.
long double UnitsFactor(int fromUnits, int toUnits, const std::string& tmpl);

// Converts values with a template's units from one unit system to the other.
// English to SI multiplies by the template's SI factor (SI units in one
// English unit: 1 / ratio of the token factors, in extended precision); SI to
// English divides by that same factor, its exact reciprocal. So a value taken
// to SI and back, any number of times, comes back as typed to the 18 digits
// the fields show. Pairs other than 1->2 and 2->1 leave values alone. Throws
// EConvertError as UnitsFactor does.
class TUnitsConversion {
public:
    TUnitsConversion(int fromUnits, int toUnits, const std::string& tmpl);
    long double operator()(long double value) const;

private:
    long double siPerEnglish_ = 1;
    int direction_ = 0; // 1 to SI, -1 to English, 0 no change
};

} // namespace pavrin::controls
