#include "DlgSideView.h"

#include "ChildWindowPlacement.h"
#include "MessageBoxes.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace pavrin::graphics {

namespace {

const QString kCaption = QStringLiteral("Elevation View");

} // namespace

bool QtSideViewDesktop::ChoosePrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void PaintProfile(QPainter& painter, const TProfileDrawing& drawing, const QColor& pileColour) {
    for (const TPixelLine& l : drawing.Lines)
        painter.drawLine(l.x1, l.y1, l.x2, l.y2);
    const int ascent = painter.fontMetrics().ascent();
    for (const TPixelText& t : drawing.Labels)
        painter.drawText(t.x, t.y + ascent, QString::fromStdString(t.text));
    // Filled without an outline, so that the bar is exactly as wide as the drawing says.
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(pileColour);
    for (const TPixelPolygon& p : drawing.Piles) {
        const QPoint corners[4] = {{p.x[0], p.y[0]}, {p.x[1], p.y[1]}, {p.x[2], p.y[2]}, {p.x[3], p.y[3]}};
        painter.drawPolygon(corners, 4);
    }
    painter.restore();
}

// The client area of the view: paints the profile and follows the mouse.
class TProfileCanvas final : public QWidget {
public:
    explicit TProfileCanvas(TDlgSideView& view) : QWidget(&view), view_(view) {
        setMouseTracking(true);
        setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        view_.paintCanvas(painter);
    }
    void resizeEvent(QResizeEvent*) override { view_.canvasResized(); }
    void mouseMoveEvent(QMouseEvent* event) override { view_.mouseMovedTo(event->position().toPoint()); }

private:
    TDlgSideView& view_;
};

TDlgSideView::TDlgSideView(TInputProvider provider, QWidget* parent)
    : QWidget(parent), provider_(std::move(provider)) {
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    lblGeometry_ = new QLabel(QStringLiteral("Pile Geometry"), this);
    btnPrint_ = new QPushButton(QStringLiteral("Print"), this);
    canvas_ = new TProfileCanvas(*this);
    auto* bar = new QHBoxLayout;
    bar->addWidget(lblGeometry_);
    bar->addStretch();
    bar->addWidget(btnPrint_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(canvas_, 1);
    resize(520, 560);
    connect(btnPrint_, &QPushButton::clicked, this, &TDlgSideView::Button1Click);
}

QSize TDlgSideView::MinimumClientSize() {
    return {320, 360};
}

QSize TDlgSideView::NormalClientSize(const QSize& area) {
    // A profile is deep and narrow: most of the height of the work area, a third of its width.
    return QSize(std::max(area.width() / 3, 420), area.height() * 9 / 10).expandedTo(MinimumClientSize());
}

QSize TDlgSideView::sizeHint() const {
    const QWidget* window = parentWidget();
    const QWidget* workArea = window != nullptr ? window->parentWidget() : nullptr;
    return workArea != nullptr ? NormalClientSize(workArea->size()) : QSize(520, 560);
}

QSize TDlgSideView::minimumSizeHint() const {
    return MinimumClientSize();
}

TDlgSideView* TDlgSideView::CreateIn(QMdiArea& area, TInputProvider provider) {
    auto* view = new TDlgSideView(std::move(provider));
    QMdiSubWindow* window = area.addSubWindow(view);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Sizes of the sub-window itself: what it opens with and comes back to when restored or cascaded.
    const QSize frame = window->sizeHint() - view->sizeHint();
    const QSize work = area.viewport()->size();
    window->setMinimumSize(MinimumClientSize() + frame);
    window->resize(NormalClientSize(work) + frame);
    window->move(std::max(0, work.width() - window->width()), 0);
    connect(&area, &QMdiArea::subWindowActivated, view, [view, window](QMdiSubWindow* active) {
        if (active == window)
            view->FormActivate();
    });
    return view;
}

void TDlgSideView::ShowView() {
    QWidget* window = parentWidget() ? parentWidget() : this;
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    show();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window))
        controls::KeepInsideWorkArea(*sub);
    window->raise();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window); sub && sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
    else
        window->activateWindow();
    FormActivate();
}

void TDlgSideView::FormActivate() {
    if (closed_ || closing_)
        return;
    input_ = provider_ ? provider_() : SoilProfileInput{};
    try {
        profile_.Rebuild(input_);
    } catch (const std::exception& e) {
        input_ = {};
        controls::MessageBoxes::Current().ShowMessage(this, QString::fromStdString(e.what()));
        closeView();
        return;
    }
    canvasResized();
}

void TDlgSideView::closeView() {
    // Closed after the current event: the view may be inside its own activation.
    closing_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (parentWidget() && qobject_cast<QMdiSubWindow*>(parentWidget()))
                parentWidget()->close();
            else
                close();
        },
        Qt::QueuedConnection);
}

bool TDlgSideView::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && isWindow())
        FormActivate();
    return QWidget::event(event);
}

void TDlgSideView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormActivate();
}

void TDlgSideView::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (!closed_) {
        closed_ = true;
        emit Closed();
    }
}

void TDlgSideView::canvasResized() {
    profile_.Resize(canvas_->width(), canvas_->height());
    canvas_->update();
}

void TDlgSideView::paintCanvas(QPainter& painter) {
    // The drawing stands on the system's window (base) colour, white by default, as a document does.
    painter.fillRect(canvas_->rect(), palette().color(QPalette::Base));
    if (profile_.Invalid())
        return;
    const QColor text = palette().color(QPalette::Text);
    painter.setPen(text);
    painter.setFont(font());
    PaintProfile(painter, profile_.Draw(input_, painter.fontMetrics().height()), text);
}

void TDlgSideView::mouseMovedTo(const QPoint& position) {
    if (profile_.Invalid())
        return;
    const long double depth = profile_.ToWorldY(position.y());
    setWindowTitle(QStringLiteral("  Depth: ") + QString::number(static_cast<double>(depth), 'f', 1));
}

void TDlgSideView::Button1Click() {
    if (profile_.Invalid() || !LayoutProfilePrintout(input_, profile_, 1000, 1000, 10)) {
        controls::MessageBoxes::Current().ShowMessage(
            this, QStringLiteral("There is nothing to print: the soil layers and the pile have no depth."),
            controls::MessageBoxes::Icon::Information);
        return;
    }
    // The layout's pixel constants (pen, hatch strokes) suit a printer of about 600 dots per inch.
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(600);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QStringLiteral("Soil-Pile Profile"));
    if (!SideViewDesktop::Current().ChoosePrinter(this, printer))
        return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        controls::MessageBoxes::Current().ShowMessage(this,
                                                      QStringLiteral("The printer could not be started."));
        return;
    }
    QPen pen(Qt::black, PrintPenWidth, Qt::SolidLine);
    painter.setPen(pen);
    painter.setFont(QFont(lblGeometry_->font(), &printer));
    painter.setBackgroundMode(Qt::TransparentMode);
    const int minPileWidth = static_cast<int>(std::lround(MinPilePaperMm / 25.4 * printer.resolution()));
    const auto page = LayoutProfilePrintout(input_, profile_, printer.width(), printer.height(),
                                            painter.fontMetrics().height(), minPileWidth);
    if (page)
        PaintProfile(painter, *page, Qt::black);
    painter.end();
}

} // namespace pavrin::graphics
