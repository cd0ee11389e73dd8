#include "TableFormDesktop.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>

namespace pavrin::controls {

QString QtTableFormDesktop::ChooseFile(QWidget* parent, const QString& title, const QString& filter,
                                       const QString& startName) {
    return QFileDialog::getOpenFileName(parent, title, startName, filter);
}

std::optional<QString> QtTableFormDesktop::ClipboardText() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard != nullptr ? clipboard->mimeData() : nullptr;
    if (data == nullptr || !data->hasText())
        return std::nullopt;
    return data->text();
}

bool QtTableFormDesktop::StartTextEditor(const QString& fileName) {
    return QProcess::startDetached(TextEditorProgram(), {fileName});
}

QString TextEditorProgram() {
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    return xdgOpen.isEmpty() ? QStringLiteral("/usr/bin/gedit") : xdgOpen;
}

} // namespace pavrin::controls
