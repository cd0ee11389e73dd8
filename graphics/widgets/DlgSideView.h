// The soil-pile profile view ("Elevation View"): the soil layers under a
// hatched ground line and the pile as a solid bar, at equal scales, with a
// depth read-out under the mouse and a landscape printout. It reads the
// project through a provider on every activation and never keeps it.
#pragma once

#include "ReplaceableService.h"

#include "SoilProfile.h"

#include <QWidget>

#include <functional>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPainter;
class QPrinter;
class QPushButton;

namespace pavrin::graphics {

// The desktop facility of the profile's printout: choosing the printer.
// Behind an interface so that tests print to a PDF file without a person.
class QtSideViewDesktop;

class SideViewDesktop : public controls::ReplaceableService<SideViewDesktop, QtSideViewDesktop> {
public:
    virtual ~SideViewDesktop() = default;
    // Lets the user choose and set up the printer, which comes in landscape with
    // its job title set; true to print.
    virtual bool ChoosePrinter(QWidget* parent, QPrinter& printer) = 0;
};

// The real facility: QPrintDialog.
class QtSideViewDesktop final : public SideViewDesktop {
public:
    bool ChoosePrinter(QWidget* parent, QPrinter& printer) override;
};

// Paints a drawing of the profile: lines with the painter's pen, labels with
// its font, piles filled with `pileColour`.
void PaintProfile(QPainter& painter, const TProfileDrawing& drawing, const QColor& pileColour);

class TDlgSideView : public QWidget {
    Q_OBJECT
public:
    using TInputProvider = std::function<SoilProfileInput()>;

    explicit TDlgSideView(TInputProvider provider, QWidget* parent = nullptr);

    // The view in a new sub-window of `area`, freed when it closes (then
    // Closed is emitted); rebuilt whenever its sub-window is activated.
    static TDlgSideView* CreateIn(QMdiArea& area, TInputProvider provider);
    // Shows the view (restored when minimised) and brings it to the front.
    void ShowView();

    // Reads the project again and rebuilds the profile. An unusable pile
    // shows its message and closes the view.
    void FormActivate();
    // "Print": the landscape printout.
    void Button1Click();

    // The normal (restored) client size of the view in a work area of `area` pixels, tall enough
    // to read the layers, and the smallest one in which the profile stays readable.
    static QSize NormalClientSize(const QSize& area);
    static QSize MinimumClientSize();
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    const TSoilProfile& Profile() const { return profile_; }
    QWidget* Canvas() const { return canvas_; }
    QPushButton* PrintButton() const { return btnPrint_; }

signals:
    void Closed();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class TProfileCanvas;
    void closeView();
    void paintCanvas(QPainter& painter);
    void canvasResized();
    void mouseMovedTo(const QPoint& position);

    TInputProvider provider_;
    SoilProfileInput input_;
    TSoilProfile profile_;
    QLabel* lblGeometry_ = nullptr;
    QPushButton* btnPrint_ = nullptr;
    QWidget* canvas_ = nullptr;
    bool closing_ = false; // an unusable pile: the view closes after the current event
    bool closed_ = false;
};

} // namespace pavrin::graphics
