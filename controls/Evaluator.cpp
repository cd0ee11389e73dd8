#include "Evaluator.h"

#include "DecimalSeparator.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string_view>
#include <vector>

namespace pavrin::controls {

namespace {

// Markers of the minus pass: a unary minus in the scanning copy, a binary minus
// in both copies. The binary marker is an operator character.
constexpr char kUnaryMarker = '~';
constexpr char kBinaryMinus = static_cast<char>(155);

// Messages of the arithmetic faults.
constexpr const char* kDivisionByZero = "Division by zero";
constexpr const char* kRemainderByZero = "Remainder by zero";
constexpr const char* kLogOfZero = "Logarithm of zero";
constexpr const char* kLogOfNegative = "Logarithm of a negative number";
constexpr const char* kSqrtOfNegative = "Square root of a negative number";
constexpr const char* kNegativeBase = "Negative number raised to a fractional power";
constexpr const char* kArcSinRange = "Arc sine of a number outside -1 to 1";
constexpr const char* kArcCosRange = "Arc cosine of a number outside -1 to 1";
constexpr const char* kIntegerRange = "Number too large for an integer remainder";
constexpr const char* kOverflow = "Floating point overflow";
constexpr const char* kInvalid = "Invalid floating point operation";

// The x87 sine and cosine instructions give up at this magnitude.
constexpr long double kTrigLimit = 9223372036854775808.0L; // 2^63
// The largest magnitude whose 18-digit text does not round above the extended range.
constexpr long double kLargestCarried = 1.18973149535723176E4932L;
// Largest argument whose factorial is finite in extended precision.
constexpr long double kLargestFactorial = 1754.0L;

[[noreturn]] void Fail(const char* reason) {
    throw EAssignError(EvaluationMessage(reason));
}

// Every computed value passes here: the runtime faults C++ leaves silent become exceptions.
long double Checked(long double value) {
    if (std::isnan(value))
        throw EInvalidOp(kInvalid);
    if (std::isinf(value))
        throw EOverflow(kOverflow);
    return value;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsOperatorChar(char c) {
    switch (c) {
    case '^':
    case '*':
    case '/':
    case '%':
    case '&':
    case '+':
    case kBinaryMinus:
    case '|':
    case '=':
        return true;
    default:
        return false;
    }
}

// Characters after which a minus sign is unary.
bool IsUnaryContext(char c) {
    switch (c) {
    case '%':
    case '&':
    case '*':
    case '+':
    case '/':
    case '=':
    case 'E':
    case '^':
    case 'e':
    case '|':
    case kUnaryMarker:
    case kBinaryMinus:
        return true;
    default:
        return false;
    }
}

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Deleting every "--" until none is left turns each run of minus signs into
// one sign (odd length) or none (even length).
std::string CollapseMinusRuns(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '-') {
            out.push_back(text[i++]);
            continue;
        }
        size_t run = 0;
        while (i < text.size() && text[i] == '-') {
            ++run;
            ++i;
        }
        if (run % 2 == 1)
            out.push_back('-');
    }
    return out;
}

// ---- Numbers as text -------------------------------------------------------

// Reads a decimal number in the process's notation: optional sign, digits with
// the decimal separator, optional exponent with E or e. Returns false when the
// text is not such a number; a number beyond the extended range is an overflow.
bool ReadDecimal(std::string_view text, long double& value) {
    const char separator = DecimalSeparator();
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t intStart = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    const std::string_view intDigits = text.substr(intStart, i - intStart);
    std::string_view fracDigits;
    if (i < text.size() && text[i] == separator) {
        const size_t fracStart = ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        fracDigits = text.substr(fracStart, i - fracStart);
    }
    if (intDigits.empty() && fracDigits.empty())
        return false;
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        const size_t expStart = i;
        for (; i < text.size() && IsDigit(text[i]); ++i)
            if (exponent < 1000000000) // saturate: far beyond any finite value already
                exponent = exponent * 10 + (text[i] - '0');
        if (i == expStart)
            return false;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != text.size())
        return false;

