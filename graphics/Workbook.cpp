#include "Workbook.h"

#include "PltData.h"

#include <xlsxwriter.h>

#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <random>
#include <system_error>

namespace pavrin::graphics {

namespace fs = std::filesystem;

std::string GetExcelCol(int n) {
    if (n >= 1 && n <= 26)
        return std::string(1, static_cast<char>('A' + n - 1));
    if (n >= 27 && n <= 702)
        return {static_cast<char>('A' + (n - 1) / 26 - 1), static_cast<char>('A' + (n - 1) % 26)};
    return {};
}

std::array<TGraphPlot*, 4> ExportableGraphs(TResultGraphs& graphs) {
    return {&graphs.pltLoad, &graphs.pltAxial, &graphs.pltPVcurves, &graphs.PltQW};
}

namespace {

constexpr lxw_row_t kFirstPointRow = 5; // row 6 of the sheet, zero-based
constexpr std::int64_t kMaxSheetRows = 1'048'576;

// The Legend sheet's header row (row 2, columns B to F), spaces and all.
constexpr const char* kLegendHeaders[] = {
    "     N    ", "                             Plot Name                             ", "  Sheet Name  ",
    "  Chart Name  ", "          Status          "};

// The legend of every chart gets a black border and a white fill. The writer
// library has no call for that, so the chart parts are patched in the saved file.
constexpr std::string_view kLegendShape = "<c:spPr><a:solidFill><a:srgbClr val=\"FFFFFF\"/></a:solidFill>"
                                          "<a:ln><a:solidFill><a:srgbClr val=\"000000\"/></a:solidFill>"
                                          "</a:ln></c:spPr>";

[[noreturn]] void fail(const std::string& fileName, const std::string& reason) {
    throw EWorkbookError("The workbook " + fileName + " could not be written: " + reason);
}

// Writes one workbook with libxlsxwriter. Every writing call is checked; the
// first failure frees the workbook and throws.
class TWorkbookWriter {
public:
    TWorkbookWriter(const std::string& userName, const std::string& path) : userName_(userName) {
        workbook_ = workbook_new(path.c_str());
        if (!workbook_)
            fail(userName_, "the spreadsheet writer could not start");
        bold_ = workbook_add_format(workbook_);
        format_set_bold(bold_);
        format_set_align(bold_, LXW_ALIGN_VERTICAL_CENTER);
    }
    ~TWorkbookWriter() {
        if (workbook_)
            lxw_workbook_free(workbook_);
    }
    TWorkbookWriter(const TWorkbookWriter&) = delete;
    TWorkbookWriter& operator=(const TWorkbookWriter&) = delete;

    void Write(const std::vector<const TGraphPlot*>& graphs) {
        legend_ = addWorksheet("Legend");
        for (lxw_col_t c = 0; c < 5; ++c)
            putString(legend_, 1, static_cast<lxw_col_t>(c + 1), kLegendHeaders[c], bold_);
        for (std::size_t k = 1; k <= graphs.size(); ++k)
            writeGraph(static_cast<int>(k), *graphs[k - 1]);
        fitLegendColumns();
    }

    // Saves the file; the workbook is freed whatever the outcome.
    void Close() {
        lxw_workbook* workbook = workbook_;
        workbook_ = nullptr;
        const lxw_error error = workbook_close(workbook);
        if (error != LXW_NO_ERROR)
            fail(userName_, lxw_strerror(error));
    }

private:
    void check(lxw_error error) const {
        if (error != LXW_NO_ERROR)
            fail(userName_, lxw_strerror(error));
    }

    lxw_worksheet* addWorksheet(const std::string& name) {
        lxw_worksheet* sheet = workbook_add_worksheet(workbook_, name.c_str());
        if (!sheet)
            fail(userName_, "the sheet " + name + " could not be added");
        return sheet;
    }

    void putString(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const std::string& text,
                   lxw_format* format = nullptr) {
        check(worksheet_write_string(sheet, row, col, text.c_str(), format));
        if (sheet == legend_ && col < widths_.size())
            widths_[col] = std::max(widths_[col], text.size());
    }

