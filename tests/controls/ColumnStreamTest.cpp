// The typed value stream and its text form, and reading column definitions:
// round trips, the older column layouts, and the reading errors.
#include "ColumnStream.h"
#include "Table.h"
#include "TableChart.h"
#include "TableTestSupport.h"

#include <gtest/gtest.h>

namespace pavrin::controls {
namespace {

using testing::FloatColumn;
using testing::ReadColumns;

std::string ReadError(TGridTable& table, std::string_view text) {
    try {
        ReadColumns(table, text);
    } catch (const EReadError& e) {
        return e.what();
    }
    return "no error";
}

TEST(ColumnStreamText, EveryKindOfValueSurvivesTheTextForm) {
    ValueWriter writer;
    writer.WriteInteger(-2147483647 - 1);
    writer.WriteInteger(2147483647);
    writer.WriteString("");
    writer.WriteString("O'Neill");
    writer.WriteString("Enter data.\rLinear \xC2\xB0 ok");
    writer.WriteBoolean(true);
    writer.WriteListBegin();
    writer.WriteFloat(0.1L);
    writer.WriteFloat(-1.5e-6L);
    writer.WriteFloat(3);
    writer.WriteFloat(1.18e4932L);
    writer.WriteListEnd();

    const std::string text = writer.Text();
    EXPECT_NE(text.find("'O''Neill'"), std::string::npos);
    EXPECT_NE(text.find("'Enter data.'#13'Linear"), std::string::npos);
    EXPECT_NE(text.find("(0.1 -1.5E-6 3.0 "), std::string::npos) << text;
    EXPECT_EQ(ParseStreamText(text), writer.Values());
    EXPECT_THROW(writer.WriteFloat(std::numeric_limits<long double>::infinity()), std::invalid_argument);
}

TEST(ColumnStreamText, BadTextIsReportedWithItsLine) {
    auto error = [](std::string_view text) {
        try {
            ParseStreamText(text);
        } catch (const EReadError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(error("1\n'open"), "Line 2: unterminated string");
    EXPECT_EQ(error("// note\n\n1.2.3"), "Line 3: invalid number");
    EXPECT_EQ(error("2147483648"), "Line 1: integer out of range");
    EXPECT_EQ(error("1 ; 2"), "Line 1: unexpected character ';'");
    EXPECT_EQ(error("#300"), "Line 1: a character code from #0 to #255 was expected after #");
    EXPECT_EQ(error("Name"), "Line 1: 'Name' is not a value");
    EXPECT_EQ(ParseStreamText("true FALSE 'a'#10'b' // comment").size(), 3U);
}

TEST(ColumnStreamReader, KindsAreCheckedAndIntegersServeAsReals) {
    ValueReader reader(ParseStreamText("7\n'text'"));
    EXPECT_EQ(reader.ReadFloat(), 7);
    try {
        reader.ReadBoolean();
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Line 2: A Boolean was expected but a string was found");
    }
    EXPECT_EQ(reader.ReadString(), "text");
    EXPECT_THROW(reader.ReadInteger(), EReadError);
}

TEST(ColumnStreamTable, ColumnsOfEveryKindRoundTrip) {
    TGridTable table;
    ReadColumns(table, "5 0 ('Kind' 'of row') True False ('A' 'B') "
                       "1 ('Count') False True 3 1 10 " +
                           FloatColumn("Depth", "L", true) + FloatColumn("Bottom", "L") +
                           "4 ('Name') True False 'none' 1.25");
    ASSERT_EQ(table.ColumnCount(), 5);
    EXPECT_EQ(table.Column(0).Headings(), (std::vector<std::string>{"Kind", "of row"}));
    EXPECT_FALSE(table.Column(1).Visible());
    EXPECT_TRUE(table.Column(1).GroupValue());
    EXPECT_EQ(dynamic_cast<const TIntColumn&>(table.Column(1)).Maximum(), 10);
    EXPECT_TRUE(dynamic_cast<const TFloatColumn&>(table.Column(2)).TopDepth());
    EXPECT_EQ(dynamic_cast<const TStringColumn&>(table.Column(4)).WidthInches(), 1.25L);
    table.SetRowCount(1);
    EXPECT_EQ(table.Integer(1, 0), 3);
    EXPECT_EQ(table.Text(4, 0), "none");

    ValueWriter first;
    table.WriteCol(first);
    TGridTable copy;
    ReadColumns(copy, first.Text());
    ValueWriter second;
    copy.WriteCol(second);
    EXPECT_EQ(second.Text(), first.Text());
}

TEST(ColumnStreamTable, OlderLayoutsAreRead) {
    PlainTables().Reset();
    TGridTable first, second, third; // positions 0, 1 and 2 of the plain list
    second.SetIdentifier(12);

    TGridTable table;
    ReadColumns(table, "2 2 ('Old float') True False False 'F/L^2' "
                       "3 ('Old table') True False 'FLEXCOLUMN' 1");
    const auto& column = dynamic_cast<const TFloatColumn&>(table.Column(0));
    EXPECT_EQ(column.UnitsTemplate(), "F/L^2");
    EXPECT_EQ(column.Default(), 0);
    EXPECT_EQ(dynamic_cast<const TTableColumn&>(table.Column(1)).Templates(), (TGridTableList{12}));

    const std::string withEnumeration = "2 0 ('Soil') True False ('Sand' 'Clay' 'Rock') "
                                        "3 ('Data') True False 'FLEXCOLUMN' 1";
    ReadColumns(table, withEnumeration);
    EXPECT_EQ(dynamic_cast<const TTableColumn&>(table.Column(1)).Templates(), (TGridTableList{1, 2, 3}));
    table.SetHardwiredButton(true);
    ReadColumns(table, withEnumeration);
    EXPECT_EQ(dynamic_cast<const TTableColumn&>(table.Column(1)).Templates(), (TGridTableList{12, 12, 12}));
}

TEST(ColumnStreamTable, TemplateListsFollowTheEnumerationItems) {
    TGridTable table;
    ReadColumns(table, "2 0 ('Soil') True False ('A' 'B' 'C') 3 ('Data') True False 'FLEXCOLUMN2' (4)");
    EXPECT_EQ(dynamic_cast<const TTableColumn&>(table.Column(1)).Templates(), (TGridTableList{4, -1, -1}));
    ReadColumns(table, "1 3 ('Data') True False 'FLEXCOLUMN2' (4 5 6)");
    EXPECT_EQ(dynamic_cast<const TTableColumn&>(table.Column(0)).Templates(), (TGridTableList{4}));
}

TEST(ColumnStreamTable, ReadingErrorsLeaveTheTableAsItWas) {
    TGridTable table;
    ReadColumns(table, "1 " + FloatColumn("Kept"));
    table.SetRowCount(2);

    EXPECT_EQ(ReadError(table, ""), "Error reading column count");
    EXPECT_EQ(ReadError(table, "'three'"), "Error reading column count");
    EXPECT_EQ(ReadError(table, "1 9 ('X') True False"),
              "Error occured when creating column 0: Error Column Class not defined");
    EXPECT_EQ(ReadError(table, "2 " + FloatColumn("A") + "2 ('B') True"),
              "Error occured when creating column 1: The stream ended where a Boolean was expected");
    EXPECT_EQ(
        ReadError(table, "1 " + FloatColumn("A", "F/L^x")).rfind("Error occured when creating column 0: ", 0),
        0U);
    EXPECT_EQ(ReadError(table, "1 " + FloatColumn("Top", "", true)),
              "Error occured when creating column 0: " + std::string(table_message::kTopDepth));

    ASSERT_EQ(table.ColumnCount(), 1);
    EXPECT_EQ(table.Column(0).Headings().front(), "Kept");
    EXPECT_EQ(table.Column(0).RowCount(), 2);

    PlainTables().ColumnClasses().Unregister(kStringColumn);
    EXPECT_EQ(ReadError(table, "1 4 ('Name') True False '' 1.0"),
              "Error occured when creating column 0: Error Column Class not defined");
    PlainTables().ColumnClasses().Reset();
}

TEST(ColumnStreamTable, ChartTablesEndWithTheirGraphSettings) {
    TGridTableChart table;
    ReadColumns(table,
                "2 " + FloatColumn("Depth,", "L") + FloatColumn("Settlement,", "L") + " True False 0 1 0 0");
    EXPECT_EQ(table.Graph(), (GraphSettings{true, false, 0, 1, 0, 0}));
    ValueWriter writer;
    table.WriteCol(writer);
    EXPECT_EQ(writer.Values().back(), StreamValue::Integer(0));

    EXPECT_EQ(ReadError(table, "1 " + FloatColumn("Depth,") + " True False 0"),
              "Error reading graphic parameters");
    EXPECT_EQ(ReadError(table, "1 " + FloatColumn("Depth,")), "Error reading graphic parameters");
    EXPECT_EQ(table.ColumnCount(), 2);
    EXPECT_TRUE(table.Graph().showGraph);
}

} // namespace
} // namespace pavrin::controls
