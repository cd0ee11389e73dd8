#include "FrmCalibrate.h"

#include "CheckedProject.h"
#include "MessageBoxes.h"
#include "PlotDraw.h"
#include "ProgramData.h"
#include "ProjectAnalysis.h"
#include "ProjectFile.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <sstream>
#include <tuple>

namespace pavrin::app::gui {

using controls::MessageBoxes;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString N(long double value) {
    return Q(FormatNumber(value));
}

// Figures of the window: five significant digits, as the graphs' read-out shows them.
QString Short(long double value) {
    return Q(graphics::FormatGeneral(value, 5));
}

void Warn(QWidget* parent, const QString& text) {
    MessageBoxes::Current().ShowMessage(parent, text, MessageBoxes::Icon::Warning);
}

} // namespace

TCalibrationPlot::TCalibrationPlot(graphics::TGraphPlot& graph, QWidget* parent)
    : QWidget(parent), graph_(graph) {
    setObjectName(QStringLiteral("CalibrationPlot"));
    setMinimumSize(320, 240);
}

void TCalibrationPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    bool empty = true;
    for (int i = 0; i < graph_.LineCount(); ++i)
        empty = empty && graph_.GetLine(i).Points.empty();
    const auto range = empty ? std::nullopt : graphics::ComputeRanges(graph_);
    if (!range) {
        // Before the first fit: no empty axes, a word on what comes here.
        painter.fillRect(rect(), Qt::white);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("The measured points, the uncalibrated and the calibrated curves are "
                                        "drawn here after a fit."));
        return;
    }
    graphics::TPlotLayout layout = graphics::WindowLayout(graph_, width(), height(), logicalDpiX(),
                                                          logicalDpiY(), graphics::kWindowFontHeight);
    layout.ForOutput = true; // the legend box drawn into the picture, at the plot's lower right
    graphics::DrawPlot(painter, graph_, *range, layout);
}

