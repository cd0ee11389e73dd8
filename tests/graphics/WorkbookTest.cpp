#include "Workbook.h"
#include "PltData.h"

#include <gtest/gtest.h>
#include <minizip/unzip.h>

#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace pavrin::graphics {
namespace {

namespace fs = std::filesystem;

// The parts of a written workbook, read back with minizip.
std::map<std::string, std::string> readZip(const fs::path& path) {
    std::map<std::string, std::string> parts;
    unzFile zip = unzOpen64(path.string().c_str());
    if (!zip)
        return parts;
    for (int s = unzGoToFirstFile(zip); s == UNZ_OK; s = unzGoToNextFile(zip)) {
        char name[512];
        unzGetCurrentFileInfo64(zip, nullptr, name, sizeof name, nullptr, 0, nullptr, 0);
        unzOpenCurrentFile(zip);
        std::string content;
        char buffer[8192];
        int read = 0;
        while ((read = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0)
            content.append(buffer, static_cast<std::size_t>(read));
        unzCloseCurrentFile(zip);
        parts[name] = content;
    }
    unzClose(zip);
    return parts;
}

std::vector<std::string> allMatches(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        found.push_back((*it)[1].str());
    return found;
}

// Reads the cells of a worksheet part as text (shared strings resolved).
class TSheet {
public:
    TSheet(const std::string& xml, const std::string& sharedStrings) {
        const auto strings = allMatches(sharedStrings, "<si><t[^>]*>([^<]*)</t></si>");
        const std::regex cell("<c r=\"([A-Z]+[0-9]+)\"([^>]*)><v>([^<]*)</v></c>");
        for (auto it = std::sregex_iterator(xml.begin(), xml.end(), cell); it != std::sregex_iterator();
             ++it) {
            std::string value = (*it)[3].str();
            if ((*it)[2].str().find("t=\"s\"") != std::string::npos)
                value = strings.at(std::stoul(value));
            else
                numbers_.insert((*it)[1].str());
            cells_[(*it)[1].str()] = value;
        }
    }
    std::string operator[](const std::string& ref) const {
        const auto it = cells_.find(ref);
        return it == cells_.end() ? std::string() : it->second;
    }
    bool IsNumber(const std::string& ref) const { return numbers_.count(ref) != 0; }

private:
    std::map<std::string, std::string> cells_;
    std::set<std::string> numbers_;
};

class WorkbookTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("pavrin-workbook-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Lines of `points` points with X = 100 i + j and Y = j / 4.
    static void fill(TGraphPlot& graph, int lines, int points) {
        graph.SetLineCount(lines);
        graph.SetPointCount(points);
        for (int i = 0; i < lines; ++i)
            for (int j = 0; j < points; ++j)
                graph.GetPoint(i, j) = {100.0L * i + j, j / 4.0L};
    }

    fs::path folder_;
    TResultGraphs graphs_;
};

TEST(ExcelColumn, LettersForOneAndTwoLetterColumnsAndNoneBeyond) {
    const std::pair<int, const char*> cases[] = {{1, "A"},   {2, "B"},   {26, "Z"},   {27, "AA"}, {28, "AB"},
                                                 {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, ""},  {0, ""}};
    for (const auto& [n, letters] : cases)
        EXPECT_EQ(GetExcelCol(n), letters) << n;
}

TEST_F(WorkbookTest, SheetsInOrderWithLegendRowsAndLinks) {
    fill(graphs_.pltAxial, 1, 5);
    fill(graphs_.PltQW, 1, 3);
    graphs_.PltQW.GetPoint(0, 1).X = std::numeric_limits<long double>::quiet_NaN();
    const fs::path file = folder_ / "two.xlsx";
    WriteGraphWorkbook(file.string(), {&graphs_.pltAxial, &graphs_.PltQW});

    const auto parts = readZip(file);
    ASSERT_TRUE(parts.count("xl/workbook.xml")) << "the file is a workbook";
    EXPECT_EQ(allMatches(parts.at("xl/workbook.xml"), "<sheet name=\"([^\"]*)\""),
              (std::vector<std::string>{"Legend", "Page_1", "Plot_1", "Page_2", "Plot_2"}));

    const std::string& strings = parts.at("xl/sharedStrings.xml");
    const TSheet legend(parts.at("xl/worksheets/sheet1.xml"), strings);
    EXPECT_EQ(legend["C2"], "                             Plot Name                             ");
    EXPECT_EQ(legend["F2"], "          Status          ");
    for (const auto& [row, number, caption] :
         {std::tuple{"3", "1", "Axial Load vs Settlement"}, std::tuple{"4", "2", "Tip Resistance Curve"}}) {
        const std::string r = row;
        EXPECT_EQ(legend["B" + r], number);
        EXPECT_TRUE(legend.IsNumber("B" + r));
        EXPECT_EQ(legend["C" + r], caption);
        EXPECT_EQ(legend["D" + r], std::string("Page_") + number);
        EXPECT_EQ(legend["E" + r], std::string("Plot_") + number);
        EXPECT_EQ(legend["F" + r], "Complete");
    }
    EXPECT_EQ(allMatches(parts.at("xl/worksheets/sheet1.xml"),
                         "<hyperlink ref=\"[A-Z0-9]+\" location=\"([^\"]*)\""),
              (std::vector<std::string>{"Page_1!A1", "Page_2!A1"}));
    EXPECT_NE(parts.at("xl/worksheets/sheet1.xml").find("<col min=\"3\" max=\"3\" width=\"68"),
              std::string::npos)
        << "the header columns are fitted";

    const std::string& page2 = parts.at("xl/worksheets/sheet3.xml");
    const TSheet qw(page2, strings);
    EXPECT_EQ(qw["A1"], "Tip Resistance Curve");
    EXPECT_EQ(qw["B2"], "Q (lbs)");
    EXPECT_EQ(qw["B3"], "w (in)");
    EXPECT_EQ(qw["G1"], "Go to Legend Page");
    EXPECT_EQ(qw["A7"], "") << "a value that is not a number leaves its cell empty";
    EXPECT_EQ(qw["B7"], "0.25");
    EXPECT_EQ(allMatches(page2, "<hyperlink ref=\"G1\" location=\"([^\"]*)\""),
              std::vector<std::string>{"Legend!A1"});
    for (const auto& name : {"xl/charts/chart1.xml", "xl/charts/chart2.xml"})
        EXPECT_NE(parts.at(name).find(
                      "<c:legend><c:legendPos val=\"r\"/><c:layout/><c:spPr><a:solidFill><a:srgbClr "
                      "val=\"FFFFFF\"/></a:solidFill><a:ln><a:solidFill><a:srgbClr val=\"000000\"/>"),
                  std::string::npos)
            << name << ": legend with a black border and a white fill";
    EXPECT_TRUE(fs::is_regular_file(folder_ / "two.xlsx"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1)
        << "no temporary file is left";
}

TEST_F(WorkbookTest, DataBlockSeriesRangesAndAxisDirection) {
    fill(graphs_.pltLoad, 3, 40);
    fill(graphs_.pltPVcurves, 14, 2);
    graphs_.pltPVcurves.GetLine(13).Name = "30 in";
    const fs::path file = folder_ / "load.xlsx";
    WriteGraphWorkbook(file.string(), {&graphs_.pltLoad, &graphs_.pltPVcurves});
    const auto parts = readZip(file);
    const std::string& strings = parts.at("xl/sharedStrings.xml");

    const TSheet load(parts.at("xl/worksheets/sheet2.xml"), strings);
    EXPECT_EQ(load["B2"], "Total Capacity  (kips)");
    EXPECT_EQ(load["A4"], "Curve #1");
    EXPECT_EQ(load["E4"], "Curve #3");
    EXPECT_EQ(load["C5"], "X");
    EXPECT_EQ(load["F5"], "Y");
    for (int row = 6; row <= 45; ++row) {
        const std::string r = std::to_string(row);
        for (const char* column : {"A", "B", "C", "D", "E", "F"})
            EXPECT_TRUE(load.IsNumber(column + r)) << column << r << " holds a number";
        EXPECT_EQ(load["E" + r], std::to_string(200 + row - 6));
    }
    EXPECT_EQ(load["F45"], "9.75");
    EXPECT_EQ(load["A46"], "");
    EXPECT_EQ(load["G6"], "");

    const std::string& loadChart = parts.at("xl/charts/chart1.xml");
    EXPECT_NE(loadChart.find("<c:scatterStyle val=\"lineMarker\"/>"), std::string::npos);
    EXPECT_EQ(allMatches(loadChart, "<c:f>([^<]*)</c:f>"),
              (std::vector<std::string>{"Page_1!$A$4", "Page_1!$A$6:$A$45", "Page_1!$B$6:$B$45",
                                        "Page_1!$C$4", "Page_1!$C$6:$C$45", "Page_1!$D$6:$D$45",
                                        "Page_1!$E$4", "Page_1!$E$6:$E$45", "Page_1!$F$6:$F$45"}));
    EXPECT_EQ(allMatches(loadChart, "<c:orientation val=\"([a-zA-Z]+)\"/>"),
              (std::vector<std::string>{"minMax", "maxMin"}))
        << "depth grows downward";
    EXPECT_NE(loadChart.find("<c:crosses val=\"max\"/>"), std::string::npos) << "x axis at the bottom";
    EXPECT_EQ(allMatches(loadChart, "<c:majorGridlines/>").size(), 2u);
    EXPECT_NE(loadChart.find("Depth  (ft)"), std::string::npos);
    EXPECT_NE(loadChart.find("<c:autoTitleDeleted val=\"1\"/>"), std::string::npos) << "no chart title";

    const std::string& tzChart = parts.at("xl/charts/chart2.xml");
    EXPECT_EQ(tzChart.find("maxMin"), std::string::npos) << "t-z curves keep the value axis upward";
    const auto tzRanges = allMatches(tzChart, "<c:f>([^<]*)</c:f>");
    ASSERT_EQ(tzRanges.size(), 42u);
    EXPECT_EQ(tzRanges[39], "Page_2!$AA$4");
    EXPECT_EQ(tzRanges[40], "Page_2!$AA$6:$AA$7");
    EXPECT_EQ(tzRanges[41], "Page_2!$AB$6:$AB$7");
    EXPECT_NE(tzChart.find("<c:v>30 in</c:v>"), std::string::npos) << "series named by depth";
}

// The axial graph's measured load test is a series of its own, with as many rows as it has points.
TEST_F(WorkbookTest, MeasuredLoadTestIsASeriesOfItsOwn) {
    fill(graphs_.pltAxial, 1, 4);
    graphs_.SetMeasuredPoints({{0, 0}, {50000, 0.1L}, {100000, 0.2L}, {150000, 0.3L}, {200000, 0.5L},
                               {250000, 0.8L}, {300000, 1.4L}},
                              1);
    const fs::path file = folder_ / "axial.xlsx";
    WriteGraphWorkbook(file.string(), {&graphs_.pltAxial});
    const auto parts = readZip(file);
    const TSheet page(parts.at("xl/worksheets/sheet2.xml"), parts.at("xl/sharedStrings.xml"));
    EXPECT_EQ(page["A4"], "Predicted");
    EXPECT_EQ(page["C4"], "Measured");
    EXPECT_EQ(page["A9"], "3") << "the prediction's last point";
    EXPECT_EQ(page["A10"], "");
    EXPECT_EQ(page["C12"], "300") << "kips";
    EXPECT_EQ(page["D12"], "1.4");
    EXPECT_EQ(allMatches(parts.at("xl/charts/chart1.xml"), "<c:f>([^<]*)</c:f>"),
              (std::vector<std::string>{"Page_1!$A$4", "Page_1!$A$6:$A$9", "Page_1!$B$6:$B$9", "Page_1!$C$4",
                                        "Page_1!$C$6:$C$12", "Page_1!$D$6:$D$12"}));
}

// Plot values beyond the range of double (a long double still holds 1E4932) are not numbers: the
// loader makes them so, and their cells stay empty instead of holding INF.
TEST_F(WorkbookTest, PlotValuesBeyondDoubleRangeGiveEmptyCells) {
    std::ifstream in(std::string(PAVRIN_TEST_DATA) + "/tz-padding.pv3p", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    const std::pair<std::string, std::string> edits[] = {
        {" 0.2000E+01     0.2000E+00", " 1E4932     0.2000E+00"},       // t of curve 1, point 2
        {"0.5000E+05         0.1000E+01", "1E4932         0.1000E+01"}, // Q of the tip curve, point 2
        {"0.600E+02    0.200E+05", "-1E4932    0.200E+05"},             // depth of the load line 1, row 2
        {"0.2500E+05      0.5000E+00", "0.2500E+05      1E4932"}, // settlement of the second summary row
    };
    for (const auto& [from, to] : edits) {
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    }
    ASSERT_TRUE(graphs_.ReadPlotText(text, 1, nullptr));
    EXPECT_TRUE(std::isnan(graphs_.pltPVcurves.GetPoint(0, 1).Y));
    EXPECT_TRUE(std::isnan(graphs_.PltQW.GetPoint(0, 1).X));
    EXPECT_TRUE(std::isnan(graphs_.pltLoad.GetPoint(0, 1).Y));
    EXPECT_TRUE(std::isnan(graphs_.pltAxial.GetPoint(0, 2).Y));
    EXPECT_EQ(graphs_.pltAxial.GetPoint(0, 2).X, 25) << "the rest of the row as written, in kips";

    const fs::path file = folder_ / "beyond.xlsx";
    std::vector<const TGraphPlot*> exported;
    for (TGraphPlot* graph : ExportableGraphs(graphs_))
        exported.push_back(graph);
    WriteGraphWorkbook(file.string(), exported);
    const auto parts = readZip(file);
    for (const auto& [name, xml] : parts) {
        std::string lower = xml;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(lower.find("<v>inf"), std::string::npos) << name;
        EXPECT_EQ(lower.find("<v>-inf"), std::string::npos) << name;
        EXPECT_EQ(lower.find("<v>nan"), std::string::npos) << name;
    }
    const std::string& strings = parts.at("xl/sharedStrings.xml");
    const TSheet load(parts.at("xl/worksheets/sheet2.xml"), strings);
    EXPECT_EQ(load["B7"], "") << "the load line's missing depth";
    EXPECT_TRUE(load.IsNumber("A7")) << "beside it the load as written";
    const TSheet axial(parts.at("xl/worksheets/sheet3.xml"), strings);
    EXPECT_EQ(axial["B8"], "");
    EXPECT_EQ(axial["A8"], "25");
    const TSheet tz(parts.at("xl/worksheets/sheet4.xml"), strings);
    EXPECT_EQ(tz["B7"], "");
    const TSheet qw(parts.at("xl/worksheets/sheet5.xml"), strings);
    EXPECT_EQ(qw["A7"], "");
    EXPECT_EQ(qw["B7"], "1");
}

// Every chart sheet prints on one landscape page, inside margins the chart fits.
TEST_F(WorkbookTest, ChartSheetsPrintOnOneLandscapePage) {
    fill(graphs_.pltLoad, 2, 5);
    fill(graphs_.PltQW, 1, 5);
    const fs::path file = folder_ / "print.xlsx";
    WriteGraphWorkbook(file.string(), {&graphs_.pltLoad, &graphs_.PltQW});
    const auto parts = readZip(file);
    for (const char* name : {"xl/chartsheets/sheet1.xml", "xl/chartsheets/sheet2.xml"}) {
        ASSERT_TRUE(parts.count(name)) << name;
        const std::string& xml = parts.at(name);
        EXPECT_NE(xml.find("<pageSetup orientation=\"landscape\"/>"), std::string::npos) << xml;
        EXPECT_NE(xml.find("<pageMargins left=\"0.4\" right=\"0.4\" top=\"0.5\" bottom=\"0.5\""),
                  std::string::npos)
            << xml;
    }
}

TEST_F(WorkbookTest, FailureKeepsTheEarlierWorkbookAndLeavesNoTemporaryFile) {
    fill(graphs_.PltQW, 1, 3);
    const fs::path file = folder_ / "kept.xlsx";
    WriteGraphWorkbook(file.string(), {&graphs_.PltQW});
    std::ifstream before(file, std::ios::binary);
    const std::string original((std::istreambuf_iterator<char>(before)), {});

    fill(graphs_.pltLoad, MaxWorkbookLines + 1, 2);
    try {
        WriteGraphWorkbook(file.string(), {&graphs_.PltQW, &graphs_.pltLoad});
        ADD_FAILURE() << "a graph of too many lines is refused";
    } catch (const EWorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find("has 352 lines"), std::string::npos) << e.what();
    }
    std::ifstream after(file, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), {}), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);

    EXPECT_THROW(WriteGraphWorkbook((folder_ / "missing" / "x.xlsx").string(), {&graphs_.PltQW}),
                 EWorkbookError);
    EXPECT_THROW(WriteGraphWorkbook(folder_.string(), {&graphs_.PltQW}), EWorkbookError);
}

} // namespace
} // namespace pavrin::graphics
