#include "TableForm.h"
#include "ChildWindowPlacement.h"

#include "Evaluator.h"
#include "MessageBoxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>

namespace pavrin::controls {

namespace {

constexpr const char* kRowNotInRange = "Grid.Row not in valid range";

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

// The model's texts break lines with a carriage return.
QString WithLineBreaks(const std::string& text) {
    return ToQString(text)
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QChar('\r'), QChar('\n'));
}

bool Contains(const QWidget* parent, const QWidget* widget) {
    return widget != nullptr && (widget == parent || parent->isAncestorOf(widget));
}

// The drop-down of a row: it changes only when the user chooses an item. The wheel turns it only
// while it has the focus; otherwise the wheel goes on to the grid under it, which scrolls.
class TRowComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void wheelEvent(QWheelEvent* event) override {
        if (hasFocus())
            QComboBox::wheelEvent(event);
        else
            event->ignore();
    }
};

} // namespace

// ---- TTableForm: construction ----

TTableForm::TTableForm(TGridTable& table, QWidget* parent) : QWidget(parent), table_(&table) {
    setWindowTitle(QStringLiteral("TableForm"));
    resize(390, 300);
    BuildControls();
    focusConnection_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (table_ == nullptr || !shown_ || closing_ || boxOpen_)
            return;
        if (Contains(grid_, old) && !Contains(grid_, now) && now != nullptr && isAncestorOf(now))
            QTimer::singleShot(0, this, [this] { GridExit(); });
    });
}

TTableForm::~TTableForm() {
    destroying_ = true;
    disconnect(focusConnection_); // the children go after this destructor, and the focus with them
    TGridTable* table = table_;
    DetachFromTable();
    // Destroyed from outside (its MDI area went away): the table lets go of its editor.
    if (table != nullptr && !closing_) {
        closing_ = true;
        table->EditorClosed();
    }
}

void TTableForm::BuildControls() {
    grid_ = new TTableGrid(this);
    grid_->beforeMove = [this](const QModelIndex& target) { return BeforeMove(target); };
    grid_->afterMove = [this](const QModelIndex& current, const QModelIndex& previous) {
        AfterMove(current, previous);
    };
    grid_->enterPressed = [this] { Guarded([this] { EnterPressed(); }); };
    grid_->tabPressed = [this](bool forward) { Guarded([this, forward] { TabPressed(forward); }); };
    grid_->revertText = [this](const QModelIndex& index) {
        return IsDataCell(index) ? ModelText(index.row(), index.column()) : QString();
    };
    grid_->keyEvent = [this](QKeyEvent* event, bool press) { GridKey(event, press); };
    // A horizontal scroll brings other columns into view: the grid is sized for them.
    connect(grid_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (layingOut_ || table_ == nullptr || !shown_ || value == leftColumn_)
            return;
        leftColumn_ = value;
        Layout();
    });

    btnAdd_ = MakeButton("&Add Row", [this] { BtnAddClick(); });
    btnIns_ = MakeButton("&Insert Row", [this] { BtnInsClick(); });
    btnDel_ = MakeButton("&Delete Row", [this] { BtnDelClick(); });

    lblComments_ = new QLabel(this);
    lblComments_->setWordWrap(true);
    lblComments_->hide();
    imgHelp_ = new QLabel(this);
    imgHelp_->hide();
}

int TTableForm::Margin() const {
    return logicalDpiX() / 20;
}

void TTableForm::SetSubWindow(QMdiSubWindow* subWindow) {
    subWindow_ = subWindow;
    if (subWindow == nullptr)
        return;
    connect(subWindow, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates oldState, Qt::WindowStates newState) {
                if ((oldState & Qt::WindowActive) && !(newState & Qt::WindowActive))
                    QTimer::singleShot(0, this, [this] { FormDeactivate(); });
            });
}

QPushButton* TTableForm::MakeButton(const char* text, std::function<void()> handler) {
    auto* button = new QPushButton(QString::fromUtf8(text), this);
    // Clicking a button leaves the focus in the grid; the handler commits the cell first.
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, handler] { Guarded(handler); });
    return button;
}

