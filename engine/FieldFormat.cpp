#include "FieldFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace pavrin::engine {

namespace {

void appendAsterisks(std::string& out, int width) {
    out.append(static_cast<std::size_t>(width), '*');
}

void appendRight(std::string& out, const char* text, std::size_t length, int width) {
    if (length > static_cast<std::size_t>(width)) {
        appendAsterisks(out, width);
        return;
    }
    out.append(static_cast<std::size_t>(width) - length, ' ');
    out.append(text, length);
}

// The `decimals` significant digits of |value| rounded to nearest, and the
// decimal exponent of the form 0.ddd E e, found in double arithmetic. Returns
// false where that arithmetic could not decide the rounding (a value next to a
// tie or a power of ten), leaving those to the exact conversion.
bool quickMantissa(float value, int decimals, std::int64_t& digits, int& exponent) {
    static constexpr double Pow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const double a = std::fabs(static_cast<double>(value));
    if (a == 0.0 || decimals > 9)
        return false;
    const int e10 = static_cast<int>(std::floor(std::log10(a)));
    const int k = decimals - 1 - e10; // scale so that the digits stand before the point
    double scaled = a;
    for (int rest = k; rest != 0;) {
        const int step = rest > 0 ? std::min(rest, 22) : std::max(rest, -22);
        scaled = step > 0 ? scaled * Pow10[step] : scaled / Pow10[-step];
        rest -= step;
    }
    const double low = Pow10[decimals - 1];
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (whole < low || whole >= 10.0 * low || std::fabs(fraction - 0.5) < 1e-6 || fraction < 1e-9 ||
        fraction > 1.0 - 1e-9)
        return false;
    double rounded = fraction > 0.5 ? whole + 1.0 : whole;
    exponent = e10 + 1;
    if (rounded >= 10.0 * low) {
        rounded = low;
        exponent += 1;
    }
    digits = static_cast<std::int64_t>(rounded);
    return true;
}

void appendExponentField(std::string& out, bool negative, const char* digits, int nd, int exponent,
                         int width) {
    std::array<char, 64> field{};
    std::size_t n = 0;
    if (negative)
        field[n++] = '-';
    field[n++] = '0';
    field[n++] = '.';
    for (int i = 0; i < nd; ++i)
        field[n++] = digits[i];
    field[n++] = 'E';
    field[n++] = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    field[n++] = static_cast<char>('0' + magnitude / 10 % 10);
    field[n++] = static_cast<char>('0' + magnitude % 10);
    appendRight(out, field.data(), n, width);
}

} // namespace

void appendBlanks(std::string& out, int n) {
    if (n > 0)
        out.append(static_cast<std::size_t>(n), ' ');
}

void appendI(std::string& out, std::int32_t value, int width) {
    std::array<char, 16> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    (void)ec;
    appendRight(out, buf.data(), static_cast<std::size_t>(end - buf.data()), width);
}

void appendF(std::string& out, float value, int width, int decimals) {
    if (!std::isfinite(value)) {
        appendAsterisks(out, width);
        return;
    }
    std::array<char, 64> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<double>(value),
                                   std::chars_format::fixed, decimals);
    if (ec != std::errc()) {
        appendAsterisks(out, width);
        return;
    }
    char* text = buf.data();
    auto length = static_cast<std::size_t>(end - buf.data());
    // The leading zero of a value below one is optional: drop it when the field is too narrow.
    if (length > static_cast<std::size_t>(width)) {
        if (length >= 2 && text[0] == '0' && text[1] == '.') {
            ++text;
            --length;
        } else if (length >= 3 && text[0] == '-' && text[1] == '0' && text[2] == '.') {
            text[1] = '-';
            ++text;
            --length;
        }
    }
    appendRight(out, text, length, width);
}

void appendE(std::string& out, float value, int width, int decimals) {
    if (!std::isfinite(value) || decimals < 1 || decimals > 40) {
        appendAsterisks(out, width);
        return;
    }
    std::int64_t quick = 0;
    int quickExponent = 0;
    if (quickMantissa(value, decimals, quick, quickExponent)) {
        std::array<char, 16> digits{};
        for (int i = decimals - 1; i >= 0; --i) {
            digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + quick % 10);
            quick /= 10;
        }
        appendExponentField(out, std::signbit(value), digits.data(), decimals, quickExponent, width);
        return;
    }
    // Scientific form d.ddd with one digit fewer, then shift: 0.dddd with the exponent plus one.
    std::array<char, 64> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<double>(value),
                                   std::chars_format::scientific, decimals - 1);
    if (ec != std::errc()) {
        appendAsterisks(out, width);
        return;
    }
    const char* p = buf.data();
    bool negative = *p == '-';
    if (negative)
        ++p;
    std::array<char, 64> digits{};
    int nd = 0;
    while (p < end && *p != 'e') {
        if (*p != '.')
            digits[static_cast<std::size_t>(nd++)] = *p;
        ++p;
    }
    int exponent = 0;
    if (p < end && *p == 'e') {
        ++p;
        if (*p == '+')
            ++p;
        std::from_chars(p, end, exponent);
    }
    if (value != 0.0f)
        exponent += 1;
    appendExponentField(out, negative, digits.data(), nd, exponent, width);
}

void appendFreeInt(std::string& out, std::int32_t value) {
    appendI(out, value, 12);
}

void appendFreeReal(std::string& out, float value) {
    std::array<char, 64> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<double>(value),
                                   std::chars_format::general, 9);
    if (ec != std::errc()) {
        appendAsterisks(out, 15);
        return;
    }
    appendRight(out, buf.data(), static_cast<std::size_t>(end - buf.data()), 15);
}

} // namespace pavrin::engine
