#include "FieldFormat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace pavrin::engine {

namespace {

constexpr double Pow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                            1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

constexpr std::array<std::uint64_t, 20> powers(std::uint64_t base) {
    std::array<std::uint64_t, 20> p{};
    p[0] = 1;
    for (std::size_t i = 1; i < p.size(); ++i)
        p[i] = p[i - 1] * base;
    return p;
}

constexpr std::array<std::uint64_t, 20> Pow10Int = powers(10); // up to 10^19
constexpr std::array<std::uint64_t, 20> Pow5Int = powers(5);   // up to 5^19

char* putAsterisks(char* p, int width) {
    if (width <= 0)
        return p;
    std::memset(p, '*', static_cast<std::size_t>(width));
    return p + width;
}

// `text` right-aligned in exactly `width` characters, or asterisks when it is wider.
char* putRight(char* p, const char* text, std::size_t length, int width) {
    if (width <= 0)
        return p;
    if (length > static_cast<std::size_t>(width))
        return putAsterisks(p, width);
    const std::size_t pad = static_cast<std::size_t>(width) - length;
    std::memset(p, ' ', pad);
    std::memcpy(p + pad, text, length);
    return p + width;
}

// Blanks from p up to end, eight at a time where it can.
void fillBlanks(char* p, char* end) {
    while (end - p >= 8) {
        std::memcpy(p, "        ", 8);
        p += 8;
    }
    while (p < end)
        *p++ = ' ';
}

// [-]0.ddd E+xx with the `nd` digits of `digits`, right-aligned in `width`, written
// from the right end of the field.
char* putExponentDigits(char* p, bool negative, std::uint64_t digits, int nd, int exponent, int width) {
    if (nd + 6 + (negative ? 1 : 0) > width)
        return putAsterisks(p, width);
    char* const end = p + width;
    char* q = end;
    const int magnitude = exponent < 0 ? -exponent : exponent;
    *--q = static_cast<char>('0' + magnitude % 10);
    *--q = static_cast<char>('0' + magnitude / 10 % 10);
    *--q = exponent < 0 ? '-' : '+';
    *--q = 'E';
    for (int i = 0; i < nd; ++i) {
        *--q = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    *--q = '.';
    *--q = '0';
    if (negative)
        *--q = '-';
    fillBlanks(p, q);
    return end;
}

// The string forms write a field through a buffer of this size, a wider one in place.
constexpr int BufferedWidth = 64;

template <typename Put> void appendField(std::string& out, int width, Put put) {
    if (width <= 0)
        return;
    if (width <= BufferedWidth) {
        char field[BufferedWidth];
        out.append(field, static_cast<std::size_t>(put(field) - field));
        return;
    }
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(width));
    put(out.data() + at);
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

// a x 10^k for a = m x 2^q, as its whole part and whether the fraction is at
// least one half, in 64-bit integers; false where they cannot hold it.
bool scaleExactly(std::uint32_t m, int q, int k, std::uint64_t& whole, bool& halfUp) {
    if (k >= 0) {
        if (k > 17) // m x 5^k stays below 2^64
            return false;
        const std::uint64_t a = m * Pow5Int[static_cast<std::size_t>(k)];
        const int shift = q + k;
        if (shift >= 0) {
            if (shift > 20 || static_cast<int>(std::bit_width(a)) + shift > 63)
                return false;
            whole = a << shift;
            halfUp = false;
            return true;
        }
        if (shift <= -64)
            return false;
        const int r = -shift;
        whole = a >> r;
        const std::uint64_t rest = a & ((std::uint64_t{1} << r) - 1);
        halfUp = rest >= (std::uint64_t{1} << (r - 1));
        return true;
    }
    if (-k > 18)
        return false;
    std::uint64_t denominator = Pow10Int[static_cast<std::size_t>(-k)];
    std::uint64_t numerator = m;
    if (q >= 0) {
        if (q > 39) // m x 2^q stays below 2^63
            return false;
        numerator <<= q;
    } else {
        if (static_cast<int>(std::bit_width(denominator)) - q > 63)
            return false;
        denominator <<= -q;
    }
    whole = numerator / denominator;
    const std::uint64_t rest = numerator % denominator;
    halfUp = rest >= denominator - rest;
    return true;
}

// The `decimals` significant digits of a positive, finite |value| rounded half
// away from zero, and the exponent of the form 0.ddd E e, found exactly in
// integers; false for the far ends of the range, which the slower paths take.
bool exactMantissa(float value, int decimals, std::uint64_t& digits, int& exponent) {
    if (decimals > 9)
        return false;
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value) & 0x7fffffffU;
    const int biased = static_cast<int>(bits >> 23);
    std::uint32_t m = bits & 0x7fffffU;
    int q = -149;
    if (biased != 0) {
        m |= 0x800000U;
        q = biased - 150;
    }
    if (m == 0)
        return false;
    const int log2 = static_cast<int>(std::bit_width(m)) - 1 + q;
    int e10 = (log2 * 1233) >> 12; // floor(log2 x log10(2)), or one below
    const std::uint64_t low = Pow10Int[static_cast<std::size_t>(decimals - 1)];
    const std::uint64_t high = Pow10Int[static_cast<std::size_t>(decimals)];
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::uint64_t whole = 0;
        bool halfUp = false;
        if (!scaleExactly(m, q, decimals - 1 - e10, whole, halfUp))
            return false;
        if (whole >= high) {
            ++e10;
            continue;
        }
        if (whole < low) {
            --e10;
            continue;
        }
        exponent = e10 + 1;
        if (halfUp && ++whole == high) {
            whole = low;
            exponent += 1;
        }
        digits = whole;
        return true;
    }
    return false;
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

char* putExponentField(char* p, bool negative, const char* digits, int nd, int exponent, int width) {
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
    return putRight(p, field.data(), n, width);
}

} // namespace

