#include "UnitTemplates.h"

#include <initializer_list>
#include <string_view>

namespace pavrin::controls {

namespace {

enum TokenIndex { kF, kF1, kF2, kF4, kF5, kF6, kL, kL1, kL2, kL3 };

constexpr std::array<UnitToken, 10> kTokens{{
    {"F", "lbs", "kN", "F", 224.8089237L},
    {"F1", "kips", "kN", "F", 0.2248089237L},
    {"F2", "tons", "kN", "F", 0.1124044745L},
    {"F4", "lb-sec2/in", "Mg", "M", 5.7101483L},
    {"F5", "sec", "sec", "T", 1.0L},
    {"F6", "slug", "Mg", "F", 68.364249L},
    {"L", "in", "m", "L", 39.37007874L},
    {"L1", "in", "mm", "L", 0.03937007874L},
    {"L2", "ft", "m", "L", 3.280839895L},
    {"L3", "rad", "rad", "L", 1.0L},
}};

int ClampUnits(int units) {
    return units < 1 ? 1 : (units > 3 ? 3 : units);
}

const char* TextFor(const UnitToken& token, int units) {
    switch (units) {
    case 1:
        return token.english;
    case 2:
        return token.si;
    default:
        return token.none;
    }
}

// Replaces every occurrence left to right, continuing behind each inserted text.
void ReplaceAll(std::string& text, std::string_view token, std::string_view replacement) {
    size_t pos = text.find(token);
    while (pos != std::string::npos) {
        text.replace(pos, token.size(), replacement);
        pos = text.find(token, pos + replacement.size());
    }
}

// The first token of the candidates that occurs in the text, else the fallback.
int ChooseToken(const std::string& text, std::initializer_list<int> candidates, int fallback) {
    for (int index : candidates)
        if (text.find(kTokens[static_cast<size_t>(index)].token) != std::string::npos)
            return index;
    return fallback;
}

[[noreturn]] void FailExponent(const std::string& tmpl) {
    throw EConvertError("The units template \"" + tmpl +
                        "\" cannot be converted: an exponent must be written as ^ and one digit");
}

int ExponentDigit(const std::string& side, size_t position, const std::string& tmpl) {
    if (position >= side.size() || side[position] < '0' || side[position] > '9')
        FailExponent(tmpl);
    return side[position] - '0';
}

long double RaisedTo(long double factor, int exponent) {
    long double result = 1.0L;
    for (int k = 0; k < exponent; ++k)
        result *= factor;
    return result;
}

// English units per SI unit of one side of a template (numerator or denominator).
long double SideFactor(std::string side, const std::string& tmpl) {
    if (side.empty())
        return 1.0L;
    long double factor = 1.0L;
    if (side[0] == 'F') {
        if (side.size() < 2 || std::string_view("012456").find(side[1]) == std::string_view::npos)
            side.insert(1, "0");
        int token = kF2;
        switch (side[1]) {
        case '0':
            token = kF;
            break;
        case '1':
            token = kF1;
            break;
        case '4':
            token = kF4;
            break;
        case '5':
            token = kF5;
            break;
        case '6':
            token = kF6;
            break;
        default:
            break;
        }
        int exponent = 1;
        if (side.size() > 2 && side[2] == '^') {
            exponent = ExponentDigit(side, 3, tmpl);
            side.erase(0, 5);
        } else {
            side.erase(0, 3); // the token and one separator, as in F-L
        }
        factor *= RaisedTo(kTokens[static_cast<size_t>(token)].englishPerSi, exponent);
    }
    if (!side.empty() && side[0] == 'L') {
        if (side.size() < 2 || side[1] < '0' || side[1] > '3')
            side.insert(1, "0");
        int token = kL2;
        if (side[1] == '0')
            token = kL;
        else if (side[1] == '1')
            token = kL1;
        else if (side[1] == '3')
            token = kL3;
        const int exponent = side.size() > 2 ? ExponentDigit(side, 3, tmpl) : 1;
        factor *= RaisedTo(kTokens[static_cast<size_t>(token)].englishPerSi, exponent);
    }
    return factor;
}

} // namespace

const std::array<UnitToken, 10>& UnitTokens() {
    return kTokens;
}

std::string ExpandUnits(const std::string& tmpl, int units) {
    units = ClampUnits(units);
    if (units == 3)
        return tmpl;
    std::string text = tmpl;
    const int force = ChooseToken(text, {kF6, kF5, kF4, kF2, kF1}, kF);
    ReplaceAll(text, kTokens[static_cast<size_t>(force)].token,
               TextFor(kTokens[static_cast<size_t>(force)], units));
    const int length = ChooseToken(text, {kL2, kL1, kL3}, kL);
    ReplaceAll(text, kTokens[static_cast<size_t>(length)].token,
               TextFor(kTokens[static_cast<size_t>(length)], units));
    return text;
}

std::string ExpandColumnUnits(const std::string& tmpl, int units) {
    units = ClampUnits(units);
    std::string text = tmpl;
    for (int index : {kF2, kF1, kF4, kF5, kF6, kF, kL3, kL2, kL1, kL})
        ReplaceAll(text, kTokens[static_cast<size_t>(index)].token,
                   TextFor(kTokens[static_cast<size_t>(index)], units));
    return text;
}

namespace {

// English units of the template in one SI unit: numerator factor / denominator factor.
long double EnglishPerSi(const std::string& tmpl) {
    const size_t slash = tmpl.find('/');
    const std::string numerator = tmpl.substr(0, slash);
    const std::string denominator = slash == std::string::npos ? std::string() : tmpl.substr(slash + 1);
    return SideFactor(numerator, tmpl) / SideFactor(denominator, tmpl);
}

} // namespace

long double UnitsFactor(int fromUnits, int toUnits, const std::string& tmpl) {
    const bool toSi = fromUnits == 1 && toUnits == 2;
    const bool toEnglish = fromUnits == 2 && toUnits == 1;
    if (!toSi && !toEnglish)
        return 1.0L;
    const long double ratio = EnglishPerSi(tmpl);
    return toSi ? 1.0L / ratio : ratio;
}

TUnitsConversion::TUnitsConversion(int fromUnits, int toUnits, const std::string& tmpl) {
    direction_ = fromUnits == 1 && toUnits == 2 ? 1 : (fromUnits == 2 && toUnits == 1 ? -1 : 0);
    if (direction_ != 0)
        siPerEnglish_ = 1.0L / EnglishPerSi(tmpl);
}

long double TUnitsConversion::operator()(long double value) const {
    if (direction_ > 0)
        return value * siPerEnglish_;
    if (direction_ < 0)
        return value / siPerEnglish_;
    return value;
}

} // namespace pavrin::controls
