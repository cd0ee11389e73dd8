#include "FrmDesignSweep.h"

#include "DataEdit.h"
#include "FrmMaterial.h"
#include "MainDesktop.h"
#include "CheckedProject.h"
#include "MessageBoxes.h"
#include "OutputFile.h"
#include "PlotForm.h"
#include "ProjectFile.h"
#include "ProjectFileNames.h"
#include "ProjectPaths.h"
#include "Workbook.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace pavrin::app::gui {

using cli::SweepParameter;
using controls::MessageBoxes;
using controls::TDataEdit;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

constexpr SweepParameter kParameters[] = {SweepParameter::Length, SweepParameter::Diameter,
                                          SweepParameter::TipArea, SweepParameter::TzFactor,
                                          SweepParameter::QwFactor};

QString UnitsTemplate(SweepParameter parameter) {
    switch (parameter) {
    case SweepParameter::Length:
    case SweepParameter::Diameter:
        return QStringLiteral("L");
    case SweepParameter::TipArea:
        return QStringLiteral("L^2");
    default:
        return {};
    }
}

long double Largest(SweepParameter parameter) {
    return parameter == SweepParameter::TipArea    ? 1e9L
           : parameter == SweepParameter::Length   ? 1e6L
           : parameter == SweepParameter::Diameter ? 1e6L
                                                   : 1e3L;
}

// The most variants the window runs: one table row each.
constexpr int kMaxWindowSteps = 10000;

void Warn(QWidget* parent, const QString& text) {
    MessageBoxes::Current().ShowMessage(parent, text, MessageBoxes::Icon::Warning);
}

} // namespace

void TSweepRowsModel::Reset(const QStringList& header) {
    beginResetModel();
    header_ = header;
    rows_.clear();
    endResetModel();
}

void TSweepRowsModel::Insert(int row, const QStringList& fields) {
    beginInsertRows({}, row, row);
    rows_.insert(rows_.begin() + row, fields);
    endInsertRows();
}

int TSweepRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TSweepRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(header_.size());
}

QVariant TSweepRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole) {
        const QStringList& row = rows_[static_cast<std::size_t>(index.row())];
        return index.column() < row.size() ? row[index.column()] : QString();
    }
    // Numbers to the right, the reason to the left.
    if (role == Qt::TextAlignmentRole)
        return index.column() + 1 < columnCount() ? int(Qt::AlignRight | Qt::AlignVCenter)
                                                  : int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant TSweepRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= header_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return header_[section];
}

QString SweepParameterCaption(SweepParameter parameter) {
    switch (parameter) {
    case SweepParameter::Length:
        return QStringLiteral("Pile Length");
    case SweepParameter::Diameter:
        return QStringLiteral("Outer Diameter");
    case SweepParameter::TipArea:
        return QStringLiteral("Area of Pile Tip");
    case SweepParameter::TzFactor:
        return QStringLiteral("t-z Multiplier");
    case SweepParameter::QwFactor:
        return QStringLiteral("Q-w Multiplier");
    }
    return {};
}

