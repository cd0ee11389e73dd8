#include "PlotForm.h"

#include "ActiveLinesDialog.h"
#include "GraphCaptionDialog.h"
#include "LineNamesDialog.h"
#include "MessageBoxes.h"
#include "PlotFormDesktop.h"
#include "SaveFormatDialog.h"

#include <QActionGroup>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QRadioButton>
#include <QShortcut>

#include <algorithm>
#include <cmath>

namespace pavrin::graphics {

namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

// A menu caption shows "&" as written, not as a mnemonic.
QString menuText(const QString& name) {
    QString text = name;
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void showMessage(QWidget* parent, const QString& text) {
    controls::MessageBoxes::Current().ShowMessage(parent, text);
}

} // namespace

// The legend box: an owner-drawn list of the active lines that can be dragged over the window;
// a double click shows or hides the line of the selected entry.
class TPlotLegend : public QWidget {
public:
    struct Entry {
        int lineIndex;
        QString name;
    };

    explicit TPlotLegend(TPlotForm& form) : QWidget(&form), form_(form) {
        ResetFont();
        setAttribute(Qt::WA_OpaquePaintEvent);
        setCursor(Qt::SizeAllCursor);
        resize(21, 3);
        hide();
    }

    // The font of a new window's legend (Times New Roman, 15 pixels, 16-pixel items).
    void ResetFont() {
        QFont legendFont(QStringLiteral("Times New Roman"));
        legendFont.setPixelSize(15);
        setFont(legendFont);
        itemHeight = 16;
    }

    QList<Entry> entries;
    int itemHeight = 16;
    int selected = -1;

    // The widest entry followed by " *", in pixels.
    int WidestEntry() const {
        int widest = 0;
        for (const auto& entry : entries)
            widest = std::max(widest, fontMetrics().horizontalAdvance(entry.name + QStringLiteral(" *")));
        return widest;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        const QFontMetrics metrics = fontMetrics();
        for (int row = 0; row < entries.size(); ++row) {
            const Entry& entry = entries[row];
            const bool shown =
                entry.lineIndex < form_.Graph().LineCount() && form_.Graph().GetLine(entry.lineIndex).Shown;
            painter.setPen(LineColor(row));
            const int top = 1 + row * itemHeight;
            painter.drawText(QPoint(4, top + (itemHeight - metrics.height()) / 2 + metrics.ascent()),
                             entry.name + (shown ? QStringLiteral(" *") : QString()));
        }
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    void Select(const QMouseEvent* event) {
        const int row = (event->position().toPoint().y() - 1) / std::max(itemHeight, 1);
        if (row >= 0 && row < entries.size())
            selected = row;
    }

    void mousePressEvent(QMouseEvent* event) override {
        Select(event);
        dragging_ = true;
        grab_ = event->position().toPoint();
        update();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!dragging_)
            return;
        QPoint to = mapToParent(event->position().toPoint()) - grab_;
        const QWidget* parent = parentWidget();
        to.setX(std::max(0, std::min(to.x(), parent->width() - width())));
        to.setY(std::max(0, std::min(to.y(), parent->height() - height())));
        move(to);
        form_.legendMoved_ = true;
    }
    void mouseReleaseEvent(QMouseEvent*) override { dragging_ = false; }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        Select(event);
        if (selected >= 0 && selected < entries.size())
            form_.ToggleLine(entries[selected].lineIndex);
    }

private:
    TPlotForm& form_;
    bool dragging_ = false;
    QPoint grab_;
};

TPlotForm::TPlotForm(TGraphPlot& graph, QWidget* parent)
    : QWidget(parent), graph_(graph), legend_(new TPlotLegend(*this)),
      plotMenu_(new QMenu(QStringLiteral("&Plot"), this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    QFont windowFont(QStringLiteral("Times New Roman"));
    windowFont.setPixelSize(kWindowFontHeight);
    setFont(windowFont);
    resize(640, 480);
    BuildMenu();
    SetUp();

    auto* menuKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    menuKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] { plotMenu_->popup(mapToGlobal(QPoint(0, 0))); });
}

