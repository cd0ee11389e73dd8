#include "WordReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <ios>
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

// The words of one line: blanks and control characters trimmed at both ends,
// then split at the first blank or tab, the rest trimmed on the left, and so
// on. Each word is handed to `add`.
template <class Add> void SplitWords(std::string_view line, Add add) {
    std::string_view rest = trim(line);
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of(" \t");
        add(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : trimLeft(rest.substr(end));
    }
}

} // namespace

TWordContainer::TWordContainer(std::string raw) : raw_(std::move(raw)) {
    SplitWords(raw_, [this](std::string_view word) { words_.emplace_back(word); });
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
        // Read in pieces into room made for the file's size, so the text is held once.
        std::string text;
        const auto size = std::filesystem::file_size(fileName, error);
        if (!error)
            text.reserve(static_cast<std::size_t>(size));
        char piece[1 << 16];
        while (in.read(piece, sizeof piece) || in.gcount() > 0)
            text.append(piece, static_cast<std::size_t>(in.gcount()));
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
    reader.Load(std::string(text));
    return reader;
}

void TWordReader::Load(std::string text) {
    text_ = std::move(text);
    line_ = 0;
    EnterLine(0); // an empty text is one line without words
}

// Lines end with CR LF, LF or CR alone; text after the last break is a line too.
void TWordReader::EnterLine(std::size_t start) {
    hasLine_ = true;
    lineStart_ = start;
    lineEnd_ = std::min(text_.find_first_of("\r\n", start), text_.size());
    nextStart_ = lineEnd_;
    if (nextStart_ < text_.size())
        nextStart_ +=
            text_[nextStart_] == '\r' && nextStart_ + 1 < text_.size() && text_[nextStart_ + 1] == '\n' ? 2
                                                                                                        : 1;
    const std::string_view line = std::string_view(text_).substr(lineStart_, lineEnd_ - lineStart_);
    words_.clear();
    SplitWords(line, [this](std::string_view word) {
        words_.emplace_back(static_cast<std::size_t>(word.data() - text_.data()), word.size());
    });
    word_ = 0;
}

void TWordReader::NextLine() {
    ++line_;
    if (nextStart_ >= text_.size()) {
        hasLine_ = false;
        words_.clear();
        word_ = 0;
        return;
    }
    EnterLine(nextStart_);
}

std::size_t TWordReader::LineCount() const {
    std::size_t count = 0;
    std::size_t start = 0;
    do {
        ++count;
        std::size_t end = text_.find_first_of("\r\n", start);
        if (end == std::string::npos)
            break;
        start = end + ((text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n') ? 2 : 1);
    } while (start < text_.size());
    return count;
}

void TWordReader::Fail(const char* what) const {
    // The word just taken is item `word_` of line `line_ + 1`. One line break,
    // whatever the file's, between the place and the reason.
    throw EInOutError("Error on Line " + std::to_string(line_ + 1) + " Item " + std::to_string(word_) + "\n" +
                      what);
}

std::string TWordReader::NextWord() {
    // Blank lines inside the data are passed over.
    while (hasLine_ && word_ >= words_.size())
        NextLine();
    if (!hasLine_)
        throw EInOutError("This file either invalid or incomplete.");
    const auto [offset, length] = words_[word_++];
    return text_.substr(offset, length);
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
    // A file's numbers use "." whatever the desktop's separator, so that a file reads the same on
    // every desktop.
    if (!TextToFloat(word, '.', value) || value != std::floor(value) || value < -2147483648.0L ||
        value > 2147483647.0L)
        Fail("An integer was expected but not found.");
    return static_cast<std::int32_t>(value);
}

std::string TWordReader::ReadLine() {
    if (!hasLine_)
        throw EInOutError("This file either invalid or incomplete.");
    std::string raw = text_.substr(lineStart_, lineEnd_ - lineStart_);
    NextLine();
    return raw;
}

} // namespace pavrin::controls