    // Normalise to 0.DDD e E with the significant digits only.
    std::string digits;
    digits.reserve(intDigits.size() + fracDigits.size());
    digits.append(intDigits);
    digits.append(fracDigits);
    const size_t firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) {
        value = negative ? -0.0L : 0.0L;
        return true;
    }
    const size_t lastNonZero = digits.find_last_not_of('0');
    const long long decimalExponent =
        static_cast<long long>(intDigits.size()) - static_cast<long long>(firstNonZero) + exponent;
    if (decimalExponent > 4933)
        throw EOverflow(kOverflow);
    if (decimalExponent < -4955) {
        value = negative ? -0.0L : 0.0L;
        return true;
    }
    const std::string significant = digits.substr(firstNonZero, lastNonZero - firstNonZero + 1);
    auto parse = [&](long long exp10, long double& out) {
        const std::string normal = "0." + significant + "e" + std::to_string(exp10);
        return std::from_chars(normal.data(), normal.data() + normal.size(), out).ec;
    };
    long double magnitude = 0;
    const std::errc ec = parse(decimalExponent, magnitude);
    if (ec == std::errc::result_out_of_range) {
        if (decimalExponent > 0)
            throw EOverflow(kOverflow);
        // Below the normal range: read it scaled up and scale it back down.
        if (parse(decimalExponent + 200, magnitude) != std::errc{})
            magnitude = 0;
        magnitude *= 1E-200L;
    } else if (ec != std::errc{}) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

// Reads "$" followed by hexadecimal digits as a 32-bit signed integer ($FFFFFFFF is -1).
bool ReadHex(std::string_view text, long double& value) {
    if (text.size() < 2 || text[0] != '$')
        return false;
    std::uint64_t number = 0;
    for (size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        int digit = 0;
        if (IsDigit(c))
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        number = number * 16 + static_cast<std::uint64_t>(digit);
        if (number > 0xFFFFFFFFu)
            return false;
    }
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
    return true;
}

// ---- Operand functions -----------------------------------------------------

long double Reciprocal(long double x) {
    if (x == 0)
        throw EZeroDivide(kDivisionByZero);
    return Checked(1.0L / x);
}

long double Sine(long double x) {
    return std::fabs(x) >= kTrigLimit ? 0.0L : std::sin(x);
}

long double Cosine(long double x) {
    return std::fabs(x) >= kTrigLimit ? 0.0L : std::cos(x);
}

// The root of 1 - x², the second leg of arc sine and arc cosine.
long double Cathetus(long double x, const char* rangeMessage) {
    const long double square = Checked(x * x);
    if (square > 1.0L)
        throw EInvalidOp(rangeMessage);
    return std::sqrt(1.0L - square);
}

long double Logarithm(long double x, bool decimal) {
    if (x < 0)
        throw EInvalidOp(kLogOfNegative);
    if (x == 0)
        throw EZeroDivide(kLogOfZero);
    return decimal ? std::log10(x) : std::log(x);
}

// Round to nearest with ties to even, whatever the floating-point rounding mode.
long double RoundHalfEven(long double x) {
    const long double lower = std::floor(x);
    const long double fraction = x - lower;
    if (fraction < 0.5L)
        return lower;
    if (fraction > 0.5L)
        return lower + 1.0L;
    return std::fmod(lower, 2.0L) == 0 ? lower : lower + 1.0L;
}

long double FactorialOf(long double x) {
    if (x != std::trunc(x))
        Fail(evaluator_reason::kFactorial);
    const long double magnitude = std::fabs(x);
    if (magnitude > kLargestFactorial)
        throw EOverflow(kOverflow);
    long double result = 1.0L;
    for (long double k = 2.0L; k <= magnitude; k += 1.0L)
        result *= k;
    return x < 0 ? -result : result;
}

using Function = long double (*)(long double);

struct FunctionPrefix {
    std::string_view name;
    Function apply;
};

