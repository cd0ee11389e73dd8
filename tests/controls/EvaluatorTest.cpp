// The expression evaluator: precedence, minus signs, textual carrying of
// intermediate results, operands, functions and every failure.
#include "Evaluator.h"
#include "DecimalSeparator.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <numbers>
#include <string>
#include <type_traits>

using namespace pavrin::controls;

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kE = std::numbers::e_v<long double>;

void ExpectValue(const std::string& text, long double expected, long double relTol = 1E-17L) {
    SCOPED_TRACE("entry: " + text);
    long double value = 0;
    ASSERT_NO_THROW(value = Evaluate(text));
    EXPECT_LE(std::fabs(value - expected), relTol * std::fmax(1.0L, std::fabs(expected)))
        << "got " << FormatIntermediate(value) << ", expected " << FormatIntermediate(expected);
}

void ExpectReason(const std::string& text, const char* reason) {
    SCOPED_TRACE("entry: " + text);
    try {
        Evaluate(text);
        ADD_FAILURE() << "no error";
    } catch (const EAssignError& error) {
        EXPECT_EQ(std::string(error.what()), EvaluationMessage(reason));
    }
}

template <class Fault> void ExpectFault(const std::string& text) {
    SCOPED_TRACE("entry: " + text);
    try {
        Evaluate(text);
        ADD_FAILURE() << "no error";
    } catch (const Fault& fault) {
        EXPECT_GT(std::string(fault.what()).size(), 5u);
    } catch (const std::exception& other) {
        ADD_FAILURE() << "wrong kind of error: " << other.what();
    }
}

} // namespace

TEST(Evaluator, LevelsFoldHighestFirstAndLeftToRight) {
    ExpectValue("2+3*4", 14);
    ExpectValue("2*3^2", 18);
    ExpectValue("2^3^2", 64);
    ExpectValue("7-2-1", 4);
    ExpectValue("8/4/2", 1);
    ExpectValue("2*8/4%3", 1);   // * / % & share a level, left to right
    ExpectValue("1+1&0", 1);     // & binds tighter than +
    ExpectValue("0|0+1", 1);     // + and | share a level: (0|0)+1
    ExpectValue("1+1|0", 1);     // (1+1)|0
    ExpectValue("1=1+0", 1);     // = is the lowest level
    ExpectValue("1+2=3=1", 1);   // (3=3)=1
    ExpectValue("10-2*3^2", -8); // all levels together
}

TEST(Evaluator, MinusSignsAreUnaryAfterOperatorsFunctionsAndExponents) {
    ExpectValue("-2^2", 4); // the sign belongs to the operand
    ExpectValue("2*-3", -6);
    ExpectValue("5--3", 8);
    ExpectValue("--5", 5);
    ExpectValue("----5", 5);
    ExpectValue("---5", -5);
    ExpectValue("2^-1", 0.5L);
    ExpectValue("sin(-1)", std::sin(-1.0L));
    ExpectValue("sin-1", std::sin(-1.0L));
    ExpectValue("abs-2", 2);
    ExpectValue("1.5e-3", 0.0015L);
    ExpectValue("1.5E-3", 0.0015L);
    ExpectValue("2e-1*10", 2);
    ExpectValue("3-(0-2)", 5);      // a negative group value after a binary minus
    ExpectValue("2*(1E-7)", 2E-7L); // a group value in scientific notation keeps its exponent sign
    ExpectReason("e-1",
                 evaluator_reason::kInvalidCharacters); // the minus after e is taken as an exponent sign
    ExpectValue("e+1", kE + 1);
    ExpectValue("5\x9B"
                "3",
                2); // a typed binary-minus marker is an operator
    ExpectReason("~5", evaluator_reason::kInvalidCharacters);
    ExpectReason("-sin1", evaluator_reason::kInvalidCharacters); // only constants take a leading sign
}

TEST(Evaluator, IntermediateResultsAreCarriedAsEighteenDigitText) {
    // One third survives only to 18 digits, so three thirds are not one.
    EXPECT_EQ(Evaluate("1/3"), EvaluateOperand("0.333333333333333333"));
    EXPECT_EQ(Evaluate("1/3*3"), EvaluateOperand("0.999999999999999999"));
    EXPECT_EQ(Evaluate("(1/3)*3"), Evaluate("1/3*3"));
    EXPECT_NE(Evaluate("1/3*3"), 1.0L);
    // A bare number keeps all its digits; one that passes an operator is rounded.
    EXPECT_EQ(Evaluate("12345678901234567890"), 12345678901234567890.0L);
    EXPECT_EQ(Evaluate("12345678901234567890+0"), EvaluateOperand("1.23456789012345679E19"));
}