// The set-up of a window on its graph's lines, for a new window and for one rebuilt on new lines.
void TPlotForm::SetUp() {
    // Named after its graph (the Window menu lists it so); the read-out takes over under the mouse.
    setWindowTitle(qt(graph_.Caption.empty() ? graph_.ComponentName() : graph_.Caption));
    banding_ = false;
    cacheValid_ = false;
    legendMoved_ = false;
    valid_ = true;
    if (const auto ranges = ComputeRanges(graph_)) {
        viewRange_ = fullRange_ = *ranges;
    } else {
        valid_ = false;
        viewRange_ = fullRange_ = TPlotRange{};
    }
    ActivateLinesForNewWindow(graph_);
    RebuildLineEntries();

    // The graph keeps the legend's font size in points.
    legend_->ResetFont();
    graph_.LegendFont = static_cast<int>(std::lround(legend_->font().pixelSize() * 72.0 / logicalDpiY()));
    legend_->resize(21, legend_->height());
    ResizeLegend();
    // Every window starts with its legend shown; hiding it is the window's own affair.
    const bool hasLines = graph_.LineCount() > 0;
    legend_->setVisible(hasLines);
    MenuEntry(QStringLiteral("Show &Legend"))->setVisible(hasLines);
    // Offered where some line has a neutral plane (the load distribution of a run with down-drag).
    bool neutralPlanes = false;
    for (int i = 0; i < graph_.LineCount(); ++i)
        neutralPlanes = neutralPlanes || graph_.GetLine(i).NeutralPlane.has_value();
    MenuEntry(QStringLiteral("Show &Neutral Plane"))->setVisible(neutralPlanes);

    const bool printing = PlotFormDesktop::Current().PrinterInstalled();
    MenuEntry(QStringLiteral("&Print..."))->setEnabled(printing);
    MenuEntry(QStringLiteral("P&age Setup"))->setEnabled(printing);

    // The text scale of an earlier window on this graph stays.
    if (graph_.SizeFont != 10)
        SetupLegend(graph_.SizeFont);
    FormResize(false);
}

bool TPlotForm::Rebuild() {
    SetUp();
    return valid_;
}

QSize TPlotForm::MinimumClientSize() {
    return {400, 300};
}

QSize TPlotForm::NormalClientSize(const QSize& area) {
    return QSize(area.width() * 2 / 3, area.height() * 2 / 3).expandedTo(MinimumClientSize());
}

QSize TPlotForm::sizeHint() const {
    const QWidget* sub = parentWidget();
    const QWidget* workArea = sub != nullptr ? sub->parentWidget() : nullptr;
    return workArea != nullptr ? NormalClientSize(workArea->size()) : NormalClientSize({960, 720});
}

QSize TPlotForm::minimumSizeHint() const {
    return MinimumClientSize();
}

TPlotForm::~TPlotForm() = default;

QWidget* TPlotForm::Legend() const {
    return legend_;
}

QStringList TPlotForm::LegendEntries() const {
    QStringList names;
    for (const auto& entry : legend_->entries)
        names << entry.name;
    return names;
}

QAction* TPlotForm::MenuEntry(const QString& caption) const {
    for (QAction* action : plotMenu_->actions())
        if (action->text() == caption && !lineEntries_.contains(action))
            return action;
    return nullptr;
}

