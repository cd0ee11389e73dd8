// The calculation report as its reader gets it. Every example is run and reported with pavrin-cli
// as a user does; pdftotext must give back every head load and head settlement of `pavrin-cli
// summary` to the printed digits, the neutral-plane depths of the down-drag example, the run status
// and the page footers, in plain letters; pdfinfo the page count. The first page of one report is
// compared with a reference picture.
//
// Renewing the reference picture after an intended change of the report's first page:
//   PAVRIN_RENEW_REPORT_REFERENCE=1 build/bin/report_CalculationReportTest firstPageMatchesTheReference
// then look at tests/app/report/data/first-page.png before committing it.
#include "CalculationReport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTest>

#include <cstdlib>

using namespace pavrin;

namespace {

struct Result {
    int exitCode = -1;
    QByteArray out, err;
};

Result Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    Result result;
    if (!process.waitForFinished(120000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QString Cli() {
    return QStringLiteral(PAVRIN_BIN "/pavrin-cli");
}

QString CopyExample(const QTemporaryDir& folder, const QString& name) {
    const QString copy = folder.filePath(name);
    QFile::copy(QStringLiteral(PAVRIN_EXAMPLES "/") + name, copy);
    QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return copy;
}

// The text of a PDF with its layout, as pdftotext gives it.
QString PdfText(const QString& pdf) {
    const Result text = Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    return QString::fromUtf8(text.out);
}

int PdfPages(const QString& pdf) {
    const Result info = Run(QStringLiteral("pdfinfo"), {pdf});
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(info.out));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A number of `pavrin-cli summary --csv` as the report prints it: at most 6 significant digits.
QString Printed(const QString& field) {
    return QString::number(field.toDouble(), 'g', 6);
}

} // namespace

class CalculationReportTest : public QObject {
    Q_OBJECT

private slots:
    void everyExamplesReportHoldsItsResults_data() {
        QTest::addColumn<QString>("example");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("downdrag");
        QTest::newRow("driven pile") << QStringLiteral("driven-pile-clay-sand.pv3d") << 5 << false;
        QTest::newRow("drilled shaft, SI") << QStringLiteral("drilled-shaft-si.pv3d") << 5 << false;
        QTest::newRow("user curves, down-drag") << QStringLiteral("user-curves-downdrag.pv3d") << 6 << true;
    }

    void everyExamplesReportHoldsItsResults() {
        QFETCH(QString, example);
        QFETCH(int, pages);
        QFETCH(bool, downdrag);
        QTemporaryDir folder;
        const QString project = CopyExample(folder, example);
        const QString pdf = folder.filePath(QStringLiteral("report.pdf"));

        // Before the run there is nothing to report, and nothing is written.
        Result report = Run(Cli(), {QStringLiteral("report"), project, QStringLiteral("--out"), pdf});
        QCOMPARE(report.exitCode, 1);
        QVERIFY2(report.err.contains("run the analysis first"), report.err.constData());
        QVERIFY(!QFile::exists(pdf));

        QCOMPARE(Run(Cli(), {QStringLiteral("run"), project}).exitCode, 0);
        report = Run(Cli(), {QStringLiteral("report"), project, QStringLiteral("--out"), pdf});
        QVERIFY2(report.exitCode == 0, report.err.constData());
        QCOMPARE(PdfPages(pdf), pages);
        QVERIFY2(QFileInfo(pdf).size() < 5 * 1024 * 1024, "a report of an example stays small");

        const QString text = PdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("The analysis completed (status 0).")));
        QVERIFY(text.contains(QStringLiteral("Page 1 of %1").arg(pages)));
        QVERIFY(text.contains(QStringLiteral("Page %1 of %1").arg(pages)));
        // Searchable as typed: no ligature glyph replaces "ff" or "fi".
        QVERIFY(text.contains(QStringLiteral("Effective")) || text.contains(QStringLiteral("entered by the user")));
        QVERIFY(text.contains(QStringLiteral("t-z and Q-w curves")));
        QVERIFY(!text.contains(QChar(0xFB00)) && !text.contains(QChar(0xFB01)) && !text.contains(QChar(0xFB02)));

        // Every head load and head settlement of the summary, in both passes.
        const Result csv = Run(Cli(), {QStringLiteral("summary"), project, QStringLiteral("--csv")});
        QCOMPARE(csv.exitCode, 0);
        const QStringList lines = QString::fromUtf8(csv.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList header = lines.front().split(QLatin1Char(','));
        auto column = [&header](const QString& name) {
            for (int c = 0; c < header.size(); ++c)
                if (header[c].startsWith(name))
                    return c;
            return -1;
        };
        const int load = column(QStringLiteral("head load"));
        const int settlement = column(QStringLiteral("head settlement"));
        const int neutral = column(QStringLiteral("neutral plane depth"));
        QVERIFY(load > 0 && settlement > 0 && neutral > 0);
        int neutralPlanes = 0;
        for (const QString& line : lines.mid(1)) {
            const QStringList fields = line.split(QLatin1Char(','));
            for (const int column : {load, settlement}) {
                const QString number = Printed(fields[column]);
                QVERIFY2(QRegularExpression(QStringLiteral("(^|\\s)%1(\\s|$)").arg(QRegularExpression::escape(number)))
                             .match(text)
                             .hasMatch(),
                         qPrintable(QStringLiteral("%1 of \"%2\" is not in the report").arg(number, line)));
            }
            if (!fields[neutral].isEmpty()) {
                QVERIFY2(text.contains(Printed(fields[neutral])), qPrintable(line));
                ++neutralPlanes;
            }
        }
        QCOMPARE(neutralPlanes > 0, downdrag);
    }

    // A failed write leaves the earlier report as it was; a project file is never overwritten; a project
    // saved after its run is refused.
    void refusalsLeaveEveryFileAsItWas() {
        QTemporaryDir folder;
        const QString project = CopyExample(folder, QStringLiteral("drilled-shaft-si.pv3d"));
        QCOMPARE(Run(Cli(), {QStringLiteral("run"), project}).exitCode, 0);
        const QString earlier = folder.filePath(QStringLiteral("earlier.pdf"));
        {
            QFile file(earlier);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("%PDF earlier");
        }
        // The folder cannot take the temporary file: the report is not written, the old one stays.
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
        const bool root = QFileInfo(folder.path()).isWritable();
        const Result refused = Run(Cli(), {QStringLiteral("report"), project, QStringLiteral("--out"), earlier});
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!root) {
            QCOMPARE(refused.exitCode, 1);
            QVERIFY(!refused.err.isEmpty());
            QFile file(earlier);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("%PDF earlier"));
        }
        const QByteArray before = FileBytes(project);
        const Result own = Run(Cli(), {QStringLiteral("report"), project, QStringLiteral("--out"), project});
        QVERIFY(own.exitCode != 0);
        QFile file(project);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        file.close();

