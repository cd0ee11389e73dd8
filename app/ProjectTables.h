// TProjectTables: the project's tabular half, the grid tables that the main
// window owns for as long as it lives and reuses from project to project: the
// eight project tables and the three templates their rows copy (the clay and
// sand layer data of a soil layer, the t-z curve of a user curve depth). It
// also holds the main window's modified flag, since "modified" means the flag
// or an unsaved edit in any of these tables.
//
// The templates are found by their identifiers among the live chart tables, so
// one TProjectTables should live at a time; a newer one takes the identifiers
// over (ClaimTemplates() takes them back).
#pragma once

#include "MeasuredLoadTest.h"
#include "Table.h"
#include "TableChart.h"

#include <array>
#include <memory>
#include <vector>

namespace pavrin::app {

using controls::TGridTable;
using controls::TGridTableChart;

// Soil-type codes of the "Soil Type" column of D2 (1-based item positions).
// Odd codes are clays, even codes sands.
enum SoilType : int {
    kClayDriven = 1,  // "Driven Pile in Clay (Coyle & Reese)"
    kSandDriven = 2,  // "Driven Pile in Sand (Mosher)"
    kClayDrilled = 3, // "Drilled Shaft in Clay (Reese & O'Neill)"
    kSandDrilled = 4, // "Drilled Shaft in Sand (Reese & O'Neill)"
    kClayApi = 5,     // "Driven Pile in Clay (API)"
    kSandApi = 6,     // "Driven Pile in Sand (API)"
    kFirstSoilType = kClayDriven,
    kLastSoilType = kSandApi
};
inline bool IsSoilType(int code) {
    return code >= kFirstSoilType && code <= kLastSoilType;
}
inline bool IsClay(int code) {
    return code % 2 == 1;
}

// Column numbers of the tables. Rows count from 0.
namespace col {
// D2, soil layers.
inline constexpr int kSoilType = 0;    // enumeration, codes 1..6
inline constexpr int kLayerBottom = 1; // L
inline constexpr int kLayerData = 2;   // sub-table: a copy of tblDataClay2 or tblDataSand2
// Layer data (tblDataClay2 / tblDataSand2): row 0 the top of the layer, row 1 its bottom.
inline constexpr int kGamma = 0; // effective unit weight, F/L^3
inline constexpr int kCu = 1;    // undrained shear strength, F/L^2 (clays)
inline constexpr int kE50 = 2;   // strain at half the peak stress difference (clays)
inline constexpr int kPhi = 3;   // friction angle, degrees (sands)
inline constexpr int kN = 4;     // blow count (sands, optional)
inline constexpr int kFs = 5;    // ultimate unit side friction, F/L^2
inline constexpr int kQt = 6;    // ultimate unit tip resistance, F/L^2
inline constexpr int kDummy = 7; // never shown, never written
// TblPVDepth2, user t-z curve depths.
inline constexpr int kCurveDepth = 0; // L
inline constexpr int kCurve = 1;      // sub-table: a copy of TblPVCurves2
// TblPVCurves2 (a t-z curve).
inline constexpr int kT = 0; // load transfer, F/L^2
inline constexpr int kZ = 1; // pile movement, L
// TblQwcurve2.
inline constexpr int kQ = 0; // total tip load, F
inline constexpr int kW = 1; // tip movement, L
// TblAE2.
inline constexpr int kAeDepth = 0; // depth from the pile head, L
inline constexpr int kAe = 1;      // axial stiffness, F
// TblTipMove and TblTopload: one column.
inline constexpr int kValue = 0;
// TblSettlement2.
inline constexpr int kSettlementDepth = 0; // L
inline constexpr int kSettlement = 1;      // L
// TblPVFactors2.
inline constexpr int kFactorDepth = 0; // L
inline constexpr int kTMultiplier = 1;
inline constexpr int kZMultiplier = 2;
// TblMeasured2, the measured load test.
inline constexpr int kMeasuredLoad = 0;       // head load, F
inline constexpr int kMeasuredSettlement = 1; // head settlement, L
} // namespace col

class TProjectTables {
public:
    // Builds the templates and the eight tables from their declarations (no
    // rows yet), hides the columns each soil kind does not use and sets the
    // table comments, as the main window does when it is built.
    TProjectTables();
    ~TProjectTables();
    TProjectTables(const TProjectTables&) = delete;
    TProjectTables& operator=(const TProjectTables&) = delete;