    // A cell holds a double: a value that is no finite double would make the
    // sheet unreadable ("INF"), so its cell stays empty.
    void putNumber(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, long double value) {
        const auto cell = static_cast<double>(value);
        if (std::isfinite(cell))
            check(worksheet_write_number(sheet, row, col, cell, nullptr));
    }

    void putLink(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const std::string& target,
                 const std::string& text, const char* tip = nullptr) {
        const std::string url = "internal:" + target;
        check(worksheet_write_url_opt(sheet, row, col, url.c_str(), nullptr, text.c_str(), tip));
        if (sheet == legend_ && col < widths_.size())
            widths_[col] = std::max(widths_[col], text.size());
    }

    void writeGraph(int k, const TGraphPlot& graph) {
        const std::string number = std::to_string(k);
        const std::string page = "Page_" + number;
        const std::string plot = "Plot_" + number;
        if (graph.LineCount() > MaxWorkbookLines)
            fail(userName_, "the graph \"" + graph.Caption + "\" has " + std::to_string(graph.LineCount()) +
                                " lines; a sheet takes at most " + std::to_string(MaxWorkbookLines) + ".");
        if (mostPoints(graph) + kFirstPointRow > kMaxSheetRows)
            fail(userName_, "the graph \"" + graph.Caption + "\" has more points than a sheet has rows.");

        const auto row = static_cast<lxw_row_t>(k + 1);
        check(worksheet_write_number(legend_, row, 1, k, nullptr));
        widths_[1] = std::max(widths_[1], number.size());
        putString(legend_, row, 2, graph.Caption);
        putLink(legend_, row, 3, page + "!A1", page);
        putString(legend_, row, 4, plot);
        putString(legend_, row, 5, "Complete");

        writeData(addWorksheet(page), graph);
        writeChart(plot, page, graph);
    }

    void writeData(lxw_worksheet* sheet, const TGraphPlot& graph) {
        putLink(sheet, 0, 6, "Legend!A1", "Go to Legend Page", "Go to Legend Page");
        putString(sheet, 0, 0, graph.Caption);
        putString(sheet, 1, 0, "X");
        putString(sheet, 1, 1, graph.XAxisLabel());
        putString(sheet, 2, 0, "Y");
        putString(sheet, 2, 1, graph.YAxisLabel());
        for (int j = 0; j < graph.LineCount(); ++j) {
            const TLine& line = graph.GetLine(j);
            const auto x = static_cast<lxw_col_t>(2 * j);
            putString(sheet, 3, x, line.DisplayName());
            putString(sheet, 4, x, "X");
            putString(sheet, 4, static_cast<lxw_col_t>(x + 1), "Y");
            // Each line with its own points (a measured test has other loads than the prediction).
            for (int p = 0; p < line.PointCount(); ++p) {
                const auto r = static_cast<lxw_row_t>(kFirstPointRow + static_cast<lxw_row_t>(p));
                putNumber(sheet, r, x, line.GetPoint(p).X);
                putNumber(sheet, r, static_cast<lxw_col_t>(x + 1), line.GetPoint(p).Y);
            }
        }
    }

    static int mostPoints(const TGraphPlot& graph) {
        int most = 0;
        for (int j = 0; j < graph.LineCount(); ++j)
            most = std::max(most, graph.GetLine(j).PointCount());
        return most;
    }

    // "=Page_1!$AA$6:$AA$45": the points of one column of a data sheet.
    static std::string columnRange(const std::string& page, int column, int points) {
        const std::string letters = GetExcelCol(column);
        const std::string last = std::to_string(kFirstPointRow + static_cast<lxw_row_t>(std::max(points, 1)));
        return "=" + page + "!$" + letters + "$" + std::to_string(kFirstPointRow + 1) + ":$" + letters + "$" +
               last;
    }

