#include "WordReader.h"

#include "DecimalSeparator.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <ios>
#include <iterator>
#include <system_error>

namespace pavrin::controls {

namespace {

bool isTrimmed(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isTrimmed(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isTrimmed(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isTrimmed(s.front()))
        s.remove_prefix(1);
    return s;
}

} // namespace

TWordContainer::TWordContainer(std::string raw) : raw_(std::move(raw)) {
    std::string_view rest = trim(raw_);
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of(" \t");
        words_.emplace_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : trimLeft(rest.substr(end));
    }
}

bool TextToFloat(std::string_view text, char separator, long double& value) {
    text = trim(text);
    if (text.empty())
        return false;
    // Accept only the plain decimal form, then hand it to the "C" conversion with ".".
    std::string normal;
    normal.reserve(text.size());
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-')
        normal += text[i++] == '-' ? "-" : "";
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            normal += c;
        } else if (c == separator && !point) {
            point = true;
            normal += '.';
        } else {
            break;
        }
    }
    if (!digits)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            normal += text[i++];
        bool expDigits = false;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            expDigits = true;
            normal += text[i];
        }
        if (!expDigits)
            return false;
    }
    if (i != text.size())
        return false;
    long double v = 0;
    auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), v);
    if (end != normal.data() + normal.size())
        return false;
    if (ec == std::errc::result_out_of_range) {
        // Below the smallest extended number reads as zero; above the largest fails.
        const std::size_t e = normal.find('e');
        if (e == std::string::npos || normal[e + 1] != '-')
            return false;
        v = 0;
    } else if (ec != std::errc()) {
        return false;
    }
    if (!std::isfinite(v))
        return false;
    value = v;
    return true;
}

std::string ReadTextFile(const std::string& fileName) {
    // A folder opens without error here and fails only on the first read, and
    // a pipe or a device may never end: anything but a regular file is a file
    // that cannot be opened.
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error))
        throw EFileOpenError("Cannot open file \"" + fileName + "\".");
    try {
        std::ifstream in(fileName, std::ios::binary);
        if (!in)
            throw EFileOpenError("Cannot open file \"" + fileName + "\".");
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad())
            throw EFileOpenError("Cannot read file \"" + fileName + "\".");
        return text;
    } catch (const std::ios_base::failure&) {
        // The stream buffer reports a failed read by throwing.
        throw EFileOpenError("Cannot read file \"" + fileName + "\".");
    }
}

TWordReader::TWordReader(const std::string& fileName) {
    Load(ReadTextFile(fileName));
}

TWordReader TWordReader::FromText(std::string_view text) {
    TWordReader reader;
    reader.Load(text);
    return reader;
}

void TWordReader::Load(std::string_view text) {
    // Lines end with CR LF, LF or CR alone; text after the last break is a line too.
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines_.emplace_back(std::string(text.substr(start)));
            break;
        }
        lines_.emplace_back(std::string(text.substr(start, end - start)));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    if (lines_.empty())
        lines_.emplace_back(std::string());
}

void TWordReader::Fail(const char* what) const {
    // The word just taken is item `word_` of line `line_ + 1`.
    throw EInOutError("Error on Line " + std::to_string(line_ + 1) + " Item " + std::to_string(word_) + "\r" +
                      what);
}

std::string TWordReader::NextWord() {
    // Blank lines inside the data are passed over.
    while (line_ < lines_.size() && word_ >= lines_[line_].Words().size()) {
        ++line_;
        word_ = 0;
    }
    if (line_ >= lines_.size())
        throw EInOutError("This file either invalid or incomplete.");
    return lines_[line_].Words()[word_++];
}

long double TWordReader::ReadFloat() {
    const std::string word = NextWord();
    long double value = 0;
    if (!TextToFloat(word, '.', value))
        Fail("A floating point number was expected but not found.");
    return value;
}

std::int32_t TWordReader::ReadInteger() {
    const std::string word = NextWord();
    long double value = 0;
    if (!TextToFloat(word, DecimalSeparator(), value) || value != std::floor(value) ||
        value < -2147483648.0L || value > 2147483647.0L)
        Fail("An integer was expected but not found.");
    return static_cast<std::int32_t>(value);
}

std::string TWordReader::ReadLine() {
    if (line_ >= lines_.size())
        throw EInOutError("This file either invalid or incomplete.");
    std::string raw = lines_[line_].Raw();
    ++line_;
    word_ = 0;
    return raw;
}

} // namespace pavrin::controls
