// The chart table editor: loading rows from files and the clipboard, the file controls, what the
// chart draws (constant values, label formats, the second series, inverted axes) and when it is
// redrawn, and which parts the table's settings show.
#include "TableChartForm.h"
#include "DecimalSeparator.h"
#include "Declarations.h"
#include "FakeMessageBoxes.h"
#include "TableEditors.h"
#include "TableFormDesktop.h"

#include <QCategoryAxis>
#include <QChartView>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

using namespace pavrin::controls;
using pavrin::controls::testing::FakeMessageBoxes;
using pavrin::controls::testing::ScopedMessageBoxes;

namespace {

const QString kData = QStringLiteral(PAVRIN_TEST_DATA);

class FakeDesktop : public TableFormDesktop {
public:
    QString chosen;
    std::optional<QString> clipboard;
    bool editorStarts = true;
    QStringList edited;

    QString ChooseFile(QWidget*, const QString&, const QString&, const QString&) override { return chosen; }
    std::optional<QString> ClipboardText() override { return clipboard; }
    bool StartTextEditor(const QString& fileName) override {
        edited << fileName;
        return editorStarts;
    }
};

std::unique_ptr<TGridTableChart> ChartTable(const char* name) {
    std::unique_ptr<TGridTable> table = CreateDeclaredTable(name);
    return std::unique_ptr<TGridTableChart>(static_cast<TGridTableChart*>(table.release()));
}

void Fill(TGridTable& table, int column, const std::vector<long double>& values) {
    table.SetRowCount(static_cast<int>(values.size()));
    for (std::size_t r = 0; r < values.size(); ++r)
        table.Column(column).SetFloat(static_cast<int>(r), values[r]);
}

std::vector<long double> Values(const TGridTable& table, int column) {
    std::vector<long double> values;
    for (int r = 0; r < table.RowCount(); ++r)
        values.push_back(table.Float(column, r));
    return values;
}

TTableChartForm* Open(TGridTable& table) {
    if (!table.ShowEditor(false))
        return nullptr;
    auto* form = dynamic_cast<TTableChartForm*>(EditorForm(table));
    if (form == nullptr)
        return nullptr;
    form->activateWindow();
    return QTest::qWaitForWindowActive(form) ? form : nullptr;
}

void Click(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class TableChartFormTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        boxes.shown.clear();
        desktop = FakeDesktop();
        RegisterTableEditors();
    }
    void cleanup() { UnregisterTableEditors(); }

    void readingAFileFillsTheRowsAndDropsTheRest();
    void theFileControlsNeedAFileThatExists();
    void pastingTakesEveryLineOfTheClipboard();
    void constantValuesAreDrawnWithAHeight();
    void largeValuesSwitchTheLabelFormat();
    void threeColumnsDrawASecondSeriesAndEditsRedraw();
    void theGraphSettingsChooseWhatIsShown();

private:
    FakeMessageBoxes boxes;
    ScopedMessageBoxes installedBoxes{boxes};
    FakeDesktop desktop;
    struct Install {
        explicit Install(TableFormDesktop* d) : previous(TableFormDesktop::SetCurrent(d)) {}
        ~Install() { TableFormDesktop::SetCurrent(previous); }
        TableFormDesktop* previous;
    } installedDesktop{&desktop};
};

