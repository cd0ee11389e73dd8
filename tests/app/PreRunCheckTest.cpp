#include "PreRunCheck.h"
#include "AppTestSupport.h"

#include <algorithm>
#include <functional>

namespace pavrin::app::testing {
namespace {

class PreRunCheckTest : public ProjectTest {
protected:
    // A sound generated project: 30 ft pile in two layers (clay over sand), English units.
    std::unique_ptr<TProgramData> SoundProject() {
        auto p = TProgramData::CreateNew(tables);
        p->PileLength = 360;
        p->OuterDiameter = 12;
        p->TipArea = 113.1L;
        SetColumn(tables.TblAE2(), col::kAeDepth, {0, 360});
        tables.TblAE2().Column(col::kAe).SetFloat(0, 3e8L);
        tables.TblAE2().Column(col::kAe).SetFloat(1, 3e8L);
        SetColumn(tables.TblTipMove(), col::kValue, {0.01L, 0.1L, 0.5L});
        TGridTable& d2 = tables.D2();
        d2.SetRowCount(2);
        d2.Column(col::kSoilType).SetInteger(1, kSandDriven);
        d2.Column(col::kLayerBottom).SetFloat(0, 120);
        d2.Column(col::kLayerBottom).SetFloat(1, 480);
        for (int row : {0, 1}) {
            TGridTable& clay = *tables.LayerData(0);
            clay.Column(col::kGamma).SetFloat(row, 0.03L);
            clay.Column(col::kCu).SetFloat(row, 5);
            clay.Column(col::kE50).SetFloat(row, 0.01L);
            clay.Column(col::kFs).SetFloat(row, 3);
            TGridTable& sand = *tables.LayerData(1);
            sand.Column(col::kGamma).SetFloat(row, 0.035L);
            sand.Column(col::kPhi).SetFloat(row, 32);
            sand.Column(col::kFs).SetFloat(row, 2);
        }
        return p;
    }

    static std::vector<std::string> Texts(const TProgramData& p) {
        std::vector<std::string> texts;
        for (const auto& f : CheckBeforeRun(p))
            texts.push_back(f.Text());
        return texts;
    }