TfrmCalibrate::TfrmCalibrate(ProjectSaver saver, FitApplier applier, QWidget* parent)
    : QWidget(parent), saver_(std::move(saver)), applier_(std::move(applier)) {
    setWindowTitle(QStringLiteral("Calibrate to Load Test"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* choice = new QGroupBox(QStringLiteral("Varied Multipliers"));
    auto* choices = new QVBoxLayout(choice);
    varyTz_ = new QRadioButton(QStringLiteral("t-z multiplier &only"));
    varyTz_->setObjectName(QStringLiteral("VaryTz"));
    varyTzQw_ = new QRadioButton(QStringLiteral("t-z &and Q-w multipliers"));
    varyTzQw_->setObjectName(QStringLiteral("VaryTzQw"));
    varyTz_->setChecked(true);
    choices->addWidget(varyTz_);
    choices->addWidget(varyTzQw_);
    top->addWidget(choice);

    auto* buttons = new QVBoxLayout;
    const auto addButton = [&](const char* name, const QString& caption, void (TfrmCalibrate::*click)()) {
        auto* button = new QPushButton(caption);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, click);
        buttons->addWidget(button);
        return button;
    };
    run_ = addButton("btnRun", QStringLiteral("&Run"), &TfrmCalibrate::RunClick);
    stop_ = addButton("btnStop", QStringLiteral("S&top"), &TfrmCalibrate::StopClick);
    apply_ = addButton("btnApply", QStringLiteral("A&pply"), &TfrmCalibrate::ApplyClick);
    apply_->setToolTip(QStringLiteral("Put the fitted factors into the project (not saving it undoes them)"));
    buttons->addStretch();
    top->addLayout(buttons);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("Status"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status_->setText(QStringLiteral("Run fits the saved project to its measured load test (Data > Measured "
                                    "Load Test)."));
    status_->setWordWrap(true);
    top->addWidget(status_, 1);
    layout->addLayout(top);

    progress_ = new QProgressBar;
    progress_->setObjectName(QStringLiteral("Progress"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setFormat(QStringLiteral("%v analyses"));
    layout->addWidget(progress_);

    // The table over the graph, both as wide as the window.
    split_ = new QSplitter(Qt::Vertical);
    QSplitter* split = split_;
    table_ = new QTableWidget(0, 5);
    table_->setObjectName(QStringLiteral("Points"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    split->addWidget(table_);
    plot_ = new TCalibrationPlot(chart_);
    split->addWidget(plot_);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, [this] { ShowProgress(); });

    chart_.Caption = "Calibration to Load Test";
    chart_.CurveName = "Line #";
    chart_.XCaption = "Axial Load ";
    chart_.XUnits = "F1";
    chart_.YCaption = "Settlement ";
    chart_.YUnits = "L";
    chart_.XOnTop = true;
    ShowResult();
    SetEditing(true);
}

TfrmCalibrate::~TfrmCalibrate() {
    // The worker reads this window's test and posts to it: it ends before the window goes.
    stopFlag_ = true;
    if (worker_.joinable())
        worker_.join();
}

void TfrmCalibrate::SetEditing(bool editing) {
    varyTz_->setEnabled(editing);
    varyTzQw_->setEnabled(editing);
    run_->setEnabled(editing);
    stop_->setEnabled(!editing);
    apply_->setEnabled(editing && result_ && result_->done && !result_->stopped && !applied_);
}

void TfrmCalibrate::RunClick() {
    if (running_)
        return;
    const std::string path = saver_ ? saver_() : std::string();
    if (path.empty())
        return;
    std::optional<cli::OpenedProject> opened = OpenCheckedProject(this, path);
    if (!opened)
        return;
    cli::OpenedProject project = std::move(*opened);
    const std::string measured = MeasuredFileName(path);
    if (!QFileInfo::exists(Q(measured))) {
        Warn(this, QStringLiteral("The project has no measured load test. Enter one with Data > Measured Load "
                                  "Test, then run the calibration."));
        return;
    }
    TMeasuredLoadTest test;
    if (const auto error = ReadMeasuredLoadTest(measured, test)) {
        Warn(this, QStringLiteral("The measured load test cannot be read.\r") + Q(*error));
        return;
    }
    if (const auto problems = MeasuredLoadTestProblems(test, project.data->Units); !problems.empty()) {
        QStringList lines;
        for (const std::string& p : problems)
            lines << Q(p);
        Warn(this, QStringLiteral("The measured load test cannot be used.\r") + lines.join(QLatin1Char('\r')));
        return;
    }

    projectPath_ = path;
    units_ = project.data->Units;
    test_ = std::move(test);
    result_.reset();
    applied_ = false;
    cli::FitSettings settings;
    settings.varyQw = varyTzQw_->isChecked();
    stopFlag_ = false;
    {
        const std::lock_guard lock(mutex_);
        latest_ = {};
        latest_.maxAnalyses = settings.maxAnalyses;
    }
    progress_->setRange(0, static_cast<int>(settings.maxAnalyses));
    progress_->setValue(0);
    progress_->setFormat(QStringLiteral("%v analyses"));
    status_->setText(QStringLiteral("Fitting to %1 measured points...").arg(test_.points.size()));
    ShowResult();
    running_ = true;
    SetEditing(false);
    // The worker owns the opened project; it reads the test, which stays as it is until it ends.
    worker_ = std::jthread([this, settings, opened = std::move(project)]() mutable {
        cli::FitResult result;
        try {
            result = cli::fitToLoadTest(*opened.data, test_, settings, &stopFlag_, [this](const cli::FitProgress& p) {
                const std::lock_guard lock(mutex_);
                latest_ = p;
            });
        } catch (const std::exception& e) {
            result = {};
            result.reason = std::string("the fit failed: ") + e.what();
        }
        {
            const std::lock_guard lock(mutex_);
            finished_ = std::move(result);
        }
        QMetaObject::invokeMethod(this, [this] { FitFinished(); }, Qt::QueuedConnection);
    });
    progressTimer_->start();
}

void TfrmCalibrate::ShowProgress() {
    cli::FitProgress p;
    {
        const std::lock_guard lock(mutex_);
        p = latest_;
    }
    progress_->setValue(static_cast<int>(std::min(p.analyses, p.maxAnalyses)));
    if (p.analyses > 0) {
        QString text = QStringLiteral("Fitting... best so far: t-z multiplier %1").arg(Short(p.tzFactor));
        if (varyTzQw_->isChecked())
            text += QStringLiteral(", Q-w multiplier %1").arg(Short(p.qwFactor));
        status_->setText(text + QStringLiteral(", RMS %1 %2")
                                    .arg(Short(p.rms))
                                    .arg(Q(std::string(cli::unitLabels(units_).length))));
    }
}

void TfrmCalibrate::StopClick() {
    // The analysis under way finishes; the worker then ends with the best factors found.
    stopFlag_ = true;
}

void TfrmCalibrate::FitFinished() {
    if (worker_.joinable())
        worker_.join();
    progressTimer_->stop();
    {
        const std::lock_guard lock(mutex_);
        result_ = finished_;
    }
    running_ = false;
    progress_->setValue(static_cast<int>(result_->analyses));
    progress_->setRange(0, static_cast<int>(std::max<std::size_t>(result_->analyses, 1)));
    ShowResult();
    SetEditing(true);
    emit FitEnded();
}

void TfrmCalibrate::ShowResult() {
    const QString L = Q(std::string(cli::unitLabels(units_).length));
    const QString F = Q(std::string(cli::unitLabels(units_).force));
    table_->setHorizontalHeaderLabels({QStringLiteral("Load (%1)").arg(F), QStringLiteral("Measured (%1)").arg(L),
                                       QStringLiteral("Before (%1)").arg(L), QStringLiteral("After (%1)").arg(L),
                                       QStringLiteral("Residual (%1)").arg(L)});
    const bool shown = result_ && result_->done;
    table_->setRowCount(shown ? static_cast<int>(test_.points.size()) : 0);
    if (shown) {
        const auto item = [](const QString& text) {
            auto* cell = new QTableWidgetItem(text);
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            return cell;
        };
        const auto predicted = [](const cli::FitEvaluation& e, std::size_t i) {
            return i < e.predicted.size() && e.predicted[i] ? Short(*e.predicted[i]) : QStringLiteral("beyond");
        };
        for (std::size_t i = 0; i < test_.points.size(); ++i) {
            const int r = static_cast<int>(i);
            table_->setItem(r, 0, item(N(test_.points[i].load)));
            table_->setItem(r, 1, item(Short(test_.points[i].settlement)));
            table_->setItem(r, 2, item(predicted(result_->before, i)));
            table_->setItem(r, 3, item(predicted(result_->after, i)));
            table_->setItem(r, 4, item(i < result_->after.residuals.size() ? Short(result_->after.residuals[i])
                                                                           : QString()));
        }
        table_->resizeRowsToContents();
        // The table as high as its rows (up to half the window), the graph below it the rest.
        int rows = table_->horizontalHeader()->height() + 2 * table_->frameWidth();
        for (int r = 0; r < table_->rowCount(); ++r)
            rows += table_->rowHeight(r);
        const int total = split_->height() > 0 ? split_->height() : 600;
        const int tableHeight = std::min(rows, total / 2);
        split_->setSizes({tableHeight, total - tableHeight});
    }
    if (result_ && !result_->done) {
        status_->setText(result_->stopped ? QStringLiteral("Stopped before the first analysis; no fit was made.")
                                          : QStringLiteral("No fit was made: %1").arg(Q(result_->reason)));
    } else if (shown) {
        const cli::FitResult& r = *result_;
        QString text = r.stopped ? QStringLiteral("Stopped; the best factors found:\n") : QString();
        text += QStringLiteral("t-z multiplier %1").arg(Short(r.tzFactor));
        if (r.varyQw)
            text += QStringLiteral(", Q-w multiplier %1").arg(Short(r.qwFactor));
        text += QStringLiteral("\nRMS settlement error %1 %3 before (factors 1), %2 %3 after\n")
                    .arg(Short(r.before.rms), Short(r.after.rms), L);
        text += QStringLiteral("%1 analyses").arg(r.analyses);
        if (!r.stopped && !r.converged)
            text += QStringLiteral(" (the most the search makes; the factors had not settled)");
        for (const auto& [name, factor, varied] : {std::tuple{"t-z", r.tzFactor, true},
                                                    std::tuple{"Q-w", r.qwFactor, r.varyQw}})
            if (varied && !r.stopped && cli::factorAtBound(factor))
                text += QStringLiteral("\nThe %1 multiplier is at a bound of the search (%2 to %3): the fit is "
                                       "the closest the bounds allow, not a minimum between them")
                            .arg(QLatin1String(name), N(cli::kFitFactorMin), N(cli::kFitFactorMax));
        if (r.before.misses + r.after.misses > 0)
            text += QStringLiteral("\nLoads beyond the predicted curve: %1 before, %2 after (each counted with "
                                   "the distance to the curve's largest settlement plus %3 % of it)")
                        .arg(r.before.misses)
                        .arg(r.after.misses)
                        .arg(N(cli::kFitMissFraction * 100));
        if (applied_)
            text += QStringLiteral("\nApplied to the project.");
        status_->setText(text);
    }
    RebuildChart();
}

void TfrmCalibrate::RebuildChart() {
    chart_.SetUnits(units_);
    const long double kips = units_ == 1 ? 1000 : 1; // English loads are drawn in kips, as the axial graph
    const auto points = [kips](const std::vector<cli::CurvePoint>& curve) {
        std::vector<graphics::TFloatPoint> out;
        for (const cli::CurvePoint& p : curve)
            out.push_back({p.load / kips, p.settlement});
        return out;
    };
    std::vector<graphics::TFloatPoint> measured;
    for (const MeasuredPoint& p : test_.points)
        measured.push_back({p.load / kips, p.settlement});
    const bool shown = result_ && result_->done;
    chart_.SetLineCount(3);
    chart_.GetLine(0).Name = "Measured";
    chart_.GetLine(0).Points = std::move(measured);
    chart_.GetLine(1).Name = "Uncalibrated";
    chart_.GetLine(1).Points = shown ? points(result_->before.curve) : std::vector<graphics::TFloatPoint>{};
    chart_.GetLine(2).Name = "Calibrated";
    chart_.GetLine(2).Points = shown ? points(result_->after.curve) : std::vector<graphics::TFloatPoint>{};
    plot_->update();
}

void TfrmCalibrate::ApplyClick() {
    if (running_ || !result_ || !result_->done || result_->stopped || applied_ || !applier_)
        return;
    if (!applier_(projectPath_, *result_))
        return;
    applied_ = true;
    ShowResult();
    SetEditing(true);
}

void TfrmCalibrate::closeEvent(QCloseEvent* event) {
    // Closing mid-fit stops it; the analysis under way finishes, nothing is left running.
    stopFlag_ = true;
    if (worker_.joinable())
        worker_.join();
    progressTimer_->stop();
    running_ = false;
    QWidget::closeEvent(event);
}

} // namespace pavrin::app::gui
