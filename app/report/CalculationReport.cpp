#include "CalculationReport.h"

#include "ReportLayout.h"

#include "RunStatus.h"
#include "CommandFiles.h"
#include "ExitCodes.h"
#include "PlotDraw.h"
#include "PltData.h"
#include "ProgramData.h"
#include "ProjectFile.h"
#include "ProjectFileNames.h"
#include "ProjectResults.h"
#include "ResultTables.h"
#include "SoilProfile.h"
#include "Summary.h"

#include "Analysis.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QHashSeed>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <cctype>
#include <cmath>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#ifndef PAVRIN_PROGRAM_VERSION
#define PAVRIN_PROGRAM_VERSION "unknown"
#endif

namespace pavrin::report {

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString number(float value) {
    return Q(results::formatNumber(value, 6));
}

// A value the user typed (a field of the project), in the form the project keeps it.
QString typed(long double value) {
    return Q(results::formatNumber(value));
}

// A cell as its editor shows it: a choice by its name, anything else by its text.
QString CellText(const controls::TColumn& column, int row) {
    if (const auto* choice = dynamic_cast<const controls::TEnumColumn*>(&column)) {
        const auto& items = choice->Items();
        const std::int32_t position = choice->GetInteger(row);
        if (position >= 1 && static_cast<std::size_t>(position) <= items.size())
            return Q(items[static_cast<std::size_t>(position) - 1]);
    }
    return Q(column.GetText(row));
}

// The columns of a project table as its editor shows them: the visible columns other than the
// buttons that open sub-tables, each with its heading lines (unit labels expanded) and cell texts.
TableData ProjectTable(const controls::TGridTable& table, const QString& caption) {
    TableData data;
    data.caption = caption;
    std::vector<const controls::TColumn*> columns;
    for (int c = 0; c < table.VisibleColumnCount(); ++c) {
        const controls::TColumn& column = table.VisibleColumn(c);
        if (column.ClassNumber() != controls::kTableColumn)
            columns.push_back(&column);
    }
    for (const controls::TColumn* column : columns) {
        TableColumn heading;
        for (int line = 0; line < column->HeadingLineCount(); ++line)
            heading.heading.push_back(Q(column->HeadingLine(line)));
        heading.numeric =
            column->ClassNumber() == controls::kFloatColumn || column->ClassNumber() == controls::kIntColumn;
        data.columns.push_back(heading);
    }
    for (int row = 0; row < table.RowCount(); ++row) {
        std::vector<QString> cells;
        for (const controls::TColumn* column : columns)
            cells.push_back(CellText(*column, row));
        data.rows.push_back(std::move(cells));
    }
    // A text column that holds only numbers (an optional value such as e50) is aligned as numbers.
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (columns[c]->ClassNumber() != controls::kStringColumn)
            continue;
        bool numbers = true;
        for (const auto& cells : data.rows) {
            bool ok = cells[c].trimmed().isEmpty();
            if (!ok)
                cells[c].trimmed().toDouble(&ok);
            numbers = numbers && ok;
        }
        data.columns[c].numeric = numbers;
    }
    return data;
}

// When the run that made the results ended: the time its plot data file was written, in UTC.
QDateTime runTime(const std::string& plotFile) {
    return QFileInfo(Q(plotFile)).lastModified().toUTC();
}

// The global hash seed fixed for the object's lifetime, random again after.
struct ScopedDeterministicHashes {
    ScopedDeterministicHashes() { QHashSeed::setDeterministicGlobalSeed(); }
    ~ScopedDeterministicHashes() { QHashSeed::resetRandomGlobalSeed(); }
    ScopedDeterministicHashes(const ScopedDeterministicHashes&) = delete;
    ScopedDeterministicHashes& operator=(const ScopedDeterministicHashes&) = delete;
};

