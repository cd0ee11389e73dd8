// TfrmDesignSweep, "Design Sweep": variants of the saved project over one design parameter (pile
// length, outer diameter, tip area, t-z or Q-w multiplier), analysed on worker threads by the same
// sweep object as `pavrin-cli sweep`. One table row per finished variant, the design chart (largest
// head load and head load at the settlement S against the varied value) in a graph window, and the
// exports to CSV and to a workbook. The window stays responsive: rows arrive through queued calls.
#pragma once

#include "DesignSweep.h"
#include "PlotForm.h"
#include "PltData.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class QComboBox;
class QLabel;
class QMdiArea;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace pavrin::controls {
class TDataEdit;
}

namespace pavrin::app::gui {

// The rows of the sweep window's table: one per finished variant, in the order of the values, the
// fields as the CSV has them.
class TSweepRowsModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    void Reset(const QStringList& header);
    void Insert(int row, const QStringList& fields);
    QStringList Row(int row) const { return rows_.at(static_cast<std::size_t>(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList header_;
    std::vector<QStringList> rows_;
};

class TfrmDesignSweep : public QWidget {
    Q_OBJECT
public:
    // Commits and saves the project as Run Analysis does; returns the saved project's path, or
    // nothing when it was not saved (the saver has told the user why).
    using ProjectSaver = std::function<std::string()>;
    // The project's unit system (1 English, 2 SI) and the value of a parameter, for the fields'
    // labels and their first values.
    using ProjectValue = std::function<long double(cli::SweepParameter)>;

    TfrmDesignSweep(QMdiArea* area, ProjectSaver saver, std::function<int()> units, ProjectValue value,
                    QWidget* parent = nullptr);
    ~TfrmDesignSweep() override;

    // Commands.
    void RunClick();
    void StopClick();
    void ShowChartClick();
    void ExportCsvClick();
    void ExportWorkbookClick();

    // Labels, limits and first values of the fields for the chosen parameter and the project's units.
    void ParameterChanged();
    void UpdateUnits();

    bool Running() const { return running_; }
    // Workers of the present sweep that have not ended yet.
    std::size_t RunningWorkers() const;
    // The present sweep's CSV text, as `pavrin-cli sweep` writes it; empty before the first run.
    std::string Csv() const;

    QComboBox* Parameter() const { return parameter_; }
    controls::TDataEdit* From() const { return from_; }
    controls::TDataEdit* To() const { return to_; }
    controls::TDataEdit* Steps() const { return steps_; }
    controls::TDataEdit* Settlement() const { return settlement_; }
    QPushButton* RunButton() const { return run_; }
    QPushButton* StopButton() const { return stop_; }
    QProgressBar* Progress() const { return progress_; }
    QTableView* Table() const { return table_; }
    const TSweepRowsModel& Rows() const { return model_; }
    QLabel* Status() const { return status_; }
    graphics::TGraphPlot& Chart() { return chart_; }
    graphics::TPlotForm* ChartWindow() const { return chartForm_; }

signals:
    // A row arrived (index in the sweep's values).
    void RowAdded(int index);
    // The sweep ended: every variant finished, or stopped and its workers joined.
    void SweepEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void TakeRows();
    void RowFinished(std::size_t index, const cli::VariantRow& row);
    void EndSweep();
    void RebuildChart();
    void SetEditing(bool editing);
    bool ReadFields(cli::SweepSettings& settings);
    bool ChooseOutput(const QString& title, const QString& suffix, QString& path);

    QMdiArea* area_;
    ProjectSaver saver_;
    std::function<int()> units_;
    ProjectValue value_;

    QComboBox* parameter_;
    controls::TDataEdit* from_;
    controls::TDataEdit* to_;
    controls::TDataEdit* steps_;
    controls::TDataEdit* settlement_;
    QPushButton* run_;
    QPushButton* stop_;
    QPushButton* chartButton_;
    QPushButton* csvButton_;
    QPushButton* workbookButton_;
    QProgressBar* progress_;
    QTimer* rowsTimer_;
    QLabel* status_;
    QTableView* table_;
    TSweepRowsModel model_;

    std::unique_ptr<cli::TDesignSweep> sweep_;
    std::string projectPath_;
    std::vector<std::size_t> tableIndices_; // sweep index of each table row, ascending
    std::vector<cli::VariantRow> rows_;     // by sweep index, as they arrived
    std::size_t arrived_ = 0;
    unsigned generation_ = 0;
    std::mutex pendingMutex_;
    struct PendingRow {
        unsigned generation;
        std::size_t index;
        cli::VariantRow row;
    };
    std::vector<PendingRow> pending_; // finished, not yet shown
    std::size_t pushed_ = 0;          // rows the present sweep has put in the list
    bool running_ = false;

    graphics::TGraphPlot chart_{"pltDesignSweep"};
    QPointer<graphics::TPlotForm> chartForm_;
};

// The caption of a parameter in the window and on the chart ("Pile Length", ...).
QString SweepParameterCaption(cli::SweepParameter parameter);

} // namespace pavrin::app::gui
