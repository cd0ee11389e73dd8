// Arbitrary bytes as a measured load test file: every call either reads the
// whole file or gives a message, never more points than the table holds; what
// was read writes a file that reads back without error to the same text.
#include "MeasuredLoadTest.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pavrin::app;
    const std::string text(reinterpret_cast<const char*>(data), size);
    TMeasuredLoadTest test;
    if (const auto error = ParseMeasuredLoadTest(text, test)) {
        if (error->empty())
            std::abort();
        return 0;
    }
    if (test.points.size() > static_cast<std::size_t>(kMaxMeasuredPoints))
        std::abort();
    MeasuredLoadTestProblems(test, 1);
    const std::string written = MeasuredLoadTestText(test);
    TMeasuredLoadTest again;
    if (ParseMeasuredLoadTest(written, again) || MeasuredLoadTestText(again) != written)
        std::abort();
    return 0;
}
