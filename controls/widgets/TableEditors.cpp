#include "TableEditors.h"

#include "ChildWindowPlacement.h"
#include "TableChart.h"
#include "TableChartForm.h"
#include "TableForm.h"

#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace pavrin::controls {

TFormEditor::TFormEditor(TTableForm* form, QMdiArea* mdiArea) : form_(form), mdiArea_(mdiArea) {}

// The form may be inside one of its own event handlers (the user closed it): it is hidden now and
// deleted once that handler has returned.
TFormEditor::~TFormEditor() {
    if (form_ != nullptr && form_->BeingDestroyed()) { // with its MDI child window, as a rule
        form_ = nullptr;
        subWindow_ = nullptr;
    }
    if (form_ != nullptr)
        form_->DetachFromTable();
    if (subWindow_ != nullptr) {
        subWindow_->hide();
        subWindow_->deleteLater();
    } else if (form_ != nullptr) {
        form_->hide();
        form_->deleteLater();
    }
}

void TFormEditor::Show(bool modal) {
    if (form_ == nullptr || form_->Table() == nullptr)
        return;
    if (modal) {
        ShowModal();
        return;
    }
    if (auto* container = dynamic_cast<QWidget*>(form_->Table()->FormParent())) {
        if (form_->parentWidget() != container) {
            form_->setParent(container, Qt::Widget);
            form_->move(0, 0);
        }
        form_->PrepareShow(false);
        form_->show();
        return;
    }
    if (mdiArea_ != nullptr) {
        const bool opening = subWindow_ == nullptr;
        if (opening) {
            subWindow_ = new QMdiSubWindow;
            subWindow_->setAttribute(Qt::WA_DeleteOnClose, false);
            subWindow_->setWidget(form_);
            mdiArea_->addSubWindow(subWindow_);
            form_->SetSubWindow(subWindow_);
        }
        form_->PrepareShow(false);
        subWindow_->show();
        if (opening)
            PlaceNewWindow(*subWindow_);
        else
            KeepInsideWorkArea(*subWindow_);
        mdiArea_->setActiveSubWindow(subWindow_);
        return;
    }
    form_->PrepareShow(false);
    form_->show();
    form_->raise();
    form_->activateWindow();
}

// Never a child window: a window of its own over the main window, until the user closes it.
void TFormEditor::ShowModal() {
    if (!form_->isVisible()) {
        QWidget* owner = mdiArea_ != nullptr ? mdiArea_->window() : nullptr;
        form_->setParent(owner, Qt::Window);
        form_->setWindowModality(Qt::ApplicationModal);
    }
    form_->PrepareShow(true);
    form_->show();
    form_->raise();
    form_->activateWindow();
    QEventLoop loop;
    QObject::connect(form_, &TTableForm::Closed, &loop, &QEventLoop::quit);
    QObject::connect(form_, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::DialogExec);
}

void TFormEditor::SetCaption(const std::string& caption) {
    if (form_ != nullptr)
        form_->SetCaption(QString::fromStdString(caption));
}

void TFormEditor::HelpPictureChanged() {
    if (form_ != nullptr)
        form_->HelpPictureChanged();
}

void RegisterTableEditors(QMdiArea* mdiArea) {
    const QPointer<QMdiArea> area(mdiArea);
    PlainTables().SetEditorFactory([area](TGridTable& table) -> std::unique_ptr<TableEditor> {
        return std::make_unique<TFormEditor>(new TTableForm(table), area);
    });
    ChartTables().SetEditorFactory([area](TGridTable& table) -> std::unique_ptr<TableEditor> {
        if (auto* chart = dynamic_cast<TGridTableChart*>(&table))
            return std::make_unique<TFormEditor>(new TTableChartForm(*chart), area);
        return std::make_unique<TFormEditor>(new TTableForm(table), area);
    });
}

void UnregisterTableEditors() {
    PlainTables().SetEditorFactory(nullptr);
    ChartTables().SetEditorFactory(nullptr);
}

TTableForm* EditorForm(const TGridTable& table) {
    const auto* editor = dynamic_cast<const TFormEditor*>(table.Editor());
    return editor != nullptr ? editor->Form() : nullptr;
}

} // namespace pavrin::controls
