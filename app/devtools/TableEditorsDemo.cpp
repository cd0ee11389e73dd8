// pavrin-table-editors: a developer program, not part of the product's menus. It builds the
// project's tables as the main window does, fills them with a realistic project (a driven pipe
// pile in clay over sand over clay, English units) and opens each table in its editor window inside
// an MDI area, so the editors can be tried before the main window exists.
//
//   pavrin-table-editors                    the window with the list of tables
//   pavrin-table-editors --screenshots DIR  opens every editor in turn, saves each as DIR/<name>.png
#include "ProjectTables.h"
#include "TableChartForm.h"
#include "TableEditors.h"
#include "TableForm.h"

#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QEventLoop>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <vector>

namespace {

using pavrin::app::TProjectTables;
using pavrin::controls::TGridTable;
namespace col = pavrin::app::col;

void SetColumn(TGridTable& table, int column, std::initializer_list<long double> values) {
    if (table.RowCount() < static_cast<int>(values.size()))
        table.SetRowCount(static_cast<int>(values.size()));
    int row = 0;
    for (long double value : values)
        table.Column(column).SetFloat(row++, value);
}

// Top and bottom of one layer's data.
struct LayerValues {
    int soilType;
    long double bottom; // in
    long double gamma[2], cu[2], e50[2], phi[2], n[2], fs[2], qt[2];
};

// A 16 in steel pipe pile, 60 ft long; English units (in, lb).
void FillProject(TProjectTables& tables) {
    tables.ResetRows();
    const LayerValues layers[] = {
        {pavrin::app::kClayApi,
         180,
         {0.0289, 0.0289},
         {2.78, 4.17},
         {0.02, 0.02},
         {},
         {},
         {2.5, 3.6},
         {25, 37.5}},
        {pavrin::app::kSandApi, 420, {0.0347, 0.0347}, {}, {}, {32, 34}, {15, 22}, {2.1, 5.5}, {580, 700}},
        {pavrin::app::kClayApi,
         720,
         {0.0318, 0.0318},
         {10.4, 13.9},
         {0.007, 0.005},
         {},
         {},
         {6.3, 8.3},
         {94, 125}},
    };
    TGridTable& soil = tables.D2();
    soil.SetRowCount(3);
    for (int i = 0; i < 3; ++i) {
        const LayerValues& layer = layers[i];
        soil.Column(col::kSoilType).SetInteger(i, layer.soilType);
        soil.Column(col::kLayerBottom).SetFloat(i, layer.bottom);
        TGridTable& data = *tables.LayerData(i);
        for (int r = 0; r < 2; ++r) {
            data.Column(col::kGamma).SetFloat(r, layer.gamma[r]);
            data.Column(col::kCu).SetFloat(r, layer.cu[r]);
            data.Column(col::kE50).SetFloat(r, layer.e50[r]);
            data.Column(col::kPhi).SetFloat(r, layer.phi[r]);
            data.Column(col::kN).SetFloat(r, layer.n[r]);
            data.Column(col::kFs).SetFloat(r, layer.fs[r]);
            data.Column(col::kQt).SetFloat(r, layer.qt[r]);
        }
    }

    // User t-z curves at three depths: load transfer (psi) against movement (in).
    TGridTable& depths = tables.TblPVDepth2();
    SetColumn(depths, col::kCurveDepth, {60, 300, 600});
    const long double peaks[] = {2.4L, 4.8L, 9.6L};
    for (int i = 0; i < 3; ++i) {
        TGridTable& curve = *tables.TzCurve(i);
        const long double t = peaks[i];
        SetColumn(curve, col::kT, {0, 0.45L * t, 0.75L * t, 0.9L * t, t, 0.95L * t, 0.9L * t});
        SetColumn(curve, col::kZ, {0, 0.02L, 0.06L, 0.12L, 0.2L, 0.5L, 1.5L});
    }

    SetColumn(tables.TblQwcurve2(), col::kQ, {0, 21000, 45000, 68000, 84000, 90000});
    SetColumn(tables.TblQwcurve2(), col::kW, {0, 0.05L, 0.15L, 0.4L, 0.8L, 1.6L});
    SetColumn(tables.TblAE2(), col::kAeDepth, {0, 360, 720});
    SetColumn(tables.TblAE2(), col::kAe, {7.0607295E8L, 7.0607295E8L, 5.2E8L});
    SetColumn(tables.TblTipMove(), col::kValue,
              {0.01L, 0.02L, 0.05L, 0.1L, 0.2L, 0.4L, 0.7L, 1, 1.5L, 2, 3, 4});
    SetColumn(tables.TblTopload(), col::kValue, {40000, 80000, 120000});
    SetColumn(tables.TblSettlement2(), col::kSettlementDepth, {0, 120, 240, 360, 480, 600});
    SetColumn(tables.TblSettlement2(), col::kSettlement, {1.5L, 1.2L, 0.8L, 0.45L, 0.2L, 0});
    SetColumn(tables.TblPVFactors2(), col::kFactorDepth, {0, 240, 480, 720});
    SetColumn(tables.TblPVFactors2(), col::kTMultiplier, {1, 0.9L, 0.8L, 0.8L});
    SetColumn(tables.TblPVFactors2(), col::kZMultiplier, {1, 1, 1.2L, 1.2L});
    tables.SetModified(false);
}

struct Entry {
    const char* file; // screenshot name
    QString title;
    std::function<TGridTable*()> table;
};

std::vector<Entry> Entries(const TProjectTables& t) {
    return {
        {"soil-layers", "Soil layers", [&t] { return &t.D2(); }},
        {"clay-layer-3", "  Layer 3 data (clay)", [&t] { return t.LayerData(2); }},
        {"sand-layer-2", "  Layer 2 data (sand)", [&t] { return t.LayerData(1); }},
        {"tz-depths", "Depths of user t-z curves", [&t] { return &t.TblPVDepth2(); }},
        {"tz-curve-2", "  t-z curve 2", [&t] { return t.TzCurve(1); }},
        {"qw-curve", "Q-w curve", [&t] { return &t.TblQwcurve2(); }},
        {"axial-stiffness", "Axial stiffness (AE)", [&t] { return &t.TblAE2(); }},
        {"tip-movements", "Tip movements", [&t] { return &t.TblTipMove(); }},
        {"head-loads", "Pile-head loads", [&t] { return &t.TblTopload(); }},
        {"settlement", "Soil settlement profile", [&t] { return &t.TblSettlement2(); }},
        {"factors", "t-z modification factors", [&t] { return &t.TblPVFactors2(); }},
    };
}

void Wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Opens every editor in turn and saves a picture of its window.
int TakeScreenshots(const std::vector<Entry>& entries, QMainWindow& window, const QString& folder) {
    QDir().mkpath(folder);
    for (const Entry& entry : entries) {
        TGridTable* table = entry.table();
        if (table == nullptr || !table->ShowEditor(false)) {
            std::fprintf(stderr, "%s: no editor\n", entry.file);
            return 1;
        }
        Wait(300);
        pavrin::controls::TTableForm* form = pavrin::controls::EditorForm(*table);
        QWidget* shot = form->SubWindow() != nullptr ? static_cast<QWidget*>(form->SubWindow()) : form;
        const QString path = folder + "/" + entry.file + ".png";
        if (!shot->grab().save(path)) {
            std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s  %dx%d  \"%s\"\n", qPrintable(path), shot->width(), shot->height(),
                    qPrintable(form->windowTitle()));
        table->CloseEditor();
        Wait(50);
    }
    // Several at once, as a user would have them.
    entries[0].table()->ShowEditor(false);
    entries[1].table()->ShowEditor(false);
    entries[5].table()->ShowEditor(false);
    Wait(300);
    window.grab().save(folder + "/main-window.png");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("PAVRIN table editors"));
    const QStringList arguments = QApplication::arguments();
    const qsizetype shotsAt = arguments.indexOf(QStringLiteral("--screenshots"));

