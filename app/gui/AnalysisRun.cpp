#include "AnalysisRun.h"

#include "InstalledPaths.h"
#include "ProjectPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <clocale>

namespace pavrin::app::gui {

QString EngineLibraryFileName() {
#if defined(_WIN32)
    return QStringLiteral("PAVRIN2014_DLL.dll");
#elif defined(__APPLE__)
    return QStringLiteral("libPAVRIN2014_DLL.dylib");
#else
    return QStringLiteral("libPAVRIN2014_DLL.so");
#endif
}

std::string RunFileListText(const std::string& projectFile) {
    const RunFilePaths files = DeriveRunFiles(projectFile);
    std::string text = std::string(kRunFileVersion) + "\n";
    for (const std::string* path : {&files.project, &files.report, &files.plot, &files.notes})
        text += *path + "\n";
    return text;
}

bool WriteRunFileList(const QString& folder, const std::string& projectFile) {
    QFile file(QDir(folder).filePath(QString::fromLatin1(kRunFileList)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const std::string text = RunFileListText(projectFile);
    const qint64 written = file.write(text.data(), static_cast<qint64>(text.size()));
    file.close();
    return written == static_cast<qint64>(text.size()) && file.error() == QFileDevice::NoError;
}

namespace {

// Whether a file can be made in the folder: the list is written there anyway, so try it for real.
bool CanWriteIn(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QFile probe(QDir(folder).filePath(QStringLiteral(".pavrin-run-probe")));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

} // namespace

QString ChooseRunFolder(const QString& programFolder, const QString& fallbackFolder) {
    if (!IsInstalledProgramFolder(programFolder.toStdString()) && CanWriteIn(programFolder))
        return programFolder;
    if (!fallbackFolder.isEmpty() && QDir().mkpath(fallbackFolder) && CanWriteIn(fallbackFolder))
        return fallbackFolder;
    return {};
}

QString DefaultFallbackRunFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return base.isEmpty() ? QString() : QDir(base).filePath(QStringLiteral("run"));
}

ScopedNumericLocale::ScopedNumericLocale() {
    if (const char* current = std::setlocale(LC_NUMERIC, nullptr))
        previous_ = current;
    std::setlocale(LC_NUMERIC, "C");
}

ScopedNumericLocale::~ScopedNumericLocale() {
    if (!previous_.empty())
        std::setlocale(LC_NUMERIC, previous_.c_str());
}

} // namespace pavrin::app::gui
