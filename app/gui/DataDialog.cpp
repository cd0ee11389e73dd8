#include "DataDialog.h"

#include "DataEdit.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace pavrin::app::gui {

TDataDialog::TDataDialog(QWidget* parent) : QWidget(parent) {}

QMdiSubWindow* TDataDialog::ShowIn(QMdiArea* area) {
    if (subWindow_ == nullptr) {
        subWindow_ = new QMdiSubWindow;
        subWindow_->setWidget(this);
        subWindow_->setAttribute(Qt::WA_DeleteOnClose);
        subWindow_->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        subWindow_->setWindowTitle(windowTitle());
        area->addSubWindow(subWindow_);
        // A fixed size: the dialog is laid out for its content.
        adjustSize();
        subWindow_->adjustSize();
        subWindow_->setFixedSize(subWindow_->sizeHint());
    }
    subWindow_->show();
    area->setActiveSubWindow(subWindow_);
    return subWindow_;
}

bool TDataDialog::AcceptEntries(std::initializer_list<controls::TDataEdit*> fields) {
    controls::TDataEdit* refused = nullptr;
    auto* focused = qobject_cast<controls::TDataEdit*>(focusWidget());
    if (focused != nullptr && !focused->Validate())
        refused = focused;
    for (controls::TDataEdit* field : fields) {
        if (refused != nullptr)
            break;
        try {
            (void)field->Number();
        } catch (...) {
            field->setFocus();
            if (!field->Validate())
                refused = field;
        }
    }
    if (refused == nullptr)
        return true;
    if (subWindow_ != nullptr && subWindow_->mdiArea() != nullptr)
        subWindow_->mdiArea()->setActiveSubWindow(subWindow_);
    refused->setFocus();
    return false;
}
void TDataDialog::LoadField(controls::TDataEdit* field, long double value) {
    field->SetLoading(true);
    field->SetNumber(value);
    field->SetLoading(false);
    loadedText_[field] = field->text();
}

bool TDataDialog::StoreField(controls::TDataEdit* field, long double& target) const {
    const auto loaded = loadedText_.find(field);
    if (loaded != loadedText_.end() && loaded->second == field->text())
        return false;
    const long double value = field->Number();
    const bool changed = value != target;
    target = value;
    return changed;
}

void TDataDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (subWindow_ != nullptr)
            subWindow_->close(); // closes the dialog through closeEvent
        else
            close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TDataDialog::closeEvent(QCloseEvent* event) {
    if (!FormDeactivate()) {
        event->ignore();
        return;
    }
    event->accept();
    emit Closed();
}

} // namespace pavrin::app::gui
