// The declared tables of the main window: every declaration reads and writes
// back unchanged, the tables have the captions, limits, headings and editor
// settings of the program, and bad declarations are reported.
#include "Declarations.h"
#include "TableChart.h"

#include <gtest/gtest.h>

namespace pavrin::controls {
namespace {

std::vector<StreamValue> ColValues(const TGridTable& table) {
    ValueWriter writer;
    table.WriteCol(writer);
    return writer.Values();
}

TEST(Declarations, EveryDeclaredTableRoundTrips) {
    const std::vector<std::string> names = DeclaredTableNames();
    EXPECT_EQ(names.size(), 22U);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const auto table = CreateDeclaredTable(name);
        const std::string written = WriteTableDeclaration(*table, name);
        const TableDeclaration again = ReadTableDeclaration(written);
        EXPECT_EQ(again.name, name);
        EXPECT_STREQ(again.table->ClassName(), table->ClassName());
        EXPECT_EQ(ColValues(*again.table), ColValues(*table));
        EXPECT_EQ(WriteTableDeclaration(*again.table, name), written);
        EXPECT_NE(again.table->Identifier(),
                  table->Identifier()); // the newer one took the declared identifier
    }
    EXPECT_THROW(CreateDeclaredTable("NoSuchTable"), ETableError);
}

struct Expected {
    const char* name;
    bool chart;
    int identifier;
    const char* caption;
    int minRows, maxRows;
    std::vector<std::string> firstHeadings; // first heading line of each column
};

TEST(Declarations, TablesHaveTheProgramsCaptionsLimitsAndHeadings) {
    const std::vector<Expected> expected = {
        {"TblTipMove", false, 179, "Tip Movements", 2, 100, {"Tip Movement, "}},
        {"TblTopload", false, 10, "Pile-Head Loads", 1, 50, {"Axial Load at Pile Head"}},
        {"D2",
         true,
         40,
         "Soil Layers",
         1,
         30,
         {std::string("Soil Type") + std::string(58, ' '), "Bottom of Layer", "Layer Data"}},
        {"TblPVDepth2",
         true,
         0,
         "Depths for User-Defined t-z Curves",
         2,
         100,
         {"Depth below ground surface, ", "t-z Data  (click each button for data entry)  "}},
        {"TblQwcurve2",
         true,
         6,
         "Tip Load vs. Tip Movement",
         2,
         50,
         {"Total Tip Load (Q),", "Tip Movement (w),"}},
        {"TblAE2",
         true,
         30,
         "Axial Stiffness (AE) of Pile Sections",
         2,
         50,
         {"Depth (starting from pile top)", "Axial Stiffness  AE,"}},
        {"TblSettlement2", true, 8, "Soil Settlement Profile", 2, 100, {"Depth,", "Settlement,"}},
        {"TblPVFactors2",
         true,
         11,
         "Modification Factors on t-z Curves",
         2,
         50,
         {"Depth", "t-Multiplier", "z-Multiplier"}},
        {"TblPVCurves2", true, 5, "t-z curve", 2, 100, {"Load Transfer (t),", "Pile Movement (z),"}},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const auto table = CreateDeclaredTable(e.name);
        EXPECT_EQ(dynamic_cast<TGridTableChart*>(table.get()) != nullptr, e.chart);
        EXPECT_EQ(table->Identifier(), e.identifier);
        EXPECT_EQ(table->Caption(), e.caption);
        EXPECT_EQ(table->MinRows(), e.minRows);
        EXPECT_EQ(table->MaxRows(), e.maxRows);
        ASSERT_EQ(table->ColumnCount(), static_cast<int>(e.firstHeadings.size()));
        for (int c = 0; c < table->ColumnCount(); ++c)
            EXPECT_EQ(table->Column(c).Headings().front(), e.firstHeadings[static_cast<std::size_t>(c)]);
    }
}

TEST(Declarations, LayerTemplatesShareTheirLayout) {
    const auto clay = CreateDeclaredTable("tblDataClay2");
    const auto sand = CreateDeclaredTable("tblDataSand2");
    EXPECT_EQ(ColValues(*clay), ColValues(*sand));
    EXPECT_EQ(clay->TopLeft(), "Location, 1=Top, 2=Bottom");
    ASSERT_EQ(clay->ColumnCount(), 8);
    EXPECT_EQ(clay->Column(0).Headings(), (std::vector<std::string>{"Effective Unit ", "Weight,"}));
    EXPECT_EQ(clay->Column(6).HeadingLine(1), "Tip Resistance, (lbs/in^2)  ");
    EXPECT_FALSE(clay->Column(7).Visible());
    EXPECT_EQ(clay->VisibleColumnCount(), 7);
    EXPECT_EQ(dynamic_cast<const TFloatColumn&>(clay->Column(0)).UnitsTemplate(), "F/L^3");
    EXPECT_EQ(clay->MinRows(), 2);
    EXPECT_EQ(clay->MaxRows(), 2);

    const auto layers = CreateDeclaredTable("D2");
    const auto& soil = dynamic_cast<const TEnumColumn&>(layers->Column(0));
    ASSERT_EQ(soil.Items().size(), 6U);
    EXPECT_EQ(soil.Items()[2], "Drilled Shaft in Clay (Reese & O'Neill)");
    EXPECT_EQ(dynamic_cast<const TTableColumn&>(layers->Column(2)).Templates(),
              (TGridTableList{2, 1, 2, 1, 2, 1}));
}

TEST(Declarations, ChartEditorSettings) {
    struct Settings {
        const char* name;
        bool fromFile;
        GraphSettings graph;
    };
    const Settings settings[] = {
        {"TblPVCurves2", true, {true, false, 1, 0, 0, 0}},
        {"TblQwcurve2", true, {true, false, 1, 0, 0, 0}},
        {"TblSettlement2", true, {true, false, 0, 1, 0, 0}},
        {"TblPVFactors2", true, {true, false, 0, 1, 0, 0}},
        {"TblAE2", true, {true, false, 0, 1, 0, 0}},
        {"D2", false, {}},
        {"TblPVDepth2", false, {}},
        {"tblDataClay2", false, {}},
        {"tblDataSand2", false, {}},
    };
    for (const Settings& s : settings) {
        SCOPED_TRACE(s.name);
        const auto table = CreateDeclaredTable(s.name);
        const auto& chart = dynamic_cast<const TGridTableChart&>(*table);
        EXPECT_EQ(chart.GetDataFromFile(), s.fromFile);
        EXPECT_EQ(chart.Graph(), s.graph);
        EXPECT_FALSE(chart.OKCancelButtons() || chart.InvertedXAxis() || chart.InvertedYAxis());
    }
}

TEST(Declarations, CurveDepthsCopyTheCurveTemplate) {
    const auto curve = CreateDeclaredTable("TblPVCurves2");
    const auto depths = CreateDeclaredTable("TblPVDepth2");
    depths->SetRowCount(depths->MinRows());
    ASSERT_NE(depths->Column(1).GetTable(1), nullptr);
    EXPECT_EQ(depths->Text(1, 1), "2: t-z curve");
    EXPECT_EQ(depths->Column(1).GetTable(1)->RowCount(), 2);
}

TEST(Declarations, BadDeclarationsNameTheirLine) {
    auto error = [](std::string_view text) {
        try {
            ReadTableDeclaration(text);
        } catch (const EReadError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(error("object T: TGrid\nend"), "Declaration of T, line 1: unknown table class 'TGrid'");
    EXPECT_EQ(error("object T: TGridTable\n  Colour = 3\nend"),
              "Declaration of T, line 2: unknown property 'Colour'");
    EXPECT_EQ(error("object T: TGridTable\n  MinRows = 2 3\nend"),
              "Declaration of T, property MinRows (line 2): more values than the property takes");
    EXPECT_EQ(error("object T: TGridTable\n  Caption = 3\nend"),
              "Declaration of T, property Caption (line 2): Line 2: A string was expected but an integer was "
              "found");
    EXPECT_EQ(error("object T: TGridTable\n  MinRows = 2"), "Declaration of T, line 2: 'end' expected");
    EXPECT_EQ(
        error("object T: TGridTable\n  Col = 1 9\nend"),
        "Declaration of T, property Col (line 2): Error occured when creating column 0: Error Column Class "
        "not defined");
    EXPECT_EQ(error("object T: TGridTable\nend\nend"), "Declaration of T, line 3: nothing may follow 'end'");

    // While loading, a minimum of 0 rows becomes 1.
    EXPECT_EQ(ReadTableDeclaration("object T: TGridTable MinRows = 0 end").table->MinRows(), 1);
}

} // namespace
} // namespace pavrin::controls
