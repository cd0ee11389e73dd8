#include "DecimalSeparator.h"

namespace pavrin::controls {

namespace {
char separator = '.';
}

char DecimalSeparator() {
    return separator;
}

void SetDecimalSeparator(char s) {
    separator = s;
}

} // namespace pavrin::controls
