// The grid-table model: row groups, group values, top-depth columns, cell
// entry checks, sub-tables from templates, type changes, unit switches,
// identifiers, changed flags, the editor link and the row controls.
#include "Table.h"
#include "Evaluator.h"
#include "TableTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pavrin::controls {
namespace {

using testing::FakeEditors;
using testing::FloatColumn;
using testing::FloatValues;
using testing::ReadColumns;
using testing::RecordingObserver;

template <typename E, typename F> void ExpectError(F&& action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const E& e) {
        EXPECT_EQ(e.what(), message);
    }
}

using Values = std::vector<long double>;

TEST(TableRows, GroupsAreAddedAndDeletedWhole) {
    TGridTable table;
    ReadColumns(table, "1 " + FloatColumn("A"));
    table.SetRowGroup(2);
    table.SetRowCount(5);
    ASSERT_EQ(table.RowCount(), 6);
    for (int r = 0; r < 6; ++r)
        table.Column(0).SetFloat(r, r);

    table.DeleteGroup(3);
    EXPECT_EQ(FloatValues(table, 0), (Values{0, 1, 4, 5}));
    table.InsertGroup(3);
    EXPECT_EQ(FloatValues(table, 0), (Values{0, 1, 0, 0, 4, 5}));
    table.AppendGroup();
    EXPECT_EQ(table.RowCount(), 8);
    EXPECT_EQ(table.Column(0).RowCount(), 8);

    table.SetRowCount(-3);
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_THROW(table.DeleteGroup(0), ETableError);
    table.SetRowGroup(0);
    EXPECT_EQ(table.RowGroup(), 1);
}

TEST(TableCells, GroupValueColumnWritesTheWholeGroup) {
    TGridTable table;
    ReadColumns(table, "2 " + FloatColumn("Group", "", false, true) + FloatColumn("Plain"));
    table.SetRowGroup(2);
    table.SetRowCount(4);
    RecordingObserver observer;
    table.SetObserver(&observer);

    table.Column(0).SetText(3, "2*3");
    table.Column(1).SetFloat(3, 1);
    EXPECT_EQ(FloatValues(table, 0), (Values{0, 0, 6, 6}));
    EXPECT_EQ(FloatValues(table, 1), (Values{0, 0, 0, 1}));
    EXPECT_EQ(observer.cells, (std::vector<std::pair<int, int>>{{0, 2}, {0, 3}, {1, 3}}));
    EXPECT_EQ(table.Text(0, 2), "6");
}

TEST(TableCells, TopDepthColumnFollowsTheLayerAbove) {
    TGridTable table;
    ReadColumns(table, "2 " + FloatColumn("Top", "L", true) + FloatColumn("Bottom", "L"));
    table.SetRowCount(3);
    table.Column(1).SetFloat(0, 10);
    table.Column(1).SetFloat(1, 20);
    table.Column(0).SetFloat(2, 25); // also the bottom of the layer above
    table.Column(1).SetFloat(2, 30);
    EXPECT_EQ(FloatValues(table, 0), (Values{0, 10, 25}));
    EXPECT_EQ(FloatValues(table, 1), (Values{10, 25, 30}));

    table.InsertGroup(2); // a new layer of no thickness at 25
    EXPECT_EQ(FloatValues(table, 0), (Values{0, 10, 25, 25}));
    EXPECT_EQ(FloatValues(table, 1), (Values{10, 25, 25, 30}));
    table.DeleteGroup(1); // the next layer now starts where layer 1 ends
    EXPECT_EQ(FloatValues(table, 0), (Values{0, 10, 25}));
    EXPECT_EQ(FloatValues(table, 1), (Values{10, 25, 30}));
    table.AppendGroup();
    EXPECT_EQ(table.Float(0, 3), 30);
}

