// TfrmMaterial, "Pile Properties": pile length, outer diameter, tip area, tolerance and the number of
// increments, and the button that opens the axial-stiffness table.
#pragma once

#include "DataDialog.h"

class QFormLayout;
class QPushButton;

namespace pavrin::app::gui {

class TfrmMaterial : public TDataDialog {
    Q_OBJECT
public:
    explicit TfrmMaterial(QWidget* parent = nullptr);

    void FormActivate() override;
    bool FormDeactivate() override;

    controls::TDataEdit* DataPL() const { return dataPL_; }
    controls::TDataEdit* DataOD() const { return dataOD_; }
    controls::TDataEdit* DataArea() const { return dataArea_; }
    controls::TDataEdit* DataTol() const { return dataTol_; }
    controls::TDataEdit* DataNI() const { return dataNI_; }
    QPushButton* AEButton() const { return btnAE_; }

private:
    void BtnAEClick();

    controls::TDataEdit* dataPL_;
    controls::TDataEdit* dataOD_;
    controls::TDataEdit* dataArea_;
    controls::TDataEdit* dataTol_;
    controls::TDataEdit* dataNI_;
    QPushButton* btnAE_;
    bool loading_ = false;
};

// A numeric field with its label in a form layout: caption, units template, limits.
controls::TDataEdit* AddDataField(QFormLayout* form, const char* objectName, const QString& caption,
                                  const QString& unitsTemplate, long double minimum, long double maximum);

} // namespace pavrin::app::gui
