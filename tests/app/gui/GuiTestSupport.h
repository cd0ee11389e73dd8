// What the desktop program's window tests share: a desktop whose dialogs the test answers, and
// copies of the example projects.
#pragma once

#include "MainDesktop.h"

#include <QFile>
#include <QTemporaryDir>

#include <deque>
#include <optional>

namespace pavrin::app::gui::testing {

class FakeDesktop : public MainDesktop {
public:
    std::optional<OpenFileChoice> openChoice;
    std::deque<QString> saveNames; // none left: cancelled
    std::deque<int> options;       // answers of ChooseOption; none left: cancelled
    bool runAnyway = false;
    QStringList findingsShown;
    int saveDialogs = 0;
    bool startSucceeds = true;
    QStringList started; // program and arguments, joined by blanks
    QList<QUrl> opened;

    std::optional<OpenFileChoice> ChooseFileToOpen(QWidget*) override { return openChoice; }
    std::optional<QString> ChooseSaveFileName(QWidget*, const QString&, const QString&) override {
        ++saveDialogs;
        if (saveNames.empty())
            return std::nullopt;
        const QString name = saveNames.front();
        saveNames.pop_front();
        return name;
    }
    QString ChooseProgram(QWidget*, const QString&) override { return {}; }
    bool ConfirmRunWithFindings(QWidget*, const QStringList& findings) override {
        findingsShown = findings;
        return runAnyway;
    }
    bool StartDetached(const QString& program, const QStringList& arguments) override {
        started << (QStringList{program} + arguments).join(QLatin1Char(' '));
        return startSucceeds;
    }
    void OpenUrl(const QUrl& url) override { opened << url; }
    std::optional<int> ChooseOption(QWidget*, const QString&, const QString&, const QStringList&) override {
        if (options.empty())
            return std::nullopt;
        const int option = options.front();
        options.pop_front();
        return option;
    }
};

class ScopedDesktop {
public:
    explicit ScopedDesktop(MainDesktop& desktop) : previous_(MainDesktop::SetCurrent(&desktop)) {}
    ~ScopedDesktop() { MainDesktop::SetCurrent(previous_); }
    ScopedDesktop(const ScopedDesktop&) = delete;
    ScopedDesktop& operator=(const ScopedDesktop&) = delete;

private:
    MainDesktop* previous_;
};

// Copies an example project into `folder` (as `as` when given) and returns its path.
inline QString CopyExample(const QTemporaryDir& folder, const QString& name, const QString& as = {}) {
    const QString target = folder.filePath(as.isEmpty() ? name : as);
    QFile::remove(target);
    if (!QFile::copy(QStringLiteral(PAVRIN_EXAMPLES "/") + name, target))
        qFatal("cannot copy %s", qPrintable(name));
    QFile(target).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return target;
}

inline QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace pavrin::app::gui::testing
