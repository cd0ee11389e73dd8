// Loading rows from a text file or the clipboard: line breaks, fields,
// headings and wrong-count lines, row limits and rejected values.
#include "RowText.h"
#include "DecimalSeparator.h"
#include "Declarations.h"
#include "Evaluator.h"
#include "TableTestSupport.h"
#include "WordReader.h"

#include <gtest/gtest.h>

namespace pavrin::controls {
namespace {

using testing::FakeEditors;
using testing::FloatValues;
using testing::ReadColumns;
using Lines = std::vector<std::string>;
using Values = std::vector<long double>;

TEST(RowTextLines, EveryKindOfLineBreakEndsALine) {
    EXPECT_EQ(SplitTextLines("1 2\r\n3 4\r\n"), (Lines{"1 2", "3 4"}));
    EXPECT_EQ(SplitTextLines("1 2\r\n3 4\r"), (Lines{"1 2", "3 4"}));
    EXPECT_EQ(SplitTextLines("1 2\r\n3 4"), (Lines{"1 2", "3 4"}));
    EXPECT_EQ(SplitTextLines("1 2\n\n3 4\n"), (Lines{"1 2", "", "3 4"}));
    EXPECT_EQ(SplitTextLines("1 2\r\r\n3"), (Lines{"1 2", "", "3"}));
    EXPECT_TRUE(SplitTextLines("").empty());
}

TEST(RowTextLines, FieldsAreSeparatedByBlanksTabsAndOneComma) {
    EXPECT_EQ(ParseLineNumbers("  1\t2,3 , -4.5e-1\t"), (Values{1, 2, 3, -0.45L}));
    EXPECT_EQ(ParseLineNumbers("1 2 abc 3"), (Values{1, 2}));
    EXPECT_EQ(ParseLineNumbers("1,,2"), (Values{1}));
    EXPECT_EQ(ParseLineNumbers("1 2x"), (Values{1}));
    EXPECT_TRUE(ParseLineNumbers("Depth Settlement").empty());
    EXPECT_TRUE(ParseLineNumbers("inf 1").empty());
    EXPECT_TRUE(ParseLineNumbers("1e99999 1").empty());
    EXPECT_EQ(ParseLineNumbers("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17").size(), 15U);

    DecimalSeparatorScope comma(',');
    EXPECT_EQ(ParseLineNumbers("1,5 2,5\t-3"), (Values{1.5L, 2.5L, -3}));
    EXPECT_EQ(ParseLineNumbers("1.5 2"), Values{});
}

class CurveTable : public ::testing::Test {
protected:
    CurveTable() : table(CreateDeclaredTable("TblPVCurves2")) {}

    void Fill(int rows) {
        table->SetRowCount(rows);
        for (int r = 0; r < rows; ++r) {
            table->Column(0).SetFloat(r, 99);
            table->Column(1).SetFloat(r, 99);
        }
    }

    std::unique_ptr<TGridTable> table;
};

TEST_F(CurveTable, AFileWithAHeadingFillsItsRowsAndDropsTheRest) {
    Fill(8);
    const RowLoadResult result =
        LoadRowsFromLines(*table, ReadTextFileLines(std::string(PAVRIN_TEST_DATA) + "/tz-curve.txt"));
    EXPECT_EQ(result.rowsFilled, 5);
    EXPECT_EQ(result.linesSkipped, 2);
    EXPECT_EQ(table->RowCount(), 5);
    EXPECT_EQ(FloatValues(*table, 0), (Values{0, 1.5L, 2.5L, 3, 3.2L}));
    EXPECT_EQ(FloatValues(*table, 1), (Values{0, 0.01L, 0.05L, 0.1L, 1}));
    EXPECT_TRUE(table->IsChanged());
}

TEST_F(CurveTable, LinesOfTheWrongCountAreSkippedAndRowsAdded) {
    Fill(2);
    const Lines lines{"t z", "1 2 3", "1 2", "", "3 4", "5", "5 6"};
    const RowLoadResult result = LoadRowsFromLines(*table, lines);
    EXPECT_EQ(result.rowsFilled, 3);
    EXPECT_EQ(result.linesSkipped, 4);
    EXPECT_EQ(FloatValues(*table, 0), (Values{1, 3, 5}));
}

TEST_F(CurveTable, PastedTextKeepsItsLastLine) {
    Fill(4);
    for (const char* text : {"1 2\r\n3 4\r\n", "1 2\r\n3 4\r", "1 2\r\n3 4"}) {
        LoadRowsFromLines(*table, SplitTextLines(text));
        EXPECT_EQ(FloatValues(*table, 1), (Values{2, 4})) << text;
    }
}

TEST_F(CurveTable, LoadingStopsAtMaxRowsAndKeepsMinRows) {
    Fill(2);
    table->SetMaxRows(3);
    LoadRowsFromLines(*table, {"1 1", "2 2", "3 3", "4 4", "5 5"});
    EXPECT_EQ(FloatValues(*table, 0), (Values{1, 2, 3}));

    Fill(3);
    LoadRowsFromLines(*table, {"7 8"}); // one line: the second row of the minimum starts afresh
    EXPECT_EQ(FloatValues(*table, 0), (Values{7, 0}));
    EXPECT_EQ(FloatValues(*table, 1), (Values{8, 0}));

    Fill(3);
    table->ResetChanged();
    const RowLoadResult none = LoadRowsFromLines(*table, {"no numbers here", "1 2 3"});
    EXPECT_EQ(none.rowsFilled, 0);
    EXPECT_EQ(table->RowCount(), 3);
    EXPECT_FALSE(table->IsChanged());
}

TEST(RowTextLoad, ARejectedValueStopsTheLoad) {
    FakeEditors editors(PlainTables());
    TGridTable table;
    ReadColumns(table, "2 1 ('Pile') True False 1 1 10 2 ('Load') True False False 'FLOATCOLUMN2' 'F' 0.0");
    table.SetRowCount(1);
    ASSERT_TRUE(table.ShowEditor());
    try {
        LoadRowsFromLines(table, {"1 100", "2 200", "11 300", "4 400"});
        FAIL();
    } catch (const EAssignError& e) {
        EXPECT_STREQ(e.what(), "Entry must be between 1 and 10.");
    }
    EXPECT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.Integer(0, 1), 2);
    EXPECT_EQ(table.Float(1, 2), 0); // the rejected line wrote nothing
}

TEST(RowTextLoad, AMissingFileIsReported) {
    EXPECT_THROW(ReadTextFileLines(std::string(PAVRIN_TEST_DATA) + "/no-such-file.txt"), EFileOpenError);
    EXPECT_THROW(ReadTextFileLines(PAVRIN_TEST_DATA), EFileOpenError);
}

} // namespace
} // namespace pavrin::controls