void TTableForm::PrepareShow(bool modal) {
    modal_ = modal;
    if (shown_ || table_ == nullptr)
        return;
    if (table_->RowCount() < table_->MinRows())
        table_->SetRowCount(table_->MinRows());
    shown_ = true;
    SetCaption(ToQString(table_->EditorCaption()));
    grid_->SetTopLeftText(ToQString(table_->TopLeft()));
    lblComments_->setText(WithLineBreaks(table_->Comments()));
    lblComments_->setVisible(!table_->Comments().empty());
    UpdateHelpPicture();
    columnsInView_ = table_->VisibleColumnCount();
    rowsInView_ = std::min(table_->RowCount(), RowsInViewLimit());
    table_->SetObserver(this);
    Refresh();
    const int column = EditableColumnAfter(grid_->columnCount() - 1);
    if (column >= 0 && grid_->rowCount() > 0)
        grid_->setCurrentCell(0, column);
}

void TTableForm::DetachFromTable() {
    if (table_ == nullptr)
        return;
    DetachAllRowControls();
    if (table_->Observer() == this)
        table_->SetObserver(nullptr);
    table_ = nullptr;
}

void TTableForm::SetCaption(const QString& caption) {
    setWindowTitle(caption);
}

void TTableForm::HelpPictureChanged() {
    UpdateHelpPicture();
    Layout();
}

void TTableForm::UpdateHelpPicture() {
    if (table_ == nullptr)
        return;
    QPixmap picture;
    if (!table_->HelpPicture().empty())
        picture.loadFromData(QByteArray::fromStdString(table_->HelpPicture()));
    imgHelp_->setPixmap(picture);
    imgHelp_->setVisible(!picture.isNull());
}

// ---- commits and moves ----

bool TTableForm::IsDataCell(const QModelIndex& index) const {
    return table_ != nullptr && index.isValid() && index.row() < table_->RowCount() &&
           index.column() < table_->VisibleColumnCount();
}

QString TTableForm::ModelText(int row, int visibleColumn) const {
    const TColumn& column = table_->VisibleColumn(visibleColumn);
    return column.UsesRowControls() ? QString() : ToQString(column.GetText(row));
}

// A cell passed through without an edit is not parsed again: re-reading its shown text would
// round the stored value to the 8 digits shown (and a group-valued column would copy it to the
// rest of its group).
bool TTableForm::CommitCurrentCell() {
    if (table_ == nullptr)
        return true;
    if (boxOpen_)
        return false;
    grid_->FlushEditor();
    const QModelIndex index = grid_->currentIndex();
    if (!IsDataCell(index))
        return true;
    table_->SetChanged(true);
    TColumn& column = table_->VisibleColumn(index.column());
    if (column.UsesRowControls())
        return true;
    const QTableWidgetItem* item = grid_->item(index.row(), index.column());
    const QString text = item != nullptr ? item->text() : QString();
    if (text == ModelText(index.row(), index.column()))
        return true;
    try {
        column.SetText(index.row(), text.toStdString());
        return true;
    } catch (const std::exception& e) {
        // The evaluator's and the column's messages; an arithmetic fault (1/0) the same way, as
        // it is just as much a refused entry.
        ShowError(e.what());
    }
    ReturnToCell(index);
    return false;
}

void TTableForm::ReturnToCell(const QModelIndex& index) {
    if (subWindow_ != nullptr && subWindow_->mdiArea() != nullptr)
        subWindow_->mdiArea()->setActiveSubWindow(subWindow_);
    if (isVisible())
        window()->activateWindow();
    if (index.isValid() && grid_->currentIndex() != index)
        grid_->setCurrentIndex(index);
    grid_->setFocus();
    grid_->OpenEditor();
    if (QLineEdit* editor = grid_->CellEditor())
        editor->setFocus();
}

bool TTableForm::BeforeMove(const QModelIndex& target) {
    if (table_ == nullptr)
        return true;
    if (!IsDataCell(target) || table_->VisibleColumn(target.column()).UsesRowControls())
        return false;
    return CommitCurrentCell();
}

void TTableForm::AfterMove(const QModelIndex&, const QModelIndex&) {
    if (table_ == nullptr)
        return;
    RewriteCells();
    Redraw();
}

bool TTableForm::MoveTo(int row, int column) {
    const QModelIndex target = grid_->model()->index(row, column);
    if (!target.isValid())
        return false;
    if (target == grid_->currentIndex())
        return true;
    if (!BeforeMove(target))
        return false;
    grid_->setCurrentIndex(target);
    grid_->setFocus();
    return true;
}

