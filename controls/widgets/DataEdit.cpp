#include "DataEdit.h"

#include "Evaluator.h"
#include "MessageBoxes.h"
#include "UnitTemplates.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace pavrin::controls {

namespace {

constexpr long double kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr long double kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr long double kInt64Limit = 9223372036854775808.0L; // 2^63

// Set while a field reports its failure and takes the focus back: the focus changes this causes are not
// exits of the fields they touch.
bool returningFocus = false;

class ReturningFocus {
public:
    ReturningFocus() : previous_(returningFocus) { returningFocus = true; }
    ~ReturningFocus() { returningFocus = previous_; }
    ReturningFocus(const ReturningFocus&) = delete;
    ReturningFocus& operator=(const ReturningFocus&) = delete;

private:
    bool previous_;
};

// The form a widget belongs to: its child window in the main window's workspace, or its window.
const QWidget* OwnerForm(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget())
        if (w->isWindow() || qobject_cast<const QMdiSubWindow*>(w) != nullptr)
            return w;
    return nullptr;
}

// The bits shown by a hex field. A negative value within the 32-bit range is shown as its 32-bit two's
// complement, which the evaluator reads back to the same value.
std::uint64_t HexBits(long double value) {
    const long double rounded = std::nearbyint(value); // the default rounding: half to even
    if (std::isnan(rounded))
        return 0;
    if (rounded < 0 && rounded >= kInt32Min)
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(rounded));
    if (rounded >= kInt64Limit)
        return static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (rounded < -kInt64Limit)
        return static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::min());
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(rounded));
}

} // namespace

TDataEdit::TDataEdit(QWidget* parent) : QLineEdit(QStringLiteral("0"), parent) {
    connect(this, &QLineEdit::textChanged, this, &TDataEdit::OnChange);
}

TDataEdit::~TDataEdit() = default;

void TDataEdit::SetIntegerOnly(bool integerOnly) {
    integerOnly_ = integerOnly;
    if (integerOnly_ && !loading_) {
        SetMaxVal(maxVal_);
        SetMinVal(minVal_);
    }
}

void TDataEdit::SetCaption(const QString& caption) {
    caption_ = caption;
    UpdateLabel();
}

void TDataEdit::SetEditLabel(QLabel* label) {
    if (editLabel_ != nullptr && editLabel_ != label && editLabel_->buddy() == this)
        editLabel_->setBuddy(nullptr);
    editLabel_ = label;
    if (label != nullptr)
        label->setBuddy(this);
    UpdateLabel();
}

void TDataEdit::SetMaxVal(long double value) {
    if (!loading_) {
        if (value < minVal_)
            value = minVal_;
        if (integerOnly_)
            value = std::fmin(std::fmax(value, kInt32Min), kInt32Max);
    }
    // Stored before the number is lowered, so that the number is clamped to the new limit.
    maxVal_ = value;
    long double number = 0;
    if (!loading_ && TryNumber(number) && number > value)
        SetNumber(value);
}

void TDataEdit::SetMinVal(long double value) {
    if (!loading_) {
        if (value > maxVal_)
            value = maxVal_;
        if (integerOnly_)
            value = std::fmin(std::fmax(value, kInt32Min), kInt32Max);
    }
    minVal_ = value;
    long double number = 0;
    if (!loading_ && TryNumber(number) && number < value)
        SetNumber(value);
}

long double TDataEdit::Number() const {
    return Evaluate(text().toStdString());
}

void TDataEdit::SetNumber(long double value) {
    if (!loading_) {
        if (value < minVal_)
            value = minVal_;
        if (value > maxVal_)
            value = maxVal_;
    }
    ShowValue(value);
}

void TDataEdit::ShowValue(long double value) {
    setText(FormatNumber(hex_, value));
    // A field the user is not in shows the leading digits of a long value, not its end.
    if (!hasFocus())
        setCursorPosition(0);
}

void TDataEdit::SetUnitsString(const QString& unitsString) {
    unitsString_ = unitsString;
    UpdateLabel();
}