    TProjectTables tables;
    try {
        FillProject(tables);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cannot fill the tables: %s\n", e.what());
        return 1;
    }

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("PAVRIN table editors (developer program)"));
    auto* area = new QMdiArea;
    area->setBackground(QColor(0x80, 0x80, 0x80));
    window.setCentralWidget(area);
    pavrin::controls::RegisterTableEditors(area);

    const std::vector<Entry> entries = Entries(tables);
    auto* list = new QListWidget;
    for (const Entry& entry : entries)
        list->addItem(entry.title);
    auto* dock = new QDockWidget(QStringLiteral("Tables"));
    dock->setWidget(list);
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    window.addDockWidget(Qt::LeftDockWidgetArea, dock);
    QObject::connect(list, &QListWidget::itemActivated, &window, [&](QListWidgetItem* item) {
        try {
            if (TGridTable* table = entries[static_cast<std::size_t>(list->row(item))].table())
                table->ShowEditor(false);
        } catch (const std::exception& e) {
            QMessageBox::critical(&window, QStringLiteral("Error"), QString::fromStdString(e.what()));
        }
    });

    QMenu* units = window.menuBar()->addMenu(QStringLiteral("&Units"));
    auto* group = new QActionGroup(units);
    for (int system : {1, 2}) {
        QAction* action = units->addAction(system == 1 ? QStringLiteral("&English (lb, in)")
                                                       : QStringLiteral("&SI (kN, m)"));
        action->setCheckable(true);
        action->setChecked(system == 1);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, &window,
                         [&tables, system] { tables.SetUnits(system); });
    }
    QMenu* windows = window.menuBar()->addMenu(QStringLiteral("&Window"));
    windows->addAction(QStringLiteral("&Cascade"), area, &QMdiArea::cascadeSubWindows);
    windows->addAction(QStringLiteral("Close &All"), area, &QMdiArea::closeAllSubWindows);

    // The project's modified state, as the main window will show it.
    auto* modified = new QTimer(&window);
    QObject::connect(modified, &QTimer::timeout, &window, [&] {
        window.statusBar()->showMessage(tables.IsModified() ? QStringLiteral("Modified") : QString());
    });
    modified->start(500);

    window.resize(1280, 900);
    window.show();

    int result = 0;
    if (shotsAt >= 0) {
        const QString folder = shotsAt + 1 < arguments.size() ? arguments[shotsAt + 1] : QStringLiteral(".");
        result = TakeScreenshots(entries, window, folder);
    } else {
        result = QApplication::exec();
    }
    area->closeAllSubWindows();
    pavrin::controls::UnregisterTableEditors();
    return result;
}
