// TWordReader: reads a whole text file as lines of blank-separated words and
// hands out reals, integers and raw lines one after the other. Error messages
// name the 1-based line and item of the offending word.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pavrin::controls {

// A data error of a file being read: wrong kind of value, or the data ends early.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file itself cannot be opened or read.
class EFileOpenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One line: its raw text and its words.
class TWordContainer {
public:
    explicit TWordContainer(std::string raw);
    const std::string& Raw() const { return raw_; }
    const std::vector<std::string>& Words() const { return words_; }

private:
    std::string raw_;
    std::vector<std::string> words_;
};

// The file's text is held once; only the current line is split into words,
// so reading takes little more memory than the file itself.
class TWordReader {
public:
    // Reads the whole file (see ReadTextFile); an empty file gives one line without words.
    explicit TWordReader(const std::string& fileName);
    // The same over text already in memory.
    static TWordReader FromText(std::string_view text);

    std::string NextWord();
    long double ReadFloat();    // always with "." as the decimal separator
    std::int32_t ReadInteger(); // also with "."; must be integral
    std::string ReadLine();     // the current line whole; moves to the next line
    bool EndOfFile() const { return !hasLine_; }

    // The number of lines of the whole text (counted anew at each call).
    std::size_t LineCount() const;

private:
    TWordReader() = default;
    void Load(std::string text);
    void EnterLine(std::size_t start); // makes the line beginning at `start` the current one
    void NextLine();
    [[noreturn]] void Fail(const char* what) const;

    std::string text_;
    bool hasLine_ = false;      // false once every line was passed
    std::size_t lineStart_ = 0; // the current line's text: [lineStart_, lineEnd_)
    std::size_t lineEnd_ = 0;
    std::size_t nextStart_ = 0; // where the next line begins; text_.size() when none follows
    std::size_t line_ = 0;      // 0-based number of the current line
    // The current line's words as offset and length in text_ (offsets, not
    // views, so that a moved reader keeps them whatever its string does).
    std::vector<std::pair<std::size_t, std::size_t>> words_;
    std::size_t word_ = 0; // next word within it
};

// The whole content of a regular file. Throws EFileOpenError when the path
// names no regular file (a folder, a pipe, nothing) or the file cannot be
// opened or read; no other exception of the standard streams gets out.
std::string ReadTextFile(const std::string& fileName);

// Reads `text` as a number written with `separator` as the decimal separator:
// optional sign, digits with at most one separator, optional exponent; blanks
// around it are allowed. Returns false for anything else or a non-finite value.
bool TextToFloat(std::string_view text, char separator, long double& value);

} // namespace pavrin::controls