int TTableForm::EditableColumnAfter(int visibleColumn) const {
    const int count = table_ != nullptr ? table_->VisibleColumnCount() : 0;
    for (int i = 1; i <= count; ++i) {
        const int column = (visibleColumn + i) % count;
        if (!table_->VisibleColumn(column).UsesRowControls())
            return column;
    }
    return -1;
}

void TTableForm::TabPressed(bool forward) {
    const QModelIndex current = grid_->currentIndex();
    const int rows = table_ != nullptr ? table_->RowCount() : 0;
    const int columns = table_ != nullptr ? table_->VisibleColumnCount() : 0;
    if (!IsDataCell(current) || rows * columns == 0)
        return;
    const int cells = rows * columns;
    int position = current.row() * columns + current.column();
    for (int step = 1; step < cells; ++step) {
        position = (position + (forward ? 1 : cells - 1)) % cells;
        const int row = position / columns;
        const int column = position % columns;
        if (!table_->VisibleColumn(column).UsesRowControls()) {
            MoveTo(row, column);
            return;
        }
        QWidget* control = RowControl(row, column);
        if (control == nullptr || !control->isEnabled())
            continue;
        if (!CommitCurrentCell())
            return;
        grid_->selectionModel()->setCurrentIndex(grid_->model()->index(row, column),
                                                 QItemSelectionModel::ClearAndSelect);
        grid_->scrollTo(grid_->currentIndex());
        window()->setAttribute(Qt::WA_KeyboardFocusChange); // the style draws its focus frame
        control->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return;
    }
    // A single cell: Tab stays in it, committing it as Enter does.
    CommitCurrentCell();
}

// Enter: the next row; from the last row the first row of the next column (row-control columns
// are passed over, since their cells cannot be selected).
void TTableForm::EnterPressed() {
    const QModelIndex current = grid_->currentIndex();
    if (!IsDataCell(current))
        return;
    int row = current.row() + 1;
    int column = current.column();
    if (row >= table_->RowCount() || table_->VisibleColumn(column).UsesRowControls()) {
        row = row >= table_->RowCount() ? 0 : row;
        column = EditableColumnAfter(column);
    }
    if (column < 0 || (row == current.row() && column == current.column())) {
        // Nowhere to move (one row and one column): Enter still commits the cell and shows the
        // value as the table holds it.
        if (CommitCurrentCell()) {
            RewriteCells();
            if (QLineEdit* editor = grid_->CellEditor()) {
                editor->setText(ModelText(current.row(), current.column()));
                editor->selectAll();
            }
            Redraw();
        }
        return;
    }
    MoveTo(row, column);
}

void TTableForm::GridExit() {
    if (table_ == nullptr || closing_ || boxOpen_ || Contains(grid_, QApplication::focusWidget()))
        return;
    CommitCurrentCell();
}

void TTableForm::FormDeactivate() {
    if (table_ == nullptr || !shown_ || closing_ || boxOpen_)
        return;
    CommitCurrentCell();
}

// ---- messages ----

void TTableForm::ShowError(const std::string& message) {
    const bool wasOpen = boxOpen_;
    boxOpen_ = true;
    MessageBoxes::Current().ShowMessage(this, WithLineBreaks(message), MessageBoxes::Icon::Error);
    boxOpen_ = wasOpen;
}

void TTableForm::ShowInformation(const QString& message) {
    const bool wasOpen = boxOpen_;
    boxOpen_ = true;
    MessageBoxes::Current().ShowMessage(this, message, MessageBoxes::Icon::Information);
    boxOpen_ = wasOpen;
}

void TTableForm::RevertCurrentCell() {
    const QModelIndex index = grid_->currentIndex();
    if (!IsDataCell(index))
        return;
    const QString text = ModelText(index.row(), index.column());
    if (QLineEdit* editor = grid_->CellEditor())
        editor->setText(text);
    if (QTableWidgetItem* item = grid_->item(index.row(), index.column()))
        item->setText(text);
}

void TTableForm::Guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
}

void TTableForm::WithoutNotifications(const std::function<void()>& work) {
    if (table_ == nullptr)
        return;
    TableObserver* observer = table_->Observer();
    table_->SetObserver(nullptr);
    try {
        work();
    } catch (...) {
        if (table_ != nullptr) {
            table_->SetObserver(observer);
            Refresh();
        }
        throw;
    }
    if (table_ != nullptr) {
        table_->SetObserver(observer);
        Refresh();
    }
}

// ---- rows ----