TEST(TableCells, TopDepthColumnWithoutBottomColumnLeavesTheTableUnchanged) {
    TGridTable table;
    ReadColumns(table, "2 " + FloatColumn("A") + FloatColumn("Top", "", true));
    ExpectError<ETableError>([&] { table.SetRowCount(2); }, table_message::kTopDepth);
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_EQ(table.Column(0).RowCount(), 0);
}

TEST(TableCells, IntegerEntriesAreCheckedWhileAnEditorIsOpen) {
    FakeEditors editors(PlainTables());
    TGridTable table;
    ReadColumns(table, "1 1 ('Count') True False 0 1 10");
    table.SetRowCount(1);
    table.Column(0).SetText(0, "11");
    EXPECT_EQ(table.Integer(0, 0), 11);

    ASSERT_TRUE(table.ShowEditor());
    ExpectError<EAssignError>([&] { table.Column(0).SetText(0, "12"); }, "Entry must be between 1 and 10.");
    ExpectError<EAssignError>([&] { table.Column(0).SetText(0, "-2.5"); }, "Entry must be an integer.");
    EXPECT_EQ(table.Integer(0, 0), 11);
    table.Column(0).SetText(0, "2*3");
    EXPECT_EQ(table.Integer(0, 0), 6);

    table.CloseEditor();
    ExpectError<EAssignError>([&] { table.Column(0).SetText(0, "1E12"); },
                              "Entry must be between -2147483648 and 2147483647.");
    EXPECT_EQ(table.Integer(0, 0), 6);
}

TEST(TableCells, EnumerationEntriesAndWrongTypes) {
    TGridTable table;
    ReadColumns(table, "3 0 ('Kind') True False ('A' 'B' 'C') "
                       "2 ('Hidden') False False False 'FLOATCOLUMN2' '' 0.0 " +
                           FloatColumn("Value"));
    table.SetRowCount(1);
    EXPECT_EQ(table.Integer(0, 0), 1);
    ExpectError<EAssignError>([&] { table.Column(0).SetText(0, "2.5"); }, "Value must be an integer.");
    table.Column(0).SetText(0, "1+2");
    EXPECT_EQ(table.Text(0, 0), "3");
    EXPECT_THROW(table.Column(0).SetText(0, "abc"), EAssignError);
    EXPECT_EQ(table.Integer(0, 0), 3);

    ExpectError<EInvalidCast>([&] { table.Float(0, 0); }, "Data of wrong type");
    ExpectError<EInvalidCast>([&] { table.Integer(2, 0); }, "Data of wrong type");
    ExpectError<ETableError>([&] { table.Float(2, 1); }, "Index out of bounds");
    ASSERT_EQ(table.VisibleColumnCount(), 2);
    EXPECT_EQ(&table.VisibleColumn(1), &table.Column(2));
    ExpectError<ETableError>([&] { table.VisibleColumn(2); }, "Index out of bounds");
    EXPECT_FALSE(table.CellExists(3, 0));
}

// Layer tables: a soil type, a bottom depth and a layer-data table copied
// from the clay (identifier 2) or sand (identifier 1) template.
class LayerTables : public ::testing::Test {
protected:
    LayerTables() {
        clay.SetIdentifier(2);
        clay.SetCaption("Clay Layer Data");
        clay.SetMinRows(2);
        ReadColumns(clay, "2 " + FloatColumn("Weight,", "F/L^3") + FloatColumn("Strength,", "F/L^2"));
        sand.SetIdentifier(1);
        sand.SetCaption("Sand Layer Data");
        sand.SetMinRows(2);
        ReadColumns(sand, "2 " + FloatColumn("Weight,", "F/L^3") + FloatColumn("Angle"));
        ReadColumns(layers, "3 0 ('Soil Type') True False ('Clay' 'Sand') " + FloatColumn("Bottom", "L") +
                                "3 ('Layer Data') True False 'FLEXCOLUMN2' (2 1)");
    }

    TGridTable* Layer(int row) const { return layers.Column(2).GetTable(row); }

    TGridTable clay, sand, layers;
};

