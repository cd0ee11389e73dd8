// pavrin-screens: a developer program, not shipped. Opens the desktop program's main window on a
// project, opens each data dialog and the table editors, runs the analysis, and saves a picture of
// each window by itself (a child window with its frame, a dialog, every message box the run shows)
// into a folder, for the manuals. Run it under `xvfb-run -a` on a machine without a display, or with
// QT_QPA_PLATFORM=offscreen.
//
// The manuals print a picture at 120 of its pixels per inch. The pictures are rendered at more
// pixels than the windows have, so that the windows' text prints at the size of the manuals' body
// text; a window up to about 520 of its pixels wide then fits the page at that size.
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
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPixmap>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {

void Wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

constexpr double ManualPicturePixelsPerInch = 120; // how the manuals print a picture
constexpr double ManualBodyTextPoints = 10.5;      // the manuals' body text

// Picture pixels per window pixel that make the window's text print at the body text's size.
double PictureScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    double points = QApplication::font().pointSizeF();
    if (points <= 0)
        points = QApplication::font().pixelSize() * 72.0 / dpi;
    if (points <= 0)
        return 1;
    return ManualBodyTextPoints * ManualPicturePixelsPerInch / (points * dpi);
}

// Saves a picture of the widget alone, at the scale above, and names it on the standard output.
void Save(QWidget* widget, const QString& path) {
    const double scale = PictureScale();
    QPixmap picture(widget->size() * scale);
    picture.setDevicePixelRatio(scale);
    picture.fill(widget->palette().window().color());
    widget->render(&picture);
    if (!picture.save(path))
        std::fprintf(stderr, "pavrin-screens: cannot write %s\n", qPrintable(path));
    std::printf("%s (%dx%d)\n", qPrintable(path), widget->width(), widget->height());
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
        Save(&box, path);
        std::printf("  %s\n", qPrintable(text));
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
    // The main window first at a size that shows its menus and whole toolbar and prints near the
    // body text's size; then large, so that its children open at the sizes the program gives them.
    form.resize(640, 300);
    form.show();
    form.FormShow({QString::fromLocal8Bit(argv[1])});
    Wait(300);
    auto path = [&](const char* name) {
        return folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
    };
    // The child window opened last, with its frame and caption.
    auto child = [&](const char* name) {
        Wait(300);
        QMdiSubWindow* sub = form.MdiArea()->currentSubWindow();
        if (!sub) {
            const auto all = form.MdiArea()->subWindowList(QMdiArea::StackingOrder);
            sub = all.isEmpty() ? nullptr : all.last();
        }
        if (sub)
            Save(sub, path(name));
        else
            std::fprintf(stderr, "pavrin-screens: no child window for %s\n", name);
    };
    // A graph window or the profile view at a size that prints at the body text's size.
    auto resizedChild = [&](const char* name, int width, int height) {
        Wait(300);
        if (QMdiSubWindow* sub = form.MdiArea()->currentSubWindow()) {
            sub->showNormal();
            sub->resize(width, height);
        }
        child(name);
    };
    auto closeAll = [&] { form.MdiArea()->closeAllSubWindows(); };

    Wait(300);
    Save(&form, path("main-window"));
    form.resize(1280, 860);
    form.DataTitleClick();
    child("title-dialog");
    closeAll();
    form.MaterialClick();
    child("pile-properties");
    closeAll();
    form.CompTextClick();
    child("text-editor-dialog");
    closeAll();
    form.Tables().D2().ShowEditor(false);
    child("soil-layers-editor");
    closeAll();
    // The user-curve tables with their charts, for the manual's walk through a user-curve project.
    form.Tables().TblPVDepth2().ShowEditor(false);
    child("tz-curves-editor");
    closeAll();
    form.Tables().TblQwcurve2().ShowEditor(false);
    child("qw-curve-editor");
    closeAll();
    form.Tables().TblSettlement2().ShowEditor(false);
    child("settlement-editor");
    closeAll();
    form.SetUnitsClick(2);
    form.MaterialClick();
    child("si-pile-properties");
    form.SetUnitsClick(1);
    closeAll();
    form.CompRunClick();
    Wait(300);
    form.ShowGraph(form.Graphs().pltLoad);
    resizedChild("graph-load-distribution", 520, 420);
    form.ShowGraph(form.Graphs().pltAxial);
    resizedChild("graph-axial", 520, 380);
    closeAll();
    // A static load test of a pile like the driven-pile example's: softer than predicted and
    // plunging a little earlier. Its editor, then the axial graph beside it once saved.
    pavrin::app::TMeasuredLoadTest loadTest;
    loadTest.units = 1;
    loadTest.points = {{0, 0, {}},           {20000, 0.017L, {}},  {40000, 0.036L, {}}, {60000, 0.058L, {}},
                       {80000, 0.085L, {}},  {100000, 0.121L, {}}, {110000, 0.15L, {}},
                       {120000, 0.205L, {}}, {130000, 0.32L, {}},  {138000, 0.55L, {}}};
    form.Tables().SetMeasuredTest(loadTest);
    form.Tables().TblMeasured2().ShowEditor(false);
    child("measured-test-editor");
    closeAll();
    form.FileSaveClick();
    form.ShowGraph(form.Graphs().pltAxial);
    resizedChild("graph-axial-measured", 520, 380);
    closeAll();
    // The calibration window after the fit of the project to that test by both multipliers.
    form.CalibrateClick();
    if (pavrin::app::gui::TfrmCalibrate* calibration = form.CalibrationWindow()) {
        calibration->VaryTzQw()->setChecked(true);
        QEventLoop fitted;
        QObject::connect(calibration, &pavrin::app::gui::TfrmCalibrate::FitEnded, &fitted, &QEventLoop::quit);
        calibration->RunClick();
        if (calibration->Running())
            fitted.exec();
        resizedChild("calibration-window", 760, 820);
    }
    closeAll();
    form.ViewSoilLayerCoordinatesClick();
    resizedChild("soil-profile", 520, 480);
    closeAll();
    pavrin::app::gui::TAboutBox about(&form);
    about.show();
    Wait(300);
    Save(&about, path("about-box"));
    about.hide();
    pavrin::graphics::TDlgExport exportDialog(form.Graphs(),
                                              QString::fromStdString(pavrin::app::ProgramData->FileName),
                                              {true, true, true, true}, &form);
    exportDialog.FormActivate();
    exportDialog.show();
    Wait(300);
    Save(&exportDialog, path("export-dialog"));
    pavrin::controls::MessageBoxes::SetCurrent(nullptr);
    pavrin::app::ProgramData->Tables().SetModified(false);
    return 0;
}