TEST(Evaluator, IntermediateTextFormat) {
    EXPECT_EQ(FormatIntermediate(0), "0");
    EXPECT_EQ(FormatIntermediate(-0.0L), "0");
    EXPECT_EQ(FormatIntermediate(-2.5L), "-2.5");
    EXPECT_EQ(FormatIntermediate(120), "120");
    EXPECT_EQ(FormatIntermediate(1E-6L), "1E-6");
    EXPECT_EQ(FormatIntermediate(1.5E20L), "1.5E20");
    EXPECT_EQ(FormatIntermediate(-1.25E-300L), "-1.25E-300");
    EXPECT_EQ(FormatIntermediate(1E-5L), "0.00001");
    EXPECT_EQ(FormatIntermediate(123456789012345678.0L), "123456789012345678");
    EXPECT_EQ(FormatIntermediate(1E18L), "1E18");
    EXPECT_EQ(FormatIntermediate(1.0L / 3), "0.333333333333333333");
    EXPECT_EQ(FormatIntermediate(2.0L / 3 * 1E10L), "6666666666.66666667");
}

TEST(Evaluator, IntermediateTextParsesBackAtTheEdgesOfTheRange) {
    for (long double x : {LDBL_MAX, -LDBL_MAX, LDBL_MIN, kPi * 1E4000L, 1.0L / 7, -2E-300L}) {
        const std::string text = FormatIntermediate(x);
        SCOPED_TRACE(text);
        long double back = 0;
        ASSERT_NO_THROW(back = EvaluateOperand(text));
        EXPECT_LE(std::fabs(back / x - 1), 1E-17L);
        EXPECT_EQ(FormatIntermediate(back), text);
    }
    // Below the normal range the text keeps the value to the precision the number has.
    for (long double x : {LDBL_TRUE_MIN, 1E-4940L, -3.5E-4935L}) {
        const std::string text = FormatIntermediate(x);
        SCOPED_TRACE(text);
        long double back = 0;
        ASSERT_NO_THROW(back = EvaluateOperand(text));
        EXPECT_LE(std::fabs(back / x - 1), 1E-9L);
    }
}

TEST(Evaluator, FollowsTheProcessDecimalSeparator) {
    DecimalSeparatorScope comma(',');
    EXPECT_EQ(FormatIntermediate(2.5L), "2,5");
    EXPECT_EQ(FormatIntermediate(1.5E-20L), "1,5E-20");
    ExpectValue("1,5+1", 2.5L);
    ExpectValue("(1/4)*2", 0.5L); // the group value "0,25" parses back
    ExpectReason("1.5", evaluator_reason::kInvalidCharacters);
}

TEST(Evaluator, Parentheses) {
    ExpectValue("(1+2)*(3+4)", 21);
    ExpectValue("((2))", 2);
    ExpectValue("-(2+3)", -5);
    ExpectValue("(2)(3)", 23); // adjacent groups run together as text
    ExpectValue("2^(1+1)^(1+2)", 64);
    ExpectReason("(1+2", evaluator_reason::kInvalidCharacters);
    ExpectReason("1+2)", evaluator_reason::kParentheses);
    ExpectReason(")(", evaluator_reason::kParentheses);
    ExpectReason("()", evaluator_reason::kBlank);
    ExpectReason("( )", evaluator_reason::kBlank);
    ExpectReason("(2)+()", evaluator_reason::kBlank);
    // Groups are taken in the order of their closing parentheses.
    ExpectReason("1)+(1/0)", evaluator_reason::kParentheses);
    ExpectFault<EZeroDivide>("(1/0)+1)");
}

TEST(Evaluator, Constants) {
    ExpectValue("pi", kPi);
    ExpectValue("-pi", -kPi);
    ExpectValue("PI", kPi);
    ExpectValue("--pi", kPi);
    ExpectValue("e", kE);
    ExpectValue("-E", -kE);
    ExpectValue("2*pi", 2 * kPi);
    ExpectReason("2pi", evaluator_reason::kInvalidCharacters);
    ExpectReason("pie", evaluator_reason::kInvalidCharacters);
}

