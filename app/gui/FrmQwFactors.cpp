#include "FrmQwFactors.h"

#include "DataEdit.h"
#include "FrmMaterial.h"
#include "ProgramData.h"

#include <QFormLayout>

namespace pavrin::app::gui {

using controls::TDataEdit;

TfrmQwFactors::TfrmQwFactors(QWidget* parent) : TDataDialog(parent) {
    setWindowTitle(QStringLiteral("Enter Modifications Factors for Tip Resistance"));
    auto* form = new QFormLayout(this);
    constexpr long double kNone = TDataEdit::kExtendedMax;
    dataQ_ = AddDataField(form, "DataQfactor", QStringLiteral("Q-multiplier"), QString(), -kNone, kNone);
    dataW_ = AddDataField(form, "Datawfactor", QStringLiteral("w-multiplier"), QString(), -kNone, kNone);
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 120);
}

void TfrmQwFactors::FormActivate() {
    if (!ProgramData)
        return;
    LoadField(dataQ_, ProgramData->QMultiplier);
    LoadField(dataW_, ProgramData->WMultiplier);
}

bool TfrmQwFactors::FormDeactivate() {
    if (!ProgramData)
        return true;
    if (!AcceptEntries({dataQ_, dataW_}))
        return false;
    bool changed = StoreField(dataQ_, ProgramData->QMultiplier);
    changed |= StoreField(dataW_, ProgramData->WMultiplier);
    if (changed)
        ProgramData->Tables().SetModified(true);
    return true;
}

} // namespace pavrin::app::gui
