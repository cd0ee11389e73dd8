// The project model: a new project after an SI one, switching the unit
// system, and the modified state of the project and its tables. (The values
// of a new project are checked by the file it saves, in ProjectFileTest.)
#include "AppTestSupport.h"
#include "Evaluator.h"

#include <algorithm>
#include <iterator>

namespace pavrin::app {
namespace {

using testing::ProjectTest;
using testing::ReadText;
using testing::SetColumn;

using ProjectModel = ProjectTest;

TEST_F(ProjectModel, NewProjectAfterAnSiProjectIsEnglishWithMinimumRows) {
    auto earlier = TProgramData::CreateNew(tables);
    earlier->SetUnits(2);
    SetColumn(tables.TblTipMove(), col::kValue, {1, 2, 3, 4});
    tables.D2().SetRowCount(4);
    tables.D2().Column(col::kSoilType).SetInteger(0, kSandApi);
    tables.TblAE2().SetChanged(true);

    auto p = TProgramData::CreateNew(tables);
    EXPECT_FALSE(tables.IsModified());
    for (TGridTable* table : tables.AllTables()) {
        SCOPED_TRACE(table->Caption());
        EXPECT_EQ(table->Units(), 1);
        EXPECT_EQ(table->RowCount(), table->MinRows());
    }
    EXPECT_EQ(tables.SoilTypeOf(0), kClayDriven);
    EXPECT_EQ(tables.LayerData(0)->Caption(), "Clay Layer Data");
    EXPECT_FALSE(tables.LayerData(0)->Column(col::kPhi).Visible()); // a clay shows no friction angle
    EXPECT_EQ(tables.TblTipMove().Float(col::kValue, 1), 0);
    EXPECT_EQ(tables.TzCurve(1)->RowCount(), 2);
}

TEST_F(ProjectModel, SwitchingUnitsScalesLengthsAndAreasOnly) {
    auto p = TProgramData::CreateNew(tables);
    p->PileLength = 1200;
    p->TipArea = 144;
    p->QMultiplier = 0.9L;
    p->Increments = 100;
    p->SetUnits(2);
    EXPECT_NEAR(static_cast<double>(p->PileLength), 30.48, 1e-14);
    EXPECT_NEAR(static_cast<double>(p->TipArea), 0.09290304, 1e-16);
    EXPECT_NEAR(static_cast<double>(p->Tolerance), 2.54e-7, 1e-21);
    EXPECT_EQ(p->QMultiplier, 0.9L);
    EXPECT_EQ(p->Increments, 100);

    // Back to English: the starting values up to the last digits, exactly as the file has them.
    p->SetUnits(1);
    EXPECT_NEAR(static_cast<double>(p->PileLength), 1200, 1200 * 1e-11);
    EXPECT_EQ(FormatNumber(p->PileLength), "1200");
    EXPECT_EQ(FormatNumber(p->TipArea), "144");
    EXPECT_EQ(FormatNumber(p->Tolerance), "1E-5");

    // The system in force, or a choice clamped to it, changes nothing.
    p->SetUnits(0);
    EXPECT_EQ(p->Units, 1);
    const long double inches = p->PileLength;
    p->SetUnits(1);
    EXPECT_EQ(p->PileLength, inches);
    p->SetUnits(7);
    EXPECT_EQ(p->Units, 2);
}

TEST_F(ProjectModel, TableColumnsConvertByTheirTemplates) {
    auto p = TProgramData::CreateNew(tables);
    tables.D2().SetRowCount(2);
    tables.D2().Column(col::kSoilType).SetInteger(1, kSandDriven);
    SetColumn(tables.D2(), col::kLayerBottom, {120, 240});
    TGridTable& sand = *tables.LayerData(1);
    sand.Column(col::kPhi).SetFloat(0, 34);
    sand.Column(col::kFs).SetFloat(0, 14.503774L); // lb/in^2
    SetColumn(*tables.TzCurve(0), col::kT, {0, 1.45037738L});
    SetColumn(tables.TblAE2(), col::kAe, {224808.9237L, 224808.9237L});
    SetColumn(tables.TblPVFactors2(), col::kTMultiplier, {0.8L, 0.9L});

    p->SetUnits(2);
    EXPECT_NEAR(static_cast<double>(tables.D2().Float(col::kLayerBottom, 0)), 3.048, 1e-10);
    EXPECT_EQ(sand.Float(col::kPhi, 0), 34);
    EXPECT_NEAR(static_cast<double>(sand.Float(col::kFs, 0)), 100, 1e-4);
    EXPECT_NEAR(static_cast<double>(tables.TzCurve(0)->Float(col::kT, 1)), 10, 1e-5);
    EXPECT_NEAR(static_cast<double>(tables.TblAE2().Float(col::kAe, 0)), 1000, 1e-9);
    EXPECT_EQ(tables.TblPVFactors2().Float(col::kTMultiplier, 0), 0.8L);
    // The templates switch too, so a layer added now is an SI one.
    tables.D2().SetRowCount(3);
    EXPECT_EQ(tables.LayerData(2)->Units(), 2);

    p->SetUnits(1);
    EXPECT_NEAR(static_cast<double>(tables.D2().Float(col::kLayerBottom, 1)), 240, 1e-10);
    EXPECT_NEAR(static_cast<double>(sand.Float(col::kFs, 0)), 14.503774, 1e-12);
}

// English -> SI -> English, again and again, gives back every typed value as
// the fields show it (18 significant digits), in the scalars and in every
// table column with units.
TEST_F(ProjectModel, UnitRoundTripsGiveBackTheTypedValues) {
    const long double typed[] = {600,         0.1L,         1e-5L,      12.75L, 113.1L, 3e8L,
                                 0.0254L,     39.37007874L, 1.2345678L, 0.07L,  144,    1e-9L,
                                 98765.4321L, 2.54e-7L,     0.000123L,  7.3L,   1e12L,  31.25L};
    auto p = TProgramData::CreateNew(tables);
    tables.D2().SetRowCount(3);
    std::vector<std::pair<controls::TColumn*, int>> cells;
    std::vector<TGridTable*> all = tables.AllTables();
    for (int k = 0; k < 3; ++k)
        all.push_back(tables.LayerData(k));
    all.push_back(tables.TzCurve(0));
    for (TGridTable* table : all) {
        if (table->RowCount() < 4)
            table->SetRowCount(std::min(table->MaxRows(), 4));
        for (int c = 0; c < table->ColumnCount(); ++c)
            if (auto* column = dynamic_cast<controls::TFloatColumn*>(&table->Column(c));
                column && !column->UnitsTemplate().empty())
                for (int r = 0; r < table->RowCount(); ++r)
                    cells.emplace_back(column, r);
    }
    ASSERT_GT(cells.size(), 40u);
    const std::size_t n = std::size(typed);
    for (std::size_t i = 0; i < cells.size(); ++i)
        cells[i].first->SetFloat(cells[i].second, typed[i % n]);

    for (std::size_t k = 0; k < n; ++k) {
        SCOPED_TRACE(controls::FormatIntermediate(typed[k]));
        p->PileLength = p->OuterDiameter = p->Tolerance = p->TipArea = typed[k];
        for (int trip = 1; trip <= 5; ++trip) {
            p->SetUnits(2);
            p->SetUnits(1);
        }
        for (long double v : {p->PileLength, p->OuterDiameter, p->Tolerance, p->TipArea})
            EXPECT_EQ(controls::FormatIntermediate(v), controls::FormatIntermediate(typed[k]));
    }
    // The tables made 5 x 18 round trips meanwhile.
    for (std::size_t i = 0; i < cells.size(); ++i)
        EXPECT_EQ(controls::FormatIntermediate(cells[i].first->GetFloat(cells[i].second)),
                  controls::FormatIntermediate(typed[i % n]))
            << cells[i].first->Table().Caption() << " column " << cells[i].first->Index() << " row "
            << cells[i].second;
}

// The example projects, switched to the other unit system and back three times, save as they were.
TEST_F(ProjectModel, UnitRoundTripsLeaveTheSavedFileUnchanged) {
    for (const char* name :
         {"driven-pile-clay-sand.pv3d", "drilled-shaft-si.pv3d", "user-curves-downdrag.pv3d"}) {
        SCOPED_TRACE(name);
        const std::string original = ReadText(std::string(PAVRIN_EXAMPLES) + "/" + name);
        std::string error;
        auto project = ReadProjectText(original, error);
        ASSERT_EQ(error, "");
        const int units = project->Units;
        for (int trip = 0; trip < 3; ++trip) {
            project->SetUnits(3 - units);
            project->SetUnits(units);
        }
        EXPECT_EQ(ProjectFileText(*project), original);
    }
}

TEST_F(ProjectModel, ModifiedState) {
    auto p = TProgramData::CreateNew(tables);
    p->SetUnits(2); // switching units and options does not mark the project
    p->ApplySideFactors = 1;
    EXPECT_FALSE(tables.IsModified());

    tables.TzCurve(1)->SetChanged(true); // an edit deep in a sub-table counts
    EXPECT_TRUE(tables.IsModified());
    tables.SetModified(false);
    EXPECT_FALSE(tables.IsModified() || tables.TzCurve(1)->IsChanged());

    tables.SetModified(true);
    tables.TblTopload().SetChanged(true);
    p->FileName = folder.File("saved.pv3d");
    p->SaveToFile();
    EXPECT_FALSE(tables.IsModified() || tables.TblTopload().IsChanged());
}

TEST_F(ProjectModel, TablesTakeTheirTemplatesBackFromANewerSet) {
    {
        TProjectTables other; // takes the template identifiers over while it lives
        auto p = TProgramData::CreateNew(other);
    }
    auto p = TProgramData::CreateNew(tables);
    tables.D2().SetRowCount(3);
    tables.TblPVDepth2().SetRowCount(4);
    EXPECT_NE(tables.LayerData(2), nullptr);
    EXPECT_NE(tables.TzCurve(3), nullptr);
}

} // namespace
} // namespace pavrin::app
