#include "MainDesktop.h"

#include "ProjectFileNames.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <vector>

namespace pavrin::app::gui {

QStringList ProjectFileFilters() {
    // From "name|pattern|name|pattern|...": the names, which carry their patterns in brackets.
    const QStringList parts = QString::fromLatin1(kFileDialogFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QString(parts[i]).replace(QStringLiteral("*.*"), QStringLiteral("*"));
    return filters;
}

std::optional<OpenFileChoice> QtMainDesktop::ChooseFileToOpen(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Open"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(ProjectFileFilters());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const int filterIndex = static_cast<int>(ProjectFileFilters().indexOf(dialog.selectedNameFilter())) + 1;
    return OpenFileChoice{dialog.selectedFiles().front(), filterIndex < 1 ? 1 : filterIndex};
}

std::optional<QString> QtMainDesktop::ChooseSaveFileName(QWidget* parent, const QString& title,
                                                         const QString& presetName) {
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The caller asks before replacing the file it will actually write (which may differ from the
    // chosen name, as an older-format name is saved as a project file).
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(ProjectFileFilters());
    // A name typed without an extension is saved as a project file.
    dialog.setDefaultSuffix(QString::fromLatin1(ext::kProject).mid(1));
    dialog.selectFile(presetName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

QString QtMainDesktop::ChooseProgram(QWidget* parent, const QString& presetName) {
    QFileDialog dialog(parent, QStringLiteral("Text Editor"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Programs (*)"), QStringLiteral("All Files (*)")});
    dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDotAndDotDot);
    if (!presetName.isEmpty())
        dialog.selectFile(presetName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

bool QtMainDesktop::ConfirmRunWithFindings(QWidget* parent, const QStringList& findings) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Check before the analysis"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(
        QStringLiteral("The analysis engine cannot handle this project as it stands (%1 finding%2):")
            .arg(findings.size())
            .arg(findings.size() == 1 ? QString() : QStringLiteral("s"))));
    auto* list = new QListWidget;
    list->addItems(findings);
    list->setMinimumWidth(560);
    layout->addWidget(list);
    layout->addWidget(new QLabel(QStringLiteral("Correct the project and run again, or run it anyway.")));
    auto* buttons = new QDialogButtonBox;
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    buttons->addButton(QStringLiteral("Run Anyway"), QDialogButtonBox::AcceptRole);
    cancel->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return dialog.exec() == QDialog::Accepted;
}

bool QtMainDesktop::StartDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

std::optional<QString> MainDesktop::ChooseOutputFileName(QWidget* parent, const QString& title,
                                                        const QString& presetName, const QString&) {
    return ChooseSaveFileName(parent, title, presetName);
}

std::optional<QString> QtMainDesktop::ChooseOutputFileName(QWidget* parent, const QString& title,
                                                          const QString& presetName, const QString& suffix) {
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString kind = suffix == QLatin1String("pdf")    ? QStringLiteral("PDF documents")
                         : suffix == QLatin1String("csv")  ? QStringLiteral("CSV files")
                         : suffix == QLatin1String("xlsx") ? QStringLiteral("Excel workbooks")
                                                           : suffix.toUpper() + QStringLiteral(" files");
    dialog.setNameFilters({QStringLiteral("%1 (*.%2)").arg(kind, suffix), QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(presetName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<int> MainDesktop::ChooseOption(QWidget* parent, const QString& title, const QString& question,
                                             const QStringList& options) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(question));
    std::vector<QRadioButton*> buttons;
    for (const QString& option : options) {
        buttons.push_back(new QRadioButton(option));
        layout->addWidget(buttons.back());
    }
    if (!buttons.empty())
        buttons.front()->setChecked(true);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(box);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked())
            return static_cast<int>(i);
    return std::nullopt;
}

void QtMainDesktop::OpenUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

} // namespace pavrin::app::gui
