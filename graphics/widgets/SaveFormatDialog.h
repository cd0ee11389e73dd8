// The "Save Attributes" dialog of the graph window: size of the saved picture in inches and its
// pixels per inch.
#pragma once

#include "DataEdit.h"

#include <QDialog>

class QPushButton;

namespace pavrin::graphics {

class TdlgFormat : public QDialog {
    Q_OBJECT

public:
    explicit TdlgFormat(QWidget* parent = nullptr);

    // Accepts when every field holds an accepted value; otherwise the failing field keeps the focus.
    void btnOKClick();

    // The picture's size in pixels: round(PPI × inches); valid after OK.
    int WidthPixels() const { return widthPx_; }
    int HeightPixels() const { return heightPx_; }
    int PixelsPerInch() const { return ppi_; }

    controls::TDataEdit* deHeight;
    controls::TDataEdit* deWidth;
    controls::TDataEdit* dePPI;
    QPushButton* btnOK;
    QPushButton* btnCancel;

private:
    int widthPx_ = 0;
    int heightPx_ = 0;
    int ppi_ = 0;
};

} // namespace pavrin::graphics
