#include "DlgExport.h"

#include "DialogCaption.h"

#include "MessageBoxes.h"
#include "PltData.h"
#include "Workbook.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace pavrin::graphics {

namespace {

// The wait cursor for the length of a scope.
struct TWaitCursor {
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

QString QtExportDesktop::ChooseSaveFile(QWidget* parent, const QString& title, const QString& startName) {
    QFileDialog dialog(parent, title, startName, QStringLiteral("Excel Workbook (*.xlsx);;All Files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    dialog.selectFile(startName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

bool QtExportDesktop::OpenDocument(const QString& fileName) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}

QString DefaultWorkbookName(const QString& projectFileName) {
    const auto slash = std::max(projectFileName.lastIndexOf(QLatin1Char('/')),
                                projectFileName.lastIndexOf(QLatin1Char('\\')));
    const auto dot = projectFileName.lastIndexOf(QLatin1Char('.'));
    return (dot > slash ? projectFileName.left(dot) : projectFileName) + QStringLiteral(".xlsx");
}

TDlgExport::TDlgExport(TResultGraphs& graphs, QString projectFileName, std::array<bool, 4> enabled,
                       QWidget* parent)
    : QDialog(parent), graphs_(graphs), projectFileName_(std::move(projectFileName)), enabled_(enabled) {
    setWindowTitle(QStringLiteral("Export to Excel"));
    FitCaption(*this);
    auto* group = new QGroupBox(QStringLiteral("Available Plots"), this);
    CheckListBoxPlots = new QListWidget(group);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(CheckListBoxPlots);
    btnSelectAll = new QPushButton(QStringLiteral("Select All"), this);
    btnUnselectAll = new QPushButton(QStringLiteral("Unselect All"), this);
    btnGenerate = new QPushButton(QStringLiteral("Generate Excel File"), this);
    btnClose = new QPushButton(QStringLiteral("Close Window"), this);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {btnSelectAll, btnUnselectAll, btnGenerate, btnClose})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(group, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    for (const char* note : {"An Excel instance (if available) will open. ",
                             "Please wait until all the data has been exported to Excel.",
                             "Please note that you need to save the excel file afterwards."})
        layout->addWidget(new QLabel(QString::fromLatin1(note), this));

    connect(btnSelectAll, &QPushButton::clicked, this, &TDlgExport::Button1Click);
    connect(btnUnselectAll, &QPushButton::clicked, this, &TDlgExport::Button2Click);
    connect(btnGenerate, &QPushButton::clicked, this, &TDlgExport::Button3Click);
    connect(btnClose, &QPushButton::clicked, this, &TDlgExport::Button4Click);
    connect(CheckListBoxPlots, &QListWidget::itemChanged, this, [this] { CheckGenerateBtn(); });
    FormActivate();
}

TGraphPlot* TDlgExport::GetPlotPt(int entry) const {
    if (entry < 1 || entry > 4)
        return nullptr;
    return ExportableGraphs(graphs_)[static_cast<std::size_t>(entry - 1)];
}

void TDlgExport::FormActivate() {
    const QSignalBlocker blocker(CheckListBoxPlots);
    CheckListBoxPlots->clear();
    for (int entry = 1; entry <= 4; ++entry) {
        auto* item =
            new QListWidgetItem(QString::fromStdString(GetPlotPt(entry)->Caption), CheckListBoxPlots);
        const bool on = enabled_[static_cast<std::size_t>(entry - 1)];
        item->setFlags(on ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::ItemIsUserCheckable);
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    CheckGenerateBtn();
}

int TDlgExport::GetNPlots() const {
    int checked = 0;
    for (int i = 0; i < CheckListBoxPlots->count(); ++i)
        if (CheckListBoxPlots->item(i)->checkState() == Qt::Checked)
            ++checked;
    return checked;
}

void TDlgExport::CheckGenerateBtn() {
    btnGenerate->setEnabled(GetNPlots() > 0);
}

void TDlgExport::setAllChecked(bool checked) {
    {
        const QSignalBlocker blocker(CheckListBoxPlots);
        for (int i = 0; i < CheckListBoxPlots->count(); ++i) {
            QListWidgetItem* item = CheckListBoxPlots->item(i);
            if (item->flags().testFlag(Qt::ItemIsEnabled))
                item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        }
    }
    CheckGenerateBtn();
}

void TDlgExport::Button1Click() {
    setAllChecked(true);
}

void TDlgExport::Button2Click() {
    setAllChecked(false);
}

void TDlgExport::Button3Click() {
    if (GetNPlots() == 0)
        return;
    QString fileName =
        ExportDesktop::Current().ChooseSaveFile(this, windowTitle(), DefaultWorkbookName(projectFileName_));
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".xlsx");

    std::vector<const TGraphPlot*> graphs;
    for (int i = 0; i < CheckListBoxPlots->count(); ++i)
        if (CheckListBoxPlots->item(i)->checkState() == Qt::Checked)
            graphs.push_back(GetPlotPt(i + 1));
    try {
        const TWaitCursor wait;
        WriteGraphWorkbook(QFile::encodeName(fileName).toStdString(), graphs);
    } catch (const EWorkbookError& e) {
        controls::MessageBoxes::Current().ShowMessage(this, QString::fromStdString(e.what()));
        return;
    } catch (const std::exception& e) {
        controls::MessageBoxes::Current().ShowMessage(
            this, QStringLiteral("The workbook %1 could not be written: %2")
                      .arg(fileName, QString::fromUtf8(e.what())));
        return;
    }
    lastWorkbook_ = fileName;
    if (!ExportDesktop::Current().OpenDocument(fileName))
        controls::MessageBoxes::Current().ShowMessage(
            this,
            QStringLiteral(
                "The workbook %1 was written, but no spreadsheet program could be started to open it.")
                .arg(fileName),
            controls::MessageBoxes::Icon::Warning);
}

void TDlgExport::Button4Click() {
    close();
}

} // namespace pavrin::graphics