void TTableForm::BtnAddClick() {
    if (table_ == nullptr || !CommitCurrentCell() || table_->RowCount() == table_->MaxRows())
        return;
    const bool allInView = rowsInView_ >= table_->RowCount();
    WithoutNotifications([&] {
        if (allInView)
            rowsInView_ = std::min(rowsInView_ + table_->RowGroup(), RowsInViewLimit());
        table_->AppendGroup();
        table_->SetChanged(true);
    });
    if (grid_->rowCount() > 0) {
        const QModelIndex last = grid_->model()->index(grid_->rowCount() - 1, 0);
        if (grid_->visualRect(last).bottom() > grid_->viewport()->height() ||
            grid_->visualRect(last).isEmpty())
            grid_->scrollTo(last, QAbstractItemView::PositionAtBottom);
    }
    Redraw();
}

// The row buttons' first step: the cell being typed is committed, and the
// current cell must be a data cell ("Grid.Row not in valid range" otherwise).
// An invalid index when either fails.
QModelIndex TTableForm::CommittedDataCell() {
    if (table_ == nullptr || !CommitCurrentCell())
        return {};
    const QModelIndex current = grid_->currentIndex();
    if (!IsDataCell(current)) {
        ShowError(kRowNotInRange);
        return {};
    }
    return current;
}

void TTableForm::BtnInsClick() {
    const QModelIndex current = CommittedDataCell();
    if (!current.isValid())
        return;
    if (table_->RowCount() == table_->MaxRows())
        return;
    const bool allInView = rowsInView_ >= table_->RowCount();
    WithoutNotifications([&] {
        table_->SetChanged(true);
        if (allInView)
            rowsInView_ = std::min(rowsInView_ + table_->RowGroup(), RowsInViewLimit());
        table_->InsertGroup(current.row());
    });
    Redraw();
}

void TTableForm::BtnDelClick() {
    const QModelIndex current = CommittedDataCell();
    if (!current.isValid())
        return;
    if (table_->MinRows() >= table_->RowCount())
        return;
    WithoutNotifications([&] {
        table_->SetChanged(true);
        table_->DeleteGroup(current.row());
    });
    // The row that took the deleted one's place, or the new last row (Qt may have moved the
    // cursor elsewhere while the rows went).
    if (grid_->rowCount() > 0) {
        const int row = std::min(current.row(), grid_->rowCount() - 1);
        if (grid_->currentRow() != row || grid_->currentColumn() != current.column())
            grid_->setCurrentCell(row, current.column());
    }
    Redraw();
}

void TTableForm::GrowRowsInView(int rowsBefore) {
    if (table_ == nullptr)
        return;
    if (rowsInView_ >= rowsBefore)
        rowsInView_ = std::min(table_->RowCount(), RowsInViewLimit());
    rowsInView_ = std::min(rowsInView_, table_->RowCount());
    Layout();
}

// ---- refresh ----

