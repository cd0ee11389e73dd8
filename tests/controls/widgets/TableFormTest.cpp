// The table editor window: commits with the evaluator's results and messages, Enter navigation,
// row buttons and row groups, rows in view, header rows, row controls over their cells, and the
// commit on deactivation and close.
#include "TableForm.h"
#include "ColumnStream.h"
#include "Declarations.h"
#include "Evaluator.h"
#include "FakeMessageBoxes.h"
#include "TableEditors.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>
#include <QtTest>

#include <memory>
#include <string>

using namespace pavrin::controls;
using pavrin::controls::testing::FakeMessageBoxes;
using pavrin::controls::testing::ScopedMessageBoxes;

namespace {

std::string FloatColumn(const std::string& heading) {
    return "2 ('" + heading + "') True False False 'FLOATCOLUMN2' '' 0.0 ";
}

// A plain table with the given float columns.
std::unique_ptr<TGridTable> PlainTable(const std::vector<std::string>& headings, int minRows, int maxRows) {
    auto table = std::make_unique<TGridTable>();
    table->SetCaption("Test Table");
    table->SetMinRows(minRows);
    table->SetMaxRows(maxRows);
    std::string text = std::to_string(headings.size()) + " ";
    for (const std::string& heading : headings)
        text += FloatColumn(heading);
    ValueReader reader(ParseStreamText(text));
    table->ReadCol(reader);
    return table;
}

// The layer-data templates as the main window has them, and the soil layers that copy them.
struct SoilTables {
    SoilTables()
        : sand(CreateDeclaredTable("tblDataSand2")), clay(CreateDeclaredTable("tblDataClay2")),
          layers(CreateDeclaredTable("D2")) {
        sand->Column(1).SetVisible(false);
        sand->Column(2).SetVisible(false);
        clay->Column(3).SetVisible(false);
        clay->Column(4).SetVisible(false);
    }
    std::unique_ptr<TGridTable> sand, clay, layers;
};

TTableForm* Open(TGridTable& table) {
    if (!table.ShowEditor(false))
        return nullptr;
    TTableForm* form = EditorForm(table);
    form->window()->activateWindow();
    if (!QTest::qWaitForWindowActive(form->window()))
        return nullptr;
    form->Grid()->setFocus();
    return form;
}

// Types into the open editor of the current cell, replacing its text.
bool Type(TTableForm* form, const QString& text) {
    form->Grid()->setFocus();
    QLineEdit* editor = form->Grid()->CellEditor();
    if (editor == nullptr)
        return false;
    editor->selectAll();
    QTest::keyClicks(editor, text);
    return true;
}

void Press(TTableForm* form, Qt::Key key) {
    QWidget* target = form->Grid()->CellEditor() != nullptr
                          ? static_cast<QWidget*>(form->Grid()->CellEditor())
                          : form->Grid();
    QTest::keyClick(target, key);
}

void ClickCell(TTableForm* form, int row, int column) {
    TTableGrid* grid = form->Grid();
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

bool FocusInGrid(TTableForm* form) {
    QWidget* focus = QApplication::focusWidget();
    return focus == form->Grid() || form->Grid()->isAncestorOf(focus);
}

QString Cell(TTableForm* form, int row, int column) {
    const QTableWidgetItem* item = form->Grid()->item(row, column);
    return item != nullptr ? item->text() : QString();
}

} // namespace

class TableFormTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        boxes.shown.clear();
        RegisterTableEditors();
    }
    void cleanup() { UnregisterTableEditors(); }

    void enterCommitsTheFormattedValueAndMovesDown();
    void aRefusedEntryKeepsTheCellAndTheFocus();
    void rowButtonsFollowTheRowLimits();
    void rowGroupsShareANumberAndMoveTogether();
    void tenRowsAreInViewWithTheScrollBarCounted();
    void aHorizontalScrollSizesTheGridForItsColumns();
    void headingLinesMakeHeaderRows();
    void changingTheSoilTypeKeepsTheSharedValues();
    void theWheelOverADropDownScrollsTheGrid();
    void rowButtonsActOnTheRowTheUserChose();
    void tabReachesEveryCellAndRowControlInReadingOrder();
    void leavingTheWindowCommits();
    void aModalEditorReturnsWhenClosed();

private:
    FakeMessageBoxes boxes;
    ScopedMessageBoxes installed{boxes};
};