void TableChartFormTest::readingAFileFillsTheRowsAndDropsTheRest() {
    auto curve = ChartTable("TblPVCurves2");
    Fill(*curve, 0, {99, 99, 99, 99, 99, 99, 99, 99});
    TTableChartForm* form = Open(*curve);
    QVERIFY(form);
    QCOMPARE(form->RowsInView(), 5);
    curve->ResetChanged();

    // A heading, blank-, tab- and comma-separated rows, a blank line and a line of three numbers.
    form->FileNameEdit()->setText(kData + "/tz-curve-mixed.txt");
    QVERIFY(form->ReadButton()->isEnabled());
    Click(form->ReadButton());
    QCOMPARE(Values(*curve, 0), (std::vector<long double>{0, 1.5L, 2.5L, 3, 3.2L}));
    QCOMPARE(Values(*curve, 1), (std::vector<long double>{0, 0.01L, 0.05L, 0.1L, 1}));
    QVERIFY(curve->IsChanged());
    QCOMPARE(form->Grid()->rowCount(), 5);
    QCOMPARE(form->Grid()->item(4, 0)->text(), QString("3.2"));
    QCOMPARE(form->Series1()->count(), 5);
    QCOMPARE(form->Series1()->at(4), QPointF(1, 3.2)); // t drawn against z
    QVERIFY(boxes.shown.isEmpty());

    // One line fills one row; the table keeps its minimum of two.
    form->FileNameEdit()->setText(kData + "/one-row.txt");
    Click(form->ReadButton());
    QCOMPARE(curve->RowCount(), 2);
    QCOMPARE(Values(*curve, 0), (std::vector<long double>{0.5L, 0}));
    QCOMPARE(form->RowsInView(), 2);

    // Nothing usable: the table stays and the user is told.
    form->FileNameEdit()->setText(kData + "/no-values.txt");
    Click(form->ReadButton());
    QCOMPARE(Values(*curve, 0), (std::vector<long double>{0.5L, 0}));
    QCOMPARE(boxes.Texts(), QStringList({"No values were read: no line holds exactly 2 numbers."}));
}