// Replaces the writer's creation date (the time of writing, "/CreationDate (D:YYYYMMDDHHmmSS" and
// "Z" or a local offset "+HH'mm'") by `at` in UTC, in as many characters ("Z" or "Z00'00'"), so that
// no offset in the file moves.
void SetCreationDate(QByteArray& pdf, const QDateTime& at) {
    const QByteArray key = "/CreationDate (D:";
    const qsizetype start = pdf.indexOf(key);
    if (start < 0)
        return;
    const qsizetype digits = start + key.size();
    const qsizetype end = pdf.indexOf(')', digits);
    const QByteArray stamp = at.toUTC().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    if (end < 0 || end - digits < stamp.size())
        return;
    for (qsizetype i = 0; i < stamp.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(pdf[digits + i])))
            return;
    const qsizetype zone = end - digits - stamp.size();
    if (zone != 1 && zone != 7)
        return;
    pdf.replace(digits, stamp.size() + zone, stamp + (zone == 1 ? QByteArray("Z") : QByteArray("Z00'00'")));
}

QString statusWords(int status) {
    if (status < 0)
        return QStringLiteral("The project could not be analysed.");
    if (status == 0)
        return QStringLiteral("The analysis completed (status 0).");
    return Q(app::RunStatusLine(status));
}

// The engine's warnings and remarks (each "****" block and the remarks on uplift and head loads
// outside the computed range), verbatim and in report order; a block repeated word for word is shown
// once with its count.
std::vector<QString> engineMessages(const std::string& engineReport, int status) {
    const auto lines = cli::splitLines(engineReport);
    std::vector<std::pair<std::vector<std::string>, int>> blocks;
    auto isBlank = [](const std::string& l) { return l.find_first_not_of(' ') == std::string::npos; };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.find("****") == std::string::npos && l.find("WARNING") == std::string::npos &&
            l.find("OUTSIDE THE COMPUTED RANGE") == std::string::npos)
            continue;
        std::vector<std::string> block;
        while (i < lines.size() && !isBlank(lines[i]) && lines[i] != "1") {
            block.push_back(lines[i]);
            ++i;
        }
        const auto same =
            std::find_if(blocks.begin(), blocks.end(), [&](const auto& b) { return b.first == block; });
        if (same != blocks.end())
            ++same->second;
        else
            blocks.emplace_back(std::move(block), 1);
    }
    std::vector<QString> out;
    for (const auto& [block, count] : blocks) {
        for (const std::string& l : block)
            out.push_back(Q(l));
        if (count > 1)
            out.push_back(QStringLiteral("(this message %1 times)").arg(count));
        out.push_back(QString());
    }
    if (status > 0 && blocks.empty()) {
        for (const std::string& l : cli::extractClosingMessage(engineReport))
            out.push_back(Q(l));
    }
    while (!out.empty() && out.back().isEmpty())
        out.pop_back();
    return out;
}

graphics::SoilProfileInput profileInput(const app::TProgramData& project) {
    graphics::SoilProfileInput input;
    input.Units = project.Units;
    input.OuterDiameter = project.OuterDiameter;
    input.PileLength = project.PileLength;
    const auto& layers = project.Tables().D2();
    for (int i = 0; i < layers.RowCount(); ++i)
        input.Layers.push_back({project.Tables().SoilTypeOf(i), layers.Float(app::col::kLayerBottom, i)});
    return input;
}

