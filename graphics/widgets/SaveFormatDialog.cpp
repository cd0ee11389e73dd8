#include "SaveFormatDialog.h"

#include "DialogCaption.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace pavrin::graphics {

namespace {

controls::TDataEdit* numberField(QWidget* parent, long double value, long double minimum, bool integer) {
    auto* edit = new controls::TDataEdit(parent);
    edit->SetIntegerOnly(integer);
    edit->SetMinVal(minimum);
    edit->SetNumber(value);
    return edit;
}

// Sizes beyond the 32-bit range cannot be a picture; they count as a failed allocation.
int pixels(long double ppi, long double inches) {
    const long double value = std::round(ppi * inches);
    return value > 0 && value < 2147483647.0L ? static_cast<int>(value) : -1;
}

} // namespace

TdlgFormat::TdlgFormat(QWidget* parent)
    : QDialog(parent), deHeight(numberField(this, 4, 2, false)), deWidth(numberField(this, 6, 2, false)),
      dePPI(numberField(this, 72, 10, true)), btnOK(new QPushButton(QStringLiteral("OK"))),
      btnCancel(new QPushButton(QStringLiteral("Cancel"))) {
    setWindowTitle(QStringLiteral("Save Attributes"));
    FitCaption(*this);
    auto* fields = new QFormLayout;
    const auto addField = [&](const QString& caption, controls::TDataEdit* edit) {
        auto* label = new QLabel(caption);
        edit->SetCaption(caption);
        edit->SetEditLabel(label);
        fields->addRow(label, edit);
    };
    addField(QStringLiteral("&Height (in)"), deHeight);
    addField(QStringLiteral("&Width (in)"), deWidth);
    addField(QStringLiteral("&Pixels Per Inch"), dePPI);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    btnOK->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TdlgFormat::btnOKClick() {
    for (auto* field : {deHeight, deWidth, dePPI})
        if (!field->Validate())
            return;
    ppi_ = static_cast<int>(dePPI->Number());
    heightPx_ = pixels(ppi_, deHeight->Number());
    widthPx_ = pixels(ppi_, deWidth->Number());
    accept();
}

} // namespace pavrin::graphics
