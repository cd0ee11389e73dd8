// pavrin-screens: a developer program, not shipped. Opens the desktop program's main window on a
// project, opens each data dialog and the table editors, runs the analysis, and saves a picture of the
// window at each step, with every message box the run shows, into a folder. Run it under
// `xvfb-run -a` on a machine without a display.
//
//   pavrin-screens PROJECT.pv3d OUTPUT_FOLDER
#include "DlgExport.h"
#include "MainForm.h"
#include "MessageBoxes.h"
#include "ProgramData.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMdiArea>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

namespace {

void Wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Shows every message box without waiting for a person, saves a picture of it and answers it.
class PictureMessageBoxes final : public pavrin::controls::MessageBoxes {
public:
    explicit PictureMessageBoxes(QString folder) : folder_(std::move(folder)) {}

    void ShowMessage(QWidget* parent, const QString& text, Icon icon, const QString& title) override {
        Picture(parent, text, icon, title);
    }
    Answer Ask(QWidget* parent, const QString& text, Buttons, Icon icon, const QString& title) override {
        Picture(parent, text, icon, title);
        return Answer::No;
    }

private:
    void Picture(QWidget* parent, QString text, Icon icon, const QString& title) {
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QMessageBox box(icon == Icon::Information ? QMessageBox::Information : QMessageBox::Warning,
                        title.isEmpty() ? DefaultTitle(icon) : title, text, QMessageBox::Ok, parent);
        box.show();
        Wait(200);
        const QString path = QStringLiteral("%1/message-%2.png").arg(folder_).arg(++count_);
        box.grab().save(path);
        std::printf("%s: %s\n", qPrintable(path), qPrintable(text));
    }

    QString folder_;
    int count_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: pavrin-screens PROJECT.pv3d OUTPUT_FOLDER\n");
        return 64;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(folder);
    PictureMessageBoxes boxes(folder);
    pavrin::controls::MessageBoxes::SetCurrent(&boxes);

    pavrin::app::gui::TMainForm form;
    form.resize(1280, 860);
    form.show();
    form.FormShow({QString::fromLocal8Bit(argv[1])});
    Wait(300);
    auto shot = [&](const char* name) {
        Wait(300);
        const QString path = folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
        form.grab().save(path);
        std::printf("%s\n", qPrintable(path));
    };
    shot("main-window");
    form.DataTitleClick();
    shot("title-dialog");
    form.MaterialClick();
    shot("pile-properties");
    form.CompTextClick();
    shot("text-editor-dialog");
    form.Tables().D2().ShowEditor(false);
    shot("soil-layers-editor");
    form.MdiArea()->closeAllSubWindows();
    // The user-curve tables with their charts, for the manual's walk through a user-curve project.
    form.Tables().TblPVDepth2().ShowEditor(false);
    shot("tz-curves-editor");
    form.MdiArea()->closeAllSubWindows();
    form.Tables().TblQwcurve2().ShowEditor(false);
    shot("qw-curve-editor");
    form.MdiArea()->closeAllSubWindows();
    form.Tables().TblSettlement2().ShowEditor(false);
    shot("settlement-editor");
    form.MdiArea()->closeAllSubWindows();
    form.QwFactorTableClick();
    form.SetUnitsClick(2);
    form.MaterialClick();
    shot("si-units-dialogs");
    form.SetUnitsClick(1);
    form.MdiArea()->closeAllSubWindows();
    form.CompRunClick();
    shot("after-run");
    form.ShowGraph(form.Graphs().pltLoad);
    shot("graph-load-distribution");
    form.ShowGraph(form.Graphs().pltAxial);
    shot("graph-axial");
    form.ViewSoilLayerCoordinatesClick();
    shot("soil-profile");
    pavrin::app::gui::TAboutBox about(&form);
    about.show();
    Wait(300);
    about.grab().save(folder + QStringLiteral("/about-box.png"));
    pavrin::graphics::TDlgExport exportDialog(form.Graphs(),
                                              QString::fromStdString(pavrin::app::ProgramData->FileName),
                                              {true, true, true, true}, &form);
    exportDialog.FormActivate();
    exportDialog.show();
    Wait(300);
    exportDialog.grab().save(folder + QStringLiteral("/export-dialog.png"));
    pavrin::controls::MessageBoxes::SetCurrent(nullptr);
    pavrin::app::ProgramData->Tables().SetModified(false);
    return 0;
}
