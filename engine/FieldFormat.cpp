#include "FieldFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace pavrin::engine {

namespace {

void appendAsterisks(std::string& out, int width) {
    out.append(static_cast<std::size_t>(width), '*');
}

void appendRight(std::string& out, const char* text, std::size_t length, int width) {
    if (length > static_cast<std::size_t>(width)) {
        appendAsterisks(out, width);
        return;
    }
    out.append(static_cast<std::size_t>(width) - length, ' ');
    out.append(text, length);
}

} // namespace

void appendBlanks(std::string& out, int n) {
    if (n > 0)
        out.append(static_cast<std::size_t>(n), ' ');
}

void appendI(std::string& out, std::int32_t value, int width) {
    std::array<char, 16> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    (void)ec;
    appendRight(out, buf.data(), static_cast<std::size_t>(end - buf.data()), width);
}

void appendF(std::string& out, float value, int width, int decimals) {
    if (!std::isfinite(value)) {
        appendAsterisks(out, width);
        return;
    }
    std::array<char, 64> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<double>(value),
                                   std::chars_format::fixed, decimals);
    if (ec != std::errc()) {
        appendAsterisks(out, width);
        return;
    }
    char* text = buf.data();
    auto length = static_cast<std::size_t>(end - buf.data());
    // The leading zero of a value below one is optional: drop it when the field is too narrow.
    if (length > static_cast<std::size_t>(width)) {
        if (length >= 2 && text[0] == '0' && text[1] == '.') {
            ++text;
            --length;
        } else if (length >= 3 && text[0] == '-' && text[1] == '0' && text[2] == '.') {
            text[1] = '-';
            ++text;
            --length;
        }
    }
    appendRight(out, text, length, width);
}

void appendE(std::string& out, float value, int width, int decimals) {
    if (!std::isfinite(value) || decimals < 1) {
        appendAsterisks(out, width);
        return;
    }
    // Scientific form d.ddd with one digit fewer, then shift: 0.dddd with the exponent plus one.
    std::array<char, 64> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<double>(value),
                                   std::chars_format::scientific, decimals - 1);
    if (ec != std::errc()) {
        appendAsterisks(out, width);
        return;
    }
    const char* p = buf.data();
    bool negative = *p == '-';
    if (negative)
        ++p;
    std::array<char, 64> digits{};
    int nd = 0;
    while (p < end && *p != 'e') {
        if (*p != '.')
            digits[static_cast<std::size_t>(nd++)] = *p;
        ++p;
    }
    int exponent = 0;
    if (p < end && *p == 'e') {
        ++p;
        if (*p == '+')
            ++p;
        std::from_chars(p, end, exponent);
    }
    if (value != 0.0f)
        exponent += 1;
    std::array<char, 64> field{};
    std::size_t n = 0;
    if (negative)
        field[n++] = '-';
    field[n++] = '0';
    field[n++] = '.';
    for (int i = 0; i < nd; ++i)
        field[n++] = digits[static_cast<std::size_t>(i)];
    field[n++] = 'E';
    field[n++] = exponent < 0 ? '-' : '+';
    int magnitude = exponent < 0 ? -exponent : exponent;
    field[n++] = static_cast<char>('0' + magnitude / 10 % 10);
    field[n++] = static_cast<char>('0' + magnitude % 10);
    appendRight(out, field.data(), n, width);
}

void appendFreeInt(std::string& out, std::int32_t value) {
    appendI(out, value, 12);
}

void appendFreeReal(std::string& out, float value) {
    std::array<char, 64> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<double>(value),
                                   std::chars_format::general, 9);
    if (ec != std::errc()) {
        appendAsterisks(out, 15);
        return;
    }
    appendRight(out, buf.data(), static_cast<std::size_t>(end - buf.data()), 15);
}

} // namespace pavrin::engine