void TTableForm::Refresh() {
    if (table_ == nullptr || !shown_)
        return;
    const int visible = table_->VisibleColumnCount();
    const int rows = table_->RowCount();
    columnsInView_ = columnsInView_ > 0 ? std::min(columnsInView_, visible) : visible;
    rowsInView_ = rowsInView_ > 0 ? std::min(rowsInView_, rows) : std::min(rows, RowsInViewLimit());
    headerRows_ = 0;
    for (int c = 0; c < visible; ++c)
        headerRows_ = std::max(headerRows_, table_->VisibleColumn(c).HeadingLineCount());

    grid_->setColumnCount(visible);
    grid_->setRowCount(rows);
    const int rowHeight = RowHeight();
    grid_->verticalHeader()->setMinimumSectionSize(rowHeight);
    grid_->verticalHeader()->setDefaultSectionSize(rowHeight);
    grid_->horizontalHeader()->setVisible(headerRows_ > 0);
    grid_->horizontalHeader()->setFixedHeight(HeaderHeight());

    // Column 0: the row-group numbers under the top-left text.
    const QFontMetrics metrics = grid_->verticalHeader()->fontMetrics();
    grid_->verticalHeader()->setFixedWidth(
        std::max(metrics.horizontalAdvance(grid_->TopLeftText() + QStringLiteral("  ")), logicalDpiX() / 3));
    QStringList numbers;
    for (int r = 0; r < rows; ++r)
        numbers << QString::number(r / table_->RowGroup() + 1);
    grid_->setVerticalHeaderLabels(numbers);

    for (int c = 0; c < visible; ++c) {
        const TColumn& column = table_->VisibleColumn(c);
        QStringList lines;
        for (int i = 0; i < headerRows_; ++i)
            lines << (i < column.HeadingLineCount() ? ToQString(column.HeadingLine(i)) : QString());
        auto* header = grid_->horizontalHeaderItem(c);
        if (header == nullptr) {
            header = new QTableWidgetItem;
            grid_->setHorizontalHeaderItem(c, header);
        }
        header->setText(lines.join(QChar('\n')));
        grid_->setColumnWidth(c, ColumnWidth(c));
        const Qt::ItemFlags flags = column.UsesRowControls()
                                        ? Qt::NoItemFlags
                                        : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
        for (int r = 0; r < rows; ++r) {
            QTableWidgetItem* item = grid_->item(r, c);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                grid_->setItem(r, c, item);
            }
            if (item->flags() != flags)
                item->setFlags(flags);
            RefreshCell(c, r);
        }
    }

    const bool rowButtons = table_->MinRows() != table_->MaxRows();
    for (QPushButton* button : {btnAdd_, btnIns_, btnDel_})
        button->setVisible(rowButtons);
    btnAdd_->setEnabled(rows != table_->MaxRows());
    btnIns_->setEnabled(rows != table_->MaxRows());
    btnDel_->setEnabled(table_->MinRows() < rows);

    AttachAllRowControls();
    Layout();
}

void TTableForm::RefreshCell(int visibleColumn, int row) {
    QTableWidgetItem* item = grid_->item(row, visibleColumn);
    if (item == nullptr)
        return;
    const QString text = ModelText(row, visibleColumn);
    if (item->text() != text)
        item->setText(text);
}

void TTableForm::RewriteCells() {
    if (table_ == nullptr)
        return;
    const int rows = std::min(grid_->rowCount(), table_->RowCount());
    const int columns = std::min(grid_->columnCount(), table_->VisibleColumnCount());
    for (int c = 0; c < columns; ++c)
        if (!table_->VisibleColumn(c).UsesRowControls())
            for (int r = 0; r < rows; ++r)
                RefreshCell(c, r);
}

void TTableForm::CellChanged(int column, int row) {
    if (table_ == nullptr || column < 0 || column >= table_->ColumnCount())
        return;
    const int visible = VisiblePosition(table_->Column(column));
    if (visible >= 0 && row >= 0 && row < grid_->rowCount() && visible < grid_->columnCount() &&
        !table_->Column(column).UsesRowControls())
        RefreshCell(visible, row);
    Redraw();
}

void TTableForm::TableChanged() {
    Refresh();
    Redraw();
}

int TTableForm::VisiblePosition(const TColumn& column) const {
    if (table_ == nullptr || !column.Visible())
        return -1;
    int position = 0;
    for (int c = 0; c < table_->ColumnCount(); ++c) {
        const TColumn& other = table_->Column(c);
        if (&other == &column)
            return position;
        if (other.Visible())
            ++position;
    }
    return -1;
}

// ---- sizes and layout ----

int TTableForm::ColumnWidth(int visibleColumn) const {
    const QFontMetrics metrics = grid_->horizontalHeader()->fontMetrics();
    TextMetrics textMetrics;
    textMetrics.pixelsPerInch = logicalDpiX();
    textMetrics.textWidth = [metrics](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text));
    };
    return table_->VisibleColumn(visibleColumn).Width(textMetrics);
}

// High enough for the text and for the drop-down lists laid over the cells.
int TTableForm::RowHeight() const {
    static int comboHeight = QComboBox().sizeHint().height();
    return std::max(grid_->fontMetrics().height() + 8, comboHeight);
}

int TTableForm::HeaderHeight() const {
    return headerRows_ * RowHeight();
}

int TTableForm::GridWidth(int columns, int leftColumn, bool verticalBar) const {
    int width = 2 * grid_->frameWidth() + grid_->verticalHeader()->width();
    for (int c = leftColumn; c < leftColumn + columns && c < grid_->columnCount(); ++c)
        width += grid_->columnWidth(c);
    if (verticalBar)
        width += grid_->verticalScrollBar()->sizeHint().width();
    return width;
}

