// libFuzzer target: arbitrary bytes as an input file. The engine must answer every
// input with a status and a report, never crash, hang or write a non-finite number.
#include "Run.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096)
        return -1; // keep the corpus to the size of real input files
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string report;
    std::string plot;
    const std::int32_t status = pavrin::engine::analyse(input, report, plot);
    // analyse never meets the statuses of the run-file list.
    if (status < 0 || status > 8 || status == 1 || status == 2)
        std::abort();
    // The plot data file holds numbers only: no "nan", no "inf", no echoed text.
    if (plot.find_first_not_of(" 0123456789.E+-*\r\n") != std::string::npos)
        std::abort();
    if (report.empty() || report.back() != '\n')
        std::abort();
    return 0;
}
