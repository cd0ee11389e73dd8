// TDlgOptions, "Control Options": the program that opens the project's text files.
#pragma once

#include "DataDialog.h"

#include <functional>

class QLineEdit;
class QPushButton;

namespace pavrin::app::gui {

class TDlgOptions : public TDataDialog {
    Q_OBJECT
public:
    // The main window's text-editor setting, read and written through these.
    TDlgOptions(std::function<QString()> getEditor, std::function<void(const QString&)> setEditor,
                QWidget* parent = nullptr);

    void FormActivate() override;
    bool FormDeactivate() override;

    QLineEdit* EdtWord() const { return edtWord_; }
    QPushButton* BrowseButton() const { return btnBrowse_; }

private:
    void BtnBrowseClick();

    std::function<QString()> getEditor_;
    std::function<void(const QString&)> setEditor_;
    QLineEdit* edtWord_;
    QPushButton* btnBrowse_;
};

} // namespace pavrin::app::gui
