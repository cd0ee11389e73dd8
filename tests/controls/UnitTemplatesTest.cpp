// Unit-label templates: the label rule of the numeric edit, the heading rule of
// the grid columns, and the conversion factor between the unit systems.
#include "UnitTemplates.h"
#include "Evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace pavrin::controls;

namespace {

void ExpectRelative(long double actual, long double expected, long double tolerance = 1E-9L) {
    EXPECT_LE(std::fabs(actual / expected - 1), tolerance)
        << static_cast<double>(actual) << " vs " << static_cast<double>(expected);
}

} // namespace

TEST(UnitTemplates, TokenTable) {
    const auto& tokens = UnitTokens();
    ASSERT_EQ(tokens.size(), 10u);
    EXPECT_STREQ(tokens[0].token, "F");
    EXPECT_STREQ(tokens[3].english, "lb-sec2/in");
    EXPECT_STREQ(tokens[3].none, "M");
    EXPECT_STREQ(tokens[7].si, "mm");
    EXPECT_STREQ(tokens[9].token, "L3");
    // The factors are those of the unit definitions: 1 lbf = 4.4482216152605 N, 1 in = 0.0254 m.
    ExpectRelative(tokens[0].englishPerSi, 1000 / 4.4482216152605L, 1E-7L);
    ExpectRelative(tokens[6].englishPerSi, 1 / 0.0254L, 1E-9L);
    ExpectRelative(tokens[8].englishPerSi, 1 / 0.3048L, 1E-9L);
}

TEST(UnitTemplates, NumericEditLabelReplacesOneTokenKindPerFamily) {
    EXPECT_EQ(ExpandUnits("F/L^2", 1), "lbs/in^2");
    EXPECT_EQ(ExpandUnits("F/L^2", 2), "kN/m^2");
    EXPECT_EQ(ExpandUnits("F/L^3", 1), "lbs/in^3");
    EXPECT_EQ(ExpandUnits("F/L^3", 2), "kN/m^3");
    EXPECT_EQ(ExpandUnits("F1/L2^2", 1), "kips/ft^2");
    EXPECT_EQ(ExpandUnits("F1/L2^2", 2), "kN/m^2");
    EXPECT_EQ(ExpandUnits("L", 1), "in");
    EXPECT_EQ(ExpandUnits("L", 2), "m");
    EXPECT_EQ(ExpandUnits("L²", 1), "in²");
    EXPECT_EQ(ExpandUnits("L²", 2), "m²");
    EXPECT_EQ(ExpandUnits("F2", 1), "tons");
    EXPECT_EQ(ExpandUnits("F2", 2), "kN");
    EXPECT_EQ(ExpandUnits("F6/F5", 1), "slug/F5"); // only the F6 kind is replaced
    EXPECT_EQ(ExpandUnits("F1/F", 1), "kips/F");
    EXPECT_EQ(ExpandUnits("L1*L1", 2), "mm*mm");
    EXPECT_EQ(ExpandUnits("in", 1), "in"); // text that is no token stays
    EXPECT_EQ(ExpandUnits("", 2), "");
    // Units 3 shows the template; other values are clamped to 1..3.
    EXPECT_EQ(ExpandUnits("F/L^2", 3), "F/L^2");
    EXPECT_EQ(ExpandUnits("F/L^2", 7), "F/L^2");
    EXPECT_EQ(ExpandUnits("F/L^2", 0), "lbs/in^2");
    EXPECT_EQ(ExpandUnits("F/L^2", -1), "lbs/in^2");
}

TEST(UnitTemplates, ColumnHeadingReplacesEveryToken) {
    EXPECT_EQ(ExpandColumnUnits("F1/L2^2", 1), "kips/ft^2");
    EXPECT_EQ(ExpandColumnUnits("F1/L2^2", 2), "kN/m^2");
    EXPECT_EQ(ExpandColumnUnits("F1/L2^2", 3), "F/L^2");
    EXPECT_EQ(ExpandColumnUnits("F/L^2", 3), "F/L^2");
    EXPECT_EQ(ExpandColumnUnits("F4/L", 3), "M/L");
    EXPECT_EQ(ExpandColumnUnits("F5", 3), "T");
    EXPECT_EQ(ExpandColumnUnits("F*L", 1), "lbs*in");
    EXPECT_EQ(ExpandColumnUnits("F*L", 2), "kN*m");
    EXPECT_EQ(ExpandColumnUnits("F/F", 1), "lbs/lbs");
    EXPECT_EQ(ExpandColumnUnits("F6/F5", 1), "slug/sec"); // unlike the edit label
    EXPECT_EQ(ExpandColumnUnits("F4", 1), "lb-sec2/in");
    EXPECT_EQ(ExpandColumnUnits("L3/L1", 2), "rad/mm");
    EXPECT_EQ(ExpandColumnUnits("", 1), "");
}

