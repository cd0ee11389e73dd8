// Arbitrary bytes as an entry: every call gives a finite number, an
// EAssignError or an arithmetic fault (EMathError), never anything else; and a
// result's intermediate text always reads back.
#include "DecimalSeparator.h"
#include "Evaluator.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pavrin::controls;
    // The first byte picks the decimal separator, the rest is the entry.
    const char separator = size > 0 && (data[0] & 1) ? ',' : '.';
    const std::string text = size > 0 ? std::string(reinterpret_cast<const char*>(data) + 1, size - 1) : "";
    DecimalSeparatorScope scope(separator);
    try {
        const long double value = Evaluate(text);
        if (!std::isfinite(value))
            std::abort();
        EvaluateOperand(FormatIntermediate(value));
    } catch (const EAssignError&) {
    } catch (const EMathError&) {
    }
    try {
        EvaluateOperand(text);
    } catch (const EAssignError&) {
    } catch (const EMathError&) {
    }
    return 0;
}
