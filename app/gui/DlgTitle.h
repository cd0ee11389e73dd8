// TdlgTitle, "Project Title": the project's one-line description and the designer's name and date.
#pragma once

#include "DataDialog.h"

class QLineEdit;

namespace pavrin::app::gui {

class TdlgTitle : public TDataDialog {
    Q_OBJECT
public:
    static constexpr int kMaxTitleLength = 80;

    explicit TdlgTitle(QWidget* parent = nullptr);

    void FormActivate() override;
    bool FormDeactivate() override;

    QLineEdit* TitleMemo() const { return titleMemo_; }
    QLineEdit* DataEdit1() const { return dataEdit1_; }
    QLineEdit* DataEdit2() const { return dataEdit2_; }

private:
    QLineEdit* titleMemo_;
    QLineEdit* dataEdit1_;
    QLineEdit* dataEdit2_;
};

} // namespace pavrin::app::gui
