// The project file: the writer's number formats and layout, save and open
// giving back the project, the example projects written back unchanged, and
// what reading a bad file reports and keeps.
#include "AppTestSupport.h"
#include "DecimalSeparator.h"

#include <clocale>
#include <cmath>
#include <map>

namespace pavrin::app {
namespace {

using testing::CrLf;
using testing::ProjectTest;
using testing::ReadText;
using testing::SetColumn;
using testing::WriteText;

TEST(ProjectNumberFormat, GeneralNumbersAndLayerDepths) {
    // clang-format off
    const std::pair<long double, const char*> general[] = {
        {1200, "1200"},         {0.5L, "0.5"},        {12.345678L, "12.345678"}, {0.0001L, "0.0001"},
        {1e-5L, "1E-5"},        {2.5e-7L, "2.5E-7"},  {1.23456789e10L, "1.2345679E10"},
        {-0.0L, "0"},           {-3.25L, "-3.25"},    {123456789, "1.2345679E8"}, {1.0L / 3, "0.33333333"},
        {99999999.7L, "1E8"}};
    // clang-format on
    for (const auto& [value, text] : general)
        EXPECT_EQ(FormatNumber(value), text) << static_cast<double>(value);
    EXPECT_EQ(FormatLayerDepth(120), " 1.20000000000000E+0002");
    EXPECT_EQ(FormatLayerDepth(-0.0L), " 0.00000000000000E+0000");
    EXPECT_EQ(FormatLayerDepth(-0.5L), "-5.00000000000000E-0001");
    EXPECT_EQ(FormatLayerDepth(1.0L / 3), " 3.33333333333333E-0001");
    EXPECT_EQ(FormatLayerDepth(1e-300L), " 1.00000000000000E-0300");
    // Not finite: no reader could take it back.
    EXPECT_THROW(FormatNumber(INFINITY), EProjectSaveError);
    EXPECT_THROW(FormatLayerDepth(NAN), EProjectSaveError);

    // "." whatever the user's separator and the C library's locale.
    controls::DecimalSeparatorScope comma(',');
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // where installed
    EXPECT_EQ(FormatNumber(2.5L) + FormatLayerDepth(2.5L), "2.5 2.50000000000000E+0000");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

using ProjectWriter = ProjectTest;

TEST_F(ProjectWriter, NewProjectSavedAtOnce) {
    auto project = TProgramData::CreateNew(tables);
    project->FileName = folder.File("new.pv3d");
    project->SaveToFile();
    EXPECT_EQ(
        ReadText(project->FileName),
        CrLf({"New Pile", "50 0 1", "2 ", "1", "1 1 0.0  0.00000000000000E+0000", "0 0 0.0  0 0 0",
              "0 0 0.0  0 0 0", "2", "0 0", "0 0", "1E-5 0 0 0", "2", "0", "0", " 0", " 0", " 0", " 0"}));
    EXPECT_EQ(project->GwiFileName, folder.File("new.gwi"));
    EXPECT_TRUE(testing::fs::exists(project->GwiFileName));
    EXPECT_EQ(testing::fs::file_size(project->GwiFileName), 0U);
}

TEST_F(ProjectWriter, UserCurvesAndBothOptionBlocks) {
    auto project = TProgramData::CreateNew(tables);
    project->FileName = folder.File("user.pv3d");
    project->Title = "User curves";
    project->Increments = 60;
    project->CurvesGenerated = false;
    SetColumn(tables.TblPVDepth2(), col::kCurveDepth, {0, 120});
    SetColumn(*tables.TzCurve(0), col::kT, {0, 0.5L, 1});
    SetColumn(*tables.TzCurve(0), col::kZ, {0, 0.02L, 0.1L});
    SetColumn(*tables.TzCurve(1), col::kT, {0, 1.5L});
    SetColumn(*tables.TzCurve(1), col::kZ, {0, 0.1L});
    SetColumn(tables.TblAE2(), col::kAeDepth, {0, 720});
    SetColumn(tables.TblAE2(), col::kAe, {1.0053096e9L, 1.0053096e9L});
    SetColumn(tables.TblQwcurve2(), col::kQ, {0, 60000});
    SetColumn(tables.TblQwcurve2(), col::kW, {0, 1});
    project->PileLength = 720;
    project->OuterDiameter = 16;
    project->TipArea = 201.06193L;
    SetColumn(tables.TblTipMove(), col::kValue, {0.1L, 0.5L});
    project->AssignHeadLoads = 1;
    SetColumn(tables.TblTopload(), col::kValue, {50000});
    project->IncludeDowndrag = 1;
    SetColumn(tables.TblSettlement2(), col::kSettlementDepth, {0, 240});
    SetColumn(tables.TblSettlement2(), col::kSettlement, {2, 0.5L});
    project->ApplySideFactors = 1;
    SetColumn(tables.TblPVFactors2(), col::kFactorDepth, {0, 240, 720});
    SetColumn(tables.TblPVFactors2(), col::kTMultiplier, {1, 0.8L, 1});
    SetColumn(tables.TblPVFactors2(), col::kZMultiplier, {1, 1, 1.2L});
    project->ApplyQwFactors = 1;
    project->QMultiplier = 0.9L;
    project->WMultiplier = 1.1L;
    project->SaveToFile();

    EXPECT_EQ(project->CurveMode, 1);
    EXPECT_EQ(ReadText(project->FileName), CrLf({"User curves",
                                                 "60 0 1",
                                                 "1 ",
                                                 "2",
                                                 "1 0 3",
                                                 "0 0",
                                                 "0.5 0.02",
                                                 "1 0.1",
                                                 "2 120 2",
                                                 "0 0",
                                                 "1.5 0.1",
                                                 "2",
                                                 "1.0053096E9 0",
                                                 "1.0053096E9 720",
                                                 "2",
                                                 "0 0",
                                                 "60000 1",
                                                 "1E-5 720 16 201.06193",
                                                 "2",
                                                 "0.1",
                                                 "0.5",
                                                 "1",
                                                 "50000",
                                                 "2",
                                                 "0 2",
                                                 "240 0.5",
                                                 " 1",
                                                 "3",
                                                 "0 1 1",
                                                 "240 0.8 1",
                                                 "720 1 1.2",
                                                 " 1",
                                                 "0.9 1.1"}));

    // Back to generated curves: the user tables stay in memory but are not written.
    project->CurvesGenerated = true;
    project->SaveToFile();
    EXPECT_EQ(project->CurveMode, 2);
    EXPECT_TRUE(ReadText(project->FileName).starts_with(CrLf({"User curves", "60 0 1", "2 ", "1"})));
    EXPECT_EQ(tables.TblPVDepth2().RowCount(), 2);
    EXPECT_EQ(tables.TzCurve(0)->Float(col::kT, 1), 0.5L);
}

TEST_F(ProjectWriter, SoilLayersWithTheirDepthsAndData) {
    auto project = TProgramData::CreateNew(tables);
    project->FileName = folder.File("layers.pv3d");
    project->Title = "Layers\r\nand data"; // a title stays one line of the file
    TGridTable& layers = tables.D2();
    layers.SetRowCount(3);
    const int codes[] = {kClayDriven, kSandDrilled, kClayApi};
    for (int k = 0; k < 3; ++k)
        layers.Column(col::kSoilType).SetInteger(k, codes[k]);
    SetColumn(layers, col::kLayerBottom, {180, 420.5L, 720});
    for (int k = 0; k < 3; ++k) {
        TGridTable& data = *tables.LayerData(k);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c <= col::kQt; ++c)
                data.Column(c).SetFloat(r, (k + 1) * 100 + r * 10 + c); // 1rc: layer, row, column
    }
    project->SaveToFile();
    const std::string text = ReadText(project->FileName);
    EXPECT_TRUE(text.starts_with("Layers  and data\r\n"));
    EXPECT_NE(text.find(CrLf({"2 ", "3", "1 1 0.0  1.80000000000000E+0002",
                              "2 4  1.80000000000000E+0002  4.20500000000000E+0002",
                              "3 5  4.20500000000000E+0002  7.20000000000000E+0002",
                              // clay: gamma, cu, 0.0, e50, fs, qt; sand: gamma, 0.0, phi, N, fs, qt
                              "100 101 0.0  102 105 106", "110 111 0.0  112 115 116",
                              "200 0.0  203 204 205 206", "210 0.0  213 214 215 216",
                              "300 301 0.0  302 305 306", "310 311 0.0  312 315 316", "2"})),
              std::string::npos)
        << text;
    EXPECT_EQ(tables.LayerData(2)->RowNumber(), 3);
}

// Every scalar and every cell of the project's tables, by name.
using Values = std::map<std::string, long double>;

void AddTable(Values& values, const std::string& name, const TGridTable& table) {
    values[name + ".rows"] = table.RowCount();
    for (int c = 0; c < table.ColumnCount(); ++c)
        for (int r = 0; r < table.RowCount(); ++r) {
            const std::string cell = name + "[" + std::to_string(c) + "," + std::to_string(r) + "]";
            if (TGridTable* sub = dynamic_cast<const controls::TTableColumn*>(&table.Column(c))
                                      ? table.Column(c).GetTable(r)
                                      : nullptr)
                AddTable(values, cell, *sub);
            else if (dynamic_cast<const controls::TEnumColumn*>(&table.Column(c)))
                values[cell] = table.Integer(c, r);
            else
                values[cell] = table.Float(c, r);
        }
}

Values Snapshot(const TProgramData& p) {
    // clang-format off
    Values v = {{"Units", p.Units}, {"QMultiplier", p.QMultiplier}, {"WMultiplier", p.WMultiplier},
                {"OuterDiameter", p.OuterDiameter}, {"PileLength", p.PileLength}, {"TipArea", p.TipArea},
                {"Tolerance", p.Tolerance}, {"Increments", p.Increments}, {"OutputDetail", p.OutputDetail},
                {"CurveMode", p.CurveMode}, {"IncludeDowndrag", p.IncludeDowndrag},
                {"SpecifyTipMovements", p.SpecifyTipMovements}, {"AssignHeadLoads", p.AssignHeadLoads},
                {"CurvesGenerated", p.CurvesGenerated}, {"ApplySideFactors", p.ApplySideFactors},
                {"ApplyQwFactors", p.ApplyQwFactors}};
    // clang-format on
    const char* names[] = {"D2",         "TblPVDepth2", "TblQwcurve2",    "TblAE2",
                           "TblTipMove", "TblTopload",  "TblSettlement2", "TblPVFactors2"};
    const auto tables = p.Tables().ProjectTables();
    for (std::size_t i = 0; i < tables.size(); ++i)
        AddTable(v, names[i], *tables[i]);
    return v;
}

// What a value becomes in the file: 8 significant digits, 15 for the depths of soil layers.
long double AsWritten(const std::string& name, long double value) {
    return std::stold(name.starts_with("D2[1,") ? FormatLayerDepth(value) : FormatNumber(value));
}

// Fills every table with values of more than 8 significant digits.
void FillTables(TProjectTables& tables) {
    long double next = 1.0L / 7;
    auto fill = [&](TGridTable& table, int rows, std::initializer_list<int> columns) {
        table.SetRowCount(rows);
        for (int r = 0; r < rows; ++r)
            for (int c : columns) {
                table.Column(c).SetFloat(r, next);
                next = next * 1.37L + 0.123456789L;
            }
    };
    fill(tables.D2(), 3, {col::kLayerBottom});
    tables.D2().Column(col::kSoilType).SetInteger(1, kSandApi);
    for (int k = 0; k < 3; ++k) {
        const bool clay = IsClay(tables.SoilTypeOf(k));
        fill(*tables.LayerData(k), 2,
             clay ? std::initializer_list<int>{col::kGamma, col::kCu, col::kE50, col::kFs, col::kQt}
                  : std::initializer_list<int>{col::kGamma, col::kPhi, col::kN, col::kFs, col::kQt});
    }
    fill(tables.TblPVDepth2(), 3, {col::kCurveDepth});
    for (int k = 0; k < 3; ++k)
        fill(*tables.TzCurve(k), 4 + k, {col::kT, col::kZ});
    fill(tables.TblQwcurve2(), 5, {col::kQ, col::kW});
    fill(tables.TblAE2(), 4, {col::kAeDepth, col::kAe});
    fill(tables.TblTipMove(), 6, {col::kValue});
    fill(tables.TblTopload(), 3, {col::kValue});
    fill(tables.TblSettlement2(), 4, {col::kSettlementDepth, col::kSettlement});
    fill(tables.TblPVFactors2(), 3, {col::kFactorDepth, col::kTMultiplier, col::kZMultiplier});
}

void SetEveryOption(TProgramData& p) {
    p.Title = "Round trip, every option";
    p.DesignerName = "A. Designer";
    p.DesignDate = "08/01/14";
    p.SetUnits(2);
    p.Increments = 123;
    p.OutputDetail = 1;
    p.PileLength = 21.123456789L;
    p.OuterDiameter = 0.61234567891L;
    p.TipArea = 0.29452431127L;
    p.Tolerance = 2.5e-7L;
    p.QMultiplier = 0.912345678912L;
    p.WMultiplier = 1.15L;
    p.IncludeDowndrag = p.AssignHeadLoads = p.ApplySideFactors = p.ApplyQwFactors = 1;
}

TEST_F(ProjectWriter, SaveThenOpenGivesBackEveryWrittenValue) {
    for (const bool generated : {true, false}) {
        SCOPED_TRACE(generated ? "generated curves" : "user curves");
        auto project = TProgramData::CreateNew(tables);
        project->FileName = folder.File("trip.pv3d");
        SetEveryOption(*project);
        project->CurvesGenerated = generated;
        FillTables(tables);
        project->SaveToFile();
        const Values before = Snapshot(*project);

        std::string error;
        auto read = TProgramData::CreateFromFile(tables, project->FileName, true, error);
        EXPECT_EQ(error, "");
        EXPECT_EQ(read->Title, project->Title);
        EXPECT_EQ(read->DesignerName, "");
        EXPECT_EQ(read->DesignDate, "");
        EXPECT_FALSE(tables.IsModified());
        const Values after = Snapshot(*read);
        for (const auto& [name, value] : before) {
            // The user-curve tables are written only with user curves, the layers only with generated ones.
            const bool layers = name.starts_with("D2");
            const bool userCurves = name.starts_with("TblPVDepth2") || name.starts_with("TblQwcurve2");
            if ((layers && !generated) || (userCurves && generated))
                continue;
            ASSERT_TRUE(after.contains(name)) << name;
            EXPECT_EQ(after.at(name), AsWritten(name, value)) << name;
        }
    }
}

TEST_F(ProjectWriter, SwitchedOffTablesComeBackAtTheirMinimumRows) {
    auto project = TProgramData::CreateNew(tables);
    project->FileName = folder.File("off.pv3d");
    FillTables(tables);
    project->SpecifyTipMovements = 0;
    project->QMultiplier = 3; // not written while the Q-w factors are off
    project->SaveToFile();

    std::string error;
    auto read = TProgramData::CreateFromFile(tables, project->FileName, true, error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(read->SpecifyTipMovements + read->AssignHeadLoads + read->IncludeDowndrag +
                  read->ApplySideFactors + read->ApplyQwFactors,
              0);
    EXPECT_EQ(read->QMultiplier, 0);
    for (TGridTable* table : std::initializer_list<TGridTable*>{
             &tables.TblPVDepth2(), &tables.TblQwcurve2(), &tables.TblTipMove(), &tables.TblTopload(),
             &tables.TblSettlement2(), &tables.TblPVFactors2()}) {
        SCOPED_TRACE(table->Caption());
        EXPECT_EQ(table->RowCount(), table->MinRows());
        for (int r = 0; r < table->RowCount(); ++r)
            EXPECT_EQ(table->Float(0, r), 0);
    }
    EXPECT_EQ(tables.TzCurve(1)->RowCount(), 2);
}

TEST_F(ProjectWriter, ExampleProjectsAreWrittenBackUnchanged) {
    for (const char* name :
         {"driven-pile-clay-sand.pv3d", "drilled-shaft-si.pv3d", "user-curves-downdrag.pv3d"}) {
        SCOPED_TRACE(name);
        const std::string original = ReadText(std::string(PAVRIN_EXAMPLES) + "/" + name);
        std::string error;
        auto project = ReadProjectText(original, error);
        ASSERT_EQ(error, "");
        project->FileName = folder.File(name);
        project->SaveToFile();
        EXPECT_EQ(ReadText(project->FileName), original);
    }
}

// ---- Reading ----

using ProjectReader = ProjectTest;

const std::string kOldFormat = std::string(PAVRIN_TEST_DATA) + "/old-format.pvd";

TEST_F(ProjectReader, OlderFormatFiles) {
    std::string error;
    auto old = TProgramData::CreateFromFile(tables, kOldFormat, false, error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(old->SpecifyTipMovements, 0); // a tip-movement count of 0: the option off, two rows
    EXPECT_EQ(tables.TblTipMove().RowCount(), 2);
    EXPECT_EQ(tables.TblTopload().Float(0, 0), 50000);

    // Read as the current format it ends early, and keeps everything before.
    auto current = TProgramData::CreateFromFile(tables, kOldFormat, true, error);
    EXPECT_EQ(error, "This file either invalid or incomplete.");
    EXPECT_EQ(current->ReadError, error);
    EXPECT_EQ(current->FileName, kOldFormat);
    EXPECT_EQ(current->PileLength, 600);
    EXPECT_EQ(tables.TblTopload().Float(0, 0), 50000);
    EXPECT_EQ(tables.LayerData(0)->Float(col::kCu, 1), 10);
}

TEST_F(ProjectReader, ErrorsNameTheLineAndItem) {
    const std::string head = CrLf({"Title", "50 0 1", "2 ", "1", "1 1 0.0  6.00000000000000E+0002"});
    std::string error;
    ReadProjectText(CrLf({"Title", "50.5 0 1"}), error);
    EXPECT_EQ(error, "Error on Line 2 Item 1\nAn integer was expected but not found.");
    ReadProjectText(head + CrLf({"0.03 5 0.0  x 4 0"}), error);
    EXPECT_EQ(error, "Error on Line 6 Item 4\nA floating point number was expected but not found.");
    ReadProjectText(head + CrLf({"0.03 5 0.0  0,02 4 0"}), error);
    EXPECT_EQ(error, "Error on Line 6 Item 4\nA floating point number was expected but not found.");
    ReadProjectText("", error);
    EXPECT_EQ(error, "This file either invalid or incomplete.");
}

TEST_F(ProjectReader, TheProjectKeepsWhatWasRead) {
    std::string error;
    auto project = ReadProjectText(
        CrLf({"Cut short", "40 1 2", "2 ", "1", "1 4 0.0  1.00000000000000E+0001", "9.5 0.0  34 20 55 2900",
              "10 0.0  36 35 110 2900", "3", "23561945 0", "23561945 10", "x"}),
        error);
    EXPECT_EQ(error, "Error on Line 11 Item 1\nA floating point number was expected but not found.");
    EXPECT_EQ(project->Title, "Cut short");
    EXPECT_EQ(project->OutputDetail, 1);
    EXPECT_EQ(tables.TblAE2().Units(), 2);
    EXPECT_EQ(tables.SoilTypeOf(0), kSandDrilled);
    EXPECT_EQ(tables.LayerData(0)->Float(col::kPhi, 1), 36);
    ASSERT_EQ(tables.TblAE2().RowCount(), 3);
    EXPECT_EQ(tables.TblAE2().Float(col::kAeDepth, 1), 10);
    // Every table at least at its minimum rows; the rest of the project as new.
    EXPECT_EQ(tables.TblTipMove().RowCount(), 2);
    EXPECT_EQ(tables.TblPVDepth2().RowCount(), 2);
    EXPECT_FALSE(tables.IsModified());

    auto missing = TProgramData::CreateFromFile(tables, folder.File("missing.pv3d"), true, error);
    EXPECT_NE(error.find("missing.pv3d"), std::string::npos) << error;
    EXPECT_EQ(missing->FileName, folder.File("missing.pv3d"));
    EXPECT_EQ(tables.D2().RowCount(), 1);
}

TEST_F(ProjectReader, ValuesBeyondTheTablesAreRefused) {
    const std::string head = CrLf({"T", "50 0 1"});
    const std::string oneLayer = CrLf({"2 ", "1", "1 1 0.0  1.00000000000000E+0001", "1 2 0 3 4 5",
                                       "1 2 0 3 4 5", "2", "1 0", "1 10", "1E-5 10 1 1"});
    const std::pair<std::string, std::string> cases[] = {
        {CrLf({"2 ", "2000000000"}),
         "The file gives 2000000000 rows for the table \"Soil Layers\", which takes 0 to 30 rows."},
        {CrLf({"2 ", "1", "1 7 0.0  1.00000000000000E+0001"}),
         "The soil type 7 of layer 1 is not one of the soil types 1 to 6."},
        {CrLf({"1 ", "2", "1 0 101"}),
         "The file gives 101 rows for the table \"t-z curve\", which takes 0 to 100 rows."},
        {oneLayer + CrLf({"-1"}),
         "The file gives -1 rows for the table \"Tip Movements\", which takes 0 to 100 rows."},
        {oneLayer + CrLf({"0", "0", "0", "1", "2147483647"}),
         "The file gives 2147483647 rows for the table \"Modification Factors on t-z Curves\", which takes 0 "
         "to 50 rows."},
    };
    for (const auto& [body, message] : cases) {
        std::string error;
        auto project = ReadProjectText(head + body, error);
        EXPECT_EQ(error, message);
        for (TGridTable* table : tables.ProjectTables())
            EXPECT_LE(table->RowCount(), table->MaxRows());
    }
}

TEST_F(ProjectReader, SwitchesAndCurveSourcesAreReadAsTheEngineReadsThem) {
    const std::string layer = CrLf({"1", "1 1 0.0  1.00000000000000E+0001", "1 2 0 3 4 5", "1 2 0 3 4 5", "2",
                                    "1 0", "1 10", "1E-5 10 1 1", "0", "0", "0"});
    std::string error;
    // Any curve source other than 1 means generated curves; any positive switch means on.
    auto project = ReadProjectText(
        CrLf({"T", "50 0 1", "3 "}) + layer + CrLf({"2", "2", "0 1 1", "10 1 1", "7", "0.5 2"}), error);
    EXPECT_EQ(error, "");
    EXPECT_TRUE(project->CurveMode == 2 && project->CurvesGenerated);
    EXPECT_TRUE(project->ApplySideFactors == 1 && project->ApplyQwFactors == 1);
    EXPECT_EQ(project->WMultiplier, 2);

    project =
        ReadProjectText(CrLf({"T", "50 0 1", "2"}) + layer + CrLf({"-1", "-2", "trailing words"}), error);
    EXPECT_EQ(error, "");
    const std::string text = ProjectFileText(*project);
    EXPECT_EQ(text.substr(text.size() - 12), " 0\r\n 0\r\n 0\r\n");
}

} // namespace
} // namespace pavrin::app

namespace pavrin::app {
namespace {

// The widest project the writer makes (every table at its capacity, every
// number as wide as the format writes it) is far below the reader's limit and
// reads back; a longer file is refused before it is read.
TEST_F(ProjectReader, FilesLongerThanAnyProjectAreRefusedUnread) {
    auto project = TProgramData::CreateNew(tables);
    project->CurvesGenerated = false;
    project->SpecifyTipMovements = project->AssignHeadLoads = project->IncludeDowndrag = 1;
    project->ApplySideFactors = project->ApplyQwFactors = 1;
    project->Title = std::string(80, 'T');
    const long double widest = -1.2345678e-4000L;
    auto fill = [&](TGridTable& table) {
        table.SetRowCount(table.MaxRows());
        for (int c = 0; c < table.ColumnCount(); ++c)
            if (dynamic_cast<const controls::TFloatColumn*>(&table.Column(c)))
                for (int r = 0; r < table.RowCount(); ++r)
                    table.Column(c).SetFloat(r, widest);
    };
    fill(tables.TblPVDepth2());
    for (int k = 0; k < tables.TblPVDepth2().RowCount(); ++k)
        fill(*tables.TzCurve(k));
    for (TGridTable* table : std::initializer_list<TGridTable*>{
             &tables.TblAE2(), &tables.TblQwcurve2(), &tables.TblTipMove(), &tables.TblTopload(),
             &tables.TblSettlement2(), &tables.TblPVFactors2()})
        fill(*table);
    project->FileName = folder.File("widest.pv3d");
    project->SaveToFile();
    const auto size = std::filesystem::file_size(project->FileName);
    EXPECT_GT(size, 300'000u);
    EXPECT_LT(size * 10, kMaxProjectFileBytes) << "the limit leaves ten times the widest project";
    std::string error;
    TProgramData::CreateFromFile(tables, project->FileName, true, error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(tables.TzCurve(99)->RowCount(), 100);

    // One byte over: refused by its size, without reading 4 MiB of zeros.
    const std::string huge = folder.File("huge.pv3d");
    WriteText(huge, "");
    std::filesystem::resize_file(huge, kMaxProjectFileBytes + 1);
    auto refused = TProgramData::CreateFromFile(tables, huge, true, error);
    EXPECT_EQ(error, "The file \"" + huge +
                         "\" is 4194305 bytes long; no project file is longer than 4194304 "
                         "bytes, so it was not read.");
    EXPECT_EQ(refused->ReadError, error);
    EXPECT_EQ(refused->FileName, huge);
    EXPECT_EQ(tables.TblPVDepth2().RowCount(), tables.TblPVDepth2().MinRows());
}

} // namespace
} // namespace pavrin::app
