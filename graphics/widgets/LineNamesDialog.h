// The line-names dialog of the graph window ("&Edit Legend"): every line of the graph, active or not,
// can be given a new name. Names may not be empty.
#pragma once

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace pavrin::graphics {

class TfrmLineNames : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMinWidth = 195;
    static constexpr int kMinHeight = 167;

    explicit TfrmLineNames(QWidget* parent = nullptr);

    // The working names (display names of all lines, by line index), before the dialog is shown.
    void SetNames(const QStringList& names);
    // The list's texts, handed back when the dialog has closed.
    QStringList Names() const;

    // Selects the first line and copies its name into the edit field.
    void FormShow();
    // The selected line changed (click, double click or typing in the list).
    void lbLinesClick();
    // Enter in the edit field or leaving it: a non-empty text becomes the selected line's name;
    // an empty one is refused with a message and the field restored from the list. Nothing is said
    // while the dialog is being cancelled (Esc, Cancel, the close button): the names are dropped anyway.
    void edLineExit();

    void reject() override;

    QListWidget* lbLines;
    QLineEdit* edLine;
    QPushButton* btnOK;
    QPushButton* btnCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool cancelling_ = false;
};

} // namespace pavrin::graphics
