// Projects saved by the writer run in the engine (through pavrin-cli, as the
// program runs it) to the same report and plot file as the matching
// hand-written example.
#include "AppTestSupport.h"
#include "ProjectFileNames.h"

#include <cstdlib>
#include <sstream>

namespace pavrin::app {
namespace {

using testing::ProjectTest;
using testing::ReadText;
using testing::SetColumn;

// The report with the lines that name the folder or the time of the run masked.
std::string MaskedReport(const std::string& path) {
    std::istringstream in(ReadText(path));
    std::string masked, line;
    while (std::getline(in, line))
        masked += (line.find("Path to file locations") != std::string::npos ||
                           line.find("Date:") != std::string::npos
                       ? std::string("<masked>")
                       : line) +
                  "\n";
    return masked;
}

// Runs the engine on a project file; returns the run's exit code.
int RunEngine(const std::string& project) {
    const std::string command = std::string("\"") + PAVRIN_CLI + "\" run \"" + project + "\" > \"" +
                                ChangeFileExt(project, ".console") + "\" 2>&1";
    const int status = std::system(command.c_str());
    return status == -1 ? -1 : (status >> 8) & 0xff;
}

class EngineRun : public ProjectTest {
protected:
    // Saves `project` as `name` in one folder and the example of that name in
    // another, runs both and compares their results.
    void ExpectSameResults(TProgramData& project, const std::string& name) {
        testing::fs::create_directories(folder.Path() / "saved");
        testing::fs::create_directories(folder.Path() / "example");
        project.FileName = (folder.Path() / "saved" / name).string();
        project.SaveToFile();
        const std::string example = (folder.Path() / "example" / name).string();
        testing::fs::copy_file(std::string(PAVRIN_EXAMPLES) + "/" + name, example);

        ASSERT_EQ(RunEngine(project.FileName), 0) << ReadText(ChangeFileExt(project.FileName, ".console"));
        ASSERT_EQ(RunEngine(example), 0);
        const std::string report = MaskedReport(ChangeFileExt(project.FileName, ".pv3o"));
        EXPECT_GT(report.size(), 2000U);
        EXPECT_EQ(report, MaskedReport(ChangeFileExt(example, ".pv3o")));
        EXPECT_EQ(ReadText(ChangeFileExt(project.FileName, ".pv3p")),
                  ReadText(ChangeFileExt(example, ".pv3p")));
    }
};

TEST_F(EngineRun, AProjectBuiltInCodeRunsAsTheExample) {
    auto p = TProgramData::CreateNew(tables);
    p->Title = "Driven steel pipe pile 16 in OD x 0.5 in wall, 50 ft - clay/sand/clay";
    p->Increments = 100;
    TGridTable& layers = tables.D2();
    layers.SetRowCount(3);
    layers.Column(col::kSoilType).SetInteger(1, kSandDriven);
    SetColumn(layers, col::kLayerBottom, {180, 420, 720});
    // Per layer, top and bottom: gamma, cu or phi, e50 or N, fs, qt.
    const long double data[3][2][5] = {
        {{0.028935185L, 2.78L, 0.02L, 2.5L, 0}, {0.028935185L, 4.17L, 0.02L, 3.6L, 0}},
        {{0.034722222L, 32, 15, 2.1L, 0}, {0.034722222L, 34, 22, 5.5L, 0}},
        {{0.031828704L, 10.4L, 0.007L, 6.3L, 0}, {0.031828704L, 13.9L, 0.005L, 8.3L, 0}}};
    for (int k = 0; k < 3; ++k) {
        const bool clay = IsClay(tables.SoilTypeOf(k));
        const int columns[5] = {col::kGamma, clay ? col::kCu : col::kPhi, clay ? col::kE50 : col::kN,
                                col::kFs, col::kQt};
        for (int r = 0; r < 2; ++r)
            for (int i = 0; i < 5; ++i)
                tables.LayerData(k)->Column(columns[i]).SetFloat(r, data[k][r][i]);
    }
    SetColumn(tables.TblAE2(), col::kAeDepth, {0, 600});
    SetColumn(tables.TblAE2(), col::kAe, {7.0607295e8L, 7.0607295e8L});
    p->PileLength = 600;
    p->OuterDiameter = 16;
    p->TipArea = 201.06193L;
    SetColumn(tables.TblTipMove(), col::kValue, {0.01L, 0.02L, 0.05L, 0.1L, 0.2L, 0.4L, 0.7L, 1});
    p->AssignHeadLoads = 1;
    SetColumn(tables.TblTopload(), col::kValue, {40000, 80000, 120000});
    ExpectSameResults(*p, "driven-pile-clay-sand.pv3d");
}

TEST_F(EngineRun, AnSiProjectSwitchedToEnglishAndBackRunsAsBefore) {
    std::string error;
    auto p = ReadProjectText(ReadText(std::string(PAVRIN_EXAMPLES) + "/drilled-shaft-si.pv3d"), error);
    ASSERT_EQ(error, "");
    p->SetUnits(1);
    p->SetUnits(2);
    ExpectSameResults(*p, "drilled-shaft-si.pv3d");
}

TEST_F(EngineRun, UserCurvesWithDowndragAndFactors) {
    std::string error;
    auto p = ReadProjectText(ReadText(std::string(PAVRIN_EXAMPLES) + "/user-curves-downdrag.pv3d"), error);
    ASSERT_EQ(error, "");
    ExpectSameResults(*p, "user-curves-downdrag.pv3d");
}

} // namespace
} // namespace pavrin::app