void TPlotForm::BuildMenu() {
    QAction* legendEntry = plotMenu_->addAction(QStringLiteral("Show &Legend"));
    legendEntry->setCheckable(true);
    connect(legendEntry, &QAction::triggered, this, [this] { ToggleLegend(); });
    QAction* neutralEntry = plotMenu_->addAction(QStringLiteral("Show &Neutral Plane"));
    neutralEntry->setCheckable(true);
    connect(neutralEntry, &QAction::triggered, this, [this] { ToggleNeutralPlane(); });

    QMenu* markers = plotMenu_->addMenu(QStringLiteral("Show &Markers"));
    markerGroup_ = new QActionGroup(markers);
    markerGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const std::pair<const char*, int> markerEntries[] = {
        {"&Never", 0},
        {"Every &Increment", 1},
        {"Every &2 Increments", 2},
        {"Every &3 Incrments", 3},
        {"Every &5 Increments", 5},
        {"Every &10 Incements", 10},
    };
    for (const auto& [caption, value] : markerEntries) {
        QAction* action = markers->addAction(QString::fromLatin1(caption));
        action->setCheckable(true);
        action->setData(value);
        markerGroup_->addAction(action);
        connect(action, &QAction::triggered, this, [this, value] { SetMarkers(value); });
        if (value == 0)
            markers->addSeparator();
    }
    connect(markers, &QMenu::aboutToShow, this, [this] {
        for (QAction* action : markerGroup_->actions())
            action->setChecked(action->data().toInt() == graph_.Markers);
    });

    const auto scaleMenu = [this](const QString& title, const std::vector<std::pair<QString, int>>& entries,
                                  void (TPlotForm::*set)(int)) {
        QMenu* menu = plotMenu_->addMenu(title);
        for (const auto& [caption, value] : entries) {
            connect(menu->addAction(caption), &QAction::triggered, this,
                    [this, set, value = value] { (this->*set)(value); });
            if (&caption == &entries.front().first)
                menu->addSeparator();
        }
        menu->menuAction()->setVisible(graph_.ShowFontWidth);
    };
    scaleMenu(QStringLiteral("&Font Size"),
              {{QStringLiteral("&Default"), 10},
               {QStringLiteral("1.5 * Default"), 15},
               {QStringLiteral("2 * Default"), 20},
               {QStringLiteral("2.5 * Default"), 25},
               {QStringLiteral("3 * Default"), 30},
               {QStringLiteral("4 * Default"), 40}},
              &TPlotForm::SetFontSize);
    scaleMenu(QStringLiteral("&Line Width"),
              {{QStringLiteral("&Default"), 1},
               {QStringLiteral("2 * Default"), 2},
               {QStringLiteral("4 * Default"), 4},
               {QStringLiteral("6 * Default"), 6},
               {QStringLiteral("10 * Default"), 10}},
              &TPlotForm::SetLineWidth);

    connect(plotMenu_->addAction(QStringLiteral("&Graph Title")), &QAction::triggered, this,
            [this] { PlotCaptionClick(); });
    connect(plotMenu_->addAction(QStringLiteral("&Edit Legend")), &QAction::triggered, this,
            [this] { mLineNameClick(); });
    connect(plotMenu_->addAction(QStringLiteral("&Active Curves")), &QAction::triggered, this,
            [this] { ActiveGraphsClick(); });
    plotMenu_->addSeparator();
    connect(plotMenu_->addAction(QStringLiteral("&Print...")), &QAction::triggered, this,
            [this] { PlotPrintClick(); });
    connect(plotMenu_->addAction(QStringLiteral("P&age Setup")), &QAction::triggered, this,
            [this] { PageSetupClick(); });
    connect(plotMenu_->addAction(QStringLiteral("&Save To Disk...")), &QAction::triggered, this,
            [this] { PlotSaveClick(); });
    lineSeparator_ = plotMenu_->addSeparator();
    connect(plotMenu_, &QMenu::aboutToShow, this, [this] { RefreshMenuChecks(); });
}

void TPlotForm::RefreshMenuChecks() {
    MenuEntry(QStringLiteral("Show &Legend"))->setChecked(!legend_->isHidden());
    MenuEntry(QStringLiteral("Show &Neutral Plane"))->setChecked(graph_.ShowNeutralPlane);
    for (QAction* entry : lineEntries_) {
        const int index = entry->data().toInt();
        entry->setChecked(index < graph_.LineCount() && graph_.GetLine(index).Shown);
    }
}