    static bool Has(const std::vector<std::string>& texts, const std::string& part) {
        return std::any_of(texts.begin(), texts.end(),
                           [&](const std::string& t) { return t.find(part) != std::string::npos; });
    }
};

TEST_F(PreRunCheckTest, ASoundProjectHasNoFindingsAndANewOneListsWhatIsMissing) {
    EXPECT_TRUE(Texts(*SoundProject()).empty()) << ::testing::PrintToString(Texts(*SoundProject()));

    const auto fresh = TProgramData::CreateNew(tables);
    const auto texts = Texts(*fresh);
    EXPECT_TRUE(Has(texts, "Pile length: must be greater than 0 (is 0)"));
    EXPECT_TRUE(Has(texts, "Outer diameter: must be greater than 0"));
    EXPECT_TRUE(Has(texts, "Tip area: must be greater than 0"));
    EXPECT_TRUE(Has(texts, "Soil Layers, row 1: the bottom of the layer (0) must lie below its top (0)"));
    EXPECT_TRUE(Has(texts, "row 2: the axial stiffness must be greater than 0 (is 0)"));
}

TEST_F(PreRunCheckTest, CapacitiesOfTheEngineBeyondTheTables) {
    auto p = SoundProject();
    TGridTable& d2 = tables.D2();
    d2.SetRowCount(21);
    for (int r = 0; r < 21; ++r)
        d2.Column(col::kLayerBottom).SetFloat(r, 24.0L * (r + 1));
    std::vector<long double> moves(51);
    for (std::size_t i = 0; i < moves.size(); ++i)
        moves[i] = 0.01L * static_cast<long double>(i + 1);
    SetColumn(tables.TblTipMove(), col::kValue, moves);
    p->Increments = 901;
    const auto texts = Texts(*p);
    EXPECT_TRUE(Has(texts, "Soil Layers: 21 layers; the analysis takes at most 20"));
    EXPECT_TRUE(Has(texts, ": 51 tip movements; the analysis takes at most 50"));
    EXPECT_TRUE(Has(texts, "Number of increments: must lie between 1 and 900 (is 901)"));

    p->SpecifyTipMovements = 0; // switched-off tables are not handed over
    EXPECT_FALSE(Has(Texts(*p), "tip movements"));
}

TEST_F(PreRunCheckTest, MeaninglessValuesNameTableRowAndValue) {
    auto p = SoundProject();
    tables.D2().Column(col::kLayerBottom).SetFloat(1, 100); // above the layer on top of it
    tables.LayerData(1)->Column(col::kPhi).SetFloat(1, 95);
    tables.TblAE2().Column(col::kAe).SetFloat(1, -1);
    p->AssignHeadLoads = 1;
    SetColumn(tables.TblTopload(), col::kValue, {1000, 0});
    const auto texts = Texts(*p);
    EXPECT_TRUE(Has(texts, "Soil Layers, row 2: the bottom of the layer (100) must lie below its top (120)"));
    EXPECT_TRUE(
        Has(texts, "Soil Layers: the pile tip (360) lies below the bottom of the deepest layer (120)") ||
        Has(texts,
            "Soil Layers, row 2: the pile tip (360) lies below the bottom of the deepest layer (120)"));
    EXPECT_TRUE(Has(texts, "Soil Layers, layer 2, row 2: the friction angle at the bottom must lie"));
    EXPECT_TRUE(Has(texts, "row 2: the axial stiffness must be greater than 0 (is -1)"));
    EXPECT_TRUE(Has(texts, "row 2: axial loads must be positive numbers (is 0)"));
}

TEST_F(PreRunCheckTest, TablesThatMustAscendAndTheStiffnessTableReachingTheTip) {
    auto p = SoundProject();
    p->CurvesGenerated = false;
    SetColumn(tables.TblPVDepth2(), col::kCurveDepth, {0, 200, 200});
    SetColumn(tables.TblQwcurve2(), col::kW, {0, 0.5L, 0.2L});
    SetColumn(tables.TblAE2(), col::kAeDepth, {0, 300});
    p->IncludeDowndrag = 1;
    SetColumn(tables.TblSettlement2(), col::kSettlementDepth, {0, 100, 100, 50});
    const auto texts = Texts(*p);
    EXPECT_TRUE(Has(texts, "row 3: the depth 200 must be greater than the one above (200)"));
    EXPECT_TRUE(Has(texts, "row 3: the tip movement 0.2 must be at least the one above (0.5)"));
    EXPECT_TRUE(Has(texts, "the table ends at 300, above the pile tip (360)"));
    EXPECT_TRUE(Has(texts, "row 4: the depth 50 must be at least the one above (100)"));
    EXPECT_FALSE(Has(texts, "row 3: the depth 100")) << "two settlement points may share a depth";
}

TEST_F(PreRunCheckTest, NumbersBeyondSinglePrecisionAreRefused) {
    auto p = SoundProject();
    tables.TblAE2().Column(col::kAe).SetFloat(0, 1e40L);
    p->OuterDiameter = 1e39L;
    const auto texts = Texts(*p);
    EXPECT_TRUE(Has(texts, "row 1: the value 1e+40 is too large for the analysis"));
    EXPECT_TRUE(Has(texts, "Outer diameter: the outer diameter 1e+39 is too large for the analysis"));
}

// Positive values are judged as the engine holds them, in single precision: 1e-50 is read as 0 there,
// 1e-40 still is a (tiny) positive number.
TEST_F(PreRunCheckTest, ValuesThatMustBePositiveAreJudgedAsTheAnalysisReadsThem) {
    struct Case {
        const char* finding;
        std::function<void(TProgramData&, long double)> set;
    };
    const Case cases[] = {
        {"Tolerance: must be greater than 0", [](TProgramData& p, long double v) { p.Tolerance = v; }},
        {"Pile length: must be greater than 0", [](TProgramData& p, long double v) { p.PileLength = v; }},
        {"Outer diameter: must be greater than 0",
         [](TProgramData& p, long double v) { p.OuterDiameter = v; }},
        {"Tip area: must be greater than 0", [](TProgramData& p, long double v) { p.TipArea = v; }},
        {"row 1: the axial stiffness must be greater than 0",
         [this](TProgramData&, long double v) { tables.TblAE2().Column(col::kAe).SetFloat(0, v); }},
        {"row 2: axial loads must be positive numbers",
         [this](TProgramData& p, long double v) {
             p.AssignHeadLoads = 1;
             SetColumn(tables.TblTopload(), col::kValue, {1000, v});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.finding);
        auto p = SoundProject();
        c.set(*p, 1e-50L);
        EXPECT_TRUE(Has(Texts(*p), std::string(c.finding) + " (is 1e-50, which the analysis reads as 0)"))
            << ::testing::PrintToString(Texts(*p));
        c.set(*p, 1e-40L);
        EXPECT_FALSE(Has(Texts(*p), c.finding)) << "the smallest numbers of single precision are kept";
    }
}

// The pile tip and the tables are compared as the engine holds them: a difference the file does not
// carry (the noise of a unit switch, 600 against 599.99999999) is none.
TEST_F(PreRunCheckTest, ComparisonsAreMadeOnTheValuesTheAnalysisHolds) {
    auto p = SoundProject();
    tables.TblAE2().Column(col::kAeDepth).SetFloat(1, 359.99999999L);
    tables.D2().Column(col::kLayerBottom).SetFloat(1, 359.99999999L);
    EXPECT_TRUE(Texts(*p).empty()) << ::testing::PrintToString(Texts(*p));

    p->CurvesGenerated = false;
    SetColumn(tables.TblPVDepth2(), col::kCurveDepth, {0, 100, 100.000000001L});
    EXPECT_TRUE(Has(Texts(*p), "row 3: the depth 100 must be greater than the one above (100)"))
        << "depths the analysis cannot tell apart";
}

// Q-w factors of 0 take the tip's resistance away or make it rigid; the check says which.
TEST_F(PreRunCheckTest, ZeroTipMultipliersAreFindingsThatSayWhatTheyDoToTheTip) {
    auto p = SoundProject();
    p->ApplyQwFactors = 1; // switched on, both multipliers start at 0
    auto texts = Texts(*p);
    EXPECT_TRUE(Has(texts,
                    "Q-w factors: the Q-multiplier is 0: every tip load of the Q-w curve becomes 0, so "
                    "the tip carries nothing"));
    EXPECT_TRUE(Has(texts,
                    "Q-w factors: the w-multiplier is 0: every tip movement of the Q-w curve becomes 0, "
                    "so the tip takes the load of the curve's last point at any movement above 0"));
    p->QMultiplier = 1e-50L;
    p->WMultiplier = 0.5L;
    texts = Texts(*p);
    EXPECT_TRUE(Has(texts, "the Q-multiplier is 1e-50, which the analysis reads as 0: every tip load"));
    EXPECT_FALSE(Has(texts, "w-multiplier"));
    p->QMultiplier = 1;
    EXPECT_TRUE(Texts(*p).empty()) << ::testing::PrintToString(Texts(*p));
    p->QMultiplier = p->WMultiplier = 0;
    p->ApplyQwFactors = 0; // switched off, the multipliers are not used
    EXPECT_TRUE(Texts(*p).empty());
}

} // namespace
} // namespace pavrin::app::testing