        // A name of another kind of file (another project, say) is no report's name; an unreadable
        // measured load test is named, and the report is written without it.
        const QString other = folder.filePath(QStringLiteral("other.pv3d"));
        QVERIFY(QFile::copy(project, other));
        QCOMPARE(Run(Cli(), {QStringLiteral("report"), project, QStringLiteral("--out"), other}).exitCode, 64);
        QCOMPARE(FileBytes(other), before);
        {
            QFile measured(folder.filePath(QStringLiteral("drilled-shaft-si.pv3m")));
            QVERIFY(measured.open(QIODevice::WriteOnly));
            measured.write("Load (kN)  Settlement (m)\r\n100 x\r\n");
        }
        const Result warned = Run(Cli(), {QStringLiteral("report"), project, QStringLiteral("--out"),
                                          folder.filePath(QStringLiteral("warned.pdf"))});
        QCOMPARE(warned.exitCode, 0);
        QVERIFY2(warned.err.contains("pv3m"), warned.err.constData());

        // Saved after its run, the project's results are not those of the plot data: refused.
        const QString fresh = folder.filePath(QStringLiteral("fresh.pdf"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(60), QFileDevice::FileModificationTime));
        file.close();
        const Result stale = Run(Cli(), {QStringLiteral("report"), project, QStringLiteral("--out"), fresh});
        QCOMPARE(stale.exitCode, 1);
        QVERIFY2(stale.err.contains("saved after its last run"), stale.err.constData());
        QVERIFY(!QFile::exists(fresh));
    }

    // A run the engine stopped (the pile tip below the soil profile) is reported with its inputs, the
    // status in words and the engine's stop message, and no results.
    void aStoppedRunIsReportedWithItsStopMessage() {
        QTemporaryDir folder;
        const QString project = CopyExample(folder, QStringLiteral("driven-pile-clay-sand.pv3d"));
        QFile file(project);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray text = file.readAll();
        file.close();
        text.replace("1E-5 600 16", "1E-5 800 16").replace("7.0607295E8 600", "7.0607295E8 800");
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
        QCOMPARE(Run(Cli(), {QStringLiteral("run"), project}).exitCode, 5);
        const QString pdf = folder.filePath(QStringLiteral("stopped.pdf"));
        const Result report = Run(Cli(), {QStringLiteral("report"), project, QStringLiteral("--out"), pdf});
        QVERIFY2(report.exitCode == 0, report.err.constData());
        const QString words = PdfText(pdf);
        QVERIFY(words.contains(QStringLiteral("The analysis stopped (status 5)")));
        QVERIFY(words.contains(QStringLiteral("**** WARNING ****")));
        QVERIFY(words.contains(QStringLiteral("no result graphs and")));
        QVERIFY(!words.contains(QStringLiteral("Load-settlement summary")));
    }

    void firstPageMatchesTheReference() {
        QTemporaryDir folder;
        const QString project = CopyExample(folder, QStringLiteral("drilled-shaft-si.pv3d"));
        QCOMPARE(Run(Cli(), {QStringLiteral("run"), project}).exitCode, 0);
        // A fixed date of the run and a fixed file in place of the engine library, so that the page
        // holds the same words on every machine.
        for (const QString& name : {QStringLiteral("drilled-shaft-si.pv3d"), QStringLiteral("drilled-shaft-si.pv3p")}) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime(QDate(2026, 12, 1), QTime(9, 30), Qt::UTC),
                                     QFileDevice::FileModificationTime));
        }
        report::ReportOptions options;
        options.engineLibrary = QStringLiteral(PAVRIN_EXAMPLES "/drilled-shaft-si.pv3d").toStdString();
        const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
        const report::ReportOutcome outcome =
            report::WriteCalculationReport(project.toStdString(), pdf.toStdString(), options);
        QVERIFY2(outcome.status == 0, outcome.message.c_str());

        const QString picture = folder.filePath(QStringLiteral("page"));
        QCOMPARE(Run(QStringLiteral("pdftoppm"), {QStringLiteral("-gray"), QStringLiteral("-r"), QStringLiteral("40"),
                                                 QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                 QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, picture})
                     .exitCode,
                 0);
        const QImage page(picture + QStringLiteral(".pgm"));
        QVERIFY(!page.isNull());
        const QString reference = QStringLiteral(PAVRIN_REPORT_REFERENCE);
        if (qEnvironmentVariableIsSet("PAVRIN_RENEW_REPORT_REFERENCE")) {
            QVERIFY(page.convertToFormat(QImage::Format_Grayscale8).save(reference, "PNG"));
            QSKIP("the reference picture was renewed: look at it before committing it");
        }
        const QImage expected(reference);
        QVERIFY2(!expected.isNull(), "no reference picture: renew it (see the top of this file)");
        QCOMPARE(page.size(), expected.size());
        // Anti-aliasing may differ a little between font renderers: count only clearly different pixels.
        const QImage a = page.convertToFormat(QImage::Format_Grayscale8);
        const QImage b = expected.convertToFormat(QImage::Format_Grayscale8);
        qint64 different = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                different += std::abs(a.constScanLine(y)[x] - b.constScanLine(y)[x]) > 64;
        const qint64 allowed = static_cast<qint64>(a.width()) * a.height() / 1000; // 0.1 %
        QVERIFY2(different <= allowed,
                 qPrintable(QStringLiteral("%1 pixels differ from the reference (at most %2)").arg(different).arg(allowed)));
    }
};

QTEST_MAIN(CalculationReportTest)
#include "CalculationReportTest.moc"