    // The eight project tables.
    TGridTableChart& D2() const { return *d2_; }                      // soil layers, 1..30 rows
    TGridTableChart& TblPVDepth2() const { return *pvDepth2_; }       // user t-z curve depths, 2..100
    TGridTableChart& TblQwcurve2() const { return *qwCurve2_; }       // user Q-w curve, 2..50
    TGridTableChart& TblAE2() const { return *ae2_; }                 // axial stiffness, 2..50
    TGridTable& TblTipMove() const { return *tipMove_; }              // tip movements, 2..100
    TGridTable& TblTopload() const { return *topLoad_; }              // pile-head loads, 1..50
    TGridTableChart& TblSettlement2() const { return *settlement2_; } // settlement profile, 2..100
    TGridTableChart& TblPVFactors2() const { return *pvFactors2_; }   // t-z multipliers, 2..50
    // The measured load test (companion file, never the project file), 1..100 rows; one row of
    // zeros when the project has none.
    TGridTableChart& TblMeasured2() const { return *measured2_; }
    // The templates of the sub-tables.
    TGridTableChart& TblPVCurves2() const { return *pvCurves2_; } // a t-z curve, 2..100
    TGridTableChart& tblDataClay2() const { return *dataClay2_; } // clay layer data, 2 rows
    TGridTableChart& tblDataSand2() const { return *dataSand2_; } // sand layer data, 2 rows

    // The eight project tables in the order of the project file.
    std::vector<TGridTable*> ProjectTables() const;
    // The project tables, the measured load test and the templates: every
    // table the unit system and the resets of a new project reach.
    std::vector<TGridTable*> AllTables() const;

    // The measured load test the table holds, in the table's unit system: its
    // rows, each with the tip load it was given at that head load; no points
    // when every cell is zero (the table of a project without one).
    TMeasuredLoadTest MeasuredTest() const;
    // Fills the table with a test (converted to the table's unit system); a
    // test without points leaves the one row of zeros. The table is not marked
    // changed. The tip loads, which the table does not show, stay with their
    // head loads: a row whose load is edited loses its tip load.
    void SetMeasuredTest(TMeasuredLoadTest test);

    // Rows of nested tables: the layer data of soil layer `layer` (0-based row
    // of D2) and the t-z curve of user curve `row` of TblPVDepth2; null when
    // the row has none (a row whose template was missing).
    TGridTable* LayerData(int layer) const;
    TGridTable* TzCurve(int row) const;
    // The soil-type code of a layer (1..6 for any layer the program made).
    int SoilTypeOf(int layer) const;

    // Every table: row count 0, then its minimum, with the column defaults.
    void ResetRows();
    // Every table: row count 0.
    void ClearRows();
    // Every table with fewer rows than its minimum, sub-tables included, gets it.
    void RaiseToMinimumRows() const;
    // Every table (templates and sub-tables too) to unit system 1 or 2.
    void SetUnits(int units);

    // Modified state: the flag, or an unsaved edit in any table or sub-table.
    bool IsModified() const;
    // False clears the flag and every table's change flag; true only sets the flag.
    void SetModified(bool modified);

    // The template identifiers the soil-layer and curve columns name, taken
    // back from any other live tables.
    void ClaimTemplates() const;

private:
    // Templates first: the tables that copy them are destroyed before them.
    std::unique_ptr<TGridTableChart> dataSand2_;
    std::unique_ptr<TGridTableChart> dataClay2_;
    std::unique_ptr<TGridTableChart> pvCurves2_;
    std::unique_ptr<TGridTableChart> d2_;
    std::unique_ptr<TGridTableChart> pvDepth2_;
    std::unique_ptr<TGridTableChart> qwCurve2_;
    std::unique_ptr<TGridTableChart> ae2_;
    std::unique_ptr<TGridTable> tipMove_;
    std::unique_ptr<TGridTable> topLoad_;
    std::unique_ptr<TGridTableChart> settlement2_;
    std::unique_ptr<TGridTableChart> pvFactors2_;
    std::unique_ptr<TGridTableChart> measured2_;
    // The measured tip loads by head load, both in the measured table's units.
    std::vector<std::pair<long double, long double>> measuredTipLoads_;
    bool modified_ = false;
    // The declared identifiers of the clay, sand and t-z curve templates.
    std::array<int, 3> claySandCurveIds_{};
};

// Comments that the main window gives its tables.
namespace table_comment {
inline constexpr const char* kLayerData =
    "Enter data for the top and the bottom of each layer. \rLinear interpretation will be used for any "
    "depth between the top and the bottom.";
inline constexpr const char* kHeadLoads = "Axial loads must be positive numbers";
} // namespace table_comment

} // namespace pavrin::app
