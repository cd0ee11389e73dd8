// TTableChartForm: the editor window of a chart table. It is the table editor with, above the
// grid, a line chart of the table's data (or a segment diagram), redrawn after every change; and,
// under the row buttons, the controls that fill the table from a text file or from the clipboard's
// text. What is drawn comes from the table (MakeChartPlot, MakeSegmentDiagram); what is read goes
// through the table's row loader (LoadRowsFromLines).
#pragma once

#include "TableChart.h"
#include "TableForm.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QChart;
class QChartView;
class QCategoryAxis;
class QLineEdit;
class QLineSeries;

namespace pavrin::controls {

// The text of an axis label in one of the chart's number formats ("#,##0.###" or "#.0##E-0"),
// with the user's decimal separator.
QString FormatAxisLabel(long double value, const std::string& format);

// Label values of an axis from `minimum` to `maximum`: round steps of 1, 2 or 5 times a power of
// ten, about five to ten of them.
std::vector<double> AxisTicks(double minimum, double maximum);

// The segment diagram: each row a numbered segment from (X, Y) to (X2, Y2).
class TSegmentDiagram : public QWidget {
    Q_OBJECT
public:
    TSegmentDiagram(std::function<const TGridTableChart*()> table, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<const TGridTableChart*()> table_;
};

class TTableChartForm : public TTableForm {
    Q_OBJECT
public:
    // The most data rows in view under the chart.
    static constexpr int kMaxRowsInViewWithChart = 5;

    explicit TTableChartForm(TGridTableChart& table, QWidget* parent = nullptr);

    TGridTableChart* ChartTable() const;
    // The line chart is shown (show graph without segment diagram) / the segment diagram is.
    bool ChartShown() const;
    bool DiagramShown() const;

    // File and clipboard controls.
    void BtnBrowseClick();
    void BtnEditClick();
    void BtnReadClick();
    void BtnClipClick();

    // Draws the chart from the table (when it is shown).
    void DrawChart();

    // Controls, for tests.
    QChartView* ChartView() const { return chartView_; }
    QLineSeries* Series1() const { return series1_; }
    QLineSeries* Series2() const { return series2_; }
    QCategoryAxis* BottomAxis() const { return bottomAxis_; }
    QCategoryAxis* LeftAxis() const { return leftAxis_; }
    // What the chart shows now.
    const ChartPlot& Plot() const { return plot_; }
    TSegmentDiagram* PaintBox() const { return paintBox_; }
    QLineEdit* FileNameEdit() const { return fileNameEdit_; }
    QPushButton* BrowseButton() const { return btnBrowse_; }
    QPushButton* ViewButton() const { return btnEdit_; }
    QPushButton* ReadButton() const { return btnRead_; }
    QPushButton* PasteButton() const { return btnClip_; }
    QPushButton* OkButton() const { return btnOK_; }
    QPushButton* CancelButton() const { return btnCancel_; }

protected:
    int RowsInViewLimit() const override;
    int GridTop() const override;
    int LayoutBelowButtons(int top, int& right) override;
    void LayoutToWidth(int clientWidth) override;
    void Redraw() override;
    void GridKey(QKeyEvent* event, bool press) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void BuildChart();
    void BuildFileControls();
    void UpdateFileButtons();
    void LoadLines(const std::vector<std::string>& lines);
    int GraphHeight() const;

    QChart* chart_ = nullptr;
    QChartView* chartView_ = nullptr;
    QLineSeries* series1_ = nullptr;
    QLineSeries* series2_ = nullptr;
    QCategoryAxis* bottomAxis_ = nullptr;
    QCategoryAxis* leftAxis_ = nullptr;
    ChartPlot plot_;
    TSegmentDiagram* paintBox_ = nullptr;
    QLabel* fileNameLabel_ = nullptr;
    QLineEdit* fileNameEdit_ = nullptr;
    QPushButton* btnBrowse_ = nullptr;
    QPushButton* btnEdit_ = nullptr;
    QPushButton* btnRead_ = nullptr;
    QPushButton* btnClip_ = nullptr;
    QPushButton* btnOK_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
};

} // namespace pavrin::controls
