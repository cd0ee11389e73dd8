#include "TableChartForm.h"

#include "DecimalSeparator.h"
#include "RowText.h"
#include "TableFormDesktop.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>

#include <cmath>
#include <cstdio>

namespace pavrin::controls {

namespace {

constexpr const char* kFileFilter = "Text Files (*.txt);;Data Files (*.dat);;All Files (*)";

// Markers of the two series, drawn at this size in pixels.
constexpr int kMarkerSize = 7;

QImage MarkerImage(const QColor& color, bool diamond) {
    QImage image(kMarkerSize, kMarkerSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    const qreal h = kMarkerSize / 2.0;
    if (diamond)
        painter.drawPolygon(
            QPolygonF({QPointF(h, 0), QPointF(kMarkerSize, h), QPointF(h, kMarkerSize), QPointF(0, h)}));
    else
        painter.drawRect(QRectF(0, 0, kMarkerSize, kMarkerSize));
    return image;
}

QLineSeries* MakeSeries(const QColor& color, bool diamond) {
    auto* series = new QLineSeries;
    QPen pen(color);
    pen.setWidth(2);
    series->setPen(pen);
    series->setPointsVisible(true);
    series->setMarkerSize(kMarkerSize);
    series->setLightMarker(MarkerImage(color, diamond));
    return series;
}

QCategoryAxis* MakeAxis() {
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    QFont font = axis->titleFont();
    font.setBold(false);
    axis->setTitleFont(font);
    return axis;
}

// The decimal part of a printf text with at most `digits` decimals and at least `keep` of them.
std::string TrimDecimals(std::string text, std::size_t keep) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos)
        return text;
    std::size_t end = text.size();
    while (end > point + 1 + keep && text[end - 1] == '0')
        --end;
    if (end == point + 1)
        --end;
    return text.substr(0, end);
}

QString WithSeparators(std::string text, bool grouped) {
    const char decimal = DecimalSeparator();
    const char group = decimal == ',' ? '.' : ',';
    std::string out;
    std::size_t start = text[0] == '-' ? 1 : 0;
    std::size_t point = text.find('.');
    if (point == std::string::npos)
        point = text.size();
    out = text.substr(0, start);
    for (std::size_t i = start; i < point; ++i) {
        out += text[i];
        const std::size_t left = point - i - 1;
        if (grouped && left > 0 && left % 3 == 0)
            out += group;
    }
    if (point < text.size())
        out += decimal + text.substr(point + 1);
    return QString::fromStdString(out);
}

void ApplyAxis(QCategoryAxis* axis, const ChartAxis& settings) {
    double minimum = static_cast<double>(settings.minimum);
    double maximum = static_cast<double>(settings.maximum);
    if (!(maximum > minimum)) { // one value: a range around it, so the point is drawn
        const double spread = minimum == 0 ? 1 : std::fabs(minimum) * 0.1;
        minimum -= spread;
        maximum += spread;
    }
    for (const QString& label : axis->categoriesLabels())
        axis->remove(label);
    axis->setStartValue(minimum - (maximum - minimum) * 1e-9);
    QString previous;
    for (double tick : AxisTicks(minimum, maximum)) {
        const QString label = FormatAxisLabel(tick, settings.labelFormat);
        if (label != previous)
            axis->append(label, tick);
        previous = label;
    }
    axis->setRange(minimum, maximum);
    axis->setReverse(settings.inverted);
    axis->setTitleText(QString::fromStdString(settings.title).trimmed());
}

QList<QPointF> ToPoints(const std::vector<ChartPoint>& points) {
    QList<QPointF> out;
    for (const ChartPoint& p : points)
        out.append(QPointF(static_cast<double>(p.x), static_cast<double>(p.y)));
    return out;
}

} // namespace

