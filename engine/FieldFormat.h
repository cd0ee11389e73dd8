// Fixed-column fields of the report and the plot data file:
//   I(w)   integer right-aligned in w characters;
//   F(w.d) real in fixed form with d decimals, right-aligned in w;
//   E(w.d) real in exponent form "0.ddddE+xx" (optional minus), right-aligned in w.
// Values are rounded half away from zero, and zero is written without a sign.
// A value too wide for its field fills the field with asterisks; a value that is
// not finite does too (the engine never lets one reach a file).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace pavrin::engine {

// Fields written into a buffer with room for them: each writes exactly `width`
// characters (`n` blanks) and returns the end of what it wrote.
inline char* putBlanks(char* p, int n) {
    if (n <= 0)
        return p;
    std::memset(p, ' ', static_cast<std::size_t>(n));
    return p + n;
}
char* putI(char* p, std::int32_t value, int width);
char* putF(char* p, float value, int width, int decimals);
char* putE(char* p, float value, int width, int decimals);

// The same fields appended to a string.
void appendBlanks(std::string& out, int n);
void appendI(std::string& out, std::int32_t value, int width);
void appendF(std::string& out, float value, int width, int decimals);
void appendE(std::string& out, float value, int width, int decimals);

// List-directed integer items: each integer in a field of 12.
void appendFreeInt(std::string& out, std::int32_t value);
// A list-directed real item, as a general number with 9 significant digits.
void appendFreeReal(std::string& out, float value);

} // namespace pavrin::engine
