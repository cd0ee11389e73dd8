// The editor windows of the grid tables: ShowEditor of a plain table opens a TTableForm, of a chart
// table a TTableChartForm. They open as child windows of the MDI area given here, or as top-level
// windows when there is none; embedded in the table's FormParent when it has one; modal when the
// table asks for it.
#pragma once

#include "Table.h"

#include <QMdiSubWindow>
#include <QPointer>

class QMdiArea;

namespace pavrin::controls {

class TTableForm;

// Installs the editor factories of both table families. `mdiArea` (may be null) must outlive the
// registration or be unregistered first; editors that outlive it open as top-level windows.
void RegisterTableEditors(QMdiArea* mdiArea = nullptr);
void UnregisterTableEditors();

// The open editor window of a table, if it has one.
TTableForm* EditorForm(const TGridTable& table);

// The table's side of an editor window: shows the form as the table asks and frees it (and its MDI
// child window) when the table lets go of it.
class TFormEditor : public TableEditor {
public:
    TFormEditor(TTableForm* form, QMdiArea* mdiArea);
    ~TFormEditor() override;
    TFormEditor(const TFormEditor&) = delete;
    TFormEditor& operator=(const TFormEditor&) = delete;

    void Show(bool modal) override;
    void SetCaption(const std::string& caption) override;
    void HelpPictureChanged() override;
    TTableForm* Form() const { return form_; }

private:
    void ShowModal();

    QPointer<TTableForm> form_;
    QPointer<QMdiArea> mdiArea_;
    QPointer<QMdiSubWindow> subWindow_;
};

} // namespace pavrin::controls
