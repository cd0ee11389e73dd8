// The name of a file the program writes for a project (an export, the calculation report), asked
// for in the save dialog the same way by every command that writes one.
#pragma once

#include <QString>

#include <optional>
#include <string>

class QWidget;

namespace pavrin::app::gui {

// The save dialog titled `title` for files of `suffix`, preset to `<project's base name><tail>`
// beside the project; `.suffix` is added to a name without one, and replacing a file is confirmed. A name that is one of the project's own files (or the
// project itself) is refused with a message. Nothing when the user cancels or the name is refused.
std::optional<QString> ChooseOutputFile(QWidget* parent, const QString& title, const std::string& projectPath,
                                        const QString& tail, const QString& suffix);

} // namespace pavrin::app::gui
