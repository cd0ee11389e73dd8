// The engine library's one entry point, exported as IPAVRIN and _IPAVRIN.
#include "Run.h"

#include <cstdint>
#include <iostream>

#if defined(_WIN32)
#define PAVRIN_EXPORT __declspec(dllexport)
#else
#define PAVRIN_EXPORT __attribute__((visibility("default")))
#endif

extern "C" PAVRIN_EXPORT std::int32_t IPAVRIN(std::int32_t request) noexcept {
    using namespace pavrin::engine;
    if (request != 1)
        return StatusNotRequested;
    try {
        RunFileList files;
        if (!readRunFileList("names.dat", files, std::cout))
            return StatusFileError;
        const std::int32_t status = runAnalysis(files, localNow(), std::cout);
        std::cout.flush();
        return status;
    } catch (...) {
        return StatusFileError;
    }
}

#if !defined(_WIN32)
// The name the front end resolves; the same function under its second name.
extern "C" std::int32_t pavrin_entry_alias(std::int32_t) noexcept __asm__("_IPAVRIN")
    __attribute__((alias("IPAVRIN"), visibility("default")));
#endif
