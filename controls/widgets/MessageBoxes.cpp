#include "MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace pavrin::controls {

namespace {

QMessageBox::Icon ToQt(MessageBoxes::Icon icon) {
    switch (icon) {
    case MessageBoxes::Icon::Information:
        return QMessageBox::Information;
    case MessageBoxes::Icon::Warning:
        return QMessageBox::Warning;
    case MessageBoxes::Icon::Error:
        return QMessageBox::Critical;
    case MessageBoxes::Icon::Question:
        return QMessageBox::Question;
    case MessageBoxes::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MessageBoxes::Buttons buttons) {
    switch (buttons) {
    case MessageBoxes::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageBoxes::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageBoxes::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageBoxes::Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// The answer when the box is closed without a button (Escape, the window's close box).
MessageBoxes::Answer Dismissed(MessageBoxes::Buttons buttons) {
    switch (buttons) {
    case MessageBoxes::Buttons::OkCancel:
    case MessageBoxes::Buttons::YesNoCancel:
        return MessageBoxes::Answer::Cancel;
    case MessageBoxes::Buttons::YesNo:
        return MessageBoxes::Answer::No;
    case MessageBoxes::Buttons::Ok:
        break;
    }
    return MessageBoxes::Answer::Ok;
}

// Messages break their lines with a carriage return (the evaluator's do); a label breaks at line feeds.
QString DisplayText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

int Run(QWidget* parent, const QString& text, MessageBoxes::Icon icon, const QString& title,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton escape) {
    QMessageBox box(ToQt(icon), title.isEmpty() ? MessageBoxes::DefaultTitle(icon) : title, DisplayText(text),
                    buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(escape);
    return box.exec();
}

} // namespace

QString MessageBoxes::DefaultTitle(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QStringLiteral("Information");
    case Icon::Warning:
        return QStringLiteral("Warning");
    case Icon::Error:
        return QStringLiteral("Error");
    case Icon::Question:
        return QStringLiteral("Confirm");
    case Icon::None:
        break;
    }
    return QApplication::applicationDisplayName();
}

void QtMessageBoxes::ShowMessage(QWidget* parent, const QString& text, Icon icon, const QString& title) {
    Run(parent, text, icon, title, QMessageBox::Ok, QMessageBox::Ok);
}

MessageBoxes::Answer QtMessageBoxes::Ask(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                                         const QString& title) {
    const Answer dismissed = Dismissed(buttons);
    const QMessageBox::StandardButton escape = dismissed == Answer::Cancel ? QMessageBox::Cancel
                                               : dismissed == Answer::No   ? QMessageBox::No
                                                                           : QMessageBox::Ok;
    switch (Run(parent, text, icon, title, ToQt(buttons), escape)) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return dismissed;
    }
}

} // namespace pavrin::controls
