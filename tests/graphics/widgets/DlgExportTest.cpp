#include "DlgExport.h"
#include "FakeMessageBoxes.h"
#include "PltData.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace pavrin::graphics;
using pavrin::controls::MessageBoxes;
using pavrin::controls::testing::FakeMessageBoxes;
using pavrin::controls::testing::ScopedMessageBoxes;

namespace {

// Answers the save question with a fixed name and records what is opened.
class FakeExportDesktop final : public ExportDesktop {
public:
    FakeExportDesktop() { previous_ = SetCurrent(this); }
    ~FakeExportDesktop() override { SetCurrent(previous_); }
    QString ChooseSaveFile(QWidget*, const QString& title, const QString& startName) override {
        asked << title + QLatin1Char('|') + startName;
        return answer;
    }
    bool OpenDocument(const QString& fileName) override {
        opened << fileName;
        return opens;
    }
    QString answer;
    bool opens = true;
    QStringList asked;
    QStringList opened;

private:
    ExportDesktop* previous_ = nullptr;
};

QByteArray contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class DlgExportTest : public QObject {
    Q_OBJECT

private slots:
    void checkListAndButtons() {
        TResultGraphs graphs;
        TDlgExport dialog(graphs, QStringLiteral("/work/pile.pv3d"), {true, true, false, true});
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Export to Excel"));
        QListWidget* list = dialog.CheckListBoxPlots;
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Load Distribution"));
        QCOMPARE(list->item(3)->text(), QStringLiteral("Tip Resistance Curve"));
        QCOMPARE(dialog.GetNPlots(), 3);
        QCOMPARE(list->item(2)->checkState(), Qt::Unchecked);
        QVERIFY(!list->item(2)->flags().testFlag(Qt::ItemIsEnabled));

        QTest::mouseClick(dialog.btnUnselectAll, Qt::LeftButton);
        QCOMPARE(dialog.GetNPlots(), 0);
        QVERIFY(!dialog.btnGenerate->isEnabled());
        list->item(1)->setCheckState(Qt::Checked);
        QVERIFY(dialog.btnGenerate->isEnabled()); // one checked entry is enough
        QTest::mouseClick(dialog.btnSelectAll, Qt::LeftButton);
        QCOMPARE(dialog.GetNPlots(), 3); // an entry without plot data stays unchecked

        QCOMPARE(DefaultWorkbookName(QStringLiteral("/work/pile.v2.pv3d")),
                 QStringLiteral("/work/pile.v2.xlsx"));
        QCOMPARE(DefaultWorkbookName(QStringLiteral("/work.d/pile")), QStringLiteral("/work.d/pile.xlsx"));
    }

    void generateWritesOpensAndKeepsAnEarlierWorkbookOnFailure() {
        QTemporaryDir folder;
        FakeMessageBoxes boxes;
        ScopedMessageBoxes scoped(boxes);
        FakeExportDesktop desktop;
        TResultGraphs graphs;
        graphs.pltAxial.SetLineCount(1);
        graphs.pltAxial.SetPointCount(4);
        graphs.PltQW.SetLineCount(1);
        graphs.PltQW.SetPointCount(3);
        const QString project = folder.filePath(QStringLiteral("pile.pv3d"));
        TDlgExport dialog(graphs, project);

        desktop.answer.clear(); // cancelled: nothing happens
        QTest::mouseClick(dialog.btnGenerate, Qt::LeftButton);
        QCOMPARE(desktop.asked,
                 QStringList{QStringLiteral("Export to Excel|") + folder.filePath("pile.xlsx")});
        QVERIFY(desktop.opened.isEmpty());

        desktop.answer = folder.filePath(QStringLiteral("graphs")); // no extension typed
        QTest::mouseClick(dialog.btnGenerate, Qt::LeftButton);
        const QString written = folder.filePath(QStringLiteral("graphs.xlsx"));
        QCOMPARE(desktop.opened, QStringList{written});
        QCOMPARE(dialog.LastWorkbook(), written);
        const QByteArray first = contents(written);
        QVERIFY(first.startsWith("PK"));
        QVERIFY(boxes.shown.isEmpty());

        // Too many lines: refused with a message, the earlier workbook intact, nothing opened.
        graphs.pltLoad.SetLineCount(400);
        QTest::mouseClick(dialog.btnGenerate, Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY2(boxes.LastText().contains(QStringLiteral("could not be written")),
                 qPrintable(boxes.LastText()));
        QCOMPARE(contents(written), first);
        QCOMPARE(desktop.opened.size(), 1);

        // Written, but no program opens it: said so.
        graphs.pltLoad.SetLineCount(0);
        desktop.opens = false;
        QTest::mouseClick(dialog.btnGenerate, Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), 2);
        QCOMPARE(boxes.shown.back().icon, MessageBoxes::Icon::Warning);
        QVERIFY(boxes.LastText().contains(QStringLiteral("was written")));
    }
};

QTEST_MAIN(DlgExportTest)
#include "DlgExportTest.moc"
