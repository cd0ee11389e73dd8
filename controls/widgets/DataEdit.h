// The single-line entry field for every scalar number of the front end. The user may type an expression;
// when the field is left within its form, or Enter is pressed, the text is evaluated, checked against the
// integer rule and the limits, and replaced by the formatted value. A failure is reported in an error box
// and the focus returns to the field. The field keeps an optional caption label in step with its enabled
// state and writes it as the caption followed by the units of the unit system.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QString>

#include <stdexcept>

namespace pavrin::controls {

// The failures of the exit validation, besides those of the evaluator. Each carries its message.
class EIntError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EMinError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EMaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TDataEdit : public QLineEdit {
    Q_OBJECT

public:
    // The extended range: the default limits.
    static constexpr long double kExtendedMax = 1.1897314953572317599E4932L;

    explicit TDataEdit(QWidget* parent = nullptr);
    ~TDataEdit() override;

    // The value must be integral; the limits stay inside the 32-bit signed range.
    bool IntegerOnly() const { return integerOnly_; }
    void SetIntegerOnly(bool integerOnly);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    // The attached label (not owned); this edit becomes its buddy.
    QLabel* EditLabel() const { return editLabel_; }
    void SetEditLabel(QLabel* label);

    // Format values as "$" and hexadecimal digits; applies from the next formatting.
    bool Hex() const { return hex_; }
    void SetHex(bool hex) { hex_ = hex; }

    // Inclusive limits.
    long double MaxVal() const { return maxVal_; }
    void SetMaxVal(long double value);
    long double MinVal() const { return minVal_; }
    void SetMinVal(long double value);

    // Reading evaluates the current text and throws what the evaluator throws (EAssignError, EMathError);
    // writing clamps into the limits (unless loading) and formats.
    long double Number() const;
    void SetNumber(long double value);

    // Units template ("F/L^2", "L", "in") and unit system (1 English, 2 SI, 3 none; clamped to 1..3).
    QString UnitsString() const { return unitsString_; }
    void SetUnitsString(const QString& unitsString);
    int Units() const { return units_; }
    void SetUnits(int units);

    // While loading, the limit and number setters store without clamping or cross-checking, so the order
    // in which a form sets them does not matter; the number is still formatted.
    bool Loading() const { return loading_; }
    void SetLoading(bool loading) { loading_ = loading; }

    // True when the last exit validation accepted the entry.
    bool Accepted() const { return accepted_; }

    // Runs the exit validation and returns whether the entry was accepted. Dialogs call it from their
    // deactivation and OK handlers. Never throws.
    bool Validate();

    // "$" and at least four upper-case hexadecimal digits of the value rounded half to even when `hex`
    // is set, otherwise the general format with 18 significant digits.
    static QString FormatNumber(bool hex, long double value);

    // Writes the label's caption and enabled state.
    void UpdateLabel();

signals:
    // The text changed (by the user or by the program).
    void OnChange();
    // The field received the focus.
    void OnEnter();
    // The exit validation starts; the text has not been evaluated yet.
    void OnExit();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The exit validation: evaluate, check, format; on failure report and take the focus back.
    void DoExit();
    void Check(long double value) const;
    void ShowValue(long double value);
    void Fail(const QString& message);
    // Whether a focus change away from this field is an exit: the focus moves to another field of the
    // same form. Leaving the form, a popup menu or the menu bar is not an exit.
    bool IsExit(Qt::FocusReason reason) const;
    // The current value when the text evaluates, for the cross-checks of the limit setters.
    bool TryNumber(long double& value) const;

    bool integerOnly_ = false;
    QString caption_;
    QPointer<QLabel> editLabel_;
    bool hex_ = false;
    long double maxVal_ = kExtendedMax;
    long double minVal_ = -kExtendedMax;
    QString unitsString_;
    int units_ = 1;
    bool loading_ = false;
    bool accepted_ = false;
};

} // namespace pavrin::controls
