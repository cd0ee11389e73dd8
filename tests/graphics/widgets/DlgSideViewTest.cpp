#include "DlgSideView.h"
#include "FakeMessageBoxes.h"

#include <QFile>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace pavrin::graphics;
using pavrin::controls::testing::FakeMessageBoxes;
using pavrin::controls::testing::ScopedMessageBoxes;

namespace {

// Prints to a PDF file instead of asking for a printer.
class PdfDesktop final : public SideViewDesktop {
public:
    explicit PdfDesktop(QString file) : file_(std::move(file)) { previous_ = SetCurrent(this); }
    ~PdfDesktop() override { SetCurrent(previous_); }
    bool ChoosePrinter(QWidget*, QPrinter& printer) override {
        orientation = printer.pageLayout().orientation();
        title = printer.docName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file_);
        ++asked;
        return true;
    }
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QString title;
    int asked = 0;

private:
    QString file_;
    SideViewDesktop* previous_ = nullptr;
};

// Clay from 0 to 10, sand from 10 to 25, a pile of diameter 2, 20 long.
SoilProfileInput clayOverSand() {
    SoilProfileInput input;
    input.OuterDiameter = 2;
    input.PileLength = 20;
    input.Layers = {{1, 10}, {2, 25}};
    return input;
}

bool isDark(const QColor& c) {
    return c.lightness() < 80;
}

} // namespace

class DlgSideViewTest : public QObject {
    Q_OBJECT

private slots:
    void profileInAnMdiAreaFollowsTheProjectAndTheMouse() {
        QMdiArea area;
        area.resize(900, 700);
        area.show();
        int reads = 0;
        SoilProfileInput project = clayOverSand();
        QPointer<TDlgSideView> view = TDlgSideView::CreateIn(area, [&] {
            ++reads;
            return project;
        });
        QSignalSpy closed(view.data(), &TDlgSideView::Closed);
        view->ShowView();
        QVERIFY(reads >= 1);
        QCOMPARE(view->windowTitle(), QStringLiteral("Elevation View"));
        auto* window = qobject_cast<QMdiSubWindow*>(view->parentWidget());
        QVERIFY(window);
        // It opens tall enough to read, inside the work area.
        QVERIFY2(window->height() >= area.viewport()->height() * 8 / 10,
                 qPrintable(QString::number(window->height())));
        QVERIFY(area.viewport()->rect().contains(window->geometry()));
        QVERIFY(view->Canvas()->height() > 300);

        for (const QSize size : {QSize(400, 600), QSize(700, 300)}) {
            window->resize(size);
            QCoreApplication::processEvents();
            const TWorldRect& v = view->Profile().ViewRect();
            const QWidget* canvas = view->Canvas();
            QVERIFY(!view->Profile().Invalid());
            const double xScale = static_cast<double>((v.xmax - v.xmin) / canvas->width());
            const double yScale = static_cast<double>((v.ymax - v.ymin) / canvas->height());
            QVERIFY2(qAbs(xScale - yScale) < 1e-9 * yScale, "equal scales after a resize");
        }

        // The pile is a dark bar on the axis, as wide as its diameter on the common scale; beside it
        // the window's base colour.
        const QImage image = view->Canvas()->grab().toImage();
        const int axis = view->Profile().ToPixelX(0);
        const int middle = view->Profile().ToPixelY(10.5L);
        QVERIFY(isDark(image.pixelColor(axis, middle)));
        int dark = 0;
        for (int x = 0; x < image.width(); ++x)
            dark += isDark(image.pixelColor(x, middle)) ? 1 : 0;
        const int expected = view->Profile().ToPixelX(1) - view->Profile().ToPixelX(-1);
        QVERIFY2(qAbs(dark - expected) <= 1, qPrintable(QStringLiteral("%1 of %2").arg(dark).arg(expected)));
        QCOMPARE(image.pixelColor(axis + view->Canvas()->width() / 4, middle),
                 view->palette().color(QPalette::Base));

        QTest::mouseMove(view->Canvas(), QPoint(10, view->Profile().ToPixelY(12.5L)));
        QVERIFY2(view->windowTitle().startsWith(QStringLiteral("  Depth: 12.")),
                 qPrintable(view->windowTitle()));
        QCOMPARE(window->windowTitle(), view->windowTitle());

        // A later activation reads the project again.
        project.PileLength = 40;
        const int before = reads;
        area.setActiveSubWindow(nullptr);
        view->ShowView();
        QVERIFY(reads > before);
        QVERIFY(qAbs(static_cast<double>(view->Profile().WorldRect().ymax) - 42.0) < 1e-9);

        window->close();
        QCOMPARE(closed.count(), 1);
        QTRY_VERIFY(view.isNull());
    }

    void printsTheLandscapeProfileToPdf() {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("profile.pdf"));
        PdfDesktop desktop(file);
        TDlgSideView view([] { return clayOverSand(); });
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        view.show();
        QTest::mouseClick(view.PrintButton(), Qt::LeftButton);
        QCOMPARE(desktop.asked, 1);
        QCOMPARE(desktop.orientation, QPageLayout::Landscape);
        QCOMPARE(desktop.title, QStringLiteral("Soil-Pile Profile"));
        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(4) == "%PDF");
        QVERIFY(pdf.size() > 1000);
    }

    void unusablePileShowsItsMessageAndClosesTheView() {
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scoped(boxes);
        QPointer<TDlgSideView> view = new TDlgSideView([] {
            SoilProfileInput input = clayOverSand();
            input.PileLength = std::numeric_limits<long double>::infinity();
            return input;
        });
        QSignalSpy closed(view.data(), &TDlgSideView::Closed);
        view->show();
        QCOMPARE(boxes.Texts(),
                 QStringList{QStringLiteral("One or more Pile Types does not have any sections")});
        QTRY_COMPARE(closed.count(), 1);
        QTRY_VERIFY(view.isNull());

        // A degenerate profile stays blank and ignores the mouse.
        TDlgSideView blank([] {
            SoilProfileInput input;
            input.Layers = {{1, 0}};
            return input;
        });
        blank.setAttribute(Qt::WA_DeleteOnClose, false);
        blank.show();
        QVERIFY(blank.Profile().Invalid());
        QTest::mouseMove(blank.Canvas(), QPoint(5, 5));
        QCOMPARE(blank.windowTitle(), QStringLiteral("Elevation View"));
        QTest::mouseClick(blank.PrintButton(), Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), 2);
    }
};

QTEST_MAIN(DlgSideViewTest)
#include "DlgSideViewTest.moc"
