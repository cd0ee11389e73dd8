// The desktop facilities of the main window and its dialogs: file dialogs, the list of pre-run
// findings, starting a program, opening a document or address. Behind an interface so that tests
// answer them without a person; windows call MainDesktop::Current().
#pragma once

#include "ReplaceableService.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class QWidget;

namespace pavrin::app::gui {

// A file chosen in the Open dialog and the 1-based filter in force.
struct OpenFileChoice {
    QString path;
    int filterIndex = 1;
};

class QtMainDesktop;

class MainDesktop : public controls::ReplaceableService<MainDesktop, QtMainDesktop> {
public:
    virtual ~MainDesktop() = default;

    // The Open dialog (title "Open", the project filter, the file must exist).
    virtual std::optional<OpenFileChoice> ChooseFileToOpen(QWidget* parent) = 0;
    // The Save As dialog with its title and preset name; the caller confirms replacing a file.
    virtual std::optional<QString> ChooseSaveFileName(QWidget* parent, const QString& title,
                                                      const QString& presetName) = 0;
    // The text-editor dialog's "Browse..." (programs or all files); empty when cancelled.
    virtual QString ChooseProgram(QWidget* parent, const QString& presetName) = 0;
    // The findings of the pre-run check in one list; true when the user chooses to run anyway.
    virtual bool ConfirmRunWithFindings(QWidget* parent, const QStringList& findings) = 0;
    // Starts a program without waiting for it; false when it could not be started.
    virtual bool StartDetached(const QString& program, const QStringList& arguments) = 0;
    // Opens a document or an address with the desktop's default program; failures are not reported.
    virtual void OpenUrl(const QUrl& url) = 0;
    // A choice of one of `options` (radio buttons, the first preselected) under `question`, with OK
    // and Cancel; the 0-based choice, or nothing when cancelled.
    virtual std::optional<int> ChooseOption(QWidget* parent, const QString& title, const QString& question,
                                            const QStringList& options);
    // The save dialog of a file the program writes for a project (an export, the report): files of
    // `suffix` shown ("csv", "pdf"), the suffix added to a name typed without one, replacing an
    // existing file confirmed by the user. Without a dialog of its own: ChooseSaveFileName.
    virtual std::optional<QString> ChooseOutputFileName(QWidget* parent, const QString& title,
                                                        const QString& presetName, const QString& suffix);
};

// The real facilities on QFileDialog, QProcess and QDesktopServices.
class QtMainDesktop final : public MainDesktop {
public:
    std::optional<OpenFileChoice> ChooseFileToOpen(QWidget* parent) override;
    std::optional<QString> ChooseSaveFileName(QWidget* parent, const QString& title,
                                              const QString& presetName) override;
    QString ChooseProgram(QWidget* parent, const QString& presetName) override;
    bool ConfirmRunWithFindings(QWidget* parent, const QStringList& findings) override;
    bool StartDetached(const QString& program, const QStringList& arguments) override;
    void OpenUrl(const QUrl& url) override;
    std::optional<QString> ChooseOutputFileName(QWidget* parent, const QString& title, const QString& presetName,
                                                const QString& suffix) override;
};

// The project filter in the form of Qt's file dialogs.
QStringList ProjectFileFilters();

} // namespace pavrin::app::gui
