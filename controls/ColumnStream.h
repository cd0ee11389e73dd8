// A small stream of typed values (integers, strings, Booleans, extended reals,
// list begin and end markers) in which the grid tables write and read their
// column definitions, with a readable text form so that the declarations of
// the program's tables can live in text files a maintainer can read:
//
//   3                      an integer
//   0.5  1.0E-6  -2.0      extended reals: always with a "." or an exponent
//   'Soil Type'            a string; '' stands for one quote inside it;
//   'Line one'#13'two'     #n adds the character with code n (adjacent parts join)
//   True  False            Booleans (any letter case)
//   ( ... )                a list
//   // comment             to the end of the line
//
// The text form always uses "." as the decimal separator.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pavrin::controls {

// A stream that cannot be read: wrong kind of value, a value missing, bad text.
class EReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ValueType { Integer, String, Boolean, Extended, ListBegin, ListEnd };

// Name of a value kind for messages: "an integer", "a string", ...
const char* ValueTypeName(ValueType type);

struct StreamValue {
    ValueType type = ValueType::Integer;
    std::int32_t integer = 0;
    long double extended = 0;
    bool boolean = false;
    std::string text;
    int line = 0; // 1-based line of the text form it came from; 0 when written in memory

    static StreamValue Integer(std::int32_t value);
    static StreamValue String(std::string value);
    static StreamValue Boolean(bool value);
    static StreamValue Extended(long double value);
    static StreamValue ListBegin();
    static StreamValue ListEnd();

    // Same kind and payload; the line is not compared.
    friend bool operator==(const StreamValue& a, const StreamValue& b);
};

// Collects values in order, with layout hints for the text form.
class ValueWriter {
public:
    void WriteInteger(std::int32_t value);
    void WriteString(std::string value);
    void WriteBoolean(bool value);
    void WriteFloat(long double value); // throws std::invalid_argument for infinities and NaN
    void WriteListBegin();
    void WriteListEnd();

    // Text form only: the next value starts a new line.
    void NewLine();

    const std::vector<StreamValue>& Values() const { return values_; }

    // The readable text form; every line after the first is indented by
    // `indent` blanks plus two per open list.
    std::string Text(int indent = 0) const;

private:
    std::vector<StreamValue> values_;
    std::vector<std::size_t> breaks_; // value positions that start a new line
};

// Hands out the values of a stream in order; every read checks the kind.
class ValueReader {
public:
    explicit ValueReader(std::vector<StreamValue> values);

    std::int32_t ReadInteger();
    std::string ReadString();
    bool ReadBoolean();
    long double ReadFloat(); // also takes an integer
    void ReadListBegin();
    void ReadListEnd();

    bool AtEnd() const { return position_ >= values_.size(); }
    bool EndOfList() const; // the next value is a list end, or there is none
    ValueType NextType() const;
    std::size_t Position() const { return position_; }

private:
    const StreamValue& Take(ValueType expected);

    std::vector<StreamValue> values_;
    std::size_t position_ = 0;
};

// One token of the text form: a value, a word (a name that is not True or
// False), or one of the symbols = and :.
struct TextToken {
    enum class Kind { Value, Word, Symbol };
    Kind kind = Kind::Value;
    StreamValue value; // for Kind::Value
    std::string text;  // the word or the symbol
    int line = 0;
};

// Splits a text into tokens. Throws EReadError naming the line for a text
// that is not of the form above.
std::vector<TextToken> TokenizeStreamText(std::string_view text);

// Reads a text that holds values only. Throws EReadError.
std::vector<StreamValue> ParseStreamText(std::string_view text);

// One value in the text form.
std::string FormatStreamValue(const StreamValue& value);

} // namespace pavrin::controls
