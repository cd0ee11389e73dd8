// TfrmQwFactors, "Enter Modifications Factors for Tip Resistance": the multipliers on the tip loads
// and the tip movements of the Q-w curve.
#pragma once

#include "DataDialog.h"

namespace pavrin::app::gui {

class TfrmQwFactors : public TDataDialog {
    Q_OBJECT
public:
    explicit TfrmQwFactors(QWidget* parent = nullptr);

    void FormActivate() override;
    bool FormDeactivate() override;

    controls::TDataEdit* DataQfactor() const { return dataQ_; }
    controls::TDataEdit* Datawfactor() const { return dataW_; }

private:
    controls::TDataEdit* dataQ_;
    controls::TDataEdit* dataW_;
};

} // namespace pavrin::app::gui