void TableChartFormTest::theFileControlsNeedAFileThatExists() {
    auto curve = ChartTable("TblQwcurve2");
    TTableChartForm* form = Open(*curve);
    QVERIFY(form);
    QVERIFY(!form->ReadButton()->isEnabled());
    QVERIFY(!form->ViewButton()->isEnabled());

    desktop.chosen = kData + "/one-row.txt";
    Click(form->BrowseButton());
    QCOMPARE(form->FileNameEdit()->text(), desktop.chosen);
    QVERIFY(form->ReadButton()->isEnabled());
    QVERIFY(form->ViewButton()->isEnabled());
    Click(form->ViewButton());
    QCOMPARE(desktop.edited, QStringList({desktop.chosen}));
    desktop.editorStarts = false;
    Click(form->ViewButton());
    QCOMPARE(boxes.Texts(), QStringList({"An error occurred in running the Word Processor"}));

    desktop.chosen.clear(); // cancelled: the name stays
    Click(form->BrowseButton());
    QCOMPARE(form->FileNameEdit()->text(), kData + "/one-row.txt");
    form->FileNameEdit()->setText(kData + "/missing.txt");
    QVERIFY(!form->ReadButton()->isEnabled());
    form->FileNameEdit()->setText(kData);
    QVERIFY(!form->ReadButton()->isEnabled()); // a folder is not a file

    // A file that went away after it was chosen: the reader's message, the rows untouched.
    Fill(*curve, 0, {1, 2});
    QTemporaryDir folder;
    const QString path = folder.filePath("curve.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("0.5 0.02\n");
    file.close();
    form->FileNameEdit()->setText(path);
    QVERIFY(form->ReadButton()->isEnabled());
    QVERIFY(QFile::remove(path));
    Click(form->ReadButton());
    QCOMPARE(boxes.shown.size(), 2);
    QVERIFY(boxes.LastText().contains("curve.txt"));
    QCOMPARE(Values(*curve, 0), (std::vector<long double>{1, 2}));
}

// Every line is taken, also the last one without a line break (which a paste must not lose).
void TableChartFormTest::pastingTakesEveryLineOfTheClipboard() {
    auto curve = ChartTable("TblPVCurves2");
    Fill(*curve, 0, {9, 9, 9, 9});
    TTableChartForm* form = Open(*curve);
    QVERIFY(form);
    for (const QString& text : {QString("1 2\r\n3 4\r\n"), QString("1 2\r\n3 4\r"), QString("1 2\r\n3 4")}) {
        Fill(*curve, 0, {9, 9, 9, 9});
        desktop.clipboard = text;
        Click(form->PasteButton());
        QCOMPARE(Values(*curve, 0), (std::vector<long double>{1, 3}));
        QCOMPARE(Values(*curve, 1), (std::vector<long double>{2, 4}));
        QCOMPARE(form->Grid()->rowCount(), 2);
    }
    QVERIFY(boxes.shown.isEmpty());

    desktop.clipboard.reset();
    Click(form->PasteButton());
    QCOMPARE(boxes.Texts(), QStringList({"There is no text on the Clipboard"}));
    QCOMPARE(curve->RowCount(), 2);
}

void TableChartFormTest::constantValuesAreDrawnWithAHeight() {
    auto settlement = ChartTable("TblSettlement2");
    Fill(*settlement, 0, {0, 120, 240});
    for (int r = 0; r < 3; ++r)
        settlement->Column(1).SetFloat(r, 5);
    TTableChartForm* form = Open(*settlement);
    QVERIFY(form);
    QCOMPARE(form->Series1()->count(), 3);
    QCOMPARE(form->Series1()->at(1).y(), 5.005);
    QCOMPARE(form->Series1()->at(2).y(), 5.0);
    QCOMPARE(form->LeftAxis()->min(), 4.5);
    QCOMPARE(form->LeftAxis()->max(), 5.5);
    QCOMPARE(form->BottomAxis()->min(), 0.0);
    QCOMPARE(form->BottomAxis()->max(), 240.0);
    QCOMPARE(form->LeftAxis()->titleText(), QString("Settlement, (in)"));
    QVERIFY(!form->Series2()->isVisible());
    QVERIFY(!form->ChartView()->chart()->legend()->isVisible());

    // Once the values differ, the axis follows them again.
    settlement->Column(1).SetFloat(2, 1);
    QCOMPARE(form->Series1()->at(1).y(), 5.0);
    QCOMPARE(form->LeftAxis()->min(), 1.0);
    QCOMPARE(form->LeftAxis()->max(), 5.0);
}

void TableChartFormTest::largeValuesSwitchTheLabelFormat() {
    auto stiffness = ChartTable("TblAE2");
    Fill(*stiffness, 0, {0, 600});
    stiffness->Column(1).SetFloat(0, 50000);
    stiffness->Column(1).SetFloat(1, 250000);
    TTableChartForm* form = Open(*stiffness);
    QVERIFY(form);
    const QStringList left = form->LeftAxis()->categoriesLabels();
    QVERIFY(!left.isEmpty());
    for (const QString& label : left)
        QVERIFY2(QRegularExpression("^\\d\\.\\d{1,3}E\\d+$").match(label).hasMatch(), qPrintable(label));
    QVERIFY(left.contains("2.5E5"));
    QVERIFY(form->BottomAxis()->categoriesLabels().contains("600"));

    stiffness->Column(1).SetFloat(1, 90000);
    QVERIFY(form->LeftAxis()->categoriesLabels().contains("90,000"));

    // The two formats themselves.
    QCOMPARE(FormatAxisLabel(1234.5L, chart_message::kPlainFormat), QString("1,234.5"));
    QCOMPARE(FormatAxisLabel(-1234567.0L, chart_message::kPlainFormat), QString("-1,234,567"));
    QCOMPARE(FormatAxisLabel(0.12345L, chart_message::kPlainFormat), QString("0.123"));
    QCOMPARE(FormatAxisLabel(-0.0004L, chart_message::kPlainFormat), QString("0"));
    QCOMPARE(FormatAxisLabel(250000, chart_message::kScientificFormat), QString("2.5E5"));
    QCOMPARE(FormatAxisLabel(0.0005L, chart_message::kScientificFormat), QString("5.0E-4"));
    QCOMPARE(FormatAxisLabel(-1.23456L, chart_message::kScientificFormat), QString("-1.235E0"));
    QCOMPARE(FormatAxisLabel(9.9996L, chart_message::kScientificFormat), QString("1.0E1"));
    DecimalSeparatorScope comma(',');
    QCOMPARE(FormatAxisLabel(1234.5L, chart_message::kPlainFormat), QString("1.234,5"));
    QCOMPARE(FormatAxisLabel(250000, chart_message::kScientificFormat), QString("2,5E5"));
}

void TableChartFormTest::threeColumnsDrawASecondSeriesAndEditsRedraw() {
    auto factors = ChartTable("TblPVFactors2");
    factors->SetInvertedYAxis(true);
    Fill(*factors, 0, {0, 240, 480});
    for (int r = 0; r < 3; ++r) {
        factors->Column(1).SetFloat(r, 1);
        factors->Column(2).SetFloat(r, 1 + r * 0.1L);
    }
    TTableChartForm* form = Open(*factors);
    QVERIFY(form);
    QVERIFY(form->Series2()->isVisible());
    QCOMPARE(form->Series2()->count(), 3);
    QCOMPARE(form->Series2()->at(2).y(), 1.2);
    QVERIFY(form->ChartView()->chart()->legend()->isVisible());
    QCOMPARE(form->Series1()->name(), QString("t-Multiplier"));
    QCOMPARE(form->Series2()->name(), QString("z-Multiplier"));
    QVERIFY(form->LeftAxis()->isReverse());
    QVERIFY(!form->BottomAxis()->isReverse());

    // An entry committed with Enter is drawn at once.
    QVERIFY(form->MoveTo(1, 1));
    QLineEdit* editor = form->Grid()->CellEditor();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "0.5");
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(form->Series1()->at(1).y(), 0.5);

    // With the chart, five rows are in view at most; a row added is drawn.
    for (int i = 0; i < 3; ++i)
        Click(form->AddButton());
    QCOMPARE(factors->RowCount(), 6);
    QCOMPARE(form->RowsInView(), 5);
    QCOMPARE(form->Series1()->count(), 6);
    QCOMPARE(form->Grid()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(form->Grid()->geometry().top() > form->ChartView()->geometry().bottom());
}

void TableChartFormTest::theGraphSettingsChooseWhatIsShown() {
    // No graph and no file controls: the soil layers; ten rows in view.
    auto clay = ChartTable("tblDataClay2");
    auto sand = ChartTable("tblDataSand2");
    auto layers = ChartTable("D2");
    layers->SetRowCount(12);
    TTableChartForm* form = Open(*layers);
    QVERIFY(form);
    QVERIFY(form->ChartView()->isHidden());
    QVERIFY(form->PaintBox()->isHidden());
    QVERIFY(form->FileNameEdit()->isHidden());
    QVERIFY(form->PasteButton()->isHidden());
    QVERIFY(form->OkButton()->isHidden());
    QCOMPARE(form->RowsInView(), 10);
    QCOMPARE(form->Grid()->geometry().top(), form->Margin());

    // A segment diagram instead of the chart, with OK and Cancel.
    auto segments = ChartTable("TblPVFactors2");
    GraphSettings graph = segments->Graph();
    graph.segmentDiagram = true;
    graph.x2Column = 0;
    graph.y2Column = 2;
    segments->SetGraph(graph);
    segments->SetOKCancelButtons(true);
    Fill(*segments, 0, {0, 1, 2});
    for (int r = 0; r < 3; ++r)
        segments->Column(2).SetFloat(r, r * 2);
    TTableChartForm* diagram = Open(*segments);
    QVERIFY(diagram);
    QVERIFY(diagram->ChartView()->isHidden());
    QVERIFY(diagram->PaintBox()->isVisible());
    QVERIFY(!diagram->OkButton()->isHidden());
    QCOMPARE(diagram->RowsInView(), 3);
    QVERIFY(!diagram->PaintBox()->grab().isNull());

    // Cancel drops the entry being typed; the window closes.
    QVERIFY(diagram->MoveTo(0, 1));
    diagram->Grid()->CellEditor()->setText("7");
    Click(diagram->CancelButton());
    QVERIFY(!segments->EditorOpen());
    QCOMPARE(segments->Float(1, 0), 0.0L);
}

QTEST_MAIN(TableChartFormTest)
#include "TableChartFormTest.moc"
