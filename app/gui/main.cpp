// PAVRIN, the desktop program: one main window; the project named on the command line is opened.
#include "DesktopNumbers.h"
#include "MainForm.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PAVRIN"));
    // No display name: the window system would append it to every caption, and the main window's
    // caption is "PAVRIN 2014.3.1 - " and the project's name alone.
    QApplication::setOrganizationName(QStringLiteral("Quarlex"));
    // Entries and labels in the desktop's decimal separator, files in ".".
    pavrin::app::gui::ApplyDesktopNumberConventions();

    pavrin::app::gui::TMainForm form;
    form.show();
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    form.FormShow(arguments);
    return QApplication::exec();
}