void TableFormTest::enterCommitsTheFormattedValueAndMovesDown() {
    auto table = PlainTable({"Depth", "Load"}, 2, 10);
    TTableForm* form = Open(*table);
    QVERIFY(form);
    QCOMPARE(table->RowCount(), 2); // raised to MinRows when shown
    QCOMPARE(form->Grid()->currentRow(), 0);
    QCOMPARE(form->Grid()->currentColumn(), 0);

    QVERIFY(Type(form, "2*3"));
    QCOMPARE(form->Grid()->CellEditor()->text(), QString("2*3")); // not yet committed
    QCOMPARE(table->Float(0, 0), 0.0L);
    Press(form, Qt::Key_Return);
    QCOMPARE(table->Float(0, 0), 6.0L);
    QCOMPARE(Cell(form, 0, 0), QString("6"));
    QCOMPARE(form->Grid()->currentRow(), 1);
    QVERIFY(table->IsChanged());

    // From the last row to the first row of the next column, and from the last column back.
    QVERIFY(Type(form, "1/3"));
    Press(form, Qt::Key_Return);
    QCOMPARE(Cell(form, 1, 0), QString("0.33333333"));
    QCOMPARE(form->Grid()->currentRow(), 0);
    QCOMPARE(form->Grid()->currentColumn(), 1);
    Press(form, Qt::Key_Return);
    Press(form, Qt::Key_Return);
    QCOMPARE(form->Grid()->currentRow(), 0);
    QCOMPARE(form->Grid()->currentColumn(), 0);

    // A cell passed through without an edit keeps its full value (not the 8 digits shown).
    table->Column(1).SetFloat(0, 1.0L / 7);
    QVERIFY(form->MoveTo(0, 1));
    QVERIFY(form->MoveTo(1, 1));
    QCOMPARE(table->Float(1, 0), 1.0L / 7);
    QVERIFY(boxes.shown.isEmpty());

    // With one row and one column there is nowhere to move, but Enter still commits.
    auto loads = PlainTable({"Load"}, 1, 10);
    TTableForm* one = Open(*loads);
    QVERIFY(one);
    QVERIFY(Type(one, "2*3"));
    Press(one, Qt::Key_Return);
    QCOMPARE(loads->Float(0, 0), 6.0L);
    QCOMPARE(Cell(one, 0, 0), QString("6"));
    QVERIFY(Type(one, "abc"));
    Press(one, Qt::Key_Return);
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(boxes.LastText().contains(evaluator_reason::kInvalidCharacters));
    QCOMPARE(loads->Float(0, 0), 6.0L);
}

void TableFormTest::aRefusedEntryKeepsTheCellAndTheFocus() {
    auto table = PlainTable({"Depth"}, 3, 10);
    TTableForm* form = Open(*table);
    QVERIFY(form);
    table->Column(0).SetFloat(0, 12);

    QVERIFY(Type(form, "abc"));
    ClickCell(form, 2, 0);
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(boxes.LastText().contains(evaluator_reason::kInvalidCharacters));
    QCOMPARE(boxes.shown.back().icon, MessageBoxes::Icon::Error);
    QCOMPARE(form->Grid()->currentRow(), 0);
    QCOMPARE(Cell(form, 0, 0), QString("abc"));
    QCOMPARE(table->Float(0, 0), 12.0L);
    QVERIFY(FocusInGrid(form));
    QVERIFY(form->Grid()->CellEditor() != nullptr);

    // Keys and Enter are refused in the same way; an arithmetic fault is a refused entry too.
    Press(form, Qt::Key_Down);
    Press(form, Qt::Key_Return);
    QCOMPARE(boxes.shown.size(), 3);
    QCOMPARE(form->Grid()->currentRow(), 0);
    QVERIFY(Type(form, "1/0"));
    Press(form, Qt::Key_Return);
    QCOMPARE(boxes.shown.size(), 4);
    QCOMPARE(form->Grid()->currentRow(), 0);

    // Escape brings back the table's value; a good entry moves on.
    Press(form, Qt::Key_Escape);
    QCOMPARE(form->Grid()->CellEditor()->text(), QString("12"));
    QVERIFY(Type(form, "4"));
    ClickCell(form, 2, 0);
    QCOMPARE(form->Grid()->currentRow(), 2);
    QCOMPARE(table->Float(0, 0), 4.0L);
    QCOMPARE(boxes.shown.size(), 4);
}

