// The expression evaluator behind every numeric entry: a pure text-to-number
// function. It rewrites the text step by step (parenthesised groups replaced by
// their values, minus signs classified, operator levels folded one after the
// other) and carries every intermediate result as 18-significant-digit text,
// which is the only rounding between steps. Numbers are x87 extended precision.
#pragma once

#include <stdexcept>
#include <string>

namespace pavrin::controls {

// An entry that cannot be evaluated. The message is the user-facing text:
// "Entry could not be evaluated:", a carriage return, and the reason.
class EAssignError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An arithmetic fault met while computing a valid entry (division by zero,
// logarithm of a non-positive number, overflow, ...). Distinct from
// EAssignError: the numeric controls do not catch it, the application's general
// handler shows its message.
class EMathError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Division by zero, or an integer remainder by zero.
class EZeroDivide : public EMathError {
public:
    using EMathError::EMathError;
};

// An operation without a real result: logarithm or square root of a negative
// number, a negative base with a fractional exponent, and the like.
class EInvalidOp : public EMathError {
public:
    using EMathError::EMathError;
};

// A result too large for extended precision.
class EOverflow : public EMathError {
public:
    using EMathError::EMathError;
};

// The second lines of the evaluator's messages.
namespace evaluator_reason {
inline constexpr const char* kBlank = "entry cannot be blank";
inline constexpr const char* kParentheses = "() (parentheses) do not match";
inline constexpr const char* kInvalidExpression = "invalid expression";
inline constexpr const char* kInvalidCharacters = "invalid character(s) in expression";
inline constexpr const char* kHex = "invalid use of $ (hex function)";
inline constexpr const char* kFactorial = "! (factoral) applicable to integers only";
} // namespace evaluator_reason

// The full message of an EAssignError with the given reason.
std::string EvaluationMessage(const std::string& reason);

// Evaluates a whole expression. Throws EAssignError for entries that cannot be
// evaluated and an EMathError for arithmetic faults.
long double Evaluate(const std::string& text);

// Evaluates one operand: a constant, a function prefix applied to the rest, a
// factorial, a $ hexadecimal integer or a decimal number.
long double EvaluateOperand(const std::string& text);

// True when the lower-cased text is exactly one of the function names, "!" or "$".
bool IsFunctionName(const std::string& text);

// The text of an intermediate result: general format with 18 significant
// digits, upper-case E, the process's decimal separator; fixed notation from
// 1E-5 up to below 1E18. Always reads back with EvaluateOperand, to a value
// whose text is the same.
std::string FormatIntermediate(long double value);

} // namespace pavrin::controls