void TDataEdit::SetUnits(int units) {
    units_ = units <= 0 ? 1 : units > 3 ? 3 : units;
    UpdateLabel();
}

bool TDataEdit::Validate() {
    DoExit();
    return accepted_;
}

QString TDataEdit::FormatNumber(bool hex, long double value) {
    if (!hex)
        return QString::fromStdString(FormatIntermediate(value));
    char digits[24];
    std::snprintf(digits, sizeof digits, "%04llX", static_cast<unsigned long long>(HexBits(value)));
    return QLatin1Char('$') + QString::fromLatin1(digits);
}

void TDataEdit::UpdateLabel() {
    if (editLabel_ == nullptr)
        return;
    editLabel_->setEnabled(isEnabled());
    if (unitsString_.isEmpty())
        editLabel_->setText(caption_);
    else
        editLabel_->setText(caption_ + QStringLiteral(" (") +
                            QString::fromStdString(ExpandUnits(unitsString_.toStdString(), units_)) +
                            QLatin1Char(')'));
}

void TDataEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
        reason != Qt::MenuBarFocusReason)
        emit OnEnter();
}

void TDataEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (IsExit(event->reason()))
        DoExit();
}

void TDataEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter) {
        DoExit();
        setSelection(0, static_cast<int>(text().size()));
        event->accept(); // Enter is swallowed
        return;
    }
    // An operator typed over the whole (just accepted) value is appended to it: 6 Enter *2 Enter gives 12.
    const QString typed = event->text();
    if (typed.size() == 1 && QStringLiteral("+-/*^=%!").contains(typed.front()) &&
        selectionLength() == text().size()) {
        deselect();
        setCursorPosition(static_cast<int>(text().size()));
    }
    QLineEdit::keyPressEvent(event);
}

void TDataEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        UpdateLabel();
}

void TDataEdit::DoExit() {
    accepted_ = false;
    emit OnExit();
    QString message;
    try {
        const long double value = Number();
        Check(value);
        ShowValue(value);
        accepted_ = true;
        return;
    } catch (const EAssignError& e) {
        message = integerOnly_ ? QStringLiteral("Entry must be a valid integer.")
                               : QString::fromStdString(e.what());
    } catch (const EMinError& e) {
        SetNumber(minVal_);
        message = QString::fromStdString(e.what());
    } catch (const EMaxError& e) {
        SetNumber(maxVal_);
        message = QString::fromStdString(e.what());
    } catch (const std::exception& e) {
        // EIntError, and the arithmetic faults of the evaluator (division by zero, ...): the entry is not
        // accepted either, so it is reported here rather than behind the user's back.
        message = QString::fromStdString(e.what());
    }
    Fail(message);
}

void TDataEdit::Check(long double value) const {
    if (integerOnly_ && value != std::trunc(value))
        throw EIntError("Entry must be an integer.");
    if (value < minVal_)
        throw EMinError("Entry must be greater than or equal to " +
                        FormatNumber(hex_, minVal_).toStdString());
    if (value > maxVal_)
        throw EMaxError("Entry must be less than or equal to " + FormatNumber(hex_, maxVal_).toStdString());
}

void TDataEdit::Fail(const QString& message) {
    const ReturningFocus guard;
    MessageBoxes::Current().ShowMessage(this, message, MessageBoxes::Icon::Error);
    if (!isVisible())
        return;
    // Without a window manager nothing hands the activation back once the box has closed.
    if (!window()->isActiveWindow())
        window()->activateWindow();
    setFocus(Qt::OtherFocusReason);
}

bool TDataEdit::IsExit(Qt::FocusReason reason) const {
    if (returningFocus || !isVisible())
        return false;
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
        reason == Qt::MenuBarFocusReason)
        return false;
    // During a focus change the application's focus widget is already the one that receives it.
    const QWidget* next = QApplication::focusWidget();
    return next != nullptr && next != this && OwnerForm(next) == OwnerForm(this);
}

bool TDataEdit::TryNumber(long double& value) const {
    try {
        value = Number();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace pavrin::controls
