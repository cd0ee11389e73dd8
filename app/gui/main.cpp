// PAVRIN, the desktop program: one main window; the project named on the command line is opened.
#include "MainForm.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PAVRIN"));
    QApplication::setApplicationDisplayName(QStringLiteral("PAVRIN 3.0"));
    QApplication::setOrganizationName(QStringLiteral("Quarlex"));

    pavrin::app::gui::TMainForm form;
    form.show();
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    form.FormShow(arguments);
    return QApplication::exec();
}
