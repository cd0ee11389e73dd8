#include "DlgTitle.h"

#include "ProgramData.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace pavrin::app::gui {

TdlgTitle::TdlgTitle(QWidget* parent)
    : TDataDialog(parent), titleMemo_(new QLineEdit), dataEdit1_(new QLineEdit), dataEdit2_(new QLineEdit) {
    setWindowTitle(QStringLiteral("Project Title"));
    titleMemo_->setObjectName(QStringLiteral("TitleMemo"));
    dataEdit1_->setObjectName(QStringLiteral("DataEdit1"));
    dataEdit2_->setObjectName(QStringLiteral("DataEdit2"));
    titleMemo_->setMaxLength(kMaxTitleLength);
    titleMemo_->setMinimumWidth(titleMemo_->fontMetrics().horizontalAdvance(QLatin1Char('n')) * 64);

    auto* layout = new QVBoxLayout(this);
    auto* titleLabel = new QLabel(QStringLiteral("Enter line of text for project description:"));
    titleLabel->setBuddy(titleMemo_);
    layout->addWidget(titleLabel);
    layout->addWidget(titleMemo_);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name of the Designer : "), dataEdit1_);
    form->addRow(QStringLiteral("Date : "), dataEdit2_);
    layout->addLayout(form);
}

void TdlgTitle::FormActivate() {
    if (!ProgramData)
        return;
    titleMemo_->setText(QString::fromStdString(ProgramData->Title));
    dataEdit1_->setText(QString::fromStdString(ProgramData->DesignerName));
    // An empty date is not loaded: the field keeps what it shows.
    if (!ProgramData->DesignDate.empty())
        dataEdit2_->setText(QString::fromStdString(ProgramData->DesignDate));
}

bool TdlgTitle::FormDeactivate() {
    if (!ProgramData)
        return true;
    const std::string title = titleMemo_->text().toStdString();
    if (title != ProgramData->Title) {
        ProgramData->Title = title;
        ProgramData->Tables().SetModified(true);
    }
    ProgramData->DesignerName = dataEdit1_->text().toStdString();
    ProgramData->DesignDate = dataEdit2_->text().toStdString();
    return true;
}

} // namespace pavrin::app::gui