TEST(Evaluator, FunctionsTakeTheRestOfTheirOperand) {
    struct Case {
        const char* text;
        long double expected;
    };
    // Reference values to 21 digits.
    const Case cases[] = {
        {"arctanh0.5", 0.549306144334054845697622618461L},
        {"arctan1", 0.785398163397448309615660845820L},
        {"cotan1", 0.642092615934330703006419974862L},
        {"tanh1", 0.761594155955764888119458282605L},
        {"tan1", 1.55740772465490223050697480745L},
        {"arccosh2", 1.31695789692481670862504634731L},
        {"arccos0.5", 1.04719755119659774615421446109L},
        {"cosh1", 1.54308063481524377847790562075L},
        {"cosec1", 1.18839510577812121626159945237L},
        {"cos1", 0.540302305868139717400936607443L},
        {"sec1", 1.85081571768092561791175324140L},
        {"arcsinh1", 0.881373587019543025232609324979L},
        {"arcsin0.5", 0.523598775598298873077107230547L},
        {"sinh1", 1.17520119364380145688238185060L},
        {"sin1", 0.841470984807896506652502321630L},
        {"csc1", 1.18839510577812121626159945237L},
        {"abs-2.5", 2.5L},
        {"frac-2.75", -0.75L},
        {"int-2.75", -2},
        {"ln10", 2.30258509299404568401799145468L},
        {"round2.5", 2},
        {"round3.5", 4},
        {"round-2.5", -2},
        {"round2.6", 3},
        {"ceil-1.5", -1},
        {"floor-1.5", -2},
        {"log1000", 3},
        {"sqrt16", 4},
        {"SQRT(16)", 4},
        {"sin2*3", 0.909297426825681695396019865912L * 3},
        {"sinsin1", 0.745624141665557879276132915574L},
        {"abs(2-5)", 3},
        // special rules at the edges
        {"arctanh1", 1.1E4932L},
        {"arctanh-2", -1.1E4932L},
        {"arccosh0.5", 0},
        {"arccos-1", kPi},
        {"arcsin1", kPi / 2},
        {"sin1e19", 0}, // beyond the processor's range for sine and cosine
        {"cos-1e19", 0},
        // whole-number results outside the 32-bit and 64-bit ranges stay exact
        {"ceil3000000000.5", 3000000001.0L},
        {"floor-3000000000.5", -3000000001.0L},
        {"round1e19", 1E19L},
    };
    for (const Case& c : cases)
        ExpectValue(c.text, c.expected, 1E-17L);
    ExpectReason("sin", evaluator_reason::kInvalidCharacters);
    ExpectReason("sin()", evaluator_reason::kBlank);
    ExpectReason("sinx", evaluator_reason::kInvalidCharacters);
}

TEST(Evaluator, IsFunctionNameIsWholeTextEquality) {
    for (const char* name : {"arctanh", "ARCTAN", "cotan", "Tanh", "cosec", "csc", "floor", "sqrt", "!", "$"})
        EXPECT_TRUE(IsFunctionName(name)) << name;
    for (const char* text : {"", "si", "sin1", "xsin", "pi", "e", "sinh "})
        EXPECT_FALSE(IsFunctionName(text)) << text;
}

TEST(Evaluator, FactorialHexRemainderAndLogic) {
    ExpectValue("5!", 120);
    ExpectValue("0!", 1);
    ExpectValue("(1+2)!", 6);
    ExpectValue("-3!", -6);
    ExpectValue("3!!", 720);
    ExpectValue("sqrt4!", std::sqrt(24.0L));
    ExpectValue("170!", 7.25741561530799896739672821113E306L, 1E-16L);
    ExpectReason("2.5!", evaluator_reason::kFactorial);
    ExpectReason("!", evaluator_reason::kInvalidCharacters);
    ExpectFault<EOverflow>("1755!");
    ExpectFault<EOverflow>("1e30!"); // and at once, not after counting to 1e30

    ExpectValue("$FF", 255);
    ExpectValue("$ff", 255);
    ExpectValue("$7FFFFFFF", 2147483647);
    ExpectValue("$FFFFFFFF", -1); // a 32-bit signed integer
    ExpectValue("abs$ff", 255);
    ExpectReason("$G1", evaluator_reason::kHex);
    ExpectReason("$", evaluator_reason::kHex);
    ExpectReason("$100000000", evaluator_reason::kHex);
    ExpectReason("$-1", evaluator_reason::kHex);

    ExpectValue("7%3", 1);
    ExpectValue("-7%3", -1);
    ExpectValue("7%-3", 1);
    ExpectValue("7.9%3", 1);
    ExpectValue("9223372036854775807%10", 7); // the integer remainder is carried exactly
    ExpectValue("-9223372036854775808%-1", 0);
    ExpectFault<EZeroDivide>("5%0");
    ExpectFault<EZeroDivide>("5%0.5");
    ExpectFault<EInvalidOp>("1e30%7");

    ExpectValue("1=1", 1);
    ExpectValue("1=2", 0);
    ExpectValue("0|5", 1);
    ExpectValue("0|0", 0);
    ExpectValue("2&0", 0);
    ExpectValue("2&3", 1);
    ExpectValue("1|abc", 1); // the right operand is not evaluated
    ExpectReason("0|abc", evaluator_reason::kInvalidCharacters);
    ExpectReason("1&abc", evaluator_reason::kInvalidCharacters);
}

