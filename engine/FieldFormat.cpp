#include "FieldFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace pavrin::engine {

namespace {

constexpr double Pow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                            1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

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

// Exact decimal digits of a positive float and the exponent of its first digit
// (d.ddd x 10^exponent): a float's expansion ends within 120 significant digits.
struct Expansion {
    std::array<char, 128> digits{};
    int count = 0;
    int exponent = 0;
};

Expansion expand(double a) {
    std::array<char, 160> buf{};
    auto [end, ec] =
        std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::scientific, 120);
    (void)ec;
    Expansion x;
    const char* p = buf.data();
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.' && x.count < static_cast<int>(x.digits.size()))
            x.digits[static_cast<std::size_t>(x.count++)] = *p;
    if (p < end) {
        ++p;
        if (*p == '+')
            ++p;
        std::from_chars(p, end, x.exponent);
    }
    return x;
}

// Keeps the first `keep` digits of an exact expansion, rounding half away from
// zero; a carry out of the first digit raises the exponent.
void roundExpansion(Expansion& x, int keep) {
    const bool up = keep < x.count && x.digits[static_cast<std::size_t>(keep)] >= '5';
    x.count = keep;
    if (!up)
        return;
    for (int i = keep - 1; i >= 0; --i) {
        char& d = x.digits[static_cast<std::size_t>(i)];
        if (d != '9') {
            ++d;
            return;
        }
        d = '0';
    }
    // 999 became 000: the value is 1000.
    std::memmove(x.digits.data() + 1, x.digits.data(), static_cast<std::size_t>(keep));
    x.digits[0] = '1';
    x.count = keep; // the last digit is a zero and drops out
    x.exponent += 1;
}

// The `decimals` significant digits of |value| and the exponent of the form
// 0.ddd E e, found in double arithmetic where it decides the rounding safely;
// false next to a tie or a power of ten, which the exact expansion settles.
bool quickMantissa(double a, int decimals, std::int64_t& digits, int& exponent) {
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

// Fixed form, rounded half away from zero. With at most 4 decimals |value| x 10^d
// is exact in double (24 + 14 bits), so the rounding is decided exactly.
void appendF(std::string& out, float value, int width, int decimals) {
    if (!std::isfinite(value) || decimals < 0 || decimals > 4) {
        appendAsterisks(out, width);
        return;
    }
    const double scaled = std::fabs(static_cast<double>(value)) * Pow10[decimals];
    if (scaled >= 1e15) {
        appendAsterisks(out, width);
        return;
    }
    double whole = std::floor(scaled);
    if (scaled - whole >= 0.5)
        whole += 1.0;
    auto units = static_cast<std::int64_t>(whole);
    std::array<char, 32> digits{};
    int nd = 0;
    do {
        digits[static_cast<std::size_t>(nd++)] = static_cast<char>('0' + units % 10);
        units /= 10;
    } while (units > 0 || nd <= decimals);
    std::array<char, 40> text{};
    std::size_t n = 0;
    if (value < 0.0f)
        text[n++] = '-';
    for (int i = nd - 1; i >= 0; --i) {
        if (i == decimals - 1)
            text[n++] = '.';
        text[n++] = digits[static_cast<std::size_t>(i)];
    }
    if (decimals == 0)
        text[n++] = '.';
    // The leading zero of a value below one is optional: dropped when the field is too narrow.
    const char* start = text.data();
    if (n > static_cast<std::size_t>(width)) {
        const std::size_t zero = value < 0.0f ? 1 : 0;
        if (text[zero] == '0' && text[zero + 1] == '.') {
            if (zero == 1)
                text[1] = '-';
            ++start;
            --n;
        }
    }
    appendRight(out, start, n, width);
}

// Exponent form 0.ddddE+xx, rounded half away from zero; zero has no sign.
void appendE(std::string& out, float value, int width, int decimals) {
    if (!std::isfinite(value) || decimals < 1 || decimals > 40) {
        appendAsterisks(out, width);
        return;
    }
    const bool negative = value < 0.0f;
    const double a = std::fabs(static_cast<double>(value));
    std::int64_t quick = 0;
    int quickExponent = 0;
    if (quickMantissa(a, decimals, quick, quickExponent)) {
        std::array<char, 16> digits{};
        for (int i = decimals - 1; i >= 0; --i) {
            digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + quick % 10);
            quick /= 10;
        }
        appendExponentField(out, negative, digits.data(), decimals, quickExponent, width);
        return;
    }
    if (a == 0.0) {
        std::array<char, 48> zeros{};
        zeros.fill('0');
        appendExponentField(out, false, zeros.data(), decimals, 0, width);
        return;
    }
    Expansion x = expand(a);
    roundExpansion(x, decimals);
    appendExponentField(out, negative, x.digits.data(), decimals, x.exponent + 1, width);
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