int TTableForm::GridHeight(int rows, bool horizontalBar) const {
    int height = 2 * grid_->frameWidth() + (headerRows_ > 0 ? HeaderHeight() : 0) + rows * RowHeight();
    if (horizontalBar)
        height += grid_->horizontalScrollBar()->sizeHint().height();
    return height;
}

QSize TTableForm::sizeHint() const {
    return contentSize_.isValid() ? contentSize_ : QWidget::sizeHint();
}

void TTableForm::Layout(bool sizeWindow) {
    if (table_ == nullptr || !shown_)
        return;
    layingOut_ = true;
    const int m = Margin();
    const int columns = grid_->columnCount();
    leftColumn_ = std::clamp(leftColumn_, 0, std::max(0, columns - columnsInView_));
    const bool verticalBar = rowsInView_ < grid_->rowCount();
    const bool horizontalBar = columnsInView_ < columns;
    grid_->setVerticalScrollBarPolicy(verticalBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    grid_->setHorizontalScrollBarPolicy(horizontalBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const QRect gridRect(m, GridTop(), GridWidth(columnsInView_, leftColumn_, verticalBar),
                         GridHeight(rowsInView_, horizontalBar));
    grid_->setGeometry(gridRect);
    if (horizontalBar)
        grid_->horizontalScrollBar()->setValue(leftColumn_);

    int top = gridRect.bottom() + 1 + m;
    int x = m;
    int buttonHeight = 0;
    for (QPushButton* button : {btnAdd_, btnIns_, btnDel_}) {
        const QSize size = button->sizeHint();
        button->setGeometry(x, top, size.width(), size.height());
        x += size.width() + m;
        buttonHeight = std::max(buttonHeight, size.height());
    }
    int right = std::max(gridRect.right() + 1, btnDel_->geometry().right() + 1);
    if (!btnAdd_->isHidden())
        top += buttonHeight + m;
    top = LayoutBelowButtons(top, right);
    const int clientWidth = sizeWindow ? right + m : std::max(right + m, width());

    if (!lblComments_->isHidden()) {
        const int labelWidth = clientWidth - 2 * m;
        const int labelHeight = lblComments_->heightForWidth(labelWidth);
        lblComments_->setGeometry(m, top, labelWidth, labelHeight);
        top += labelHeight + m;
    }
    if (!imgHelp_->isHidden()) {
        const QSize size = imgHelp_->pixmap().size();
        imgHelp_->setGeometry(m, top, size.width(), size.height());
        if (size.height() > 0)
            top += size.height() + m;
    }
    LayoutToWidth(clientWidth);

    if (sizeWindow) {
        contentSize_ = QSize(clientWidth, top);
        updateGeometry();
        resize(contentSize_);
        if (subWindow_ != nullptr) {
            subWindow_->resize(subWindow_->sizeHint());
            KeepInsideWorkArea(*subWindow_);
        }
        belowGrid_ = std::max(0, top - (gridRect.bottom() + 1));
    }
    layingOut_ = false;
    if (table_ != nullptr && table_->OnResize)
        table_->OnResize(*table_);
}

// The user sized the window: as many whole rows and columns as fit stay in view.
void TTableForm::UserResized(const QSize& size) {
    const int columns = grid_->columnCount();
    const int rows = grid_->rowCount();
    if (columns == 0 || rows == 0)
        return;
    const int m = Margin();
    const int frame = 2 * grid_->frameWidth() + grid_->verticalHeader()->width();
    const int roomWidth = size.width() - 2 * m - frame;
    const int roomHeight = size.height() - GridTop() - belowGrid_ - 2 * grid_->frameWidth() -
                           (headerRows_ > 0 ? HeaderHeight() : 0);
    const int barWidth = grid_->verticalScrollBar()->sizeHint().width();
    const int barHeight = grid_->horizontalScrollBar()->sizeHint().height();
    int left = std::clamp(grid_->horizontalScrollBar()->value(), 0, columns - 1);
    int inView = 1;
    int rowsFit = 1;
    bool verticalBar = false;
    for (int pass = 0; pass < 2; ++pass) {
        const int room = roomWidth - (verticalBar ? barWidth : 0);
        int first = std::clamp(grid_->horizontalScrollBar()->value(), 0, columns - 1);
        int used = grid_->columnWidth(first);
        inView = 1;
        while (first + inView < columns && used + grid_->columnWidth(first + inView) <= room)
            used += grid_->columnWidth(first + inView++);
        while (first > 0 && used + grid_->columnWidth(first - 1) <= room) {
            used += grid_->columnWidth(--first);
            ++inView;
        }
        left = first;
        const bool horizontalBar = inView < columns;
        rowsFit = std::clamp((roomHeight - (horizontalBar ? barHeight : 0)) / RowHeight(), 1, rows);
        verticalBar = rowsFit < rows;
    }
    columnsInView_ = inView;
    leftColumn_ = left;
    rowsInView_ = rowsFit;
    Layout(false);
}

void TTableForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!layingOut_ && shown_ && table_ != nullptr && contentSize_.isValid() && event->size() != contentSize_)
        UserResized(event->size());
}