TEST(Evaluator, PowerRules) {
    ExpectValue("0^0", 1);
    ExpectValue("0^2.5", 0);
    ExpectValue("-2^3", -8);
    ExpectValue("-2^-2", 0.25L);
    ExpectValue("2^0.5", std::numbers::sqrt2_v<long double>);
    ExpectValue("-1^3000000001", -1); // a whole exponent beyond 32 bits keeps the sign rule
    ExpectValue("10^-5000", 0);
    ExpectFault<EInvalidOp>("-8^(1/3)");
    ExpectFault<EZeroDivide>("0^-1");
    ExpectFault<EZeroDivide>("0^-0.5");
    ExpectFault<EOverflow>("10^5000");
    ExpectFault<EOverflow>("10^5000.5");
    ExpectFault<EOverflow>("0.1^-5000");
}

TEST(Evaluator, EveryMessageHasTheFixedFirstLine) {
    try {
        Evaluate("");
        FAIL();
    } catch (const EAssignError& error) {
        EXPECT_STREQ(error.what(), "Entry could not be evaluated:\rentry cannot be blank");
    }
    ExpectReason("", "entry cannot be blank");
    ExpectReason("1+2)", "() (parentheses) do not match");
    ExpectReason("2+", "invalid expression");
    ExpectReason("+", "invalid expression");
    ExpectReason("   ", "invalid expression");
    ExpectReason(" \t ", "invalid expression");
    ExpectReason("2**3", "invalid character(s) in expression");
    ExpectReason("*2", "invalid character(s) in expression");
    ExpectReason("abc", "invalid character(s) in expression");
    ExpectReason("1e+5", "invalid character(s) in expression"); // the exponent's plus is an operator
    ExpectReason("1e", "invalid character(s) in expression");
    ExpectReason(".", "invalid character(s) in expression");
    ExpectReason("2\n", "invalid character(s) in expression");
    ExpectReason("$XY", "invalid use of $ (hex function)");
    ExpectReason("0.5!", "! (factoral) applicable to integers only");
    ExpectValue("2 + 3", 5);
    ExpectValue("\t2\t+\t3 ", 5);
    ExpectValue(".5+5.", 5.5L);
}

TEST(Evaluator, RuntimeFaultsAreDistinctFromEntryErrors) {
    static_assert(!std::is_base_of_v<EAssignError, EMathError>);
    static_assert(!std::is_base_of_v<EMathError, EAssignError>);
    ExpectFault<EZeroDivide>("1/0");
    ExpectFault<EZeroDivide>("0/0");
    ExpectFault<EZeroDivide>("ln0");
    ExpectFault<EZeroDivide>("cotan0");
    ExpectFault<EZeroDivide>("cosec0");
    ExpectFault<EInvalidOp>("sqrt(-1)");
    ExpectFault<EInvalidOp>("ln(-1)");
    ExpectFault<EInvalidOp>("log(-1)");
    ExpectFault<EInvalidOp>("arccos2");
    ExpectFault<EInvalidOp>("arcsin-1.5");
    ExpectFault<EOverflow>("1e4000*1e4000");
    ExpectFault<EOverflow>("1e5000");
    ExpectFault<EOverflow>("sinh100000");
    ExpectFault<EOverflow>("arccos1e3000");
    ExpectValue("1e-5000", 0); // below the smallest number: zero, not an error
    // Nothing is left behind by a failure.
    ExpectValue("1+1", 2);
}

TEST(Evaluator, SurvivesVeryLongAndDeeplyNestedEntries) {
    const size_t n = 100000;
    ExpectValue(std::string(n, '(') + "1" + std::string(n, ')'), 1);
    std::string nested;
    for (size_t i = 0; i < n; ++i)
        nested += "abs(";
    ExpectValue(nested + "-1" + std::string(n, ')'), 1);
    std::string prefixes;
    for (size_t i = 0; i < n; ++i)
        prefixes += "sin";
    ExpectValue(prefixes + "0", 0);
    ExpectValue(std::string(n, '-') + "1", 1);
    std::string sum = "1";
    for (size_t i = 1; i < n; ++i)
        sum += "+1";
    ExpectValue(sum, n);
    ExpectReason(std::string(n, '('), evaluator_reason::kInvalidCharacters);
    ExpectReason(std::string(n, ')'), evaluator_reason::kParentheses);
    ExpectValue("1" + std::string(n, '!'), 1);
    ExpectValue("0." + std::string(n, '0') + "1", 0);
    ExpectFault<EOverflow>("1" + std::string(n, '0'));
}