TfrmDesignSweep::TfrmDesignSweep(QMdiArea* area, ProjectSaver saver, std::function<int()> units,
                                 ProjectValue value, QWidget* parent)
    : QWidget(parent), area_(area), saver_(std::move(saver)), units_(std::move(units)),
      value_(std::move(value)) {
    setWindowTitle(QStringLiteral("Design Sweep"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* form = new QFormLayout;
    parameter_ = new QComboBox;
    parameter_->setObjectName(QStringLiteral("Parameter"));
    for (SweepParameter p : kParameters)
        parameter_->addItem(SweepParameterCaption(p), static_cast<int>(p));
    form->addRow(QStringLiteral("&Varied Quantity"), parameter_);
    from_ = AddDataField(form, "DataFrom", QStringLiteral("From"), QStringLiteral("L"), 1e-9L, 1e6L);
    to_ = AddDataField(form, "DataTo", QStringLiteral("To"), QStringLiteral("L"), 1e-9L, 1e6L);
    steps_ = AddDataField(form, "DataSteps", QStringLiteral("Steps"), QString(), 1, kMaxWindowSteps);
    steps_->SetIntegerOnly(true);
    settlement_ = AddDataField(form, "DataSettlement", QStringLiteral("Head Settlement S"),
                               QStringLiteral("L"), 1e-9L, 1e6L);
    top->addLayout(form);

    auto* buttons = new QVBoxLayout;
    const auto addButton = [&](const char* name, const QString& caption, void (TfrmDesignSweep::*click)()) {
        auto* button = new QPushButton(caption);
        button->setObjectName(QString::fromLatin1(name));
        // A click does not take the focus from a field holding a refused entry.
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QPushButton::clicked, this, click);
        buttons->addWidget(button);
        return button;
    };
    run_ = addButton("btnRun", QStringLiteral("&Run"), &TfrmDesignSweep::RunClick);
    stop_ = addButton("btnStop", QStringLiteral("S&top"), &TfrmDesignSweep::StopClick);
    chartButton_ = addButton("btnChart", QStringLiteral("Design Ch&art"), &TfrmDesignSweep::ShowChartClick);
    csvButton_ = addButton("btnCsv", QStringLiteral("&Export CSV..."), &TfrmDesignSweep::ExportCsvClick);
    workbookButton_ = addButton("btnWorkbook", QStringLiteral("Export to Wor&kbook..."),
                                &TfrmDesignSweep::ExportWorkbookClick);
    buttons->addStretch();
    top->addLayout(buttons);
    layout->addLayout(top);

    progress_ = new QProgressBar;
    progress_->setObjectName(QStringLiteral("Progress"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setFormat(QStringLiteral("%v of %m variants"));
    layout->addWidget(progress_);
    rowsTimer_ = new QTimer(this);
    rowsTimer_->setInterval(100);
    connect(rowsTimer_, &QTimer::timeout, this, [this] { TakeRows(); });
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("Status"));
    layout->addWidget(status_);
    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("Rows"));
    table_->setModel(&model_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    layout->addWidget(table_, 1);

    chart_.Caption = "Design Chart";
    chart_.CurveName = "Line #";
    chart_.YCaption = "Head Load";
    chart_.YUnits = "F";

    connect(parameter_, &QComboBox::currentIndexChanged, this, [this] { ParameterChanged(); });
    ParameterChanged();
    steps_->SetNumber(10);
    settlement_->SetNumber(units_() == 2 ? 0.0125L : 0.5L);
    SetEditing(true);
}

TfrmDesignSweep::~TfrmDesignSweep() {
    // The workers post to this window: they end before it goes.
    sweep_.reset();
    if (chartForm_ != nullptr) {
        // The graph window shows this window's chart and must not outlive it.
        QWidget* window = chartForm_->parentWidget();
        delete (qobject_cast<QMdiSubWindow*>(window) != nullptr ? window : chartForm_.data());
    }
}

void TfrmDesignSweep::UpdateUnits() {
    const int units = units_();
    for (TDataEdit* field : {from_, to_, settlement_})
        field->SetUnits(units);
}

void TfrmDesignSweep::ParameterChanged() {
    const auto parameter = static_cast<SweepParameter>(parameter_->currentData().toInt());
    const long double current = value_ ? value_(parameter) : 1.0L;
    const bool factor = parameter == SweepParameter::TzFactor || parameter == SweepParameter::QwFactor;
    for (TDataEdit* field : {from_, to_}) {
        field->SetLoading(true);
        field->SetUnitsString(UnitsTemplate(parameter));
        field->SetMinVal(1e-9L);
        field->SetMaxVal(Largest(parameter));
        field->SetLoading(false);
    }
    // A first range about the project's own value: half to one and a half times it.
    const long double base = factor || !(current > 0) ? 1.0L : current;
    from_->SetNumber(base / 2);
    to_->SetNumber(base * 3 / 2);
    UpdateUnits();
}

void TfrmDesignSweep::showEvent(QShowEvent* event) {
    UpdateUnits();
    QWidget::showEvent(event);
}

void TfrmDesignSweep::SetEditing(bool editing) {
    for (QWidget* w : std::initializer_list<QWidget*>{parameter_, from_, to_, steps_, settlement_, run_})
        w->setEnabled(editing);
    stop_->setEnabled(!editing);
    const bool rows = sweep_ != nullptr;
    chartButton_->setEnabled(rows);
    csvButton_->setEnabled(editing && rows);
    workbookButton_->setEnabled(editing && rows);
}

bool TfrmDesignSweep::ReadFields(cli::SweepSettings& settings) {
    for (TDataEdit* field : {from_, to_, steps_, settlement_})
        if (!field->Validate())
            return false;
    try {
        settings.parameter = static_cast<SweepParameter>(parameter_->currentData().toInt());
        settings.from = from_->Number();
        settings.to = to_->Number();
        settings.steps = static_cast<int>(std::lround(steps_->Number()));
        settings.settlement = settlement_->Number();
    } catch (const std::exception& e) {
        Warn(this, Q(e.what()));
        return false;
    }
    if (settings.from > settings.to) {
        Warn(this, QStringLiteral("From must not exceed To."));
        from_->setFocus();
        return false;
    }
    return true;
}

void TfrmDesignSweep::RunClick() {
    if (running_)
        return;
    UpdateUnits();
    cli::SweepSettings settings;
    if (!ReadFields(settings))
        return;
    const std::string path = saver_ ? saver_() : std::string();
    if (path.empty())
        return;
    std::optional<cli::OpenedProject> opened = OpenCheckedProject(this, path);
    if (!opened)
        return;
    cli::OpenedProject project = std::move(*opened);

    // A new sweep: rows of an earlier one still waiting are dropped by their generation.
    sweep_.reset();
    ++generation_;
    projectPath_ = path;
    const unsigned generation = generation_;
    const std::size_t total = cli::sweepValues(settings).size();
    {
        const std::lock_guard lock(pendingMutex_);
        pushed_ = 0;
    }
    sweep_ = std::make_unique<cli::TDesignSweep>(
        std::move(project), settings,
        [this, generation, total](std::size_t index, const cli::VariantRow& row) {
            // Rows wait in one list that the window takes a few times a second (each take repaints
            // the table and the progress bar); the last row is taken at once.
            bool last = false;
            {
                const std::lock_guard lock(pendingMutex_);
                pending_.push_back({generation, index, row});
                last = ++pushed_ == total;
            }
            if (last)
                QMetaObject::invokeMethod(
                    this, [this] { TakeRows(); }, Qt::QueuedConnection);
        });
    const std::size_t count = sweep_->Values().size();
    rows_.assign(count, {});
    tableIndices_.clear();
    arrived_ = 0;
    QStringList header;
    for (const std::string& h : cli::sweepCsvHeader(settings, sweep_->Units(), sweep_->HeadLoads()))
        header << Q(h);
    model_.Reset(header);
    progress_->setRange(0, static_cast<int>(count));
    progress_->setValue(0);
    RebuildChart();

    std::string threadError;
    const std::size_t workers = sweep_->Start(threadError);
    if (workers == 0) {
        sweep_.reset();
        status_->setText(QString());
        Warn(this, QStringLiteral("The sweep could not start a worker thread (%1).").arg(Q(threadError)));
        SetEditing(true);
        return;
    }
    running_ = true;
    rowsTimer_->start();
    status_->setText(QStringLiteral("Analysing %1 variants on %2 threads...").arg(count).arg(workers));
    SetEditing(false);
}

void TfrmDesignSweep::TakeRows() {
    std::vector<PendingRow> rows;
    {
        const std::lock_guard lock(pendingMutex_);
        rows.swap(pending_);
    }
    if (rows.empty())
        return;
    table_->setUpdatesEnabled(false);
    for (const PendingRow& r : rows)
        if (r.generation == generation_)
            RowFinished(r.index, r.row);
    table_->setUpdatesEnabled(true);
    progress_->setValue(static_cast<int>(arrived_));
    if (running_ && arrived_ == rows_.size())
        EndSweep();
}

void TfrmDesignSweep::RowFinished(std::size_t index, const cli::VariantRow& row) {
    if (sweep_ == nullptr || index >= rows_.size())
        return;
    rows_[index] = row;
    ++arrived_;
    const auto at = std::lower_bound(tableIndices_.begin(), tableIndices_.end(), index);
    const int tableRow = static_cast<int>(at - tableIndices_.begin());
    tableIndices_.insert(at, index);
    QStringList cells;
    for (const std::string& field :
         cli::sweepCsvFields(sweep_->Settings(), sweep_->HeadLoads().size(), sweep_->Values()[index], row))
        cells << Q(field);
    model_.Insert(tableRow, cells);
    emit RowAdded(static_cast<int>(index));
}

void TfrmDesignSweep::StopClick() {
    if (!running_ || sweep_ == nullptr)
        return;
    // The variants being analysed finish; their rows are in the list once Join returns.
    sweep_->Join();
    TakeRows();
    if (running_)
        EndSweep();
}

void TfrmDesignSweep::EndSweep() {
    sweep_->Join();
    running_ = false;
    std::size_t refused = 0;
    for (const cli::VariantRow& r : rows_)
        refused += r.done && !r.reason.empty();
    const std::size_t count = rows_.size();
    status_->setText(arrived_ == count
                         ? QStringLiteral("%1 variants analysed (%2 could not run).").arg(count).arg(refused)
                         : QStringLiteral("Stopped: %1 of %2 variants analysed (%3 could not run).")
                               .arg(arrived_)
                               .arg(count)
                               .arg(refused));
    // The widths from a sample of rows: measuring every cell of a long sweep would stall the window.
    table_->horizontalHeader()->setResizeContentsPrecision(100);
    table_->resizeColumnsToContents();
    rowsTimer_->stop();
    RebuildChart();
    SetEditing(true);
    emit SweepEnded();
}

std::size_t TfrmDesignSweep::RunningWorkers() const {
    return sweep_ ? sweep_->RunningWorkers() : 0;
}

std::string TfrmDesignSweep::Csv() const {
    return sweep_ ? sweep_->Csv() : std::string();
}

void TfrmDesignSweep::RebuildChart() {
    const SweepParameter parameter = sweep_ ? sweep_->Settings().parameter
                                            : static_cast<SweepParameter>(parameter_->currentData().toInt());
    chart_.SetUnits(sweep_ ? sweep_->Units() : units_());
    chart_.XCaption = SweepParameterCaption(parameter).toStdString();
    chart_.XUnits = UnitsTemplate(parameter).toStdString();
    chart_.Title = "Design Chart";
    std::vector<graphics::TFloatPoint> largest, atSettlement;
    if (sweep_)
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            const cli::VariantRow& r = rows_[i];
            if (!r.done || !r.reason.empty())
                continue;
            const long double x = sweep_->Values()[i];
            largest.push_back({x, r.largestHeadLoad});
            if (r.loadAtSettlement)
                atSettlement.push_back({x, *r.loadAtSettlement});
        }
    chart_.SetLineCount(2);
    chart_.GetLine(0).Name = "Largest head load";
    chart_.GetLine(0).Points = std::move(largest);
    std::string criterion = "S";
    if (sweep_ && sweep_->Settings().settlement)
        criterion = FormatNumber(*sweep_->Settings().settlement) + " " +
                    std::string(cli::unitLabels(sweep_->Units()).length);
    chart_.GetLine(1).Name = "Head load at settlement " + criterion;
    chart_.GetLine(1).Points = std::move(atSettlement);
    if (chartForm_ != nullptr && !chartForm_->Rebuild()) {
        QWidget* window = chartForm_->parentWidget();
        if (window != nullptr)
            window->close();
    }
}

void TfrmDesignSweep::ShowChartClick() {
    RebuildChart();
    chartForm_ = graphics::ShowPlotForm(area_, chart_);
    if (chartForm_ == nullptr)
        MessageBoxes::Current().ShowMessage(this,
                                            QStringLiteral("The design chart holds no points to draw yet."),
                                            MessageBoxes::Icon::Information);
}

bool TfrmDesignSweep::ChooseOutput(const QString& title, const QString& suffix, QString& path) {
    const std::optional<QString> chosen =
        ChooseOutputFile(this, title, projectPath_, QStringLiteral("-sweep.") + suffix, suffix);
    if (chosen)
        path = *chosen;
    return chosen.has_value();
}

void TfrmDesignSweep::ExportCsvClick() {
    if (running_ || sweep_ == nullptr)
        return;
    QString path;
    if (!ChooseOutput(QStringLiteral("Export CSV"), QStringLiteral("csv"), path))
        return;
    std::ostringstream err;
    if (!cli::writeTextFile(path.toStdString(), Csv(), err))
        MessageBoxes::Current().ShowMessage(this, Q(err.str()).trimmed(), MessageBoxes::Icon::Error);
}

void TfrmDesignSweep::ExportWorkbookClick() {
    if (running_ || sweep_ == nullptr)
        return;
    RebuildChart();
    QString path;
    if (!ChooseOutput(QStringLiteral("Export to Workbook"), QStringLiteral("xlsx"), path))
        return;
    try {
        graphics::WriteGraphWorkbook(path.toStdString(), {&chart_});
    } catch (const std::exception& e) {
        MessageBoxes::Current().ShowMessage(this, Q(e.what()), MessageBoxes::Icon::Error);
    }
}

void TfrmDesignSweep::closeEvent(QCloseEvent* event) {
    // Closing mid-sweep stops it; the variants being analysed finish, nothing is left running.
    if (sweep_ != nullptr)
        sweep_->Join();
    rowsTimer_->stop();
    running_ = false;
    QWidget::closeEvent(event);
}

} // namespace pavrin::app::gui