// ---- window events ----

bool TTableForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && shown_ && !closing_ && !boxOpen_ &&
        !deactivatePending_) {
        deactivatePending_ = true;
        QTimer::singleShot(0, this, [this] {
            deactivatePending_ = false;
            FormDeactivate();
        });
    }
    return QWidget::event(event);
}

void TTableForm::closeEvent(QCloseEvent* event) {
    if (table_ == nullptr || closing_) {
        event->accept();
        return;
    }
    if (!CommitCurrentCell()) {
        event->ignore();
        return;
    }
    closing_ = true;
    TGridTable* table = table_;
    DetachFromTable();
    event->accept();
    emit Closed();
    table->EditorClosed(); // frees the editor: nothing of this object is used after it
}

// ---- row controls ----

void TTableForm::AttachAllRowControls() {
    for (int c = 0; c < table_->ColumnCount(); ++c) {
        TColumn& column = table_->Column(c);
        if (!column.UsesRowControls())
            continue;
        if (column.Visible())
            column.AttachControls(this, 0, table_->RowCount());
        else if (column.ControlHost() == this)
            column.DetachControls();
    }
}

void TTableForm::DetachAllRowControls() {
    if (table_ != nullptr)
        for (int c = 0; c < table_->ColumnCount(); ++c)
            if (table_->Column(c).ControlHost() == this)
                table_->Column(c).DetachControls();
    for (ColumnControls& controls : rowControls_)
        for (const QPointer<QWidget>& widget : controls.widgets)
            if (widget != nullptr) {
                widget->hide();
                widget->deleteLater();
            }
    rowControls_.clear();
}

void TTableForm::AttachRowControls(TColumn& column, int firstRow, int count) {
    const int visible = VisiblePosition(column);
    if (visible < 0)
        return;
    auto entry = std::find_if(rowControls_.begin(), rowControls_.end(),
                              [&](const ColumnControls& c) { return c.column == &column; });
    if (entry == rowControls_.end()) {
        rowControls_.push_back({&column, {}});
        entry = std::prev(rowControls_.end());
    }
    std::vector<QPointer<QWidget>>& widgets = entry->widgets;
    const auto last = static_cast<std::size_t>(firstRow + count);
    for (std::size_t r = 0; r < widgets.size(); ++r)
        if (widgets[r] != nullptr && (r < static_cast<std::size_t>(firstRow) || r >= last)) {
            widgets[r]->hide();
            widgets[r]->deleteLater();
            widgets[r] = nullptr;
        }
    widgets.resize(std::max(widgets.size(), last));
    for (int r = firstRow; r < firstRow + count && r < grid_->rowCount(); ++r) {
        QPointer<QWidget>& widget = widgets[static_cast<std::size_t>(r)];
        const QModelIndex index = grid_->model()->index(r, visible);
        if (widget == nullptr || grid_->indexWidget(index) != widget) {
            if (widget != nullptr) {
                widget->hide();
                widget->deleteLater();
            }
            widget = MakeRowControl(column, r);
            grid_->setIndexWidget(index, widget);
        }
        UpdateRowControl(column, r, widget);
    }
    widgets.resize(last);
}

void TTableForm::DetachRowControls(TColumn& column) {
    auto entry = std::find_if(rowControls_.begin(), rowControls_.end(),
                              [&](const ColumnControls& c) { return c.column == &column; });
    if (entry == rowControls_.end())
        return;
    for (const QPointer<QWidget>& widget : entry->widgets)
        if (widget != nullptr) {
            widget->hide();
            widget->deleteLater();
        }
    rowControls_.erase(entry);
}

