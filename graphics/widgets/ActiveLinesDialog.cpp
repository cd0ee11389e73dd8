#include "ActiveLinesDialog.h"

#include "DialogCaption.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavrin::graphics {

const QString TfrmActiveLines::kYes = QStringLiteral(" yes : ");
const QString TfrmActiveLines::kNo = QStringLiteral(" no  : ");

TfrmActiveLines::TfrmActiveLines(QWidget* parent)
    : QDialog(parent), lbLines(new QListWidget(this)),
      btnToggle(new QPushButton(QStringLiteral("Activate/Deactivate Selected"))),
      btnActivateAll(new QPushButton(QStringLiteral("Activate All"))),
      btnDeactivateAll(new QPushButton(QStringLiteral("Deactivate All"))),
      btnOK(new QPushButton(QStringLiteral("&OK"))), btnCancel(new QPushButton(QStringLiteral("&Cancel"))) {
    setWindowTitle(QStringLiteral("Active Curves"));
    lbLines->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    lbLines->setFont(fixed); // the status column lines up

    auto* columns = new QHBoxLayout;
    columns->addWidget(new QLabel(QStringLiteral("Active :")));
    columns->addWidget(new QLabel(QStringLiteral("Curve")), 1);
    auto* all = new QHBoxLayout;
    all->addWidget(btnActivateAll);
    all->addStretch();
    all->addWidget(btnDeactivateAll);
    auto* closing = new QHBoxLayout;
    closing->addWidget(btnOK);
    closing->addStretch();
    closing->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select Curve to Active/Desactive")));
    layout->addLayout(columns);
    layout->addWidget(lbLines, 1);
    layout->addWidget(btnToggle);
    layout->addLayout(all);
    layout->addLayout(closing);
    setMinimumSize(kMinWidth, kMinHeight);
    FitCaption(*this);
    btnOK->setDefault(true);

    connect(btnToggle, &QPushButton::clicked, this, [this] { ActivateDesactivateButtonClick(); });
    connect(btnActivateAll, &QPushButton::clicked, this, [this] { ActivateButtonClick(); });
    connect(btnDeactivateAll, &QPushButton::clicked, this, [this] { DesactivateButtonClick(); });
    connect(lbLines, &QListWidget::itemDoubleClicked, this, [this] { lbLinesDblClick(); });
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmActiveLines::SetLineNames(const QStringList& names) {
    names_ = names;
    Refresh();
}

void TfrmActiveLines::SetKodeLines(const QStringList& statuses) {
    statuses_ = statuses;
    Refresh();
}

void TfrmActiveLines::Refresh() {
    const int current = lbLines->currentRow();
    QList<int> selected;
    for (const auto* item : lbLines->selectedItems())
        selected << lbLines->row(item);
    lbLines->clear();
    const auto count = std::min(names_.size(), statuses_.size());
    for (qsizetype i = 0; i < count; ++i)
        lbLines->addItem(statuses_[i] + QStringLiteral("   ") + names_[i]);
    if (current >= 0 && current < lbLines->count())
        lbLines->setCurrentRow(current, QItemSelectionModel::NoUpdate);
    for (const int row : selected)
        if (row < lbLines->count())
            lbLines->item(row)->setSelected(true);
}

void TfrmActiveLines::Toggle(int row) {
    if (row >= 0 && row < statuses_.size())
        statuses_[row] = statuses_[row] == kYes ? kNo : kYes;
}

void TfrmActiveLines::ActivateDesactivateButtonClick() {
    const auto selected = lbLines->selectedItems();
    if (selected.size() == 1)
        Toggle(lbLines->currentRow());
    else
        for (const auto* item : selected)
            Toggle(lbLines->row(item));
    Refresh();
}

void TfrmActiveLines::lbLinesDblClick() {
    Toggle(lbLines->currentRow());
    Refresh();
}

void TfrmActiveLines::ActivateButtonClick() {
    statuses_.fill(kYes);
    Refresh();
}

void TfrmActiveLines::DesactivateButtonClick() {
    statuses_.fill(kNo);
    Refresh();
}

} // namespace pavrin::graphics
