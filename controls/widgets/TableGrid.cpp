#include "TableGrid.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyleOptionHeader>
#include <QStylePainter>

namespace pavrin::controls {

TTableGrid::TTableGrid(QWidget* parent) : QTableWidget(parent) {
    setItemDelegate(new TCellDelegate(this));
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
    }
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    corner_ = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (corner_ != nullptr)
        corner_->installEventFilter(this);
}

QLineEdit* TTableGrid::CellEditor() const {
    return editor_ != nullptr && !editor_->isHidden() ? editor_.data() : nullptr;
}

void TTableGrid::FlushEditor() {
    if (QLineEdit* editor = CellEditor())
        commitData(editor);
}

void TTableGrid::OpenEditor() {
    const QModelIndex index = currentIndex();
    if (!index.isValid() || CellEditor() != nullptr || !(index.flags() & Qt::ItemIsEditable))
        return;
    edit(index);
}

void TTableGrid::SetTopLeftText(const QString& text) {
    topLeft_ = text;
    if (corner_ != nullptr)
        corner_->update();
}

bool TTableGrid::MayMoveTo(const QModelIndex& target) {
    return !target.isValid() || target == currentIndex() || !beforeMove || beforeMove(target);
}

void TTableGrid::mousePressEvent(QMouseEvent* event) {
    if (!MayMoveTo(indexAt(event->position().toPoint()))) {
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void TTableGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        if (enterPressed)
            enterPressed();
        if (keyEvent)
            keyEvent(event, true);
        return;
    }
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) && tabPressed &&
        !(event->modifiers() & Qt::ControlModifier)) {
        event->accept();
        tabPressed(event->key() == Qt::Key_Tab);
        return;
    }
    static const std::pair<int, CursorAction> moves[] = {
        {Qt::Key_Up, MoveUp},           {Qt::Key_Down, MoveDown},     {Qt::Key_Left, MoveLeft},
        {Qt::Key_Right, MoveRight},     {Qt::Key_PageUp, MovePageUp}, {Qt::Key_PageDown, MovePageDown},
        {Qt::Key_Home, MoveHome},       {Qt::Key_End, MoveEnd},       {Qt::Key_Tab, MoveNext},
        {Qt::Key_Backtab, MovePrevious}};
    for (const auto& [key, action] : moves)
        if (event->key() == key && !MayMoveTo(moveCursor(action, event->modifiers()))) {
            event->accept();
            return;
        }
    QTableWidget::keyPressEvent(event);
    if (keyEvent)
        keyEvent(event, true);
}

void TTableGrid::keyReleaseEvent(QKeyEvent* event) {
    QTableWidget::keyReleaseEvent(event);
    if (keyEvent)
        keyEvent(event, false);
}

void TTableGrid::focusInEvent(QFocusEvent* event) {
    QTableWidget::focusInEvent(event);
    OpenEditor();
}

void TTableGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableWidget::currentChanged(current, previous);
    if (afterMove)
        afterMove(current, previous);
}

// Tab and Shift+Tab in the cell editor move the cursor through here.
void TTableGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if ((hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem) &&
        tabPressed) {
        QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
        tabPressed(hint == QAbstractItemDelegate::EditNextItem);
        return;
    }
    if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem) {
        const QModelIndex target =
            moveCursor(hint == QAbstractItemDelegate::EditNextItem ? MoveNext : MovePrevious, Qt::NoModifier);
        if (!MayMoveTo(target)) {
            QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
            OpenEditor();
            if (QLineEdit* reopened = CellEditor())
                reopened->setFocus();
            return;
        }
    }
    QTableWidget::closeEditor(editor, hint);
}

// The corner button carries the top-left text (drawn as enabled: the button only refuses clicks).
bool TTableGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == corner_ && corner_ != nullptr && event->type() == QEvent::Paint) {
        QStyleOptionHeader option;
        option.initFrom(corner_);
        option.state |= QStyle::State_Enabled;
        option.palette.setCurrentColorGroup(QPalette::Active);
        option.rect = corner_->rect();
        option.text = topLeft_;
        option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        option.position = QStyleOptionHeader::OnlyOneSection;
        QStylePainter painter(corner_);
        painter.drawControl(QStyle::CE_Header, option);
        return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

// ---- TCellDelegate ----

QWidget* TCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    grid_->EditorOpened(editor);
    return editor;
}

void TCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    QStyledItemDelegate::setEditorData(editor, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->selectAll();
}

bool TCellDelegate::eventFilter(QObject* editor, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && grid_->enterPressed) {
            grid_->enterPressed();
            return true;
        }
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (key->key() == Qt::Key_Escape && line != nullptr && grid_->revertText) {
            line->setText(grid_->revertText(grid_->currentIndex()));
            line->selectAll();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}

} // namespace pavrin::controls
