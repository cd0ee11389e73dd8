#include "OutputFile.h"

#include "MainDesktop.h"
#include "MessageBoxes.h"
#include "ProjectPaths.h"

#include <QDir>
#include <QFileInfo>

namespace pavrin::app::gui {

using controls::MessageBoxes;

std::optional<QString> ChooseOutputFile(QWidget* parent, const QString& title, const std::string& projectPath,
                                        const QString& tail, const QString& suffix) {
    const QFileInfo project(QString::fromStdString(projectPath));
    const QString preset = project.dir().filePath(project.completeBaseName() + tail);
    const std::optional<QString> chosen = MainDesktop::Current().ChooseOutputFileName(parent, title, preset, suffix);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    if (const auto problem = OutputPathProblem(path.toStdString(), projectPath)) {
        MessageBoxes::Current().ShowMessage(parent, QString::fromStdString(*problem), MessageBoxes::Icon::Error);
        return std::nullopt;
    }
    return path;
}

} // namespace pavrin::app::gui