// Tested in this order: a longer name comes before any name it begins with.
// Results pass through Checked when applied.
constexpr std::array<FunctionPrefix, 25> kFunctionPrefixes{{
    {"arctanh",
     [](long double x) { return std::fabs(x) >= 1.0L ? std::copysign(1.1E4932L, x) : std::atanh(x); }},
    {"arctan", [](long double x) { return std::atan(x); }},
    {"cotan", [](long double x) { return Reciprocal(std::tan(x)); }},
    {"tanh", [](long double x) { return std::tanh(x); }},
    {"tan", [](long double x) { return std::tan(x); }},
    {"arccosh", [](long double x) { return x <= 1.0L ? 0.0L : std::acosh(x); }},
    {"arccos", [](long double x) { return std::atan2(Cathetus(x, kArcCosRange), x); }},
    {"cosh", [](long double x) { return std::cosh(x); }},
    {"cosec", [](long double x) { return Reciprocal(Sine(x)); }},
    {"cos", Cosine},
    {"sec", [](long double x) { return Reciprocal(Cosine(x)); }},
    {"arcsinh", [](long double x) { return std::asinh(x); }},
    {"arcsin", [](long double x) { return std::atan2(x, Cathetus(x, kArcSinRange)); }},
    {"sinh", [](long double x) { return std::sinh(x); }},
    {"sin", Sine},
    {"csc", [](long double x) { return Reciprocal(Sine(x)); }},
    {"abs", [](long double x) { return std::fabs(x); }},
    {"frac", [](long double x) { return x - std::trunc(x); }},
    {"int", [](long double x) { return std::trunc(x); }},
    {"ln", [](long double x) { return Logarithm(x, false); }},
    {"round", RoundHalfEven},
    {"ceil", [](long double x) { return std::ceil(x); }},
    {"floor", [](long double x) { return std::floor(x); }},
    {"log", [](long double x) { return Logarithm(x, true); }},
    {"sqrt",
     [](long double x) {
         if (x < 0)
             throw EInvalidOp(kSqrtOfNegative);
         return std::sqrt(x);
     }},
}};

// ---- Binary operators -------------------------------------------------------

// Base to a whole power by squaring and multiplying, so negative bases work.
long double IntegerPower(long double base, long long exponent) {
    unsigned long long remaining = exponent < 0 ? 0ULL - static_cast<unsigned long long>(exponent)
                                                : static_cast<unsigned long long>(exponent);
    long double result = 1.0L;
    long double factor = base;
    for (;;) {
        if (remaining & 1ULL)
            result *= factor;
        remaining >>= 1;
        if (remaining == 0)
            break;
        factor *= factor;
    }
    if (exponent > 0)
        return Checked(result);
    if (std::isinf(result))
        return 0.0L; // the reciprocal of an overflow is below the smallest number
    if (result == 0 && base == 0)
        throw EZeroDivide(kDivisionByZero);
    if (result == 0)
        throw EOverflow(kOverflow); // the power fell below the smallest number: its reciprocal is too large
    return Checked(1.0L / result);
}

long double Power(long double base, long double exponent) {
    if (exponent == 0)
        return 1.0L;
    if (base == 0 && exponent > 0)
        return 0.0L;
    const bool integral = exponent == std::trunc(exponent);
    if (integral && std::fabs(exponent) <= 2147483647.0L)
        return IntegerPower(base, static_cast<long long>(exponent));
    if (base == 0)
        throw EZeroDivide(kDivisionByZero);
    if (base < 0) {
        if (!integral)
            throw EInvalidOp(kNegativeBase);
        // A whole exponent beyond the 32-bit range: the sign follows its parity.
        const long double magnitude = Checked(std::pow(-base, exponent));
        return std::fmod(exponent, 2.0L) != 0 ? -magnitude : magnitude;
    }
    return Checked(std::pow(base, exponent));
}

long long TruncateToInt64(long double x) {
    const long double whole = std::trunc(x);
    if (!(whole >= -9223372036854775808.0L && whole < 9223372036854775808.0L))
        throw EInvalidOp(kIntegerRange);
    return static_cast<long long>(whole);
}

std::string Remainder(long double dividend, long double divisor) {
    const long long a = TruncateToInt64(dividend);
    const long long b = TruncateToInt64(divisor);
    if (b == 0)
        throw EZeroDivide(kRemainderByZero);
    return std::to_string(b == -1 ? 0 : a % b);
}

