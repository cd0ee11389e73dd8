// Modal message boxes and questions behind a small interface, so that tests can answer them without a
// person. Windows call MessageBoxes::Current(); a test installs a fake with SetCurrent (or the
// ScopedMessageBoxes guard of the test folder) and reads back what was shown.
#pragma once

#include "ReplaceableService.h"

#include <QString>

class QWidget;

namespace pavrin::controls {

class QtMessageBoxes;

class MessageBoxes : public ReplaceableService<MessageBoxes, QtMessageBoxes> {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~MessageBoxes() = default;

    // A modal box with the text and an OK button; a carriage return in the text breaks the line. An empty
    // title means the default caption of the icon
    // ("Error", "Warning", "Information", "Confirm"), or the application's name without an icon.
    virtual void ShowMessage(QWidget* parent, const QString& text, Icon icon = Icon::Error,
                             const QString& title = {}) = 0;

    // A modal question; returns the button pressed. Closing the box without a button gives Cancel when
    // the box has one, otherwise No (or Ok for a box with an OK button only).
    virtual Answer Ask(QWidget* parent, const QString& text, Buttons buttons = Buttons::YesNo,
                       Icon icon = Icon::Question, const QString& title = {}) = 0;

    // The caption used for an empty title.
    static QString DefaultTitle(Icon icon);
};

// The real boxes, on QMessageBox.
class QtMessageBoxes final : public MessageBoxes {
public:
    void ShowMessage(QWidget* parent, const QString& text, Icon icon, const QString& title) override;
    Answer Ask(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
               const QString& title) override;
};

} // namespace pavrin::controls