QString FormatAxisLabel(long double value, const std::string& format) {
    char buffer[512];
    if (format == chart_message::kScientificFormat) {
        if (value == 0)
            return WithSeparators("0.0E0", false);
        std::snprintf(buffer, sizeof buffer, "%.3Le", value);
        const std::string text(buffer);
        const std::size_t e = text.find('e');
        const std::string mantissa = TrimDecimals(text.substr(0, e), 1);
        const int exponent = std::stoi(text.substr(e + 1));
        return WithSeparators(mantissa, false) + QStringLiteral("E") + QString::number(exponent);
    }
    std::snprintf(buffer, sizeof buffer, "%.3Lf", value);
    std::string text = TrimDecimals(buffer, 0);
    if (text == "-0")
        text = "0";
    return WithSeparators(text, true);
}

std::vector<double> AxisTicks(double minimum, double maximum) {
    std::vector<double> ticks;
    const double span = maximum - minimum;
    if (!(span > 0) || !std::isfinite(span))
        return ticks;
    const double raw = span / 6;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double normal = raw / magnitude;
    const double step = (normal < 1.5 ? 1 : normal < 3 ? 2 : normal < 7 ? 5 : 10) * magnitude;
    for (double k = std::ceil(minimum / step - 1e-9); k * step <= maximum + step * 1e-9; ++k) {
        const double tick = k * step;
        ticks.push_back(std::fabs(tick) < step * 1e-9 ? 0.0 : tick);
    }
    return ticks;
}

// ---- TSegmentDiagram ----

TSegmentDiagram::TSegmentDiagram(std::function<const TGridTableChart*()> table, QWidget* parent)
    : QWidget(parent), table_(std::move(table)) {}

void TSegmentDiagram::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const TGridTableChart* table = table_();
    if (table == nullptr)
        return;
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics = painter.fontMetrics();
    for (const ChartSegment& segment : MakeSegmentDiagram(*table, width(), height())) {
        painter.drawLine(segment.x1, segment.y1, segment.x2, segment.y2);
        const int baseline = segment.labelY + (metrics.ascent() - metrics.descent()) / 2;
        painter.drawText(segment.labelX, baseline, QString::fromStdString(segment.label));
    }
}

// ---- TTableChartForm ----

TTableChartForm::TTableChartForm(TGridTableChart& table, QWidget* parent) : TTableForm(table, parent) {
    BuildChart();
    BuildFileControls();
}

TGridTableChart* TTableChartForm::ChartTable() const {
    return static_cast<TGridTableChart*>(Table());
}

bool TTableChartForm::ChartShown() const {
    const TGridTableChart* table = ChartTable();
    return table != nullptr && table->Graph().showGraph && !table->Graph().segmentDiagram;
}

bool TTableChartForm::DiagramShown() const {
    const TGridTableChart* table = ChartTable();
    return table != nullptr && table->Graph().showGraph && table->Graph().segmentDiagram;
}

void TTableChartForm::BuildChart() {
    chart_ = new QChart;
    chart_->legend()->hide();
    chart_->setBackgroundRoundness(0);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    series1_ = MakeSeries(Qt::red, true);
    series2_ = MakeSeries(QColor(0, 160, 0), false);
    chart_->addSeries(series1_);
    chart_->addSeries(series2_);
    series2_->setVisible(false);
    bottomAxis_ = MakeAxis();
    leftAxis_ = MakeAxis();
    chart_->addAxis(bottomAxis_, Qt::AlignBottom);
    chart_->addAxis(leftAxis_, Qt::AlignLeft);
    for (QLineSeries* series : {series1_, series2_}) {
        series->attachAxis(bottomAxis_);
        series->attachAxis(leftAxis_);
    }

    chartView_ = new QChartView(chart_, this);
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setFrameShape(QFrame::StyledPanel);
    chartView_->setVisible(ChartShown());

    paintBox_ =
        new TSegmentDiagram([this] { return static_cast<const TGridTableChart*>(ChartTable()); }, this);
    paintBox_->setVisible(DiagramShown());
}