std::string Truth(bool value) {
    return value ? "1" : "0";
}

// The operator levels, highest first.
bool InLevel(char op, int level) {
    switch (level) {
    case 0:
        return op == '^';
    case 1:
        return op == '*' || op == '/' || op == '%' || op == '&';
    case 2:
        return op == '+' || op == kBinaryMinus || op == '|';
    default:
        return op == '=';
    }
}

// The text that replaces "left op right".
std::string Combine(const std::string& leftText, char op, const std::string& rightText) {
    const long double left = EvaluateOperand(leftText);
    if (op == '|' && left != 0)
        return "1";
    const long double right = EvaluateOperand(rightText);
    switch (op) {
    case '^':
        return FormatIntermediate(Power(left, right));
    case '*':
        return FormatIntermediate(Checked(left * right));
    case '/':
        if (right == 0)
            throw EZeroDivide(kDivisionByZero);
        return FormatIntermediate(Checked(left / right));
    case '%':
        return Remainder(left, right);
    case '&':
        return Truth(left != 0 && right != 0);
    case '+':
        return FormatIntermediate(Checked(left + right));
    case kBinaryMinus:
        return FormatIntermediate(Checked(left - right));
    case '|':
        return Truth(right != 0);
    default:
        return Truth(left == right);
    }
}

// One level: left to right, each operator of the level folds its two operands
// into one, so the level is left-associative.
void FoldLevel(std::vector<std::string>& operands, std::vector<char>& operators, int level) {
    std::vector<std::string> keptOperands;
    std::vector<char> keptOperators;
    keptOperands.reserve(operands.size());
    keptOperators.reserve(operators.size());
    keptOperands.push_back(std::move(operands[0]));
    for (size_t k = 0; k < operators.size(); ++k) {
        if (InLevel(operators[k], level)) {
            keptOperands.back() = Combine(keptOperands.back(), operators[k], operands[k + 1]);
        } else {
            keptOperators.push_back(operators[k]);
            keptOperands.push_back(std::move(operands[k + 1]));
        }
    }
    operands = std::move(keptOperands);
    operators = std::move(keptOperators);
}

// Minus classification: unary signs stay in the working text, binary ones
// become the binary-minus operator.
void ClassifyMinusSigns(std::string& work) {
    std::string scan = work;
    for (size_t i = 0; i < scan.size(); ++i) {
        if (scan[i] != '-')
            continue;
        constexpr size_t kLongestFunctionName = 7;
        const bool unary = i == 0 || (i <= kLongestFunctionName && IsFunctionName(scan.substr(0, i))) ||
                           IsUnaryContext(scan[i - 1]);
        if (unary) {
            scan[i] = kUnaryMarker;
        } else {
            scan[i] = kBinaryMinus;
            work[i] = kBinaryMinus;
        }
    }
}

// Evaluates a text without blanks and without closing parentheses.
long double EvaluateFlat(std::string work) {
    if (work.empty())
        Fail(evaluator_reason::kBlank);
    ClassifyMinusSigns(work);

    std::vector<std::string> operands;
    std::vector<char> operators;
    size_t start = 0;
    for (size_t i = 0; i < work.size(); ++i) {
        if (IsOperatorChar(work[i])) {
            operands.push_back(work.substr(start, i - start));
            operators.push_back(work[i]);
            start = i + 1;
        }
    }
    if (start < work.size())
        operands.push_back(work.substr(start));
    if (operands.size() != operators.size() + 1)
        Fail(evaluator_reason::kInvalidExpression);

    for (int level = 0; level < 4; ++level)
        FoldLevel(operands, operators, level);
    return EvaluateOperand(operands[0]);
}