void TPlotForm::RebuildLineEntries() {
    legend_->entries.clear();
    for (int i = 0; i < graph_.LineCount(); ++i)
        if (graph_.GetLine(i).Active)
            legend_->entries.append({i, qt(graph_.GetLine(i).DisplayName())});
    if (legend_->selected >= legend_->entries.size())
        legend_->selected = -1;

    while (lineEntries_.size() > legend_->entries.size())
        delete lineEntries_.takeLast();
    for (int k = 0; k < legend_->entries.size(); ++k) {
        const auto& entry = legend_->entries[k];
        if (k == lineEntries_.size()) {
            QAction* action = plotMenu_->addAction(QString());
            action->setCheckable(true);
            connect(action, &QAction::triggered, this,
                    [this, action] { ToggleLine(action->data().toInt()); });
            lineEntries_.append(action);
        }
        lineEntries_[k]->setText(menuText(entry.name));
        lineEntries_[k]->setData(entry.lineIndex);
        lineEntries_[k]->setChecked(graph_.GetLine(entry.lineIndex).Shown);
    }
    legend_->update();
}

void TPlotForm::ResizeLegend() {
    const int height = static_cast<int>(legend_->entries.size()) * legend_->itemHeight + 3;
    const int width = std::max(legend_->width(), legend_->WidestEntry() + logicalDpiX() / 4);
    legend_->resize(width, height);
    KeepLegendInside();
}

void TPlotForm::SetupLegend(int scale) {
    const int points = std::max(1, scale * graph_.LegendFont / 10);
    QFont legendFont = legend_->font();
    legendFont.setPointSize(points);
    legend_->setFont(legendFont);
    legend_->itemHeight = points * 3 / 2;
    legend_->resize(21, legend_->height());
    ResizeLegend();
}

void TPlotForm::KeepLegendInside() {
    QPoint at = legend_->pos();
    at.setX(std::max(0, std::min(at.x(), width() - legend_->width())));
    at.setY(std::max(0, std::min(at.y(), height() - legend_->height())));
    legend_->move(at);
}

void TPlotForm::FormResize(bool withSender) {
    layout_ = WindowLayout(graph_, width(), height(), logicalDpiX(), logicalDpiY(), kWindowFontHeight);
    layout_.legendVisible = !legend_->isHidden();
    if (!withSender)
        legend_->move(layout_.PlotRect.right - legend_->width(), layout_.PlotRect.bottom - legend_->height());
    KeepLegendInside();
    Replot();
}

void TPlotForm::Replot() {
    layout_.legendVisible = !legend_->isHidden();
    cacheValid_ = false;
    update();
}

QImage TPlotForm::Picture() {
    // A window resized while hidden gets its resize event only when shown.
    if (layout_.PageRect.right != width() || layout_.PageRect.bottom != height())
        FormResize(legendPlaced_ && legendMoved_);
    QImage picture(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
    QPainter painter(&picture);
    TPlotLayout onScreen = layout_;
    onScreen.ForOutput = false;
    if (valid_)
        DrawPlot(painter, graph_, viewRange_, onScreen);
    else
        picture.fill(Qt::white);
    return picture;
}

void TPlotForm::paintEvent(QPaintEvent*) {
    // The first paint comes when the window has its size on screen (after maximising); from then on
    // resizes keep the legend where it is.
    legendPlaced_ = true;
    if (!cacheValid_ || cache_.size() != size()) {
        cache_ = Picture();
        cacheValid_ = true;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, cache_);
    if (banding_) {
        // Inverting outline: drawn over the picture, gone with the next paint.
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(bandStart_, bandCorner_).normalized());
    }
}

void TPlotForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Until the window is first shown its size is not the one the user sees: the legend goes to the
    // corner. Later it stays in the corner of the plot area (restored, cascaded, maximised) until the
    // user drags it somewhere else; then it keeps that place.
    FormResize(legendPlaced_ && legendMoved_);
}

void TPlotForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!legendPlaced_)
        FormResize(false);
}

