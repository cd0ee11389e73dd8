#include "FrmMaterial.h"

#include "DataEdit.h"
#include "MessageBoxes.h"
#include "ProgramData.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace pavrin::app::gui {

using controls::TDataEdit;

TDataEdit* AddDataField(QFormLayout* form, const char* objectName, const QString& caption,
                        const QString& unitsTemplate, long double minimum, long double maximum) {
    auto* field = new TDataEdit;
    field->setObjectName(QString::fromLatin1(objectName));
    auto* label = new QLabel;
    field->SetCaption(caption);
    field->SetUnitsString(unitsTemplate);
    field->SetMinVal(minimum);
    field->SetMaxVal(maximum);
    field->SetEditLabel(label);
    form->addRow(label, field);
    return field;
}

TfrmMaterial::TfrmMaterial(QWidget* parent) : TDataDialog(parent) {
    setWindowTitle(QStringLiteral("Pile Properties"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    constexpr long double kNone = TDataEdit::kExtendedMax;
    dataPL_ =
        AddDataField(form, "DataPL", QStringLiteral("Pile Length"), QStringLiteral("L"), -kNone, 1000000);
    dataOD_ =
        AddDataField(form, "DataOD", QStringLiteral("Outer Diameter"), QStringLiteral("L"), -kNone, 1000000);
    dataArea_ = AddDataField(form, "DataArea", QStringLiteral("Area of Pile Tip"), QStringLiteral("L^2"),
                             -kNone, 1000000000);
    dataTol_ = AddDataField(form, "DataTol", QStringLiteral("Tolerance"), QStringLiteral("L"), 1e-9L, 1.0L);
    dataNI_ = AddDataField(form, "DataNI", QStringLiteral("Number of Increments"), QString(), 10, 500);
    dataNI_->SetIntegerOnly(true);
    layout->addLayout(form);

    btnAE_ = new QPushButton(QStringLiteral("Edit AE vs. Depth Data"));
    btnAE_->setObjectName(QStringLiteral("btnAE"));
    btnAE_->setToolTip(QStringLiteral("Enter pile stiffness versus depth"));
    // Clicking the button does not take the focus from a field holding a refused entry.
    btnAE_->setFocusPolicy(Qt::TabFocus);
    connect(btnAE_, &QPushButton::clicked, this, &TfrmMaterial::BtnAEClick);
    layout->addWidget(btnAE_);

    connect(dataTol_, &TDataEdit::OnChange, this, [this] {
        if (!loading_ && ProgramData)
            ProgramData->Tables().SetModified(true);
    });
}

void TfrmMaterial::FormActivate() {
    if (!ProgramData)
        return;
    const TProgramData& project = *ProgramData;
    loading_ = true;
    for (TDataEdit* field : {dataPL_, dataArea_, dataOD_, dataTol_})
        field->SetUnits(project.Units);
    LoadField(dataPL_, project.PileLength);
    LoadField(dataOD_, project.OuterDiameter);
    LoadField(dataArea_, project.TipArea);
    LoadField(dataTol_, project.Tolerance);
    LoadField(dataNI_, project.Increments);
    loading_ = false;
}

bool TfrmMaterial::FormDeactivate() {
    if (!ProgramData)
        return true;
    if (!AcceptEntries({dataPL_, dataOD_, dataArea_, dataTol_, dataNI_}))
        return false;
    TProgramData& project = *ProgramData;
    bool changed = StoreField(dataPL_, project.PileLength);
    changed |= StoreField(dataOD_, project.OuterDiameter);
    changed |= StoreField(dataArea_, project.TipArea);
    changed |= StoreField(dataTol_, project.Tolerance);
    long double increments = project.Increments;
    if (StoreField(dataNI_, increments)) {
        project.Increments =
            static_cast<int>(std::nearbyint(std::fmax(std::fmin(increments, 2147483647.0L), -2147483647.0L)));
        changed = true;
    }
    // Any changed value counts as an unsaved edit, so that closing the program asks to save it.
    if (changed)
        project.Tables().SetModified(true);
    return true;
}

void TfrmMaterial::BtnAEClick() {
    if (!ProgramData || !FormDeactivate())
        return;
    try {
        ProgramData->Tables().TblAE2().ShowEditor(false);
    } catch (const std::exception& e) {
        controls::MessageBoxes::Current().ShowMessage(this, QString::fromStdString(e.what()));
    }
}

} // namespace pavrin::app::gui