TEST_F(LayerTables, RowsGetCopiesOfTheirTemplatesAndKeepTheirNumbers) {
    layers.SetRowCount(3);
    for (int r = 0; r < 3; ++r) {
        ASSERT_NE(Layer(r), nullptr);
        EXPECT_EQ(Layer(r)->Caption(), "Clay Layer Data");
        EXPECT_EQ(Layer(r)->RowCount(), 2);
        EXPECT_EQ(Layer(r)->RowNumber(), r + 1);
        EXPECT_EQ(Layer(r)->Owner(), &layers);
        EXPECT_NE(Layer(r)->Identifier(), 2);
    }
    EXPECT_EQ(Layer(2)->EditorCaption(), "Clay Layer Data  3");
    EXPECT_EQ(layers.Text(2, 2), "3: Clay Layer Data");

    TGridTable* third = Layer(2);
    layers.InsertGroup(0);
    EXPECT_EQ(Layer(3), third);
    EXPECT_EQ(third->RowNumber(), 4);
    EXPECT_EQ(Layer(0)->RowNumber(), 1);
    layers.DeleteGroup(1);
    EXPECT_EQ(Layer(2), third);
    EXPECT_EQ(third->RowNumber(), 3);
}

TEST_F(LayerTables, TypeChangeGivesAFreshCopyOfTheOtherTemplate) {
    layers.SetRowCount(2);
    Layer(1)->Column(0).SetFloat(0, 120);
    TGridTable* first = Layer(0);
    RecordingObserver observer;
    layers.SetObserver(&observer);

    layers.Column(0).SetInteger(1, 2);
    EXPECT_EQ(Layer(1)->Caption(), "Sand Layer Data");
    EXPECT_EQ(FloatValues(*Layer(1), 0), (Values{0, 0}));
    EXPECT_EQ(Layer(1)->RowNumber(), 2);
    EXPECT_EQ(Layer(0), first);
    EXPECT_EQ(observer.cells, (std::vector<std::pair<int, int>>{{0, 1}}));

    TGridTable* sandLayer = Layer(1);
    layers.Column(0).SetInteger(1, 2); // unchanged item: same sub-table
    EXPECT_EQ(Layer(1), sandLayer);
    layers.Column(0).SetInteger(1, 9); // no template for item 9
    EXPECT_EQ(Layer(1), nullptr);
    EXPECT_EQ(layers.Text(2, 1), "2: ");
}

TEST_F(LayerTables, UnitSwitchRescalesTemplatedColumnsAndComesBack) {
    TGridTable table;
    ReadColumns(table, "2 " + FloatColumn("Strength,", "F/L^2") + FloatColumn("e50"));
    table.SetRowCount(1);
    table.Column(0).SetFloat(0, 100);
    table.Column(1).SetFloat(0, 0.5L);
    EXPECT_EQ(table.Column(0).HeadingLine(0), "Strength, (lbs/in^2)  ");

    table.SetUnits(2);
    EXPECT_NEAR(static_cast<double>(table.Float(0, 0)), 689.4757, 1e-3);
    EXPECT_EQ(table.Float(1, 0), 0.5L);
    EXPECT_EQ(table.Column(0).HeadingLine(0), "Strength, (kN/m^2)  ");
    table.SetUnits(1);
    EXPECT_NEAR(static_cast<double>(table.Float(0, 0)), 100, 1e-12);
    EXPECT_THROW(table.SetUnits(4), ETableError);

    layers.SetRowCount(1);
    layers.Column(1).SetFloat(0, 1200);
    Layer(0)->Column(1).SetFloat(1, 100);
    layers.SetUnits(2);
    EXPECT_NEAR(static_cast<double>(layers.Float(1, 0)), 30.48, 1e-8);
    EXPECT_EQ(Layer(0)->Units(), 2);
    EXPECT_NEAR(static_cast<double>(Layer(0)->Float(1, 1)), 689.4757, 1e-3);
    layers.AppendGroup();
    EXPECT_EQ(Layer(1)->Units(), 2);
}

