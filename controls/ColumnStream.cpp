#include "ColumnStream.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace pavrin::controls {

namespace {

std::string LineMessage(int line, const std::string& what) {
    return "Line " + std::to_string(line) + ": " + what;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsPrintable(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 32 && u != 127;
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Shortest text that reads back to the same extended value, always with a
// "." or an exponent so that it is never taken for an integer.
std::string FormatExtended(long double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    const std::size_t e = text.find('e');
    std::string mantissa = e == std::string::npos ? text : text.substr(0, e);
    if (mantissa.find('.') == std::string::npos)
        mantissa += ".0";
    if (e == std::string::npos)
        return mantissa;
    int exponent = 0;
    const char* first = text.c_str() + e + 1;
    if (*first == '+')
        ++first;
    std::from_chars(first, text.c_str() + text.size(), exponent);
    return mantissa + "E" + std::to_string(exponent);
}

std::string FormatString(const std::string& text) {
    if (text.empty())
        return "''";
    std::string out;
    bool quoted = false;
    for (char c : text) {
        if (IsPrintable(c)) {
            if (!quoted)
                out += '\'';
            quoted = true;
            out += c;
            if (c == '\'')
                out += '\'';
        } else {
            if (quoted)
                out += '\'';
            quoted = false;
            out += '#' + std::to_string(static_cast<unsigned char>(c));
        }
    }
    if (quoted)
        out += '\'';
    return out;
}

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    std::vector<TextToken> Run() {
        std::vector<TextToken> tokens;
        while (SkipBlanksAndComments()) {
            const char c = text_[pos_];
            TextToken token;
            token.line = line_;
            if (c == '(' || c == ')') {
                token.value = c == '(' ? StreamValue::ListBegin() : StreamValue::ListEnd();
                ++pos_;
            } else if (c == '=' || c == ':') {
                token.kind = TextToken::Kind::Symbol;
                token.text = std::string(1, c);
                ++pos_;
            } else if (c == '\'' || c == '#') {
                token.value = StreamValue::String(ReadString());
            } else if (IsDigit(c) || ((c == '-' || c == '+' || c == '.') && pos_ + 1 < text_.size() &&
                                      (IsDigit(text_[pos_ + 1]) || text_[pos_ + 1] == '.'))) {
                token.value = ReadNumber();
            } else if (IsLetter(c)) {
                std::string word = ReadWord();
                const std::string lower = Lower(word);
                if (lower == "true" || lower == "false") {
                    token.value = StreamValue::Boolean(lower == "true");
                } else {
                    token.kind = TextToken::Kind::Word;
                    token.text = std::move(word);
                }
            } else {
                Fail(std::string("unexpected character '") + c + "'");
            }
            token.value.line = token.line;
            tokens.push_back(std::move(token));
        }
        return tokens;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const { throw EReadError(LineMessage(line_, what)); }

    bool AtLineBreak() const { return text_[pos_] == '\n' || text_[pos_] == '\r'; }

    void SkipLineBreak() {
        if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
            ++pos_;
        ++pos_;
        ++line_;
    }

    // Moves to the next token; false at the end of the text.
    bool SkipBlanksAndComments() {
        while (pos_ < text_.size()) {
            if (AtLineBreak()) {
                SkipLineBreak();
            } else if (text_[pos_] == ' ' || text_[pos_] == '\t') {
                ++pos_;
            } else if (text_.substr(pos_, 2) == "//") {
                while (pos_ < text_.size() && !AtLineBreak())
                    ++pos_;
            } else {
                return true;
            }
        }
        return false;
    }

    std::string ReadString() {
        std::string out;
        while (pos_ < text_.size() && (text_[pos_] == '\'' || text_[pos_] == '#')) {
            if (text_[pos_] == '#') {
                ++pos_;
                const std::size_t start = pos_;
                while (pos_ < text_.size() && IsDigit(text_[pos_]))
                    ++pos_;
                int code = -1;
                const auto result = std::from_chars(text_.data() + start, text_.data() + pos_, code);
                if (pos_ == start || result.ec != std::errc() || code > 255)
                    Fail("a character code from #0 to #255 was expected after #");
                out += static_cast<char>(code);
                continue;
            }
            ++pos_; // opening quote
            for (;;) {
                if (pos_ >= text_.size() || AtLineBreak())
                    Fail("unterminated string");
                if (text_[pos_] == '\'') {
                    if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                        out += '\'';
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                out += text_[pos_++];
            }
        }
        return out;
    }

    StreamValue ReadNumber() {
        const std::size_t start = pos_;
        if (text_[pos_] == '+' || text_[pos_] == '-')
            ++pos_;
        bool digits = false;
        bool real = false;
        while (pos_ < text_.size() && IsDigit(text_[pos_]))
            ++pos_, digits = true;
        if (pos_ < text_.size() && text_[pos_] == '.') {
            real = true;
            ++pos_;
            while (pos_ < text_.size() && IsDigit(text_[pos_]))
                ++pos_, digits = true;
        }
        if (digits && pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            real = true;
            ++pos_;
            if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-'))
                ++pos_;
            const std::size_t expStart = pos_;
            while (pos_ < text_.size() && IsDigit(text_[pos_]))
                ++pos_;
            if (pos_ == expStart)
                digits = false;
        }
        std::string_view number = text_.substr(start, pos_ - start);
        if (!digits || (pos_ < text_.size() && (IsLetter(text_[pos_]) || IsDigit(text_[pos_]) ||
                                                text_[pos_] == '.' || text_[pos_] == '\'')))
            Fail("invalid number");
        if (number.front() == '+')
            number.remove_prefix(1);
        if (real) {
            long double value = 0;
            const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
            if (result.ec != std::errc() || result.ptr != number.data() + number.size() ||
                !std::isfinite(value))
                Fail("real number out of range");
            return StreamValue::Extended(value);
        }
        std::int64_t value = 0;
        const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
        if (result.ec != std::errc() || value < std::numeric_limits<std::int32_t>::min() ||
            value > std::numeric_limits<std::int32_t>::max())
            Fail("integer out of range");
        return StreamValue::Integer(static_cast<std::int32_t>(value));
    }

    std::string ReadWord() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && (IsLetter(text_[pos_]) || IsDigit(text_[pos_]) || text_[pos_] == '.'))
            ++pos_;
        return std::string(text_.substr(start, pos_ - start));
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

} // namespace

const char* ValueTypeName(ValueType type) {
    switch (type) {
    case ValueType::Integer:
        return "an integer";
    case ValueType::String:
        return "a string";
    case ValueType::Boolean:
        return "a Boolean";
    case ValueType::Extended:
        return "a real number";
    case ValueType::ListBegin:
        return "a list begin";
    case ValueType::ListEnd:
        return "a list end";
    }
    return "a value";
}

StreamValue StreamValue::Integer(std::int32_t value) {
    StreamValue v;
    v.type = ValueType::Integer;
    v.integer = value;
    return v;
}

StreamValue StreamValue::String(std::string value) {
    StreamValue v;
    v.type = ValueType::String;
    v.text = std::move(value);
    return v;
}

StreamValue StreamValue::Boolean(bool value) {
    StreamValue v;
    v.type = ValueType::Boolean;
    v.boolean = value;
    return v;
}

StreamValue StreamValue::Extended(long double value) {
    StreamValue v;
    v.type = ValueType::Extended;
    v.extended = value;
    return v;
}

StreamValue StreamValue::ListBegin() {
    StreamValue v;
    v.type = ValueType::ListBegin;
    return v;
}

StreamValue StreamValue::ListEnd() {
    StreamValue v;
    v.type = ValueType::ListEnd;
    return v;
}

bool operator==(const StreamValue& a, const StreamValue& b) {
    if (a.type != b.type)
        return false;
    switch (a.type) {
    case ValueType::Integer:
        return a.integer == b.integer;
    case ValueType::String:
        return a.text == b.text;
    case ValueType::Boolean:
        return a.boolean == b.boolean;
    case ValueType::Extended:
        return a.extended == b.extended;
    default:
        return true;
    }
}

void ValueWriter::WriteInteger(std::int32_t value) {
    values_.push_back(StreamValue::Integer(value));
}
void ValueWriter::WriteString(std::string value) {
    values_.push_back(StreamValue::String(std::move(value)));
}
void ValueWriter::WriteBoolean(bool value) {
    values_.push_back(StreamValue::Boolean(value));
}
void ValueWriter::WriteListBegin() {
    values_.push_back(StreamValue::ListBegin());
}
void ValueWriter::WriteListEnd() {
    values_.push_back(StreamValue::ListEnd());
}

void ValueWriter::WriteFloat(long double value) {
    if (!std::isfinite(value))
        throw std::invalid_argument("Only finite numbers can be written to a column stream");
    values_.push_back(StreamValue::Extended(value));
}

void ValueWriter::NewLine() {
    if (breaks_.empty() || breaks_.back() != values_.size())
        breaks_.push_back(values_.size());
}

std::string ValueWriter::Text(int indent) const {
    std::string out;
    int depth = 0;
    std::size_t nextBreak = 0;
    for (std::size_t i = 0; i < values_.size(); ++i) {
        const StreamValue& value = values_[i];
        if (value.type == ValueType::ListEnd && depth > 0)
            --depth;
        while (nextBreak < breaks_.size() && breaks_[nextBreak] < i)
            ++nextBreak;
        const bool lineBreak = i > 0 && nextBreak < breaks_.size() && breaks_[nextBreak] == i;
        if (lineBreak)
            out += "\n" + std::string(static_cast<std::size_t>(indent + 2 * depth), ' ');
        else if (i > 0 && value.type != ValueType::ListEnd && values_[i - 1].type != ValueType::ListBegin)
            out += ' ';
        out += FormatStreamValue(value);
        if (value.type == ValueType::ListBegin)
            ++depth;
    }
    return out;
}

ValueReader::ValueReader(std::vector<StreamValue> values) : values_(std::move(values)) {}

const StreamValue& ValueReader::Take(ValueType expected) {
    if (AtEnd())
        throw EReadError(std::string("The stream ended where ") + ValueTypeName(expected) + " was expected");
    const StreamValue& value = values_[position_];
    const bool integerForReal = expected == ValueType::Extended && value.type == ValueType::Integer;
    if (value.type != expected && !integerForReal) {
        std::string message = std::string(ValueTypeName(expected)) + " was expected but " +
                              ValueTypeName(value.type) + " was found";
        message[0] = static_cast<char>(message[0] - 'a' + 'A');
        throw EReadError(value.line > 0 ? LineMessage(value.line, message) : message);
    }
    ++position_;
    return value;
}

std::int32_t ValueReader::ReadInteger() {
    return Take(ValueType::Integer).integer;
}
std::string ValueReader::ReadString() {
    return Take(ValueType::String).text;
}
bool ValueReader::ReadBoolean() {
    return Take(ValueType::Boolean).boolean;
}
void ValueReader::ReadListBegin() {
    Take(ValueType::ListBegin);
}
void ValueReader::ReadListEnd() {
    Take(ValueType::ListEnd);
}

long double ValueReader::ReadFloat() {
    const StreamValue& value = Take(ValueType::Extended);
    return value.type == ValueType::Integer ? static_cast<long double>(value.integer) : value.extended;
}

bool ValueReader::EndOfList() const {
    return AtEnd() || values_[position_].type == ValueType::ListEnd;
}

ValueType ValueReader::NextType() const {
    if (AtEnd())
        throw EReadError("The stream ended where a value was expected");
    return values_[position_].type;
}

std::vector<TextToken> TokenizeStreamText(std::string_view text) {
    return Tokenizer(text).Run();
}

std::vector<StreamValue> ParseStreamText(std::string_view text) {
    std::vector<StreamValue> values;
    for (TextToken& token : TokenizeStreamText(text)) {
        if (token.kind != TextToken::Kind::Value)
            throw EReadError(LineMessage(token.line, "'" + token.text + "' is not a value"));
        values.push_back(std::move(token.value));
    }
    return values;
}

std::string FormatStreamValue(const StreamValue& value) {
    switch (value.type) {
    case ValueType::Integer:
        return std::to_string(value.integer);
    case ValueType::String:
        return FormatString(value.text);
    case ValueType::Boolean:
        return value.boolean ? "True" : "False";
    case ValueType::Extended:
        return FormatExtended(value.extended);
    case ValueType::ListBegin:
        return "(";
    case ValueType::ListEnd:
        return ")";
    }
    return {};
}

} // namespace pavrin::controls
