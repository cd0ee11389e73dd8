// TfrmResultsSummary, "Results Summary": the down-drag figures of every solution of the last run,
// one table for the tip-movement pass and one for the head-load pass, with the columns and numbers of
// `pavrin-cli summary --csv`. Filled from the in-memory analysis of the saved project (never from the
// report); Ctrl+A selects a table's rows, Ctrl+C copies the selected rows as tab-separated text with
// a header row, and "Export CSV..." writes what `--csv` writes.
#pragma once

#include <QString>
#include <QWidget>

#include <string>

class QLabel;
class QPushButton;
class QTableWidget;

namespace pavrin::engine {
struct AnalysisResults;
}

namespace pavrin::app::gui {

class TfrmResultsSummary : public QWidget {
    Q_OBJECT
public:
    explicit TfrmResultsSummary(QWidget* parent = nullptr);

    // The figures of `results`, the analysis of the project saved at `projectPath`.
    void ShowResults(const engine::AnalysisResults& results, const std::string& projectPath);
    // No figures: both tables emptied, `reason` said instead.
    void ShowNoResults(const QString& reason);

    // The selected rows of `table` (every row touched by the selection) as tab-separated lines under
    // the table's header row; empty when nothing is selected.
    QString SelectedRowsText(const QTableWidget& table) const;
    // Copy: the selected rows of the table that has the focus (else the tip-movement table).
    void CopySelection();
    void ExportCsvClick();

    QTableWidget* TipTable() const { return tipTable_; }
    QTableWidget* HeadTable() const { return headTable_; }
    QLabel* Message() const { return message_; }
    QPushButton* ExportButton() const { return export_; }
    // The CSV text "Export CSV..." writes; empty without results.
    const std::string& Csv() const { return csv_; }
    // Wide enough for every column of the tables.
    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* message_;
    QLabel* tipCaption_;
    QLabel* headCaption_;
    QTableWidget* tipTable_;
    QTableWidget* headTable_;
    QPushButton* export_;
    std::string csv_;
    std::string projectPath_;
};

} // namespace pavrin::app::gui
