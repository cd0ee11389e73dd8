// TTableForm: the editor window of one grid table. A string grid with one header block (one row
// per heading line), a row-number column showing group numbers and one column per visible table
// column; buttons that add, insert and delete row groups; the table's comments and help picture
// under them. Every edit goes back into the table when the user leaves a cell, presses Enter,
// leaves the grid, switches to another window or closes this one; a text the column refuses shows
// its message and keeps the cell and the focus. The window sizes itself to its content.
//
// The table owns its editor (TableEditors.h makes the forms); the form sits on the table through
// TableObserver (refresh on changes) and RowControlHost (drop-down lists of enumeration columns and
// buttons of table columns laid over their cells).
#pragma once

#include "ColumnTypes.h"
#include "Table.h"
#include "TableGrid.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace pavrin::controls {

class TTableForm : public QWidget, public TableObserver, public RowControlHost {
    Q_OBJECT
public:
    // The most data rows in view without a chart.
    static constexpr int kMaxRowsInView = 10;

    explicit TTableForm(TGridTable& table, QWidget* parent = nullptr);
    ~TTableForm() override;

    // The table, or null once the table has let go of its editor.
    TGridTable* Table() const { return table_; }
    // The table closes its editor or is destroyed: let go of it (controls, callbacks) for good.
    void DetachFromTable();

    // Shows the window's content the first time (links the table, raises it to MinRows rows,
    // caption, layout, callbacks, refresh); later calls do nothing. `modal` as the table asked.
    void PrepareShow(bool modal);
    bool IsModal() const { return modal_; }
    // True while the form is being destroyed (its editor must not touch it any more).
    bool BeingDestroyed() const { return destroying_; }
    // The MDI child window that holds this form, when it is one.
    void SetSubWindow(QMdiSubWindow* subWindow);
    QMdiSubWindow* SubWindow() const { return subWindow_; }

    // Writes the text of the current cell into the table. A text the column refuses shows its
    // message in an error box, puts the cursor and the focus back into the cell and returns false.
    bool CommitCurrentCell();
    QModelIndex CommittedDataCell();

    // Moves the current cell as the user would: commits first, refuses row-control columns.
    bool MoveTo(int row, int column);

    // Row buttons.
    void BtnAddClick();
    void BtnInsClick();
    void BtnDelClick();

    // Redraws everything from the table (columns, headings, rows, buttons, layout).
    void Refresh();
    // Sets the text of the table's editor window.
    void SetCaption(const QString& caption);
    void HelpPictureChanged();

    // State, for the front end and tests.
    TTableGrid* Grid() const { return grid_; }
    QPushButton* AddButton() const { return btnAdd_; }
    QPushButton* InsertButton() const { return btnIns_; }
    QPushButton* DeleteButton() const { return btnDel_; }
    QLabel* CommentsLabel() const { return lblComments_; }
    QLabel* HelpImage() const { return imgHelp_; }
    int HeaderRows() const { return headerRows_; }
    int RowsInView() const { return rowsInView_; }
    int ColumnsInView() const { return columnsInView_; }
    // The gap between controls: a twentieth of an inch.
    int Margin() const;
    // The drop-down or button laid over a cell (grid column = visible column), if any.
    QWidget* RowControl(int row, int column) const;
    QSize sizeHint() const override;

    // TableObserver
    void CellChanged(int column, int row) override;
    void TableChanged() override;
    // RowControlHost
    void AttachRowControls(TColumn& column, int firstRow, int count) override;
    void DetachRowControls(TColumn& column) override;
    void RowControlChanged(TColumn& column, int row) override;

signals:
    // The window has closed (after the close was accepted).
    void Closed();

protected:
    // The most rows in view: rows added grow the view up to it.
    virtual int RowsInViewLimit() const { return kMaxRowsInView; }
    // Top of the grid: the top margin, or the chart above it.
    virtual int GridTop() const { return Margin(); }
    // Places what stands between the row buttons and the comments, starting at `top`; returns
    // the next free top and widens `right` to the right edge of what it placed.
    virtual int LayoutBelowButtons(int top, int& right) {
        (void)right;
        return top;
    }
    // Places what depends on the final client width (the chart).
    virtual void LayoutToWidth(int clientWidth) { (void)clientWidth; }
    // The graph's hooks: after a cell selection, a key in the grid, a row operation, a change.
    virtual void Redraw() {}
    virtual void GridKey(QKeyEvent* event, bool press) {
        (void)event;
        (void)press;
    }