void addInputs(ReportLayout& layout, const app::TProgramData& project) {
    const auto units = results::unitLabels(project.Units);
    const QString L = Q(units.length), F = Q(units.force);
    auto& tables = project.Tables();
    layout.Heading(QStringLiteral("Inputs"));
    layout.KeyValues({
        {QStringLiteral("Unit system"),
         project.Units == 2 ? QStringLiteral("SI (kN, m)") : QStringLiteral("English (lb, in)")},
        {QStringLiteral("Pile length"), typed(project.PileLength) + " " + L},
        {QStringLiteral("Outer diameter"), typed(project.OuterDiameter) + " " + L},
        {QStringLiteral("Tip area"), typed(project.TipArea) + " " + L + QStringLiteral("²")},
        {QStringLiteral("Tolerance on movement"), typed(project.Tolerance) + " " + L},
        {QStringLiteral("Pile increments"), QString::number(project.Increments)},
        {QStringLiteral("Curve source"), project.CurvesGenerated
                                             ? QStringLiteral("t-z and Q-w curves generated by the program")
                                             : QStringLiteral("t-z and Q-w curves entered by the user")},
    });
    layout.Table(ProjectTable(tables.TblAE2(), QStringLiteral("Axial stiffness AE against depth")));
    if (project.CurvesGenerated) {
        layout.Table(ProjectTable(tables.D2(), QStringLiteral("Soil layers")));
        for (int i = 0; i < tables.D2().RowCount(); ++i)
            if (const controls::TGridTable* data = tables.LayerData(i))
                layout.Table(ProjectTable(*data, QStringLiteral("Soil layer %1: layer data").arg(i + 1)));
    } else {
        layout.Table(ProjectTable(tables.TblPVDepth2(), QStringLiteral("Depths of the t-z curves")));
        for (int i = 0; i < tables.TblPVDepth2().RowCount(); ++i)
            if (const controls::TGridTable* curve = tables.TzCurve(i))
                layout.Table(
                    ProjectTable(*curve, QStringLiteral("t-z curve %1 (depth %2 %3)")
                                             .arg(i + 1)
                                             .arg(Q(tables.TblPVDepth2().Text(app::col::kCurveDepth, i)))
                                             .arg(L)));
        layout.Table(ProjectTable(tables.TblQwcurve2(), QStringLiteral("Q-w curve")));
    }
    if (project.SpecifyTipMovements)
        layout.Table(ProjectTable(tables.TblTipMove(), QStringLiteral("Tip movements")));
    if (project.AssignHeadLoads)
        layout.Table(ProjectTable(tables.TblTopload(), QStringLiteral("Head loads")));
    if (project.IncludeDowndrag)
        layout.Table(ProjectTable(tables.TblSettlement2(), QStringLiteral("Soil settlement profile")));
    if (project.ApplySideFactors)
        layout.Table(ProjectTable(tables.TblPVFactors2(), QStringLiteral("t-z multipliers")));
    if (project.ApplyQwFactors)
        layout.KeyValues(
            {{QStringLiteral("Q-w multiplier on the tip loads"), typed(project.QMultiplier)},
             {QStringLiteral("Q-w multiplier on the tip movements"), typed(project.WMultiplier)}});
    (void)F;
}

// The load-settlement summaries and the down-drag figures, as `pavrin-cli summary` gives them.
void addResultTables(ReportLayout& layout, const engine::AnalysisResults& analysis) {
    const auto captions = results::downdragCaptions(analysis.data.units);
    const auto units = results::unitLabels(analysis.data.units);
    const auto rows = results::downdragRows(analysis);
    layout.Heading(QStringLiteral("Result tables"));
    if (analysis.data.settlement.empty())
        layout.Paragraph(QStringLiteral("The project has no soil settlement profile: no down-drag."));
    auto heading = [](const std::string& caption) {
        // "head load (kN)" as two heading lines: the name, then its unit label.
        const auto open = caption.rfind(" (");
        TableColumn column;
        column.heading = {Q(caption.substr(0, open)), Q(caption.substr(open + 1))};
        column.numeric = true;
        return column;
    };
    for (const bool headPass : {false, true}) {
        TableData table;
        table.caption = headPass ? QStringLiteral("Settlement under each head load")
                                 : QStringLiteral("Load-settlement summary of the tip-movement pass");
        table.columns.push_back({{QStringLiteral("No."), QString()}, true});
        for (const std::size_t v : {std::size_t{1}, std::size_t{2}, std::size_t{0}}) // head load first
            table.columns.push_back(heading(captions[v]));
        if (!headPass)
            table.columns.push_back(
                {{QStringLiteral("tip load"), QStringLiteral("(%1)").arg(Q(units.force))}, true});
        for (std::size_t v = 3; v < results::kDowndragValues; ++v)
            table.columns.push_back(heading(captions[v]));
        table.columns.push_back({{QStringLiteral("note"), QString()}, false});
        for (const results::DowndragRow& row : rows) {
            if (row.headLoadPass != headPass)
                continue;
            std::vector<QString> cells{QString::number(row.number)};
            auto value = [&](std::size_t v) { return row.values[v] ? number(*row.values[v]) : QString(); };
            cells.push_back(value(1));
            cells.push_back(value(2));
            cells.push_back(value(0));
            if (!headPass) {
                const std::size_t i = row.number - 1;
                cells.push_back(i < analysis.tipResults.size() ? number(analysis.tipResults[i].tipLoad)
                                                               : QString());
            }
            for (std::size_t v = 3; v < results::kDowndragValues; ++v)
                cells.push_back(value(v));
            cells.push_back(Q(row.note));
            table.rows.push_back(std::move(cells));
        }
        if (!table.rows.empty())
            layout.Table(table);
        else if (headPass)
            layout.Paragraph(QStringLiteral("The project gives no head loads."));
    }
}

