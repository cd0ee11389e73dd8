#include "DlgTitle.h"

#include "ProgramData.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStringDecoder>
#include <QVBoxLayout>

#include <algorithm>

namespace pavrin::app::gui {

TdlgTitle::TdlgTitle(QWidget* parent)
    : TDataDialog(parent), titleMemo_(new QLineEdit), dataEdit1_(new QLineEdit), dataEdit2_(new QLineEdit) {
    setWindowTitle(QStringLiteral("Project Title"));
    titleMemo_->setObjectName(QStringLiteral("TitleMemo"));
    dataEdit1_->setObjectName(QStringLiteral("DataEdit1"));
    dataEdit2_->setObjectName(QStringLiteral("DataEdit2"));
    titleMemo_->setMaxLength(kMaxTitleLength);
    // What the user types stays within the limit; a longer loaded title may only get shorter.
    connect(titleMemo_, &QLineEdit::textEdited, this, [this](const QString& text) {
        titleMemo_->setMaxLength(std::max<int>(kMaxTitleLength, static_cast<int>(text.size())));
    });
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

QString TdlgTitle::TitleText(const std::string& bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows1252("windows-1252");
    if (windows1252.isValid()) {
        text = windows1252.decode(view);
        if (!windows1252.hasError())
            return text;
    }
    return QString::fromLatin1(view);
}

void TdlgTitle::FormActivate() {
    if (!ProgramData)
        return;
    loadedTitle_ = TitleText(ProgramData->Title);
    // Never cut when shown: the limit applies to typing.
    titleMemo_->setMaxLength(std::max<int>(kMaxTitleLength, static_cast<int>(loadedTitle_.size())));
    titleMemo_->setText(loadedTitle_);
    dataEdit1_->setText(QString::fromStdString(ProgramData->DesignerName));
    // An empty date is not loaded: the field keeps what it shows.
    if (!ProgramData->DesignDate.empty())
        dataEdit2_->setText(QString::fromStdString(ProgramData->DesignDate));
}

bool TdlgTitle::FormDeactivate() {
    if (!ProgramData)
        return true;
    // Only a title the user changed is written back: an untouched one keeps its bytes.
    const QString shown = titleMemo_->text();
    if (shown != loadedTitle_) {
        const std::string title = shown.toStdString();
        if (title != ProgramData->Title) {
            ProgramData->Title = title;
            ProgramData->Tables().SetModified(true);
        }
        loadedTitle_ = shown;
    }
    ProgramData->DesignerName = dataEdit1_->text().toStdString();
    ProgramData->DesignDate = dataEdit2_->text().toStdString();
    return true;
}

} // namespace pavrin::app::gui