void TableFormTest::rowButtonsFollowTheRowLimits() {
    auto table = PlainTable({"Load"}, 1, 3);
    TTableForm* form = Open(*table);
    QVERIFY(form);
    QVERIFY(!form->AddButton()->isHidden());
    QVERIFY(form->AddButton()->isEnabled());
    QVERIFY(form->InsertButton()->isEnabled());
    QVERIFY(!form->DeleteButton()->isEnabled()); // at MinRows

    QTest::mouseClick(form->AddButton(), Qt::LeftButton);
    QCOMPARE(table->RowCount(), 2);
    QVERIFY(form->DeleteButton()->isEnabled());
    table->Column(0).SetFloat(0, 1);
    table->Column(0).SetFloat(1, 2);

    // Insert goes before the current row; at MaxRows adding and inserting stop.
    QVERIFY(form->MoveTo(1, 0));
    QTest::mouseClick(form->InsertButton(), Qt::LeftButton);
    QCOMPARE(table->RowCount(), 3);
    QCOMPARE(table->Float(0, 1), 0.0L);
    QCOMPARE(table->Float(0, 2), 2.0L);
    QCOMPARE(Cell(form, 2, 0), QString("2"));
    QVERIFY(!form->AddButton()->isEnabled());
    QVERIFY(!form->InsertButton()->isEnabled());

    QVERIFY(form->MoveTo(0, 0));
    QTest::mouseClick(form->DeleteButton(), Qt::LeftButton);
    QCOMPARE(table->RowCount(), 2);
    QCOMPARE(table->Float(0, 0), 0.0L);
    QVERIFY(form->AddButton()->isEnabled());

    // Without a current row, insert and delete say so.
    form->Grid()->setCurrentIndex(QModelIndex());
    form->BtnInsClick();
    form->BtnDelClick();
    QCOMPARE(boxes.Texts(), QStringList({"Grid.Row not in valid range", "Grid.Row not in valid range"}));
    QCOMPARE(table->RowCount(), 2);

    // A bad entry in the current cell stops the button: nothing is added.
    QVERIFY(form->MoveTo(1, 0));
    QVERIFY(Type(form, "2+"));
    QTest::mouseClick(form->AddButton(), Qt::LeftButton);
    QCOMPARE(table->RowCount(), 2);
    QCOMPARE(boxes.shown.size(), 3);
    Press(form, Qt::Key_Escape);

    // Tables with a fixed row count (the layer data) have no row buttons.
    SoilTables soil;
    soil.clay->SetRowCount(2);
    TTableForm* layerForm = Open(*soil.clay);
    QVERIFY(layerForm);
    QVERIFY(layerForm->AddButton()->isHidden());
    QVERIFY(layerForm->InsertButton()->isHidden());
    QVERIFY(layerForm->DeleteButton()->isHidden());
}

void TableFormTest::rowGroupsShareANumberAndMoveTogether() {
    auto table = PlainTable({"Value"}, 2, 20);
    table->SetRowGroup(2);
    TTableForm* form = Open(*table);
    QVERIFY(form);
    QTest::mouseClick(form->AddButton(), Qt::LeftButton);
    QCOMPARE(table->RowCount(), 4);
    QStringList numbers;
    for (int r = 0; r < 4; ++r)
        numbers << form->Grid()->verticalHeaderItem(r)->text();
    QCOMPARE(numbers, QStringList({"1", "1", "2", "2"}));
    QCOMPARE(form->RowsInView(), 4);

    for (int r = 0; r < 4; ++r)
        table->Column(0).SetFloat(r, r + 1);
    QVERIFY(form->MoveTo(3, 0));
    QTest::mouseClick(form->DeleteButton(), Qt::LeftButton);
    QCOMPARE(table->RowCount(), 2);
    QCOMPARE(table->Float(0, 1), 2.0L);
    QVERIFY(form->MoveTo(1, 0));
    QTest::mouseClick(form->InsertButton(), Qt::LeftButton);
    QCOMPARE(table->RowCount(), 4);
    QCOMPARE(table->Float(0, 2), 1.0L); // the new group went in before the group of row 1
}

