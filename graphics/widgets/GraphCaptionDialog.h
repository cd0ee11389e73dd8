// The title dialog of the graph window ("&Graph Title"): the graph's title and whether it stands at
// the top or the bottom of the picture.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pavrin::graphics {

class TfrmGraphCaption : public QDialog {
    Q_OBJECT

public:
    explicit TfrmGraphCaption(QWidget* parent = nullptr);

    QLineEdit* edtCaption;
    QRadioButton* rbTop;
    QRadioButton* rbBottom;
    QPushButton* btnOK;
};

} // namespace pavrin::graphics