TEST(TableIdentifiers, SettingATakenIdentifierSwapsTheTwo) {
    PlainTables().Reset();
    TGridTable a, b;
    a.SetIdentifier(5);
    b.SetIdentifier(6);
    a.SetIdentifier(6);
    EXPECT_EQ(a.Identifier(), 6);
    EXPECT_EQ(b.Identifier(), 5);
    a.SetIdentifier(-1);
    EXPECT_EQ(a.Identifier(), 6);

    PlainTables().Reset();
    TGridTable c; // takes 0
    c.SetIdentifier(1);
    TGridTable d;
    EXPECT_EQ(d.Identifier(), 2); // 1 is taken
    EXPECT_EQ(PlainTables().FindByIdentifier(1), &c);
}

TEST_F(LayerTables, ChangedFlagsReachThroughSubTables) {
    layers.SetRowCount(2);
    EXPECT_FALSE(layers.IsChanged());
    Layer(1)->SetChanged(true);
    EXPECT_TRUE(layers.IsChanged());
    layers.ResetChanged();
    EXPECT_FALSE(Layer(1)->IsChanged());
    EXPECT_FALSE(layers.IsChanged());
}

struct Marker : RowObject {
    int row = -1;
    bool changed = false;
};

TEST(TableColumns, RowsWithoutTemplateTakeObjectsFromTheEvents) {
    TGridTable table;
    ReadColumns(table, "1 3 ('Object') True False 'FLEXCOLUMN2' (-1)");
    table.OnInitRow = [](TGridTable&, int, int, int, std::unique_ptr<RowObject>& data) {
        data = std::make_unique<Marker>();
    };
    table.OnSetRow = [](TGridTable&, int, RowObject* data, int row) {
        static_cast<Marker*>(data)->row = row;
    };
    table.OnGetChanged = [](TGridTable&, int, int, RowObject* data, bool& changed) {
        changed = static_cast<Marker*>(data)->changed;
    };
    table.OnResetChanged = [](TGridTable&, int, int, RowObject* data) {
        static_cast<Marker*>(data)->changed = false;
    };
    table.OnGetButtonCaption = [](TGridTable&, int, int row, RowObject*, std::string& caption) {
        caption = "Pile " + std::to_string(row);
    };
    int clicked = -1;
    table.OnButtonClick = [&clicked](TGridTable&, int, int row, RowObject*) { clicked = row; };
    auto marker = [&](int row) { return static_cast<Marker*>(table.Column(0).GetObject(row)); };

    table.SetRowCount(2);
    auto* second = marker(1);
    table.InsertGroup(0);
    EXPECT_EQ(marker(2), second);
    EXPECT_EQ(second->row, 2);
    EXPECT_EQ(table.Text(0, 2), "3: Pile 2");
    dynamic_cast<TTableColumn&>(table.Column(0)).ButtonPressed(1);
    EXPECT_EQ(clicked, 1);

    second->changed = true;
    EXPECT_TRUE(table.IsChanged());
    table.ResetChanged();
    EXPECT_FALSE(second->changed);

    // A failing OnSetRow frees the new object and undoes the insertion.
    table.OnSetRow = [](TGridTable&, int, RowObject*, int) { throw std::runtime_error("refused"); };
    EXPECT_THROW(table.AppendGroup(), std::runtime_error);
    EXPECT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.Column(0).RowCount(), 3);
}

TEST(TableColumns, TemplatesThatContainThemselvesAreRefused) {
    TGridTable table;
    table.SetIdentifier(77);
    ReadColumns(table, "2 " + FloatColumn("Depth") + "3 ('Self') True False 'FLEXCOLUMN2' (77)");
    EXPECT_THROW(table.SetRowCount(1), ETableError);
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_EQ(table.Column(0).RowCount(), 0);

    TGridTable a, b; // a's rows copy b, whose rows copy a
    a.SetIdentifier(78);
    b.SetIdentifier(79);
    ReadColumns(a, "1 3 ('B') True False 'FLEXCOLUMN2' (79)");
    ReadColumns(b, "1 3 ('A') True False 'FLEXCOLUMN2' (78)");
    EXPECT_THROW(a.SetRowCount(1), ETableError);
    EXPECT_EQ(a.RowCount(), 0);
}

