// The user's decimal separator: one setting of the process, "." unless the
// desktop program sets the desktop's at start. Used where the user's own
// numbers are read or shown (the evaluator, table cells, pasted rows, graph
// labels); files and the runner always use ".".
#pragma once

namespace pavrin::controls {

char DecimalSeparator();
void SetDecimalSeparator(char separator);

// Sets the separator for the lifetime of the object and restores the previous one.
class DecimalSeparatorScope {
public:
    explicit DecimalSeparatorScope(char separator) : previous_(DecimalSeparator()) {
        SetDecimalSeparator(separator);
    }
    ~DecimalSeparatorScope() { SetDecimalSeparator(previous_); }
    DecimalSeparatorScope(const DecimalSeparatorScope&) = delete;
    DecimalSeparatorScope& operator=(const DecimalSeparatorScope&) = delete;

private:
    char previous_;
};

} // namespace pavrin::controls
