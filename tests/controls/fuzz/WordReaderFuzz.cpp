// Arbitrary bytes as a file read by the token reader: every call either gives
// a value or raises EInOutError, never anything else.
#include "WordReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pavrin::controls;
    auto reader = TWordReader::FromText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (std::size_t step = 0; step < size + 2 && !reader.EndOfFile(); ++step) {
        try {
            switch (step % 4) {
            case 0:
                reader.ReadInteger();
                break;
            case 1:
                reader.ReadFloat();
                break;
            case 2:
                reader.NextWord();
                break;
            default:
                reader.ReadLine();
                break;
            }
        } catch (const EInOutError&) {
        }
    }
    return 0;
}