// Drops the points of a line that fall on the device pixel of the point kept before them, keeping
// the last point of every such run so that the line ends where it ends.
void decimateToPixels(graphics::TGraphPlot& graph, const graphics::TPlotRange& view,
                      const graphics::TPlotLayout& layout) {
    for (int i = 0; i < graph.LineCount(); ++i) {
        auto& points = graph.GetLine(i).Points;
        if (points.size() < 3)
            continue;
        std::vector<graphics::TFloatPoint> kept;
        kept.reserve(points.size());
        std::optional<graphics::TPixelPoint> last;
        for (std::size_t j = 0; j < points.size(); ++j) {
            const auto& p = points[j];
            if (!std::isfinite(p.X) || !std::isfinite(p.Y)) {
                kept.push_back(p);
                last.reset();
                continue;
            }
            const auto px = graphics::DataToPixel(view, layout.PlotRect, graph.XOnTop, p.X, p.Y);
            const bool endOfLine = j + 1 == points.size();
            if (last && *last == px && !endOfLine)
                continue;
            kept.push_back(p);
            last = px;
        }
        points = std::move(kept);
    }
}

void addGraphs(ReportLayout& layout, graphics::TResultGraphs& graphs, const QString& title) {
    layout.NewPage();
    layout.Heading(QStringLiteral("Result graphs"));
    graphics::TGraphPlot* const shown[] = {&graphs.pltLoad, &graphs.pltAxial, &graphs.pltPVcurves,
                                           &graphs.PltQW};
    for (graphics::TGraphPlot* graph : shown) {
        graphics::ActivateLinesForNewWindow(*graph);
        const auto range = graphics::ComputeRanges(*graph);
        if (!range) {
            layout.Paragraph(QStringLiteral("The %1 graph has no drawable range.").arg(Q(graph->Caption)));
            continue;
        }
        graph->Title = title.toStdString();
        graph->TitleOnTop = false;
        // Two graphs a page: each gets half of what the page holds below its heading.
        const double height = layout.GraphHeight();
        layout.Block(
            height,
            [graph, view = *range](QPainter& painter, const QRect& area, int dpi) {
                const int base = static_cast<int>(std::lround(graphics::kWindowFontHeight * dpi / 96.0));
                const graphics::TPixelRect page{area.left(), area.top(), area.right(), area.bottom()};
                auto plot = graphics::PrinterLayout(*graph, page, dpi, dpi, base);
                plot.legendVisible = graph->ShowLegend && graph->LineCount() > 0;
                graphics::DrawPlot(painter, *graph, view, plot);
            },
            [graph, view = *range](const QRect& area, int dpi) {
                const int base = static_cast<int>(std::lround(graphics::kWindowFontHeight * dpi / 96.0));
                const graphics::TPixelRect page{area.left(), area.top(), area.right(), area.bottom()};
                decimateToPixels(*graph, view, graphics::PrinterLayout(*graph, page, dpi, dpi, base));
            });
    }
}

