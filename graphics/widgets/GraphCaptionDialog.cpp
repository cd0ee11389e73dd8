#include "GraphCaptionDialog.h"

#include "DialogCaption.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pavrin::graphics {

TfrmGraphCaption::TfrmGraphCaption(QWidget* parent)
    : QDialog(parent), edtCaption(new QLineEdit(this)), rbTop(new QRadioButton(QStringLiteral("Top"))),
      rbBottom(new QRadioButton(QStringLiteral("Bottom"))), btnOK(new QPushButton(QStringLiteral("&OK"))) {
    setWindowTitle(QStringLiteral("Graph Caption"));
    FitCaption(*this);
    auto* label = new QLabel(QStringLiteral("Enter Graph Caption"));
    label->setBuddy(edtCaption);
    auto* location = new QGroupBox(QStringLiteral("Caption Location"));
    auto* radios = new QHBoxLayout(location);
    radios->addWidget(rbTop);
    radios->addWidget(rbBottom);
    rbBottom->setChecked(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addStretch();
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(edtCaption);
    layout->addWidget(location);
    layout->addLayout(buttons);
    edtCaption->setMinimumWidth(260);
}

} // namespace pavrin::graphics