void TTableForm::RowControlChanged(TColumn& column, int row) {
    for (const ColumnControls& controls : rowControls_)
        if (controls.column == &column && row >= 0 &&
            static_cast<std::size_t>(row) < controls.widgets.size() &&
            controls.widgets[static_cast<std::size_t>(row)] != nullptr)
            UpdateRowControl(column, row, controls.widgets[static_cast<std::size_t>(row)]);
}

QWidget* TTableForm::RowControl(int row, int column) const {
    if (table_ == nullptr || column < 0 || column >= table_->VisibleColumnCount())
        return nullptr;
    const TColumn* wanted = &table_->VisibleColumn(column);
    for (const ColumnControls& controls : rowControls_)
        if (controls.column == wanted && row >= 0 && static_cast<std::size_t>(row) < controls.widgets.size())
            return controls.widgets[static_cast<std::size_t>(row)];
    return nullptr;
}

QWidget* TTableForm::MakeRowControl(TColumn& column, int row) {
    TColumn* target = &column;
    if (auto* enumeration = dynamic_cast<TEnumColumn*>(&column)) {
        auto* combo = new TRowComboBox;
        for (const std::string& item : enumeration->Items())
            combo->addItem(ToQString(item));
        combo->setMaxVisibleItems(11);
        combo->setFocusPolicy(Qt::TabFocus);
        combo->installEventFilter(this); // entering it makes its cell the current cell
        connect(combo, &QComboBox::activated, this,
                [this, target, row](int index) { RowComboChosen(target, row, index + 1); });
        return combo;
    }
    auto* button = new QPushButton;
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(false);
    button->installEventFilter(this);
    connect(button, &QPushButton::clicked, this, [this, target, row] { RowButtonPressed(target, row); });
    return button;
}

// A row control entered by Tab or by the mouse makes its cell the grid's current cell, so the row
// buttons act on its row. The cell being typed is committed first; when the table refuses it, the
// control is not entered (the focus goes back to the cell).
bool TTableForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && table_ != nullptr && !closing_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & Qt::ControlModifier) && IsRowControl(watched)) {
            grid_->tabPressed(key->key() == Qt::Key_Tab);
            return true;
        }
    }
    if ((event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress) &&
        table_ != nullptr && !closing_)
        for (const ColumnControls& controls : rowControls_)
            for (std::size_t r = 0; r < controls.widgets.size(); ++r)
                if (controls.widgets[r] == watched)
                    return !RowControlEntered(*controls.column, static_cast<int>(r));
    return QWidget::eventFilter(watched, event);
}

bool TTableForm::IsRowControl(const QObject* object) const {
    for (const ColumnControls& controls : rowControls_)
        for (const QPointer<QWidget>& widget : controls.widgets)
            if (widget != nullptr && widget == object)
                return true;
    return false;
}

bool TTableForm::RowControlEntered(TColumn& column, int row) {
    const QModelIndex index = grid_->model()->index(row, VisiblePosition(column));
    if (!index.isValid() || grid_->currentIndex() == index)
        return true;
    if (boxOpen_ || !CommitCurrentCell())
        return false;
    grid_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    return true;
}

void TTableForm::UpdateRowControl(TColumn& column, int row, QWidget* widget) {
    if (row >= column.RowCount())
        return;
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(column.GetInteger(row) - 1);
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(ToQString(column.GetText(row)));
    }
}

void TTableForm::RowComboChosen(TColumn* column, int row, int position) {
    Guarded([&] {
        if (table_ == nullptr)
            return;
        if (!CommitCurrentCell()) {
            RowControlChanged(*column, row);
            return;
        }
        const QModelIndex index = grid_->model()->index(row, VisiblePosition(*column));
        if (index.isValid() && grid_->currentIndex() != index)
            grid_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        table_->SetChanged(true);
        if (auto* enumeration = dynamic_cast<TEnumColumn*>(column))
            enumeration->ItemChosen(row, position);
    });
    if (table_ != nullptr)
        RowControlChanged(*column, row);
}

void TTableForm::RowButtonPressed(TColumn* column, int row) {
    Guarded([&] {
        if (table_ == nullptr || !CommitCurrentCell())
            return;
        const QModelIndex index = grid_->model()->index(row, VisiblePosition(*column));
        if (index.isValid() && grid_->currentIndex() != index)
            grid_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        if (auto* tableColumn = dynamic_cast<TTableColumn*>(column))
            tableColumn->ButtonPressed(row);
    });
}

} // namespace pavrin::controls
