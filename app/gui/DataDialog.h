// TDataDialog: the common behaviour of the modeless data dialogs that open as child windows of the
// main window. A dialog loads the project's values when it becomes active (FormActivate) and writes
// the user's entries back when it loses activation, before a menu of the main window opens and when
// it closes (FormDeactivate). A numeric entry that its field refuses keeps the dialog open and the
// focus on the field, and nothing is written back.
#pragma once

#include <QString>
#include <QWidget>

#include <map>

class QMdiArea;
class QMdiSubWindow;

namespace pavrin::controls {
class TDataEdit;
}

namespace pavrin::app::gui {

class TDataDialog : public QWidget {
    Q_OBJECT
public:
    explicit TDataDialog(QWidget* parent = nullptr);

    // Loads the controls from the project.
    virtual void FormActivate() = 0;
    // Writes the controls back; false (nothing written) when a numeric field refuses its entry.
    virtual bool FormDeactivate() = 0;

    // Puts the dialog into a child window of `area` (single-line border, system menu and minimise
    // button only) and shows it; the child window is freed when the dialog closes.
    QMdiSubWindow* ShowIn(QMdiArea* area);
    QMdiSubWindow* SubWindow() const { return subWindow_; }

signals:
    // The dialog has closed and is about to be freed.
    void Closed();

protected:
    // Whether the entries may be written back: the focused numeric field accepts its entry, and every
    // field's text evaluates. A refused field shows its message and keeps the focus, and the dialog is
    // brought forward so that the user can correct it.
    bool AcceptEntries(std::initializer_list<controls::TDataEdit*> fields);

    // Shows a stored value in a field as it is, also outside the field's limits (only the user's
    // entries are checked), and remembers the text shown.
    void LoadField(controls::TDataEdit* field, long double value);
    // Writes the field's number to `target` when the user changed the text shown by LoadField (an
    // untouched field keeps the stored value to the last digit); true when the value changed.
    bool StoreField(controls::TDataEdit* field, long double& target) const;

    void closeEvent(QCloseEvent* event) override;
    // Esc closes the dialog as its close box does. The dialogs have no Cancel: they are modeless and
    // write their entries back whenever they lose the activation, so what they show is the project's.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QMdiSubWindow* subWindow_ = nullptr;
    std::map<const controls::TDataEdit*, QString> loadedText_;
};

} // namespace pavrin::app::gui