void addProfile(ReportLayout& layout, const app::TProgramData& project) {
    if (!project.CurvesGenerated)
        return;
    const graphics::SoilProfileInput input = profileInput(project);
    auto profile = std::make_shared<graphics::TSoilProfile>();
    try {
        profile->Rebuild(input);
    } catch (const graphics::ESoilProfileError& e) {
        layout.Heading(QStringLiteral("Soil-pile profile"));
        layout.Paragraph(Q(e.what()));
        return;
    }
    layout.NewPage();
    layout.Heading(QStringLiteral("Soil-pile profile"));
    layout.Block(layout.RemainingHeight(), [input, profile](QPainter& painter, const QRect& area, int dpi) {
        const QFont font = ReportLayout::BodyFont(9);
        painter.setFont(font);
        const QFontMetrics metrics(font, painter.device());
        const int minPile = static_cast<int>(std::lround(graphics::MinPilePaperMm / 25.4 * dpi));
        const auto drawing = graphics::LayoutProfilePrintout(input, *profile, area.width(), area.height(),
                                                             metrics.height(), minPile);
        if (!drawing) {
            painter.drawText(area.topLeft() + QPoint(0, metrics.ascent()),
                             QStringLiteral("The soil layers and the pile have no depth to draw."));
            return;
        }
        painter.save();
        painter.translate(area.topLeft());
        painter.setPen(QPen(Qt::black, graphics::PrintPenWidth * dpi / 600.0));
        for (const graphics::TPixelLine& l : drawing->Lines)
            painter.drawLine(l.x1, l.y1, l.x2, l.y2);
        for (const graphics::TPixelText& t : drawing->Labels)
            painter.drawText(t.x, t.y + metrics.ascent(), Q(t.text));
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        for (const graphics::TPixelPolygon& p : drawing->Piles) {
            const QPoint corners[4] = {
                {p.x[0], p.y[0]}, {p.x[1], p.y[1]}, {p.x[2], p.y[2]}, {p.x[3], p.y[3]}};
            painter.drawPolygon(corners, 4);
        }
        painter.restore();
    });
}

} // namespace