TEST(UnitTemplates, ConversionFactor) {
    const long double psiPerKpa = 224.8089237L / (39.37007874L * 39.37007874L);
    ExpectRelative(UnitsFactor(2, 1, "F/L^2"), psiPerKpa);
    ExpectRelative(UnitsFactor(2, 1, "F/L^2"), 0.145038L, 1E-5L);
    ExpectRelative(100 * UnitsFactor(1, 2, "F/L^2"), 689.476L, 1E-5L);
    ExpectRelative(UnitsFactor(1, 2, "F/L^2"), 6.894757L, 1E-6L);
    ExpectRelative(UnitsFactor(2, 1, "F1/L2^2"), 0.0208854L, 1E-5L);
    ExpectRelative(UnitsFactor(2, 1, "L"), 39.37007874L);
    ExpectRelative(UnitsFactor(2, 1, "F"), 224.8089237L);
    ExpectRelative(UnitsFactor(2, 1, "F/L^3"), 224.8089237L / std::pow(39.37007874L, 3));
    ExpectRelative(UnitsFactor(2, 1, "F^2"), 224.8089237L * 224.8089237L);
    ExpectRelative(UnitsFactor(2, 1, "F-L"), 224.8089237L * 39.37007874L); // token and one separator
    ExpectRelative(UnitsFactor(2, 1, "F*L"), 224.8089237L * 39.37007874L);
    ExpectRelative(UnitsFactor(2, 1, "L1"), 0.03937007874L);
    ExpectRelative(UnitsFactor(2, 1, "F4/L3"), 5.7101483L);
    ExpectRelative(UnitsFactor(2, 1, "F6"), 68.364249L);
    ExpectRelative(UnitsFactor(2, 1, "L^0"), 1);
    EXPECT_EQ(UnitsFactor(2, 1, ""), 1);
    EXPECT_EQ(UnitsFactor(1, 2, ""), 1);
    // Pairs other than English <-> SI do not convert.
    EXPECT_EQ(UnitsFactor(1, 1, "F/L^2"), 1);
    EXPECT_EQ(UnitsFactor(1, 3, "F/L^2"), 1);
    EXPECT_EQ(UnitsFactor(3, 2, "F/L^2"), 1);
}

TEST(UnitTemplates, EnglishToSiAndBackGivesBackTheTypedValue) {
    const long double typed[] = {123.456L, 600, 0.1L, 1e-5L, 3e8L, 14.503774L, 0.0254L, 7.123456789012345L};
    for (const char* tmpl : {"F", "F1", "F2", "F4", "F5", "F6", "L", "L1", "L2", "L3", "F/L^2", "F/L^3",
                             "F1/L2^2", "F2/L^2", "F*L", "L^4", "F/L", "F1/L1^3"}) {
        SCOPED_TRACE(tmpl);
        ExpectRelative(123.456L * UnitsFactor(1, 2, tmpl) * UnitsFactor(2, 1, tmpl), 123.456L, 1E-15L);
        const TUnitsConversion toSi(1, 2, tmpl);
        const TUnitsConversion toEnglish(2, 1, tmpl);
        ExpectRelative(toSi(1), UnitsFactor(1, 2, tmpl), 1E-18L);
        for (long double value : typed) {
            long double v = value;
            for (int trip = 0; trip < 20; ++trip)
                v = toEnglish(toSi(v));
            EXPECT_EQ(FormatIntermediate(v), FormatIntermediate(value)) << "as the fields show it";
        }
        EXPECT_EQ(TUnitsConversion(1, 1, tmpl)(5), 5);
        EXPECT_EQ(TUnitsConversion(2, 3, tmpl)(5), 5);
    }
}

TEST(UnitTemplates, ExponentThatIsNotADigitCannotBeConverted) {
    EXPECT_THROW(UnitsFactor(1, 2, "L²"), EConvertError);
    EXPECT_THROW(UnitsFactor(2, 1, "F/L^x"), EConvertError);
    EXPECT_THROW(UnitsFactor(2, 1, "F^"), EConvertError);
    EXPECT_THROW(UnitsFactor(2, 1, "L*F"), EConvertError);
    try {
        UnitsFactor(1, 2, "L²");
    } catch (const EConvertError& error) {
        EXPECT_NE(std::string(error.what()).find("L²"), std::string::npos);
    }
    EXPECT_NO_THROW(UnitsFactor(1, 1, "L²")); // nothing to convert
}