    void writeChart(const std::string& plot, const std::string& page, const TGraphPlot& graph) {
        lxw_chart* chart = workbook_add_chart(workbook_, LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS);
        if (!chart)
            fail(userName_, "the chart " + plot + " could not be added");
        // A chart needs a series; a graph without lines gets one over empty cells.
        const int series = std::max(graph.LineCount(), 1);
        for (int j = 0; j < series; ++j) {
            const int points = j < graph.LineCount() ? graph.GetLine(j).PointCount() : 0;
            const std::string xRange = columnRange(page, 2 * j + 1, points);
            const std::string yRange = columnRange(page, 2 * j + 2, points);
            lxw_chart_series* s = chart_add_series(chart, xRange.c_str(), yRange.c_str());
            if (!s)
                fail(userName_, "a series of the chart " + plot + " could not be added");
            if (j < graph.LineCount())
                chart_series_set_name_range(s, page.c_str(), 3, static_cast<lxw_col_t>(2 * j));
        }
        chart_title_off(chart);
        const std::string xLabel = graph.XAxisLabel();
        const std::string yLabel = graph.YAxisLabel();
        chart_axis_set_name(chart->x_axis, xLabel.c_str());
        chart_axis_set_name(chart->y_axis, yLabel.c_str());
        chart_axis_major_gridlines_set_visible(chart->x_axis, LXW_TRUE);
        chart_axis_major_gridlines_set_visible(chart->y_axis, LXW_TRUE);
        if (graph.XOnTop) {
            // Depth grows downward; the x axis stays at the bottom, where the depth is largest.
            chart_axis_set_reverse(chart->y_axis);
            chart_axis_set_crossing_max(chart->y_axis);
        }
        lxw_chartsheet* sheet = workbook_add_chartsheet(workbook_, plot.c_str());
        if (!sheet)
            fail(userName_, "the sheet " + plot + " could not be added");
        check(chartsheet_set_chart(sheet, chart));
        // One landscape page: the chart as written (about 10.2 x 6.7 in) fits
        // inside these margins on Letter and on A4 alike.
        chartsheet_set_landscape(sheet);
        chartsheet_set_margins(sheet, 0.4, 0.4, 0.5, 0.5);
    }

    // The header row's columns fitted to their longest text.
    void fitLegendColumns() {
        for (lxw_col_t c = 1; c < widths_.size(); ++c)
            check(worksheet_set_column(legend_, c, c, static_cast<double>(widths_[c]) + 1.0, nullptr));
    }

