// TdlgTitle, "Project Title": the project's one-line description and the designer's name and date.
#pragma once

#include "DataDialog.h"

#include <string>

class QLineEdit;

namespace pavrin::app::gui {

// A title that is not valid UTF-8 (an older project written in the Windows code page) is shown
// decoded as Windows-1252 and written back only when the user changes it; the 80-character limit
// holds for typing, never for a longer title loaded from a file.
class TdlgTitle : public TDataDialog {
    Q_OBJECT
public:
    static constexpr int kMaxTitleLength = 80;

    // The title's bytes as text: UTF-8 when they are valid UTF-8, else Windows-1252.
    static QString TitleText(const std::string& bytes);

    explicit TdlgTitle(QWidget* parent = nullptr);

    void FormActivate() override;
    bool FormDeactivate() override;

    QLineEdit* TitleMemo() const { return titleMemo_; }
    QLineEdit* DataEdit1() const { return dataEdit1_; }
    QLineEdit* DataEdit2() const { return dataEdit2_; }

private:
    // The text the title field showed when it was loaded from the project.
    QString loadedTitle_;
    QLineEdit* titleMemo_;
    QLineEdit* dataEdit1_;
    QLineEdit* dataEdit2_;
};

} // namespace pavrin::app::gui