TEST_F(LayerTables, EditorsFollowTheirTableAndCloseWithTheirOwner) {
    FakeEditors editors(PlainTables());
    TGridTable noColumns;
    EXPECT_FALSE(noColumns.ShowEditor());

    layers.SetRowCount(3);
    TGridTable* third = Layer(2);
    ASSERT_TRUE(third->ShowEditor());
    layers.InsertGroup(0);
    EXPECT_EQ(editors.log.captions.back(), "Clay Layer Data  4");
    ASSERT_TRUE(layers.ShowEditor());
    dynamic_cast<TTableColumn&>(layers.Column(2)).ButtonPressed(3); // shows the open editor again
    layers.CloseEditor();
    EXPECT_FALSE(layers.EditorOpen());
    EXPECT_FALSE(third->EditorOpen());
    EXPECT_EQ(editors.log.destroyed, 2);

    ASSERT_TRUE(layers.ShowEditor(true));
    EXPECT_TRUE(editors.log.lastModal);
    EXPECT_FALSE(layers.EditorOpen()); // a modal editor has closed when Show returns
}

class RecordingHost : public RowControlHost {
public:
    void AttachRowControls(TColumn& column, int firstRow, int count) override {
        log.push_back("attach " + std::to_string(column.Index()) + " " + std::to_string(firstRow) + " " +
                      std::to_string(count));
    }
    void DetachRowControls(TColumn& column) override {
        log.push_back("detach " + std::to_string(column.Index()));
    }
    void RowControlChanged(TColumn& column, int row) override {
        log.push_back("changed " + std::to_string(column.Index()) + " " + std::to_string(row));
    }
    std::vector<std::string> log;
};

TEST_F(LayerTables, RowControlsAreCheckedAndKeptInStep) {
    layers.SetRowCount(3);
    auto& soil = dynamic_cast<TEnumColumn&>(layers.Column(0));
    RecordingHost host, other;
    ExpectError<ETableError>([&] { soil.AttachControls(nullptr, 0, 1); }, "null parent");
    ExpectError<ETableError>([&] { soil.AttachControls(&host, 0, 4); }, "ACount 4");
    ExpectError<ETableError>([&] { soil.AttachControls(&host, 5, 0); }, "ATopRow 5");

    soil.AttachControls(&host, 1, 2);
    layers.Column(2).AttachControls(&host, 1, 2);
    ExpectError<ETableError>([&] { soil.AttachControls(&other, 0, 1); },
                             "Attempt to change parent with controls already allocated");
    ExpectError<ETableError>([&] { layers.Column(2).AttachControls(&other, 0, 1); },
                             "Error attempt to change parent with controls already allocated");
    ExpectError<ETableError>([&] { soil.ItemChosen(0, 2); }, "Unexpected row for combobox");

    soil.ItemChosen(1, 2);
    EXPECT_EQ(Layer(1)->Caption(), "Sand Layer Data");
    soil.DetachControls();
    layers.Column(2).DetachControls();
    EXPECT_EQ(host.log, (std::vector<std::string>{"attach 0 1 2", "attach 2 1 2", "changed 0 1",
                                                  "changed 2 1", "detach 0", "detach 2"}));
    EXPECT_FALSE(soil.ControlsAttached());

    TextMetrics metrics{96, [](const std::string& text) { return static_cast<int>(7 * text.size()); }};
    EXPECT_EQ(soil.Width(metrics), 144);                // 1.5 inches beat "Soil Type  "
    EXPECT_EQ(layers.Column(1).Width(metrics), 7 * 15); // "Bottom (in)  " and two blanks
}

} // namespace
} // namespace pavrin::controls
