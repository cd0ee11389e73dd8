// The active-lines dialog of the graph window ("&Active Curves"): which lines of the graph take part
// in the drawing, the legend and the window's per-line menu entries.
#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace pavrin::graphics {

class TfrmActiveLines : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMinWidth = 190;
    static constexpr int kMinHeight = 234;
    // Status texts of a line.
    static const QString kYes; // " yes : "
    static const QString kNo;  // " no  : "

    explicit TfrmActiveLines(QWidget* parent = nullptr);

    // The working lists from the window: display names and status texts of all lines, by index.
    void SetLineNames(const QStringList& names);
    void SetKodeLines(const QStringList& statuses);
    // The status texts, handed back when the dialog has closed.
    QStringList KodeLines() const { return statuses_; }

    void ActivateDesactivateButtonClick();
    void ActivateButtonClick();
    void DesactivateButtonClick();
    void lbLinesDblClick();

    QListWidget* lbLines;
    QPushButton* btnToggle;
    QPushButton* btnActivateAll;
    QPushButton* btnDeactivateAll;
    QPushButton* btnOK;
    QPushButton* btnCancel;

private:
    void Toggle(int row);
    void Refresh();

    QStringList names_;
    QStringList statuses_;
};

} // namespace pavrin::graphics