QPoint TPlotForm::ClampToPlot(QPoint point) const {
    const TPixelRect& plot = layout_.PlotRect;
    return {std::clamp(point.x(), plot.left, std::max(plot.left, plot.right)),
            std::clamp(point.y(), plot.top, std::max(plot.top, plot.bottom))};
}

void TPlotForm::ShowReadOut(QPoint point) {
    const QPoint at = ClampToPlot(point);
    const TFloatPoint data = PixelToData(viewRange_, layout_.PlotRect, graph_.XOnTop, at.x(), at.y());
    setWindowTitle(qt(graph_.Caption) + QStringLiteral(" X: ") + qt(FormatGeneral(data.X, 5)) +
                   QStringLiteral(" Y: ") + qt(FormatGeneral(data.Y, 5)));
}

void TPlotForm::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!valid_ || !layout_.PlotRect.Contains(at.x(), at.y()))
        return;
    if (event->button() == Qt::LeftButton) {
        banding_ = true;
        bandStart_ = bandCorner_ = at;
    } else if (event->button() == Qt::RightButton) {
        const TFloatPoint data = PixelToData(viewRange_, layout_.PlotRect, graph_.XOnTop, at.x(), at.y());
        viewRange_ = ZoomOut(viewRange_, fullRange_, data);
        Replot();
    }
}

void TPlotForm::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    ShowReadOut(at);
    if (banding_) {
        bandCorner_ = ClampToPlot(at);
        update();
    }
}

void TPlotForm::mouseReleaseEvent(QMouseEvent* event) {
    if (!banding_ || event->button() != Qt::LeftButton)
        return;
    banding_ = false;
    const QPoint at = event->position().toPoint();
    if (at.x() == bandStart_.x() || at.y() == bandStart_.y()) {
        update();
        return;
    }
    const QPoint end = ClampToPlot(at);
    const TPixelRect& plot = layout_.PlotRect;
    const TFloatPoint a = PixelToData(viewRange_, plot, graph_.XOnTop, bandStart_.x(), bandStart_.y());
    const TFloatPoint b = PixelToData(viewRange_, plot, graph_.XOnTop, end.x(), end.y());
    viewRange_ = ZoomToBox(fullRange_, a, b);
    Replot();
}

void TPlotForm::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (!banding_)
        setWindowTitle(qt(graph_.Caption.empty() ? graph_.ComponentName() : graph_.Caption));
}

void TPlotForm::ToggleLine(int lineIndex) {
    if (lineIndex < 0 || lineIndex >= graph_.LineCount())
        return;
    TLine& line = graph_.GetLine(lineIndex);
    line.Shown = !line.Shown;
    RefreshMenuChecks();
    legend_->update();
    Replot();
}

void TPlotForm::ToggleLegend() {
    legend_->setVisible(legend_->isHidden() && graph_.LineCount() > 0);
    Replot();
}

void TPlotForm::ToggleNeutralPlane() {
    graph_.ShowNeutralPlane = !graph_.ShowNeutralPlane;
    RefreshMenuChecks();
    Replot();
}

void TPlotForm::SetMarkers(int markers) {
    graph_.Markers = markers;
    Replot();
}

void TPlotForm::SetFontSize(int sizeFont) {
    graph_.SizeFont = sizeFont;
    SetupLegend(sizeFont);
    FormResize(false);
}

void TPlotForm::SetLineWidth(int widthLine) {
    graph_.WidthLine = widthLine;
    Replot();
}

void TPlotForm::PlotCaptionClick() {
    TfrmGraphCaption dialog(this);
    dialog.edtCaption->setText(qt(graph_.Title));
    (graph_.TitleOnTop ? dialog.rbTop : dialog.rbBottom)->setChecked(true);
    PlotFormDesktop::Current().ExecDialog(dialog);
    graph_.Title = dialog.edtCaption->text().toStdString();
    graph_.TitleOnTop = dialog.rbTop->isChecked();
    FormResize(true);
}