    std::string userName_;
    lxw_workbook* workbook_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_worksheet* legend_ = nullptr;
    std::vector<std::size_t> widths_ = std::vector<std::size_t>(6, 0);
};

// Adds the legend's border and fill to one chart part.
std::string patchLegend(std::string xml) {
    const auto begin = xml.find("<c:legend>");
    if (begin == std::string::npos)
        return xml;
    const auto end = xml.find("</c:legend>", begin);
    if (end == std::string::npos || xml.find("<c:spPr>", begin) < end)
        return xml;
    // spPr comes before the legend's text properties, when it has any.
    const auto text = xml.find("<c:txPr>", begin);
    xml.insert(text < end ? text : end, kLegendShape);
    return xml;
}

bool isChartPart(const std::string& name) {
    return name.starts_with("xl/charts/chart") && name.ends_with(".xml");
}

// Closes a minizip handle on every path out.
struct TUnzip {
    unzFile file;
    ~TUnzip() {
        if (file)
            unzClose(file);
    }
};
struct TZip {
    zipFile file;
    ~TZip() {
        if (file)
            zipClose(file, nullptr);
    }
};

// Copies the zip archive `from` to `to`, chart parts patched, all other
// entries copied as they are stored.
void copyWithLegendBorders(const std::string& userName, const fs::path& from, const fs::path& to) {
    TUnzip in{unzOpen64(from.string().c_str())};
    if (!in.file)
        fail(userName, "the written file could not be read back");
    TZip out{zipOpen64(to.string().c_str(), APPEND_STATUS_CREATE)};
    if (!out.file)
        fail(userName, "the file could not be created");
    std::vector<char> buffer(1 << 16);
    for (int status = unzGoToFirstFile(in.file); status == UNZ_OK; status = unzGoToNextFile(in.file)) {
        unz_file_info64 info{};
        char name[1024];
        if (unzGetCurrentFileInfo64(in.file, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            fail(userName, "the written file could not be read back");
        zip_fileinfo zi{};
        zi.dosDate = info.dosDate;
        zi.internal_fa = info.internal_fa;
        zi.external_fa = info.external_fa;
        const bool patch = isChartPart(name);
        int method = 0;
        int level = 0;
        if (unzOpenCurrentFile2(in.file, &method, &level, patch ? 0 : 1) != UNZ_OK)
            fail(userName, "the written file could not be read back");
        std::string content;
        int read = 0;
        while ((read = unzReadCurrentFile(in.file, buffer.data(), static_cast<unsigned>(buffer.size()))) > 0)
            content.append(buffer.data(), static_cast<std::size_t>(read));
        unzCloseCurrentFile(in.file);
        if (read < 0)
            fail(userName, "the written file could not be read back");
        bool written = false;
        if (patch) {
            content = patchLegend(std::move(content));
            written = zipOpenNewFileInZip64(out.file, name, &zi, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                            Z_DEFAULT_COMPRESSION, 0) == ZIP_OK &&
                      zipWriteInFileInZip(out.file, content.data(), static_cast<unsigned>(content.size())) ==
                          ZIP_OK &&
                      zipCloseFileInZip(out.file) == ZIP_OK;
        } else {
            written = zipOpenNewFileInZip2_64(out.file, name, &zi, nullptr, 0, nullptr, 0, nullptr, method,
                                              level, 1, 0) == ZIP_OK &&
                      zipWriteInFileInZip(out.file, content.data(), static_cast<unsigned>(content.size())) ==
                          ZIP_OK &&
                      zipCloseFileInZipRaw64(out.file, info.uncompressed_size, info.crc) == ZIP_OK;
        }
        if (!written)
            fail(userName, "the disk refused the data");
    }
    const int closed = zipClose(out.file, nullptr);
    out.file = nullptr;
    if (closed != ZIP_OK)
        fail(userName, "the disk refused the data");
}

// A name beside the target that no file has yet.
fs::path temporaryBeside(const fs::path& target, const char* tag) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (;;) {
        fs::path candidate = target;
        candidate.replace_filename("." + target.filename().string() + "." + tag +
                                   std::to_string(random() % 1000000) + ".tmp");
        std::error_code ignored;
        if (!fs::exists(candidate, ignored))
            return candidate;
    }
}

// Removes the temporary files on every path out.
struct TTemporaryFiles {
    std::vector<fs::path> paths;
    ~TTemporaryFiles() {
        for (const auto& path : paths) {
            std::error_code ignored;
            fs::remove(path, ignored);
        }
    }
};

} // namespace

void WriteGraphWorkbook(const std::string& fileName, const std::vector<const TGraphPlot*>& graphs) {
    std::error_code error;
    const fs::path target = fs::absolute(fs::path(fileName), error);
    if (error || target.filename().empty())
        fail(fileName, "the name is not a file name");
    if (fs::is_directory(target, error))
        fail(fileName, "a folder of that name exists");
    const fs::path folder = target.parent_path();
    if (!fs::is_directory(folder, error))
        fail(fileName, "the folder " + folder.string() + " does not exist");

    TTemporaryFiles temporary;
    const fs::path written = temporaryBeside(target, "a");
    temporary.paths.push_back(written);
    {
        TWorkbookWriter writer(fileName, written.string());
        writer.Write(graphs);
        writer.Close();
    }
    const fs::path patched = temporaryBeside(target, "b");
    temporary.paths.push_back(patched);
    copyWithLegendBorders(fileName, written, patched);
    fs::rename(patched, target, error);
    if (error)
        fail(fileName, error.message());
}

} // namespace pavrin::graphics