std::string FileSha256(const std::string& path) {
    QFile file(Q(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result().toHex().toStdString();
}

ReportOutcome WriteCalculationReport(const std::string& project, const std::string& out,
                                     const ReportOptions& options) {
    ReportOutcome outcome;
    std::ostringstream err;
    graphics::TResultGraphs graphs;
    const int read = cli::ReadProjectResults(project, graphs, err);
    // The messages are the runner's; the caller says who speaks.
    const auto words = [](std::string message) {
        const std::string prefix = "pavrin-cli: ";
        if (message.rfind(prefix, 0) == 0)
            message.erase(0, prefix.size());
        while (!message.empty() && message.back() == '\n')
            message.pop_back();
        return message;
    };
    auto refuse = [&outcome, &words](int status, std::string message) {
        outcome.status = status;
        outcome.message = words(std::move(message));
        return outcome;
    };
    // Read whole, but perhaps with a warning (a measured load test left out of the axial graph).
    if (read == 0)
        outcome.warning = words(err.str());
    const std::string plotFile = app::ChangeFileExt(project, app::ext::kPlot);
    std::error_code noPlot;
    if (read == cli::ExitProjectMissing || !std::filesystem::is_regular_file(plotFile, noPlot))
        return refuse(read == cli::ExitProjectMissing ? cli::ExitProjectMissing : 1, err.str());
    // The plot data of an earlier run are not this project's results.
    std::error_code projectTimeError, plotTimeError;
    const auto projectTime = std::filesystem::last_write_time(project, projectTimeError);
    const auto plotTime = std::filesystem::last_write_time(plotFile, plotTimeError);
    if (!projectTimeError && !plotTimeError && plotTime < projectTime)
        return refuse(1, project + ": the project was saved after its last run; run the analysis again first");
    app::TProjectTables tables;
    std::string error;
    const auto data =
        app::TProgramData::CreateFromFile(tables, project, app::ReadAsCurrentFormat(project), error);
    if (!data || !error.empty())
        return refuse(1, read != 0 ? err.str() : project + ": " + (error.empty() ? "cannot be read" : error));
    std::string input, engineReport, plot;
    engine::AnalysisResults analysis;
    int status = -1;
    if (results::projectInput(project, *data, input, error))
        status = engine::analyse(input, engineReport, plot, analysis);
    // A run the engine stopped leaves no complete plot data: its report holds the inputs and the
    // stop message without graphs. Any other unreadable plot data file is refused.
    const bool stopped = status > 0;
    if (read != 0 && !stopped)
        return refuse(1, err.str());
    if (status == 0)
        graphs.SetNeutralPlanes(results::neutralPlaneDepths(analysis));

    // Drawn into memory first, so that the document's creation date can be set to the run's and the
    // same run always gives the same bytes; the file is then written whole or not at all.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    // The PDF writer lists its fonts in hash order: a fixed seed keeps that order from run to run.
    const ScopedDeterministicHashes fixedOrder;
    const QDateTime ranAt = runTime(app::ChangeFileExt(project, app::ext::kPlot));
    const QString fileName = QFileInfo(Q(project)).fileName();
    QString title = Q(data->Title).trimmed();
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(kReportDpi);
        writer.setPageSize(QPageSize(options.paper == Paper::Letter ? QPageSize::Letter : QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(QStringLiteral("Calculation report: %1").arg(title));
        writer.setCreator(QStringLiteral("PAVRIN %1").arg(QStringLiteral(PAVRIN_PROGRAM_VERSION)));

        ReportLayout layout(writer, fileName);
        layout.Title(QStringLiteral("Calculation report"), title);
        const std::string sha =
            options.engineLibrary.empty() ? std::string() : FileSha256(options.engineLibrary);
        layout.KeyValues({
            {QStringLiteral("Project title"), title},
            {QStringLiteral("Project file"), fileName},
            {QStringLiteral("Date of the run"), ranAt.isValid()
                                                     ? ranAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"))
                                                     : QStringLiteral("unknown")},
            {QStringLiteral("Program version"), QStringLiteral(PAVRIN_PROGRAM_VERSION)},
            {QStringLiteral("Engine library SHA-256"),
             sha.empty() ? QStringLiteral("unavailable (the engine library could not be read)") : Q(sha)},
            {QStringLiteral("Run status"), statusWords(status)},
        });
        addInputs(layout, *data);
        addProfile(layout, *data);
        if (stopped) {
            // A stopped run has no results to show: what stopped it follows.
            layout.Heading(QStringLiteral("Results"));
            layout.Paragraph(QStringLiteral("The analysis stopped before it had results: no result graphs and "
                                            "no result tables. The run status above and the messages of the "
                                            "engine below say why."));
        } else {
            addGraphs(layout, graphs, title);
            layout.NewPage();
            addResultTables(layout, analysis);
        }
        const auto messages = engineMessages(engineReport, status);
        layout.Heading(QStringLiteral("Messages of the analysis engine"));
        if (messages.empty())
            layout.Paragraph(QStringLiteral("The engine gave no warning and no stop message."));
        else
            layout.Verbatim(messages);
        if (!layout.Paint()) {
            outcome.status = 1;
            outcome.message = out + ": the report could not be drawn";
            return outcome;
        }
        outcome.pages = layout.PageCount();
    }
    QByteArray bytes = pdf.data();
    if (ranAt.isValid())
        SetCreationDate(bytes, ranAt);
    QSaveFile file(Q(out));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        outcome.status = 1;
        outcome.message = out + ": the report could not be written: " + file.errorString().toStdString();
        return outcome;
    }
    return outcome;
}

} // namespace pavrin::report