void TPlotForm::mLineNameClick() {
    TfrmLineNames dialog(this);
    QStringList names;
    for (int i = 0; i < graph_.LineCount(); ++i)
        names << qt(graph_.GetLine(i).DisplayName());
    dialog.SetNames(names);
    if (PlotFormDesktop::Current().ExecDialog(dialog) != QDialog::Accepted)
        return;
    names = dialog.Names();
    for (int i = 0; i < graph_.LineCount() && i < names.size(); ++i)
        graph_.GetLine(i).Name = names[i].toStdString();
    RebuildLineEntries();
    ResizeLegend();
    Replot();
}

void TPlotForm::ActiveGraphsClick() {
    TfrmActiveLines dialog(this);
    QStringList names;
    QStringList statuses;
    for (int i = 0; i < graph_.LineCount(); ++i) {
        names << qt(graph_.GetLine(i).DisplayName());
        statuses << (graph_.GetLine(i).Active ? TfrmActiveLines::kYes : TfrmActiveLines::kNo);
    }
    dialog.SetLineNames(names);
    dialog.SetKodeLines(statuses);
    if (PlotFormDesktop::Current().ExecDialog(dialog) != QDialog::Accepted)
        return;
    statuses = dialog.KodeLines();
    for (int i = 0; i < graph_.LineCount() && i < statuses.size(); ++i)
        graph_.GetLine(i).Active = statuses[i] == TfrmActiveLines::kYes;
    RebuildLineEntries();
    ResizeLegend();
    Replot();
}

TLegendPlacement TPlotForm::LegendPlacement() const {
    TLegendPlacement placement;
    placement.atPlotCorner = false;
    placement.left = legend_->x();
    placement.top = legend_->y();
    placement.windowWidth = std::max(width(), 1);
    placement.windowHeight = std::max(height(), 1);
    return placement;
}

void TPlotForm::PlotPrintClick() {
    auto& desktop = PlotFormDesktop::Current();
    if (!desktop.PrinterInstalled() || !valid_)
        return;
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setDocName(qt(graph_.Caption));
    printer_->setFullPage(true);
    if (desktop.RunPrintDialog(this, *printer_)) {
        printer_->setDocName(qt(graph_.Caption));
        printer_->setFullPage(true);
        const int dx = printer_->logicalDpiX();
        const int dy = printer_->logicalDpiY();
        QPageLayout page = printer_->pageLayout();
        page.setUnits(QPageLayout::Point);
        const QMarginsF minimum = page.minimumMargins();
        const auto toX = [dx](qreal points) { return static_cast<int>(std::lround(points * dx / 72.0)); };
        const auto toY = [dy](qreal points) { return static_cast<int>(std::lround(points * dy / 72.0)); };
        const QRect paper = page.fullRectPixels(dx);
        const int offX = toX(minimum.left());
        const int offY = toY(minimum.top());
        const int printableWidth = paper.width() - offX - toX(minimum.right());
        const int printableHeight = paper.height() - offY - toY(minimum.bottom());
        const TPixelRect pageRect =
            PrintPageRect(printableWidth, printableHeight, dx, dy, offX, offY, margins_);
        // The window's text, as large on paper as on the screen.
        const int baseFont =
            static_cast<int>(std::lround(static_cast<double>(kWindowFontHeight) * dx / logicalDpiX()));
        TPlotLayout paperLayout = PrinterLayout(graph_, pageRect, dx, dy, baseFont);
        // Printed, the legend is part of the picture whether or not the window shows it now.
        paperLayout.legend = LegendPlacement();
        paperLayout.legendVisible = true;
        QPainter painter;
        if (!painter.begin(printer_.get())) {
            showMessage(this, QStringLiteral("The graph could not be printed."));
        } else {
            painter.translate(offX, offY);
            DrawPlot(painter, graph_, viewRange_, paperLayout);
            painter.end();
        }
    }
    update();
}

