// The desktop facilities the table editors use: choosing a file, the clipboard's text and starting
// the text editor on a file. Behind an interface so that tests answer them without a person or a
// desktop; editors call TableFormDesktop::Current().
#pragma once

#include "ReplaceableService.h"

#include <QString>

#include <optional>

class QWidget;

namespace pavrin::controls {

class QtTableFormDesktop;

class TableFormDesktop : public ReplaceableService<TableFormDesktop, QtTableFormDesktop> {
public:
    virtual ~TableFormDesktop() = default;

    // A file chosen by the user in an open-file dialog; empty when the dialog was cancelled.
    // `filter` uses the ";;"-separated form of the file dialogs.
    virtual QString ChooseFile(QWidget* parent, const QString& title, const QString& filter,
                               const QString& startName) = 0;
    // The clipboard's text; none when the clipboard holds no text.
    virtual std::optional<QString> ClipboardText() = 0;
    // Starts the text editor on the file without waiting; false when it could not be started.
    virtual bool StartTextEditor(const QString& fileName) = 0;
};

// The real facilities: QFileDialog, the application clipboard, and the desktop's text editor.
class QtTableFormDesktop final : public TableFormDesktop {
public:
    QString ChooseFile(QWidget* parent, const QString& title, const QString& filter,
                       const QString& startName) override;
    std::optional<QString> ClipboardText() override;
    bool StartTextEditor(const QString& fileName) override;
};

// The program that views and edits text files: the full path of xdg-open when it is on the PATH
// (the desktop's default program for text files), else /usr/bin/gedit.
QString TextEditorProgram();

} // namespace pavrin::controls
