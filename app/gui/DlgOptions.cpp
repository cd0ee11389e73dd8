#include "DlgOptions.h"

#include "MainDesktop.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace pavrin::app::gui {

TDlgOptions::TDlgOptions(std::function<QString()> getEditor, std::function<void(const QString&)> setEditor,
                         QWidget* parent)
    : TDataDialog(parent), getEditor_(std::move(getEditor)), setEditor_(std::move(setEditor)),
      edtWord_(new QLineEdit), btnBrowse_(new QPushButton(QStringLiteral("&Browse..."))) {
    setWindowTitle(QStringLiteral("Control Options"));
    edtWord_->setObjectName(QStringLiteral("EdtWord"));
    edtWord_->setMinimumWidth(edtWord_->fontMetrics().horizontalAdvance(QLatin1Char('n')) * 48);
    auto* layout = new QHBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Text Editor:"));
    label->setBuddy(edtWord_);
    layout->addWidget(label);
    layout->addWidget(edtWord_, 1);
    layout->addWidget(btnBrowse_);
    connect(btnBrowse_, &QPushButton::clicked, this, &TDlgOptions::BtnBrowseClick);
}

void TDlgOptions::FormActivate() {
    edtWord_->setText(getEditor_());
}

bool TDlgOptions::FormDeactivate() {
    setEditor_(edtWord_->text());
    return true;
}

void TDlgOptions::BtnBrowseClick() {
    const QString chosen = MainDesktop::Current().ChooseProgram(this, edtWord_->text());
    if (!chosen.isEmpty())
        edtWord_->setText(chosen);
}

} // namespace pavrin::app::gui
