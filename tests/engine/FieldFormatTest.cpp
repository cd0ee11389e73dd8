// Fixed-column fields of the report and the plot data file: I(w), F(w.d), E(w.d),
// checked against hand-written expected texts.
#include "FieldFormat.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace pavrin::engine {
namespace {

std::string e(float v, int w, int d) {
    std::string s;
    appendE(s, v, w, d);
    return s;
}

std::string f(float v, int w, int d) {
    std::string s;
    appendF(s, v, w, d);
    return s;
}

std::string i(std::int32_t v, int w) {
    std::string s;
    appendI(s, v, w);
    return s;
}

struct ECase {
    float value;
    int width, decimals;
    const char* expected;
};

TEST(FieldFormat, ExponentFormMantissaSignExponentAndAlignment) {
    const ECase cases[] = {
        {1234.5f, 10, 3, " 0.123E+04"},
        {-1234.5f, 10, 3, "-0.123E+04"},
        {0.0f, 10, 3, " 0.000E+00"},
        {0.0f, 16, 4, "      0.0000E+00"},
        {1.0f, 10, 3, " 0.100E+01"},
        {0.5f, 10, 3, " 0.500E+00"},
        {0.001f, 16, 4, "      0.1000E-02"},
        {120.0f, 17, 4, "       0.1200E+03"},
        {-0.0254f, 16, 4, "     -0.2540E-01"},
        {1234.5f, 9, 2, " 0.12E+04"},
        {3.0e9f, 19, 4, "         0.3000E+10"},
        {0.05f, 23, 4, "             0.5000E-01"},
        // Rounding that carries into the exponent.
        {9.9996f, 10, 3, " 0.100E+02"},
        {-9.9996f, 10, 3, "-0.100E+02"},
        {0.099996f, 10, 3, " 0.100E+00"},
        {99999.7f, 15, 4, "     0.1000E+06"},
        // Round half away from the last digit kept, for values that are exact in binary.
        {0.15625f, 10, 3, " 0.156E+00"}, // 0.15625 -> 0.156|25: down
        {0.96875f, 10, 3, " 0.969E+00"}, // 0.968|75: up
        // The extremes of single precision keep two exponent digits.
        {1.0e-30f, 10, 3, " 0.100E-29"},
        {FLT_MIN, 10, 3, " 0.118E-37"},
        {3.0e38f, 10, 3, " 0.300E+39"},
        {FLT_MAX, 10, 3, " 0.340E+39"},
        {-FLT_MAX, 10, 3, "-0.340E+39"},
        {1.0e-40f, 10, 3, " 0.100E-39"}, // subnormal
    };
    for (const auto& c : cases) {
        EXPECT_EQ(e(c.value, c.width, c.decimals), c.expected)
            << c.value << " in E(" << c.width << "." << c.decimals << ")";
    }
}

// The exponent form from the exact decimal expansion of the value, rounded
// half away from zero by hand: "0." the digits, and the exponent plus one.
std::string exactE(float v, int decimals) {
    char buf[200];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(static_cast<double>(v)),
                                   std::chars_format::scientific, 130);
    EXPECT_EQ(ec, std::errc());
    const std::string text(buf, end);
    std::string digits;
    std::size_t i = 0;
    for (; text[i] != 'e'; ++i)
        if (text[i] != '.')
            digits += text[i];
    int exponent = std::stoi(text.substr(i + 1)) + (v != 0.0f ? 1 : 0);
    std::string kept = digits.substr(0, static_cast<std::size_t>(decimals));
    if (digits[static_cast<std::size_t>(decimals)] >= '5') {
        int k = decimals - 1;
        while (k >= 0 && kept[static_cast<std::size_t>(k)] == '9')
            kept[static_cast<std::size_t>(k--)] = '0';
        if (k < 0) {
            kept.pop_back();
            kept.insert(kept.begin(), '1');
            ++exponent;
        } else {
            ++kept[static_cast<std::size_t>(k)];
        }
    }
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    std::string field = v < 0.0f ? "-0." : "0.";
    field += kept;
    field += exp;
    return field;
}

