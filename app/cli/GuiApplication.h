// The application object the drawing commands need for their fonts; without a display it runs on
// the offscreen platform. Made once, on first use.
#pragma once

#include <QByteArray>
#include <QGuiApplication>

#include <cstdio>

namespace pavrin::cli {

inline QGuiApplication& guiApplication() {
    // Qt's own notes (a missing runtime folder, font fallbacks) are not the command's output; failures
    // are reported by the command itself.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    static int argc = 1;
    static char name[] = "pavrin-cli";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return application;
}

} // namespace pavrin::cli
