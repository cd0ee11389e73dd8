// TfrmCalibrate, "Calibrate to Load Test": the fit of the saved project to its measured load test by
// the uniform t-z multiplier (and optionally the Q-w multiplier), on a worker thread through the
// same fit as `pavrin-cli fit`. A progress bar and Stop while it runs; then the factors, the RMS
// before and after, the analyses, the per-point residuals in a table and the axial graph with the
// measured points, the uncalibrated and the calibrated curve. Apply puts the factors into the
// current project, which is then modified (not saving it undoes the calibration).
#pragma once

#include "Calibration.h"
#include "PltData.h"

#include <QWidget>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTableWidget;
class QTimer;

namespace pavrin::app::gui {

// The calibration window's graph, drawn in place by the graph module's drawing.
class TCalibrationPlot final : public QWidget {
public:
    explicit TCalibrationPlot(graphics::TGraphPlot& graph, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {520, 360}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    graphics::TGraphPlot& graph_;
};

class TfrmCalibrate : public QWidget {
    Q_OBJECT
public:
    // Commits and saves the project as Run Analysis does; the saved project's path, or nothing when
    // it was not saved (the saver has told the user why).
    using ProjectSaver = std::function<std::string()>;
    // Puts the fit made for the project at `path` into the current project; false when it could not
    // (the saver's owner has told the user why).
    using FitApplier = std::function<bool(const std::string& path, const cli::FitResult& result)>;

    TfrmCalibrate(ProjectSaver saver, FitApplier applier, QWidget* parent = nullptr);
    ~TfrmCalibrate() override;

    void RunClick();
    void StopClick();
    void ApplyClick();

    bool Running() const { return running_; }
    // The last finished fit (a stopped one included); nothing before the first.
    const std::optional<cli::FitResult>& Result() const { return result_; }

    QRadioButton* VaryTz() const { return varyTz_; }
    QRadioButton* VaryTzQw() const { return varyTzQw_; }
    QPushButton* RunButton() const { return run_; }
    QPushButton* StopButton() const { return stop_; }
    QPushButton* ApplyButton() const { return apply_; }
    QProgressBar* Progress() const { return progress_; }
    QLabel* Status() const { return status_; }
    QTableWidget* Table() const { return table_; }
    graphics::TGraphPlot& Chart() { return chart_; }

signals:
    // The fit ended: finished, stopped or failed; the window shows its outcome.
    void FitEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FitFinished();
    void ShowProgress();
    void ShowResult();
    void RebuildChart();
    void SetEditing(bool editing);

    ProjectSaver saver_;
    FitApplier applier_;

    QRadioButton* varyTz_;
    QRadioButton* varyTzQw_;
    QPushButton* run_;
    QPushButton* stop_;
    QPushButton* apply_;
    QProgressBar* progress_;
    QLabel* status_;
    QTableWidget* table_;
    QSplitter* split_;
    TCalibrationPlot* plot_;
    QTimer* progressTimer_;

    std::string projectPath_;
    int units_ = 1;
    app::TMeasuredLoadTest test_;
    std::optional<cli::FitResult> result_;
    bool applied_ = false;
    bool running_ = false;

    std::atomic<bool> stopFlag_{false};
    std::mutex mutex_;
    cli::FitProgress latest_; // under mutex_
    cli::FitResult finished_;          // under mutex_, set by the worker at its end
    std::jthread worker_;

    graphics::TGraphPlot chart_{"pltCalibration"};
};

} // namespace pavrin::app::gui