TEST(FieldFormat, ExponentFormIsTheExactlyRoundedDecimalForEveryKindOfFloat) {
    std::mt19937 random(20140307);
    std::uniform_int_distribution<std::uint32_t> bits;
    auto check = [](float v) {
        for (int d : {2, 3, 4}) {
            std::string field;
            appendE(field, v, 30, d);
            const std::string expected = exactE(v, d);
            ASSERT_EQ(field.substr(field.find_first_not_of(' ')), expected)
                << "value " << v << " digits " << d;
        }
    };
    for (int i = 0; i < 200000; ++i) {
        float v = 0;
        const std::uint32_t b = bits(random);
        std::memcpy(&v, &b, sizeof v);
        if (std::isfinite(v))
            check(v);
    }
    // Every power of two and its neighbours: where the integer forms of the digits reach their limits.
    for (int e = -149; e <= 127; ++e) {
        const float power = std::ldexp(1.0f, e);
        check(power);
        check(std::nextafter(power, 0.0f));
        check(std::nextafter(power, 3e38f));
    }
    // Values on and next to decimal ties and powers of ten, where rounding is decided.
    for (int e = -40; e <= 38; ++e)
        for (int m = 1000; m <= 10000; m += 7) {
            const float tie = static_cast<float>((m + 0.5) * std::pow(10.0, e - 4));
            check(tie);
            check(std::nextafter(tie, 0.0f));
            check(std::nextafter(tie, 1e38f));
            check(-tie);
        }
}

TEST(FieldFormat, FixedFormAndOverflowToAsterisks) {
    const ECase cases[] = {
        {1000.0f, 6, 2, "******"},      {999.99f, 6, 2, "999.99"},  {-99.99f, 6, 2, "-99.99"},
        {-100.0f, 6, 2, "******"},      {999.996f, 6, 2, "******"}, // rounds to 1000.00
        {12.345f, 6, 2, " 12.35"},      {0.0f, 6, 2, "  0.00"},     {1.5f, 6, 2, "  1.50"},
        {10000.0f, 6, 1, "******"},     {9999.9f, 6, 1, "9999.9"},  {120.0f, 6, 1, " 120.0"},
        {0.0f, 6, 1, "   0.0"},         {-12.5f, 6, 1, " -12.5"},   {1.5f, 4, 2, "1.50"},
        {0.0f, 4, 2, "0.00"},           {2.0f, 4, 2, "2.00"},       {10.0f, 4, 2, "****"},
        {1000.0f, 10, 3, "  1000.000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(f(c.value, c.width, c.decimals), c.expected)
            << c.value << " in F(" << c.width << "." << c.decimals << ")";
    }
}

TEST(FieldFormat, IntegerFieldAndOverflow) {
    EXPECT_EQ(i(7, 5), "    7");
    EXPECT_EQ(i(12345, 5), "12345");
    EXPECT_EQ(i(123456, 5), "*****");
    EXPECT_EQ(i(-1234, 5), "-1234");
    EXPECT_EQ(i(-12345, 5), "*****");
    EXPECT_EQ(i(0, 11), "          0");
    EXPECT_EQ(i(std::numeric_limits<std::int32_t>::min(), 11), "-2147483648");
    EXPECT_EQ(i(std::numeric_limits<std::int32_t>::min(), 10), "**********");
}

TEST(FieldFormat, NonFiniteValuesNeverReachAFile) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(e(nan, 10, 3), "**********");
    EXPECT_EQ(e(-inf, 10, 3), "**********");
    EXPECT_EQ(f(inf, 6, 2), "******");
}

TEST(FieldFormat, FieldsAppendToWhatIsAlreadyThere) {
    std::string s = "AB";
    appendI(s, 5, 3);
    appendBlanks(s, 2);
    appendF(s, 1.5f, 5, 1);
    appendE(s, 1234.5f, 10, 3);
    EXPECT_EQ(s, "AB  5    1.5 0.123E+04");
}

} // namespace
} // namespace pavrin::engine
