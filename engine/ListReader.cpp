#include "ListReader.h"

#include <charconv>
#include <cmath>

namespace pavrin::engine {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isSeparator(char c) {
    return isBlank(c) || c == ',';
}

// A short, printable quotation of an offending item.
std::string quote(std::string_view item) {
    std::string q = "\"";
    for (char c : item.substr(0, 24))
        q += (c >= 32 && c < 127) ? c : '?';
    if (item.size() > 24)
        q += "...";
    return q + "\"";
}

} // namespace

ListReader::ListReader(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines_.push_back(line);
        start = end + 1;
    }
}

bool ListReader::nextLine() {
    if (line_ >= lines_.size())
        return false;
    ++line_;
    column_ = 0;
    return true;
}

void ListReader::fail(const std::string& what) const {
    throw InputError(record_,
                     what + " (LINE " + std::to_string(line_) + ", ITEM " + std::to_string(item_) + ")");
}

std::string ListReader::readLine(const std::string& record) {
    record_ = record;
    item_ = 0;
    if (!nextLine())
        throw InputError(record_, "THE FILE ENDS BEFORE THIS RECORD");
    return std::string(lines_[line_ - 1]);
}

void ListReader::beginRead(const std::string& record) {
    record_ = record;
    item_ = 0;
    if (!nextLine())
        throw InputError(record_, "THE FILE ENDS BEFORE THIS RECORD");
}

std::string_view ListReader::nextItem() {
    ++item_;
    for (;;) {
        std::string_view line = lines_[line_ - 1];
        while (column_ < line.size() && isBlank(line[column_]))
            ++column_;
        if (column_ < line.size()) {
            if (line[column_] == ',')
                fail("AN EMPTY VALUE BETWEEN TWO COMMAS IS NOT ALLOWED");
            std::size_t start = column_;
            while (column_ < line.size() && !isSeparator(line[column_]))
                ++column_;
            std::string_view item = line.substr(start, column_ - start);
            // Consume the separator: blanks and at most one comma.
            while (column_ < line.size() && isBlank(line[column_]))
                ++column_;
            if (column_ < line.size() && line[column_] == ',')
                ++column_;
            return item;
        }
        if (!nextLine()) {
            line_ = lines_.size();
            fail("THE FILE ENDS BEFORE ALL VALUES OF THIS RECORD WERE READ");
        }
    }
}

std::int32_t ListReader::nextInt() {
    std::string_view item = nextItem();
    std::string_view digits = item;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    std::int32_t value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
        fail("INTEGER EXPECTED, READ " + quote(item));
    return value;
}

float ListReader::nextReal() {
    std::string_view item = nextItem();
    std::string text(item);
    if (!text.empty() && text.front() == '+')
        text.erase(0, 1);
    for (char& c : text)
        if (c == 'd' || c == 'D')
            c = 'E';
    // Only plain decimal forms: digits, one point, an exponent.
    bool ok = !text.empty();
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '.' || c == 'E' || c == 'e' || c == '+' || c == '-'))
            ok = false;
    float value = 0;
    if (ok) {
        const char* first = text.data();
        const char* last = text.data() + text.size();
        auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
        if (end != last)
            ok = false;
        else if (ec == std::errc::result_out_of_range) {
            double wide = 0;
            auto [wend, wec] = std::from_chars(first, last, wide, std::chars_format::general);
            // Below the smallest single-precision number reads as zero; above the largest is refused.
            if (wec == std::errc() && wend == last && std::fabs(wide) < 1.0)
                value = 0.0f;
            else
                fail("THE VALUE " + quote(item) + " IS BEYOND THE RANGE OF SINGLE-PRECISION NUMBERS");
        } else if (ec != std::errc())
            ok = false;
    }
    if (!ok)
        fail("REAL NUMBER EXPECTED, READ " + quote(item));
    if (!std::isfinite(value))
        fail("THE VALUE " + quote(item) + " IS NOT A FINITE NUMBER");
    return value;
}

std::int32_t ListReader::readInt(const std::string& record) {
    beginRead(record);
    return nextInt();
}

std::vector<float> ListReader::readReals(const std::string& record, std::size_t n) {
    beginRead(record);
    std::vector<float> values;
    values.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        values.push_back(nextReal());
    return values;
}

} // namespace pavrin::engine