// Replaces each parenthesised group, innermost and leftmost first, by the text
// of its value. A left-to-right pass with a stack of open positions does what
// the repeated search for the first ")" and the last "(" before it does, in
// the same order, in linear time and without recursion.
std::string ReplaceGroups(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    std::vector<size_t> open;
    for (char c : text) {
        if (c == '(') {
            open.push_back(out.size());
            out.push_back(c);
        } else if (c == ')') {
            if (open.empty())
                Fail(evaluator_reason::kParentheses);
            const size_t start = open.back();
            open.pop_back();
            const std::string value = FormatIntermediate(EvaluateFlat(out.substr(start + 1)));
            out.resize(start);
            out += value;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace

std::string EvaluationMessage(const std::string& reason) {
    return "Entry could not be evaluated:\r" + reason;
}

bool IsFunctionName(const std::string& text) {
    const std::string lower = LowerAscii(text);
    if (lower == "!" || lower == "$")
        return true;
    for (const FunctionPrefix& prefix : kFunctionPrefixes)
        if (lower == prefix.name)
            return true;
    return false;
}

std::string FormatIntermediate(long double value) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    if (value == 0)
        return "0";
    if (std::fabs(value) > kLargestCarried)
        value = std::copysign(kLargestCarried, value);

    // d.ddddddddddddddddde±x: exactly 18 significant digits, correctly rounded.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 17);
    const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    const bool negative = text[0] == '-';
    const size_t first = negative ? 1 : 0;
    const size_t ePos = text.find('e');
    std::string digits;
    digits.push_back(text[first]);
    digits.append(text.substr(first + 2, ePos - first - 2));
    digits.erase(digits.find_last_not_of('0') + 1);
    int exponent = 0;
    std::from_chars(text.data() + ePos + (text[ePos + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    exponent);

    const char separator = DecimalSeparator();
    std::string out = negative ? "-" : "";
    if (exponent >= -5 && exponent < 18) {
        if (exponent < 0) {
            out += '0';
            out += separator;
            out.append(static_cast<size_t>(-exponent - 1), '0');
            out += digits;
        } else {
            const auto intCount = static_cast<size_t>(exponent) + 1;
            if (digits.size() <= intCount) {
                out += digits;
                out.append(intCount - digits.size(), '0');
            } else {
                out.append(digits, 0, intCount);
                out += separator;
                out.append(digits, intCount);
            }
        }
    } else {
        out += digits[0];
        if (digits.size() > 1) {
            out += separator;
            out.append(digits, 1);
        }
        out += 'E';
        out += std::to_string(exponent);
    }
    return out;
}

long double EvaluateOperand(const std::string& text) {
    const std::string lower = LowerAscii(CollapseMinusRuns(text));
    // Function prefixes and factorials wrap the rest of the operand; they are
    // collected outside-in and applied inside-out, without recursion.
    std::vector<Function> pending;
    size_t begin = 0;
    size_t end = lower.size();
    long double value = 0;
    for (;;) {
        const std::string_view rest(lower.data() + begin, end - begin);
        if (rest == "pi" || rest == "-pi") {
            value = rest[0] == '-' ? -std::numbers::pi_v<long double> : std::numbers::pi_v<long double>;
            break;
        }
        if (rest == "e" || rest == "-e") {
            value = rest[0] == '-' ? -std::exp(1.0L) : std::exp(1.0L);
            break;
        }
        bool matched = false;
        for (const FunctionPrefix& prefix : kFunctionPrefixes) {
            if (rest.starts_with(prefix.name)) {
                pending.push_back(prefix.apply);
                begin += prefix.name.size();
                matched = true;
                break;
            }
        }
        if (matched)
            continue;
        if (!rest.empty() && rest.back() == '!') {
            pending.push_back(FactorialOf);
            --end;
            continue;
        }
        if (!rest.empty() && rest.front() == '$') {
            if (!ReadHex(rest, value))
                Fail(evaluator_reason::kHex);
            break;
        }
        if (!ReadDecimal(rest, value))
            Fail(evaluator_reason::kInvalidCharacters);
        break;
    }
    for (auto it = pending.rbegin(); it != pending.rend(); ++it)
        value = Checked((*it)(value));
    return value;
}

long double Evaluate(const std::string& text) {
    if (text.empty())
        Fail(evaluator_reason::kBlank);
    std::string work;
    work.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t')
            work.push_back(c);
    work = ReplaceGroups(work);
    if (work.empty())
        Fail(evaluator_reason::kInvalidExpression); // the text held blanks only
    return EvaluateFlat(work);
}

} // namespace pavrin::controls
