// List-directed reading of the input file: values separated by blanks or a
// comma, every read starting on a new line and continuing over as many lines
// as it needs, values left over on the last line used dropped.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pavrin::engine {

// A failure of the input: the record it concerns and what is wrong, in the report's words.
class InputError : public std::runtime_error {
public:
    InputError(std::string record, const std::string& message)
        : std::runtime_error(message), record_(std::move(record)) {}
    const std::string& record() const { return record_; }

private:
    std::string record_;
};

class ListReader {
public:
    explicit ListReader(std::string_view text);

    // Reads the next line whole (trailing CR removed). Throws at end of file.
    std::string readLine(const std::string& record);

    // Starts a read on the next line; items are then taken with nextInt / nextReal.
    void beginRead(const std::string& record);
    std::int32_t nextInt();
    float nextReal();

    // Convenience: one read of a single integer / of `n` reals.
    std::int32_t readInt(const std::string& record);
    std::vector<float> readReals(const std::string& record, std::size_t n);

    int lineNumber() const { return static_cast<int>(line_); } // 1-based number of the current line

private:
    std::string_view nextItem();
    bool nextLine();
    [[noreturn]] void fail(const std::string& what) const;

    std::vector<std::string_view> lines_;
    std::size_t line_ = 0; // lines consumed so far; the current line is lines_[line_ - 1]
    std::size_t column_ = 0;
    int item_ = 0;
    std::string record_;
};

} // namespace pavrin::engine
