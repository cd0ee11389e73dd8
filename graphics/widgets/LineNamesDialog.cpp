#include "LineNamesDialog.h"

#include "DialogCaption.h"

#include "MessageBoxes.h"
#include "PlotDraw.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavrin::graphics {

TfrmLineNames::TfrmLineNames(QWidget* parent)
    : QDialog(parent), lbLines(new QListWidget(this)), edLine(new QLineEdit(this)),
      btnOK(new QPushButton(QStringLiteral("&OK"))), btnCancel(new QPushButton(QStringLiteral("&Cancel"))) {
    setWindowTitle(QStringLiteral("Legend"));
    auto* selectLabel = new QLabel(QStringLiteral("Select line to modify:"));
    selectLabel->setBuddy(lbLines);
    auto* typeLabel = new QLabel(QStringLiteral("Type new legend below:"));
    typeLabel->setBuddy(edLine);

    // Enter belongs to the edit field: it stores the name and does not close the dialog.
    btnOK->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(10, 0, 10, 0); // 20 pixels from the dialog's edges
    buttons->addWidget(btnOK);
    buttons->addStretch();
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(5);
    layout->addWidget(selectLabel);
    layout->addWidget(lbLines, 1);
    layout->addWidget(typeLabel);
    layout->addWidget(edLine);
    layout->addLayout(buttons);
    setMinimumSize(kMinWidth, kMinHeight);
    FitCaption(*this);

    connect(lbLines, &QListWidget::currentRowChanged, this, [this] { lbLinesClick(); });
    connect(lbLines, &QListWidget::itemClicked, this, [this] { lbLinesClick(); });
    connect(lbLines, &QListWidget::itemDoubleClicked, this, [this] { lbLinesClick(); });
    connect(edLine, &QLineEdit::editingFinished, this, [this] { edLineExit(); });
    connect(btnOK, &QPushButton::clicked, this, [this] {
        edLineExit();
        accept();
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmLineNames::SetNames(const QStringList& names) {
    lbLines->clear();
    lbLines->addItems(names);
}

QStringList TfrmLineNames::Names() const {
    QStringList names;
    for (int i = 0; i < lbLines->count(); ++i)
        names << lbLines->item(i)->text();
    return names;
}

void TfrmLineNames::showEvent(QShowEvent* event) {
    cancelling_ = false;
    QDialog::showEvent(event);
    FormShow();
}

void TfrmLineNames::FormShow() {
    if (lbLines->count() > 0) {
        lbLines->setCurrentRow(0);
        lbLinesClick();
    }
}

void TfrmLineNames::lbLinesClick() {
    const int row = lbLines->currentRow();
    if (row < 0)
        return;
    edLine->setText(lbLines->item(row)->text());
    QPalette palette = edLine->palette();
    palette.setColor(QPalette::Text, LineColor(row));
    edLine->setPalette(palette);
}

void TfrmLineNames::reject() {
    cancelling_ = true; // until the dialog is shown again: the field may lose the focus later
    QDialog::reject();
}

void TfrmLineNames::edLineExit() {
    const int row = lbLines->currentRow();
    if (row < 0 || cancelling_)
        return;
    if (edLine->text().isEmpty()) {
        edLine->setText(lbLines->item(row)->text());
        controls::MessageBoxes::Current().ShowMessage(this, QStringLiteral("The line must have a name!"));
        return;
    }
    lbLines->item(row)->setText(edLine->text());
}

} // namespace pavrin::graphics
