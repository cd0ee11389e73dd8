// Case folding of the ASCII letters only, independent of the locale: names,
// identifiers and file extensions compare this way.
#pragma once

#include <string>

namespace pavrin::controls {

inline std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace pavrin::controls
