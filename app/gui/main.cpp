// PAVRIN, the desktop program: one main window; the project named on the command line is opened.
#include "DesktopNumbers.h"
#include "MainForm.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

// The application icon, drawn from its SVG at the sizes window systems ask for (the picture is
// drawn here rather than by an icon plugin, so that no plugin has to be found at run time).
QIcon ApplicationIcon() {
    QSvgRenderer renderer(QStringLiteral(":/pavrin/pavrin.svg"));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PAVRIN"));
    // No display name: the window system would append it to every caption, and the main window's
    // caption is "PAVRIN 2014.3.1 - " and the project's name alone.
    QApplication::setOrganizationName(QStringLiteral("Quarlex"));
    QApplication::setWindowIcon(ApplicationIcon());
    // The desktop entry that started the program, so that the window system shows its icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("pavrin"));
    // Entries and labels in the desktop's decimal separator, files in ".".
    pavrin::app::gui::ApplyDesktopNumberConventions();

    pavrin::app::gui::TMainForm form;
    form.show();
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    form.FormShow(arguments);
    return QApplication::exec();
}