void TPlotForm::PageSetupClick() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setFullPage(false);
    printer_->setPageMargins(QMarginsF(margins_.left / 1000.0, margins_.top / 1000.0, margins_.right / 1000.0,
                                       margins_.bottom / 1000.0),
                             QPageLayout::Inch);
    if (PlotFormDesktop::Current().RunPageSetup(this, *printer_)) {
        QPageLayout page = printer_->pageLayout();
        page.setUnits(QPageLayout::Inch);
        const QMarginsF m = page.margins();
        const auto thousandths = [](qreal inches) { return static_cast<int>(std::lround(inches * 1000)); };
        margins_ = {thousandths(m.left()), thousandths(m.top()), thousandths(m.right()),
                    thousandths(m.bottom())};
    }
}

void TPlotForm::ShowSaveFailure(TSaveResult result, const QString& fileName) {
    if (result == TSaveResult::OutOfMemory)
        showMessage(this, QString::fromLatin1(OutOfMemoryMessage));
    else if (result == TSaveResult::WriteFailed)
        showMessage(this, QStringLiteral("The file %1 could not be written.").arg(fileName));
}

void TPlotForm::PlotSaveClick() {
    auto& desktop = PlotFormDesktop::Current();
    if (!valid_)
        return;
    const QString fileName = desktop.ChooseSaveFile(
        this, QStringLiteral("Save To Disk"),
        {QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("PNG image (*.png)"),
         QStringLiteral("SVG drawing (*.svg)"), QStringLiteral("PDF document (*.pdf)")},
        QString());
    if (fileName.isEmpty())
        return;
    const auto format = PictureFormatOf(fileName);
    if (!format) {
        showMessage(this, QStringLiteral("Graphs are saved as .bmp, .png, .svg or .pdf files."));
        return;
    }
    TdlgFormat dialog(this);
    if (desktop.ExecDialog(dialog) != QDialog::Accepted)
        return;
    const int widthPx = dialog.WidthPixels();
    const int heightPx = dialog.HeightPixels();
    TPlotLayout pictureLayout = WindowLayout(graph_, std::max(widthPx, 0), std::max(heightPx, 0),
                                             logicalDpiX(), logicalDpiY(), kWindowFontHeight);
    pictureLayout.ForOutput = true;
    pictureLayout.legend = LegendPlacement();
    pictureLayout.legendVisible = true;
    ShowSaveFailure(SavePicture(graph_, viewRange_, pictureLayout, *format, fileName, widthPx, heightPx,
                                dialog.PixelsPerInch()),
                    fileName);
    update();
}

TPlotForm* ShowPlotForm(QMdiArea* area, TGraphPlot& graph) {
    for (QMdiSubWindow* sub : area->subWindowList()) {
        auto* form = qobject_cast<TPlotForm*>(sub->widget());
        if (form == nullptr || &form->Graph() != &graph)
            continue;
        if (sub->isMinimized())
            sub->showMaximized();
        area->setActiveSubWindow(sub);
        return form;
    }
    auto* form = new TPlotForm(graph);
    if (!form->Valid()) {
        delete form;
        return nullptr;
    }
    QMdiSubWindow* sub = area->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The size it has when restored (restore button, cascade, another window activated) is set on the
    // sub-window before it is maximised; otherwise it would come back as a bare title strip.
    const QSize frame = sub->sizeHint() - form->sizeHint();
    const QSize work = area->viewport()->size();
    sub->setMinimumSize(TPlotForm::MinimumClientSize() + frame);
    sub->resize(TPlotForm::NormalClientSize(work) + frame);
    sub->move(std::max(0, (work.width() - sub->width()) / 2),
              std::max(0, (work.height() - sub->height()) / 2));
    sub->showMaximized();
    area->setActiveSubWindow(sub);
    return form;
}

void ReloadGraphWindows(QMdiArea& area, bool resultsAvailable) {
    for (QMdiSubWindow* sub : area.subWindowList()) {
        auto* form = qobject_cast<TPlotForm*>(sub->widget());
        if (form == nullptr)
            continue;
        if (!resultsAvailable || !form->Rebuild())
            sub->close();
    }
}

} // namespace pavrin::graphics