char* putI(char* p, std::int32_t value, int width) {
    std::array<char, 16> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    (void)ec;
    return putRight(p, buf.data(), static_cast<std::size_t>(end - buf.data()), width);
}

// Fixed form, rounded half away from zero. With at most 4 decimals |value| x 10^d
// is exact in double (24 + 14 bits), so the rounding is decided exactly.
char* putF(char* p, float value, int width, int decimals) {
    if (width <= 0)
        return p;
    if (!std::isfinite(value) || decimals < 0 || decimals > 4)
        return putAsterisks(p, width);
    const double scaled = std::fabs(static_cast<double>(value)) * Pow10[decimals];
    if (scaled >= 1e15)
        return putAsterisks(p, width);
    double whole = std::floor(scaled);
    if (scaled - whole >= 0.5)
        whole += 1.0;
    auto units = static_cast<std::uint64_t>(whole);
    int nd = decimals + 1; // digits written: the whole part has at least one
    while (units >= Pow10Int[static_cast<std::size_t>(nd)])
        ++nd;
    const bool negative = value < 0.0f;
    int length = nd + 1 + (negative ? 1 : 0);
    // The leading zero of a value below one is optional: dropped when the field is too narrow.
    if (length > width && units < Pow10Int[static_cast<std::size_t>(decimals)]) {
        --nd;
        --length;
    }
    if (length > width)
        return putAsterisks(p, width);
    char* const end = p + width;
    char* q = end;
    if (decimals == 0)
        *--q = '.';
    for (int i = 0; i < nd; ++i) {
        *--q = static_cast<char>('0' + units % 10);
        units /= 10;
        if (i == decimals - 1)
            *--q = '.';
    }
    if (negative)
        *--q = '-';
    fillBlanks(p, q);
    return end;
}

// Exponent form 0.ddddE+xx, rounded half away from zero; zero has no sign.
char* putE(char* p, float value, int width, int decimals) {
    if (width <= 0)
        return p;
    if (!std::isfinite(value) || decimals < 1 || decimals > 40)
        return putAsterisks(p, width);
    const bool negative = value < 0.0f;
    std::uint64_t exact = 0;
    int exactExponent = 0;
    if (exactMantissa(value, decimals, exact, exactExponent))
        return putExponentDigits(p, negative, exact, decimals, exactExponent, width);
    const double a = std::fabs(static_cast<double>(value));
    std::int64_t quick = 0;
    int quickExponent = 0;
    if (quickMantissa(a, decimals, quick, quickExponent))
        return putExponentDigits(p, negative, static_cast<std::uint64_t>(quick), decimals, quickExponent,
                                 width);
    if (a == 0.0) {
        std::array<char, 48> zeros{};
        zeros.fill('0');
        return putExponentField(p, false, zeros.data(), decimals, 0, width);
    }
    Expansion x = expand(a);
    roundExpansion(x, decimals);
    return putExponentField(p, negative, x.digits.data(), decimals, x.exponent + 1, width);
}

void appendBlanks(std::string& out, int n) {
    if (n > 0)
        out.append(static_cast<std::size_t>(n), ' ');
}

void appendI(std::string& out, std::int32_t value, int width) {
    appendField(out, width, [&](char* p) { return putI(p, value, width); });
}

void appendF(std::string& out, float value, int width, int decimals) {
    appendField(out, width, [&](char* p) { return putF(p, value, width, decimals); });
}

void appendE(std::string& out, float value, int width, int decimals) {
    appendField(out, width, [&](char* p) { return putE(p, value, width, decimals); });
}

void appendFreeInt(std::string& out, std::int32_t value) {
    appendI(out, value, 12);
}

void appendFreeReal(std::string& out, float value) {
    std::array<char, 64> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<double>(value),
                                   std::chars_format::general, 9);
    char field[15];
    char* last = ec != std::errc()
                     ? putAsterisks(field, 15)
                     : putRight(field, buf.data(), static_cast<std::size_t>(end - buf.data()), 15);
    out.append(field, static_cast<std::size_t>(last - field));
}

} // namespace pavrin::engine
