// TTableGrid: the string grid of a table editor, and TCellDelegate, its cell editor.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include <functional>

class QAbstractButton;

namespace pavrin::controls {

// The grid of a table editor: cells hold the texts the user sees and types; the form moves them
// to and from the table. Every move of the current cell that the user starts (mouse, arrow and
// page keys, Tab, Enter) asks `beforeMove` first, so a cell whose text the table refuses keeps the
// cursor. The editor of the current cell is always open while the grid has the focus.
class TTableGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TTableGrid(QWidget* parent = nullptr);

    // Asked before the current cell moves to `target`; false keeps it where it is.
    std::function<bool(const QModelIndex& target)> beforeMove;
    // The current cell has moved (by the user or by the program).
    std::function<void(const QModelIndex& current, const QModelIndex& previous)> afterMove;
    // Enter or Return in the grid or its cell editor.
    std::function<void()> enterPressed;
    // Escape in the cell editor: the text of the current cell before the edit.
    std::function<QString(const QModelIndex& index)> revertText;
    // Tab (forward) or Shift+Tab in the grid or its cell editor; when set, it moves the cursor
    // instead of the grid's own Tab move (which passes over cells that cannot be selected).
    std::function<void(bool forward)> tabPressed;
    // A key press or release in the grid or its cell editor, after the grid handled it.
    std::function<void(QKeyEvent* event, bool press)> keyEvent;

    // The open editor of the current cell, if any.
    QLineEdit* CellEditor() const;
    // Writes the open editor's text into its cell.
    void FlushEditor();
    // Opens the editor of the current cell when that cell is editable.
    void OpenEditor();
    // The text of the grid's top-left cell (drawn on the corner button).
    void SetTopLeftText(const QString& text);
    QString TopLeftText() const { return topLeft_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TCellDelegate;
    bool MayMoveTo(const QModelIndex& target);
    void EditorOpened(QLineEdit* editor) { editor_ = editor; }

    QPointer<QLineEdit> editor_;
    QAbstractButton* corner_ = nullptr;
    QString topLeft_;
};

// The cell editor of the grid: a frameless line edit whose whole text is selected, so typing
// replaces it. Enter and Escape are the grid's.
class TCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TCellDelegate(TTableGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;

private:
    TTableGrid* grid_;
};

} // namespace pavrin::controls
