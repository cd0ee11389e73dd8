#include "FrmResultsSummary.h"

#include "ProjectAnalysis.h"
#include "DecimalSeparator.h"
#include "MainDesktop.h"
#include "MessageBoxes.h"
#include "OutputFile.h"
#include "ProjectPaths.h"
#include "ResultTables.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <optional>
#include <set>
#include <sstream>

namespace pavrin::app::gui {

using controls::MessageBoxes;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QTableWidget* MakeTable() {
    auto* table = new QTableWidget;
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setWordWrap(false);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    return table;
}

// Numbers as the user reads and types them: the desktop's decimal separator.
QString Shown(const std::string& field) {
    QString text = Q(field);
    if (controls::DecimalSeparator() != '.' && !field.empty() && (field[0] == '-' || std::isdigit(field[0])))
        text.replace(QLatin1Char('.'), QLatin1Char(controls::DecimalSeparator()));
    return text;
}

} // namespace

TfrmResultsSummary::TfrmResultsSummary(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Results Summary"));
    message_ = new QLabel;
    message_->setWordWrap(true);
    tipCaption_ = new QLabel(QStringLiteral("Tip-movement pass"));
    headCaption_ = new QLabel(QStringLiteral("Head-load pass"));
    tipTable_ = MakeTable();
    headTable_ = MakeTable();
    for (QTableWidget* table : {tipTable_, headTable_})
        table->installEventFilter(this);
    export_ = new QPushButton(QStringLiteral("Export CSV..."));
    export_->setAutoDefault(false);
    connect(export_, &QPushButton::clicked, this, &TfrmResultsSummary::ExportCsvClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(tipCaption_);
    layout->addWidget(tipTable_, 3);
    layout->addWidget(headCaption_);
    layout->addWidget(headTable_, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(export_);
    buttons->addStretch();
    layout->addLayout(buttons);
    ShowNoResults(QStringLiteral("Run the analysis to see its results."));
}

void TfrmResultsSummary::ShowResults(const engine::AnalysisResults& results, const std::string& projectPath) {
    projectPath_ = projectPath;
    csv_ = results::formatDowndrag(results, true);
    QStringList header{QStringLiteral("No.")};
    for (const std::string& caption : results::downdragCaptions(results.data.units)) {
        QString text = Q(caption);
        text[0] = text[0].toUpper();
        header << text;
    }
    header << QStringLiteral("Note");
    for (QTableWidget* table : {tipTable_, headTable_}) {
        table->clear();
        table->setRowCount(0);
        table->setColumnCount(static_cast<int>(header.size()));
        table->setHorizontalHeaderLabels(header);
    }
    for (const results::DowndragRow& row : results::downdragRows(results)) {
        QTableWidget* table = row.headLoadPass ? headTable_ : tipTable_;
        const std::vector<std::string> fields = results::downdragFields(row);
        const int r = table->rowCount();
        table->insertRow(r);
        for (std::size_t f = 1; f < fields.size(); ++f) {
            auto* item = new QTableWidgetItem(Shown(fields[f]));
            if (f + 1 < fields.size())
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, static_cast<int>(f - 1), item);
        }
    }
    for (QTableWidget* table : {tipTable_, headTable_})
        table->resizeColumnsToContents();
    std::string title = results.data.title;
    title.erase(title.find_last_not_of(' ') + 1);
    QString message = QStringLiteral("Down-drag results: %1").arg(Q(title));
    if (results.data.settlement.empty())
        message += QStringLiteral("\nThe project has no soil settlement profile: no down-drag.");
    message_->setText(message);
    headCaption_->setVisible(headTable_->rowCount() > 0);
    headTable_->setVisible(headTable_->rowCount() > 0);
    tipTable_->setVisible(true);
    tipCaption_->setVisible(true);
    export_->setEnabled(true);
}

QSize TfrmResultsSummary::sizeHint() const {
    int columns = 0;
    for (int c = 0; c < tipTable_->columnCount(); ++c)
        columns = columns + std::max(tipTable_->columnWidth(c), headTable_->columnWidth(c));
    const QMargins margins = layout()->contentsMargins();
    const int width = columns + tipTable_->verticalScrollBar()->sizeHint().width() + 2 * tipTable_->frameWidth() +
                      margins.left() + margins.right() + 4;
    return QWidget::sizeHint().expandedTo(QSize(width, 520));
}

void TfrmResultsSummary::ShowNoResults(const QString& reason) {
    csv_.clear();
    for (QTableWidget* table : {tipTable_, headTable_}) {
        table->clear();
        table->setRowCount(0);
        table->setColumnCount(0);
    }
    message_->setText(reason);
    for (QWidget* widget : std::initializer_list<QWidget*>{tipCaption_, headCaption_, tipTable_, headTable_})
        widget->setVisible(false);
    export_->setEnabled(false);
}

QString TfrmResultsSummary::SelectedRowsText(const QTableWidget& table) const {
    std::set<int> rows;
    for (const QModelIndex& index : table.selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.empty())
        return {};
    QStringList lines;
    QStringList header;
    for (int c = 0; c < table.columnCount(); ++c)
        header << table.horizontalHeaderItem(c)->text();
    lines << header.join(QLatin1Char('\t'));
    for (int r : rows) {
        QStringList fields;
        for (int c = 0; c < table.columnCount(); ++c)
            fields << (table.item(r, c) != nullptr ? table.item(r, c)->text() : QString());
        lines << fields.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void TfrmResultsSummary::CopySelection() {
    const QTableWidget* table = headTable_->hasFocus() ? headTable_ : tipTable_;
    const QString text = SelectedRowsText(*table);
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void TfrmResultsSummary::ExportCsvClick() {
    if (csv_.empty())
        return;
    const std::optional<QString> path = ChooseOutputFile(this, QStringLiteral("Export CSV"), projectPath_,
                                                         QStringLiteral("-summary.csv"), QStringLiteral("csv"));
    if (!path)
        return;
    std::ostringstream err;
    if (!cli::writeTextFile(path->toStdString(), csv_, err))
        MessageBoxes::Current().ShowMessage(this, Q(err.str()).trimmed(), MessageBoxes::Icon::Error);
}

bool TfrmResultsSummary::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == tipTable_ || watched == headTable_) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        const QString text = SelectedRowsText(*static_cast<QTableWidget*>(watched));
        if (!text.isEmpty())
            QApplication::clipboard()->setText(text);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pavrin::app::gui
