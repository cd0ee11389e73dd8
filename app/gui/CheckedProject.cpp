#include "CheckedProject.h"

#include "MessageBoxes.h"
#include "ProgramData.h"

#include <QStringList>

#include <sstream>

namespace pavrin::app::gui {

using controls::MessageBoxes;

std::optional<cli::OpenedProject> OpenCheckedProject(QWidget* parent, const std::string& path) {
    const auto warn = [parent](const QString& text) {
        MessageBoxes::Current().ShowMessage(parent, text, MessageBoxes::Icon::Warning);
    };
    cli::OpenedProject project;
    std::ostringstream err;
    if (cli::openProject(path, project, err) != 0) {
        warn(QString::fromStdString(err.str()).trimmed());
        return std::nullopt;
    }
    if (const auto findings = cli::checkFindings(*project.data); !findings.empty()) {
        QStringList lines;
        for (std::size_t k = 0; k < findings.size() && k < 10; ++k)
            lines << QString::fromStdString(findings[k]);
        if (findings.size() > 10)
            lines << QStringLiteral("(and %1 more)").arg(findings.size() - 10);
        warn(QStringLiteral("The pre-run check refuses the project; nothing was analysed.\r") +
             lines.join(QLatin1Char('\r')));
        return std::nullopt;
    }
    return project;
}

} // namespace pavrin::app::gui