void TTableChartForm::BuildFileControls() {
    fileNameLabel_ = new QLabel(QStringLiteral("File Name:"), this);
    fileNameEdit_ = new QLineEdit(this);
    btnBrowse_ = MakeButton("Browse", [this] { BtnBrowseClick(); });
    btnEdit_ = MakeButton("View/Edit File", [this] { BtnEditClick(); });
    btnRead_ = MakeButton("Read values from File", [this] { BtnReadClick(); });
    btnClip_ = MakeButton("Paste values from  Clipboard (text)", [this] { BtnClipClick(); });
    connect(fileNameEdit_, &QLineEdit::textChanged, this, [this] { UpdateFileButtons(); });
    UpdateFileButtons();
    const bool fileControls = ChartTable() != nullptr && ChartTable()->GetDataFromFile();
    for (QWidget* control : std::initializer_list<QWidget*>{fileNameLabel_, fileNameEdit_, btnBrowse_,
                                                            btnEdit_, btnRead_, btnClip_})
        control->setVisible(fileControls);

    btnOK_ = new QPushButton(QStringLiteral("OK"), this);
    btnCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton* button : {btnOK_, btnCancel_}) {
        button->setFocusPolicy(Qt::TabFocus);
        button->setAutoDefault(false);
        button->setVisible(ChartTable() != nullptr && ChartTable()->OKCancelButtons());
    }
    // OK keeps what was entered; Cancel drops the entry of the current cell that is not yet in
    // the table. Both close the window.
    connect(btnOK_, &QPushButton::clicked, this, [this] { close(); });
    connect(btnCancel_, &QPushButton::clicked, this, [this] {
        RevertCurrentCell();
        close();
    });
}

// The view and read buttons need a file that exists.
void TTableChartForm::UpdateFileButtons() {
    const bool exists = QFileInfo(fileNameEdit_->text()).isFile();
    btnEdit_->setEnabled(exists);
    btnRead_->setEnabled(exists);
}

int TTableChartForm::RowsInViewLimit() const {
    return ChartShown() ? kMaxRowsInViewWithChart : kMaxRowsInView;
}

int TTableChartForm::GraphHeight() const {
    return logicalDpiY() * 11 / 4;
}

int TTableChartForm::GridTop() const {
    return ChartShown() || DiagramShown() ? 2 * Margin() + GraphHeight() : Margin();
}

int TTableChartForm::LayoutBelowButtons(int top, int& right) {
    const int m = Margin();
    if (!fileNameEdit_->isHidden()) {
        const int lineHeight = std::max(fileNameEdit_->sizeHint().height(), btnBrowse_->sizeHint().height());
        const QSize label = fileNameLabel_->sizeHint();
        fileNameLabel_->setGeometry(m, top + (lineHeight - label.height()) / 2, label.width(),
                                    label.height());
        int x = m + label.width() + m;
        fileNameEdit_->setGeometry(x, top + (lineHeight - fileNameEdit_->sizeHint().height()) / 2,
                                   logicalDpiX() * 2, fileNameEdit_->sizeHint().height());
        x += fileNameEdit_->width() + m;
        for (QPushButton* button : {btnBrowse_, btnEdit_, btnRead_}) {
            button->setGeometry(x, top, button->sizeHint().width(), lineHeight);
            x += button->width() + m;
        }
        top += lineHeight + m;
        const int readRight = btnRead_->geometry().right() + 1;
        const QSize paste = btnClip_->sizeHint();
        btnClip_->setGeometry(readRight - paste.width(), top, paste.width(), paste.height());
        top += paste.height() + m;
        right = std::max(right, readRight);
    }
    if (!btnOK_->isHidden()) {
        int x = m;
        int height = 0;
        for (QPushButton* button : {btnOK_, btnCancel_}) {
            const QSize size = button->sizeHint().expandedTo(QSize(logicalDpiX() * 3 / 4, 0));
            button->setGeometry(x, top, size.width(), size.height());
            x += size.width() + m;
            height = std::max(height, size.height());
        }
        top += height + m;
        right = std::max(right, x - m);
    }
    if (ChartShown() || DiagramShown())
        right = std::max(right, m + logicalDpiX() * 9 / 2);
    return top;
}