void TableFormTest::tenRowsAreInViewWithTheScrollBarCounted() {
    auto table = CreateDeclaredTable("TblTipMove");
    table->SetRowCount(12);
    TTableForm* form = Open(*table);
    QVERIFY(form);
    TTableGrid* grid = form->Grid();
    QCOMPARE(form->RowsInView(), 10);
    QCOMPARE(grid->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // Whole rows and the whole column are in view beside the scroll bar.
    QCOMPARE(grid->viewport()->height(), 10 * grid->rowHeight(0));
    QCOMPARE(grid->viewport()->width(), grid->columnWidth(0));
    QCOMPARE(grid->rowAt(grid->viewport()->height() - 1), 9);
    // The window holds the grid and the buttons with a margin.
    const int m = form->Margin();
    QCOMPARE(form->width(),
             std::max(grid->geometry().right(), form->DeleteButton()->geometry().right()) + 1 + m);
    QCOMPARE(form->height(), form->DeleteButton()->geometry().bottom() + 1 + m);

    // Sized by the user, the window keeps whole rows in view.
    const int rowHeight = grid->rowHeight(0);
    form->resize(form->width(), form->height() - 3 * rowHeight - rowHeight / 2);
    QTRY_COMPARE(form->RowsInView(), 6);
    QCOMPARE(grid->viewport()->height(), 6 * rowHeight);
    form->resize(form->width(), form->height() + 10 * rowHeight);
    QTRY_COMPARE(form->RowsInView(), 12);
    QCOMPARE(grid->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    // A short table shows all its rows; adding grows the view up to ten rows.
    auto loads = CreateDeclaredTable("TblTopload");
    loads->SetRowCount(8);
    TTableForm* loadForm = Open(*loads);
    QVERIFY(loadForm);
    QCOMPARE(loadForm->RowsInView(), 8);
    QCOMPARE(loadForm->Grid()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(loadForm->AddButton(), Qt::LeftButton);
    QCOMPARE(loads->RowCount(), 11);
    QCOMPARE(loadForm->RowsInView(), 10);
    // The new last row was scrolled into view.
    QCOMPARE(loadForm->Grid()->rowAt(loadForm->Grid()->viewport()->height() - 1), 10);
    QVERIFY(loadForm->CommentsLabel()->isVisible() == !loads->Comments().empty());
}

void TableFormTest::aHorizontalScrollSizesTheGridForItsColumns() {
    auto table = PlainTable({"A", "B", "A heading that makes a wide column"}, 2, 10);
    TTableForm* form = Open(*table);
    QVERIFY(form);
    TTableGrid* grid = form->Grid();
    const int wide = grid->columnWidth(2);
    QVERIFY(wide > grid->columnWidth(0) + grid->columnWidth(1));

    // Sized by the user to the two narrow columns, then scrolled by one column.
    const int frame = 2 * grid->frameWidth() + grid->verticalHeader()->width();
    form->resize(2 * form->Margin() + frame + grid->columnWidth(0) + grid->columnWidth(1) + 5,
                 form->height() + grid->horizontalScrollBar()->sizeHint().height());
    QTRY_COMPARE(form->ColumnsInView(), 2);
    QCOMPARE(grid->viewport()->width(), grid->columnWidth(0) + grid->columnWidth(1));
    grid->horizontalScrollBar()->setValue(1);
    QTRY_COMPARE(grid->viewport()->width(), grid->columnWidth(1) + wide);
    QCOMPARE(grid->columnViewportPosition(2) + wide, grid->viewport()->width()); // not cut off
    QVERIFY(form->width() >= grid->geometry().right() + 1 + form->Margin());
}

void TableFormTest::headingLinesMakeHeaderRows() {
    SoilTables soil;
    soil.clay->SetRowCount(2);
    soil.clay->SetComments("Enter data for the top and the bottom of each layer. \rLinear interpretation");
    TTableForm* form = Open(*soil.clay);
    QVERIFY(form);
    TTableGrid* grid = form->Grid();
    QCOMPARE(form->HeaderRows(), 2);
    QCOMPARE(grid->columnCount(), 5); // friction angle and blow counts hidden for clays
    QCOMPARE(grid->horizontalHeaderItem(0)->text().split('\n'),
             QStringList({"Effective Unit ", QString::fromStdString(soil.clay->Column(0).HeadingLine(1))}));
    QCOMPARE(grid->horizontalHeaderItem(2)->text(), QString("e50\n")); // one line under two
    QCOMPARE(grid->horizontalHeader()->height(), 2 * grid->rowHeight(0));
    QCOMPARE(grid->TopLeftText(), QString("Location, 1=Top, 2=Bottom"));
    QCOMPARE(grid->verticalHeader()->minimumWidth(),
             std::max(grid->verticalHeader()->fontMetrics().horizontalAdvance("Location, 1=Top, 2=Bottom  "),
                      form->logicalDpiX() / 3));
    QCOMPARE(form->windowTitle(), QString("Clay Layer Data "));
    QVERIFY(form->CommentsLabel()->isVisible());
    QCOMPARE(form->CommentsLabel()->text(),
             QString("Enter data for the top and the bottom of each layer. \nLinear interpretation"));
    QVERIFY(form->CommentsLabel()->geometry().top() > grid->geometry().bottom());

    // A help picture goes under the comments and the window grows to hold it.
    QImage picture(120, 40, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    picture.save(&buffer, "PNG");
    const int heightBefore = form->sizeHint().height();
    soil.clay->SetHelpPicture(png.toStdString());
    QVERIFY(form->HelpImage()->isVisible());
    QCOMPARE(form->HelpImage()->size(), QSize(120, 40));
    QCOMPARE(form->HelpImage()->geometry().top(),
             form->CommentsLabel()->geometry().bottom() + 1 + form->Margin());
    QCOMPARE(form->sizeHint().height(), heightBefore + 40 + form->Margin());
}

void TableFormTest::changingTheSoilTypeKeepsTheSharedValues() {
    SoilTables soil;
    TGridTable& layers = *soil.layers;
    layers.SetRowCount(3);
    layers.Column(0).SetInteger(0, 5); // "Driven Pile in Clay (API)"
    layers.Column(0).SetInteger(1, 6);
    layers.Column(0).SetInteger(2, 1);
    TGridTable* clay = layers.Column(2).GetTable(0);
    clay->Column(0).SetFloat(0, 0.03L); // unit weight
    clay->Column(1).SetFloat(0, 4);     // undrained shear strength: the sand has none to show
    clay->Column(5).SetFloat(1, 2.5L);  // side friction
    TTableForm* form = Open(layers);
    QVERIFY(form);

    auto* combo = qobject_cast<QComboBox*>(form->RowControl(0, 0));
    QVERIFY(combo);
    QCOMPARE(combo->currentIndex(), 4);
    QCOMPARE(combo->currentText(), QString("Driven Pile in Clay (API)"));
    emit combo->activated(5); // the user picks "Driven Pile in Sand (API)"
    QCOMPARE(layers.Integer(0, 0), 6);
    TGridTable* sand = layers.Column(2).GetTable(0);
    QCOMPARE(QString::fromStdString(sand->Caption()), QString("Sand Layer Data"));
    QCOMPARE(sand->Float(0, 0), 0.03L);
    QCOMPARE(sand->Float(5, 1), 2.5L);
    auto* button = qobject_cast<QPushButton*>(form->RowControl(0, 2));
    QVERIFY(button);
    QCOMPARE(button->text(), QString("1: Sand Layer Data"));
    QVERIFY(layers.IsChanged());
    // Row controls sit over their cells, which the cursor cannot enter.
    const QRect cell = form->Grid()->visualRect(form->Grid()->model()->index(0, 2));
    QTRY_VERIFY(button->isVisible() && button->geometry().contains(cell.center()));
    QVERIFY(!form->MoveTo(1, 2));

    // A row's button opens its layer data, captioned with the row path.
    auto* third = qobject_cast<QPushButton*>(form->RowControl(2, 2));
    QTest::mouseClick(third, Qt::LeftButton);
    TGridTable* layer3 = layers.Column(2).GetTable(2);
    QVERIFY(layer3->EditorOpen());
    QCOMPARE(EditorForm(*layer3)->windowTitle(), QString("Clay Layer Data  3"));
    QCOMPARE(form->Grid()->currentRow(), 2);

    // Closing the soil layers closes the layer editors opened from them.
    form->close();
    QVERIFY(!layers.EditorOpen());
    QVERIFY(!layer3->EditorOpen());
    QVERIFY(boxes.shown.isEmpty());
}

void TableFormTest::theWheelOverADropDownScrollsTheGrid() {
    SoilTables soil;
    TGridTable& layers = *soil.layers;
    layers.SetRowCount(12);
    for (int r = 0; r < 12; ++r)
        layers.Column(0).SetInteger(r, 1);
    TTableForm* form = Open(layers);
    QVERIFY(form);
    auto* combo = qobject_cast<QComboBox*>(form->RowControl(1, 0));
    QVERIFY(combo);
    QVERIFY(!combo->hasFocus());

    const QPointF inside(combo->width() / 2.0, combo->height() / 2.0);
    QWheelEvent wheel(inside, combo->mapToGlobal(inside), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel); // as from the mouse: an ignored wheel goes on to the parent
    qApp->notify(combo, &wheel);
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(layers.Integer(0, 1), 1);
    QCOMPARE(QString::fromStdString(layers.Column(2).GetTable(1)->Caption()), QString("Clay Layer Data"));
    QVERIFY(!layers.IsChanged());
    QVERIFY(form->Grid()->verticalScrollBar()->value() > 0); // the grid scrolled instead
}

// Entering a row's drop-down makes its cell current; Delete leaves the cursor where the deleted
// row was, so a second Delete takes the next row up, not the first row.
void TableFormTest::rowButtonsActOnTheRowTheUserChose() {
    auto table = PlainTable({"Value"}, 1, 10);
    table->SetRowCount(4);
    for (int r = 0; r < 4; ++r)
        table->Column(0).SetFloat(r, r + 1);
    TTableForm* plain = Open(*table);
    QVERIFY(plain);
    QVERIFY(plain->MoveTo(3, 0));
    QVERIFY(plain->Grid()->CellEditor() != nullptr);
    QTest::mouseClick(plain->DeleteButton(), Qt::LeftButton);
    QCOMPARE(plain->Grid()->currentRow(), 2);
    QTest::mouseClick(plain->DeleteButton(), Qt::LeftButton);
    QCOMPARE(table->RowCount(), 2);
    QCOMPARE(table->Float(0, 0), 1.0L);
    QCOMPARE(table->Float(0, 1), 2.0L);
    QCOMPARE(plain->Grid()->currentRow(), 1);

    SoilTables soil;
    TGridTable& layers = *soil.layers;
    layers.SetRowCount(3);
    for (int r = 0; r < 3; ++r)
        layers.Column(0).SetInteger(r, r + 1);
    TTableForm* form = Open(layers);
    QVERIFY(form);
    QCOMPARE(form->Grid()->currentRow(), 0);

    QWidget* third = form->RowControl(2, 0);
    third->setFocus(Qt::TabFocusReason);
    QCOMPARE(form->Grid()->currentRow(), 2);
    QCOMPARE(form->Grid()->currentColumn(), 0);
    QTest::mouseClick(form->InsertButton(), Qt::LeftButton);
    QCOMPARE(layers.RowCount(), 4);
    QCOMPARE(layers.Integer(0, 1), 2);
    QCOMPARE(layers.Integer(0, 3), 3); // the new layer went in before the third

    QTest::mousePress(form->RowControl(1, 0), Qt::LeftButton); // a click enters it as well
    qobject_cast<QComboBox*>(form->RowControl(1, 0))->hidePopup();
    QCOMPARE(form->Grid()->currentRow(), 1);

    // A refused entry keeps the cursor in its cell.
    QVERIFY(form->MoveTo(0, 1));
    QVERIFY(Type(form, "abc"));
    form->RowControl(3, 0)->setFocus(Qt::TabFocusReason);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(form->Grid()->currentRow(), 0);
    Press(form, Qt::Key_Escape);
}

// Tab from the cell editor and from the row controls walks every cell of every row, drop-downs
// and layer buttons included, and Shift+Tab walks back; a refused entry stops the walk.
void TableFormTest::tabReachesEveryCellAndRowControlInReadingOrder() {
    SoilTables soil;
    TGridTable& layers = *soil.layers;
    layers.SetRowCount(3);
    for (int r = 0; r < 3; ++r)
        layers.Column(0).SetInteger(r, 1);
    TTableForm* form = Open(layers);
    QVERIFY(form);
    const int columns = layers.VisibleColumnCount();
    QVERIFY(columns >= 3);
    auto focusedCell = [&] {
        const QModelIndex current = form->Grid()->currentIndex();
        QWidget* control = form->RowControl(current.row(), current.column());
        const bool focused = control != nullptr ? control->hasFocus()
                                                : form->Grid()->CellEditor() != nullptr &&
                                                      form->Grid()->CellEditor()->hasFocus();
        return focused ? current.row() * columns + current.column() : -1;
    };
    auto tab = [&](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };

    QVERIFY(form->MoveTo(0, 1));
    QCOMPARE(focusedCell(), 1);
    for (int cell = 2; cell < 3 * columns; ++cell) {
        tab(Qt::Key_Tab);
        QCOMPARE(focusedCell(), cell);
    }
    tab(Qt::Key_Tab); // from the last cell round to the first
    QCOMPARE(focusedCell(), 0);
    QVERIFY(qobject_cast<QComboBox*>(QApplication::focusWidget()));
    for (int cell = 3 * columns - 1; cell >= 1; --cell) {
        tab(Qt::Key_Backtab);
        QCOMPARE(focusedCell(), cell);
    }

    QVERIFY(Type(form, "abc"));
    tab(Qt::Key_Tab);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(focusedCell(), 1);
    Press(form, Qt::Key_Escape);
}

void TableFormTest::leavingTheWindowCommits() {
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    area.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&area));
    RegisterTableEditors(&area);
    QMdiSubWindow* other = area.addSubWindow(new QLabel("another window"));
    other->show();

    auto table = CreateDeclaredTable("TblTopload");
    QVERIFY(table->ShowEditor(false));
    TTableForm* form = EditorForm(*table);
    QVERIFY(form->SubWindow() != nullptr);
    QCOMPARE(area.activeSubWindow(), form->SubWindow());

    // Another child window becomes active: the entry is committed.
    QVERIFY(Type(form, "7000"));
    area.setActiveSubWindow(other);
    QTest::qWait(20);
    QCOMPARE(table->Float(0, 0), 7000.0L);
    QVERIFY(boxes.shown.isEmpty());

    // A refused entry brings the window back with the cell.
    area.setActiveSubWindow(form->SubWindow());
    QVERIFY(Type(form, "seven"));
    area.setActiveSubWindow(other);
    QTest::qWait(20);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(area.activeSubWindow(), form->SubWindow());
    QCOMPARE(Cell(form, 0, 0), QString("seven"));

    // Closing commits; a refused entry keeps the window open.
    QVERIFY(!form->SubWindow()->close());
    QVERIFY(table->EditorOpen());
    QVERIFY(Type(form, "8000"));
    QVERIFY(form->SubWindow()->close());
    QCOMPARE(table->Float(0, 0), 8000.0L);
    QVERIFY(!table->EditorOpen());

    // A top-level editor commits when another window becomes active.
    RegisterTableEditors();
    TTableForm* topLevel = Open(*table);
    QVERIFY(topLevel);
    QVERIFY(topLevel->isWindow());
    QVERIFY(Type(topLevel, "9000"));
    area.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&area));
    QTest::qWait(20);
    QCOMPARE(table->Float(0, 0), 9000.0L);
    table->CloseEditor();
}