    // An error box with the message (line breaks of the model's texts made visible).
    void ShowError(const std::string& message);
    void ShowInformation(const QString& message);
    // Puts the table's text back into the current cell (drops an entry not yet committed).
    void RevertCurrentCell();
    // Runs a user command: any failure shows its message instead of leaving the event loop.
    void Guarded(const std::function<void()>& command);
    // A button of the window that runs `handler` guarded and takes the focus only by Tab.
    QPushButton* MakeButton(const char* text, std::function<void()> handler);
    // Calls `work` with the table's notifications switched off, then refreshes.
    void WithoutNotifications(const std::function<void()>& work);
    // Layout of the window: the grid for the rows and columns in view, the controls around it,
    // and (unless the user has just sized the window) the window's own size.
    void Layout(bool sizeWindow = true);
    // After rows were added by something other than the add button: the view grows as it does.
    void GrowRowsInView(int rowsBefore);

    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

    int rowsInView_ = 0;

private:
    struct ColumnControls {
        TColumn* column = nullptr;
        std::vector<QPointer<QWidget>> widgets; // by row
    };

    void BuildControls();
    void UpdateHelpPicture();
    bool BeforeMove(const QModelIndex& target);
    void AfterMove(const QModelIndex& current, const QModelIndex& previous);
    void EnterPressed();
    // Tab and Shift+Tab, from a cell or from a row control: the next (previous) cell in reading
    // order, row controls included, wrapping at the ends as the grid's own Tab does.
    void TabPressed(bool forward);
    void RewriteCells();
    void RefreshCell(int visibleColumn, int row);
    QString ModelText(int row, int visibleColumn) const;
    void ReturnToCell(const QModelIndex& index);
    void GridExit();
    void FormDeactivate();
    void UserResized(const QSize& size);
    void AttachAllRowControls();
    void DetachAllRowControls();
    QWidget* MakeRowControl(TColumn& column, int row);
    void UpdateRowControl(TColumn& column, int row, QWidget* widget);
    void RowComboChosen(TColumn* column, int row, int position);
    void RowButtonPressed(TColumn* column, int row);
    // The user enters a row control: its cell becomes current. False when the cell being typed
    // was refused (the control must not be entered).
    bool RowControlEntered(TColumn& column, int row);
    bool IsRowControl(const QObject* object) const;
    int VisiblePosition(const TColumn& column) const;
    int ColumnWidth(int visibleColumn) const;
    int RowHeight() const;
    int HeaderHeight() const;
    int GridWidth(int columns, int leftColumn, bool verticalBar) const;
    int GridHeight(int rows, bool horizontalBar) const;
    int EditableColumnAfter(int visibleColumn) const;
    bool IsDataCell(const QModelIndex& index) const;

    TGridTable* table_;
    TTableGrid* grid_ = nullptr;
    QPushButton* btnAdd_ = nullptr;
    QPushButton* btnIns_ = nullptr;
    QPushButton* btnDel_ = nullptr;
    QLabel* lblComments_ = nullptr;
    QLabel* imgHelp_ = nullptr;
    QPointer<QMdiSubWindow> subWindow_;

    bool shown_ = false;
    bool modal_ = false;
    bool closing_ = false;
    bool destroying_ = false;
    bool boxOpen_ = false;
    bool layingOut_ = false;
    bool deactivatePending_ = false;
    int headerRows_ = 0;
    int columnsInView_ = 0;
    int leftColumn_ = 0;
    QSize contentSize_;
    int belowGrid_ = 0; // height of the window's content under the grid
    std::vector<ColumnControls> rowControls_;
    QMetaObject::Connection focusConnection_;
};

} // namespace pavrin::controls