void TTableChartForm::LayoutToWidth(int clientWidth) {
    const QRect graph(Margin(), Margin(), clientWidth - 2 * Margin(), GraphHeight());
    chartView_->setGeometry(graph);
    paintBox_->setGeometry(graph);
}

void TTableChartForm::Redraw() {
    if (ChartShown())
        DrawChart();
    else if (DiagramShown())
        paintBox_->update();
}

void TTableChartForm::DrawChart() {
    const TGridTableChart* table = ChartTable();
    if (table == nullptr)
        return;
    plot_ = MakeChartPlot(*table);
    series1_->replace(ToPoints(plot_.series1.points));
    series1_->setName(QString::fromStdString(plot_.series1.title).trimmed());
    series2_->setName(QString::fromStdString(plot_.series2.title).trimmed());
    series2_->replace(ToPoints(plot_.series2.points));
    series2_->setVisible(plot_.series2.active);
    chart_->legend()->setVisible(plot_.showLegend);
    ApplyAxis(bottomAxis_, plot_.bottom);
    ApplyAxis(leftAxis_, plot_.left);
}

void TTableChartForm::GridKey(QKeyEvent* event, bool press) {
    const int key = event->key();
    const bool arrowOrDigit =
        (key >= Qt::Key_Left && key <= Qt::Key_Down) || (key >= Qt::Key_0 && key <= Qt::Key_9);
    if (press || arrowOrDigit)
        Redraw();
}

void TTableChartForm::mousePressEvent(QMouseEvent* event) {
    Redraw();
    TTableForm::mousePressEvent(event);
}

// ---- file and clipboard ----

void TTableChartForm::BtnBrowseClick() {
    const QString name = TableFormDesktop::Current().ChooseFile(
        this, QStringLiteral("Open"), QString::fromUtf8(kFileFilter), fileNameEdit_->text());
    if (!name.isEmpty())
        fileNameEdit_->setText(name);
    UpdateFileButtons();
}

void TTableChartForm::BtnEditClick() {
    if (!TableFormDesktop::Current().StartTextEditor(fileNameEdit_->text()))
        ShowError(chart_message::kWordProcessorError);
}

void TTableChartForm::BtnReadClick() {
    if (Table() == nullptr || !CommitCurrentCell())
        return;
    LoadLines(ReadTextFileLines(QFile::encodeName(fileNameEdit_->text()).toStdString()));
}

void TTableChartForm::BtnClipClick() {
    if (Table() == nullptr || !CommitCurrentCell())
        return;
    const std::optional<QString> text = TableFormDesktop::Current().ClipboardText();
    if (!text) {
        ShowError(chart_message::kNoClipboardText);
        return;
    }
    LoadLines(SplitTextLines(text->toStdString()));
}

// A value a column refuses stops the load with its message; the rows read before it stay.
void TTableChartForm::LoadLines(const std::vector<std::string>& lines) {
    TGridTable* table = Table();
    const int rowsBefore = table->RowCount();
    RowLoadResult result;
    try {
        WithoutNotifications([&] { result = LoadRowsFromLines(*table, lines); });
    } catch (...) {
        GrowRowsInView(rowsBefore);
        Redraw();
        throw;
    }
    GrowRowsInView(rowsBefore);
    Redraw();
    if (result.rowsFilled == 0)
        ShowInformation(QStringLiteral("No values were read: no line holds exactly %1 numbers.")
                            .arg(table->VisibleColumnCount()));
}

} // namespace pavrin::controls