// Rows of a modal editor open their tables modally too; each returns when its window closes.
void TableFormTest::aModalEditorReturnsWhenClosed() {
    SoilTables soil;
    soil.layers->SetRowCount(2);
    TGridTable* layer2 = soil.layers->Column(2).GetTable(1);
    bool layerWasModal = false;
    QTimer::singleShot(0, this, [&] {
        TTableForm* form = EditorForm(*soil.layers);
        QTimer::singleShot(0, this, [&] {
            TTableForm* layerForm = EditorForm(*layer2);
            layerWasModal = layerForm->IsModal() && layerForm->isModal();
            QVERIFY(QTest::qWaitForWindowActive(layerForm));
            QVERIFY(Type(layerForm, "0.05"));
            layerForm->close();
        });
        qobject_cast<QPushButton*>(form->RowControl(1, 2))->click(); // returns when closed
        QVERIFY(!layer2->EditorOpen());
        form->close();
    });
    QVERIFY(soil.layers->ShowEditor(true));
    QVERIFY(!soil.layers->EditorOpen());
    QVERIFY(layerWasModal);
    QCOMPARE(layer2->Float(0, 0), 0.05L);
    QVERIFY(boxes.shown.isEmpty());
}

QTEST_MAIN(TableFormTest)
#include "TableFormTest.moc"
