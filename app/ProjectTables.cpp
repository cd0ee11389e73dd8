#include "ProjectTables.h"

#include "Declarations.h"
#include "UnitTemplates.h"

#include <algorithm>

#include <initializer_list>
#include <string>

namespace pavrin::app {

using controls::ETableError;
using controls::TColumn;
using controls::TTableColumn;

namespace {

std::unique_ptr<TGridTableChart> CreateChartTable(const char* name) {
    std::unique_ptr<TGridTable> table = controls::CreateDeclaredTable(name);
    auto* chart = dynamic_cast<TGridTableChart*>(table.get());
    if (chart == nullptr)
        throw ETableError(std::string("The table ") + name + " is not declared as a chart table");
    table.release();
    return std::unique_ptr<TGridTableChart>(chart);
}

void HideColumns(TGridTable& table, std::initializer_list<int> columns) {
    for (int column : columns)
        table.Column(column).SetVisible(false);
}

// Calls `visit` for `table` and, depth first, every sub-table of its rows.
template <typename Visit> void ForEachNested(TGridTable& table, const Visit& visit) {
    visit(table);
    for (int c = 0; c < table.ColumnCount(); ++c) {
        auto* column = dynamic_cast<TTableColumn*>(&table.Column(c));
        if (column == nullptr)
            continue;
        for (int r = 0; r < column->RowCount(); ++r)
            if (TGridTable* sub = column->GetTable(r))
                ForEachNested(*sub, visit);
    }
}

} // namespace

TProjectTables::TProjectTables()
    : dataSand2_(CreateChartTable("tblDataSand2")), dataClay2_(CreateChartTable("tblDataClay2")),
      pvCurves2_(CreateChartTable("TblPVCurves2")), d2_(CreateChartTable("D2")),
      pvDepth2_(CreateChartTable("TblPVDepth2")), qwCurve2_(CreateChartTable("TblQwcurve2")),
      ae2_(CreateChartTable("TblAE2")), tipMove_(controls::CreateDeclaredTable("TblTipMove")),
      topLoad_(controls::CreateDeclaredTable("TblTopload")), settlement2_(CreateChartTable("TblSettlement2")),
      pvFactors2_(CreateChartTable("TblPVFactors2")), measured2_(CreateChartTable("TblMeasured2")) {
    // A layer shows the columns of its soil kind only; both kinds keep all eight.
    HideColumns(*dataSand2_, {col::kCu, col::kE50});
    HideColumns(*dataClay2_, {col::kPhi, col::kN});
    dataClay2_->SetComments(table_comment::kLayerData);
    dataSand2_->SetComments(table_comment::kLayerData);
    topLoad_->SetComments(table_comment::kHeadLoads);
    claySandCurveIds_ = {dataClay2_->Identifier(), dataSand2_->Identifier(), pvCurves2_->Identifier()};
}

TProjectTables::~TProjectTables() = default;

std::vector<TGridTable*> TProjectTables::ProjectTables() const {
    return {d2_.get(),      pvDepth2_.get(), qwCurve2_.get(),    ae2_.get(),
            tipMove_.get(), topLoad_.get(),  settlement2_.get(), pvFactors2_.get()};
}

std::vector<TGridTable*> TProjectTables::AllTables() const {
    std::vector<TGridTable*> tables = {dataSand2_.get(), dataClay2_.get(), pvCurves2_.get()};
    for (TGridTable* table : ProjectTables())
        tables.push_back(table);
    tables.push_back(measured2_.get());
    return tables;
}

TMeasuredLoadTest TProjectTables::MeasuredTest() const {
    TMeasuredLoadTest test;
    test.units = measured2_->Units();
    bool allZero = true;
    for (int r = 0; r < measured2_->RowCount(); ++r) {
        MeasuredPoint point;
        point.load = measured2_->Float(col::kMeasuredLoad, r);
        point.settlement = measured2_->Float(col::kMeasuredSettlement, r);
        for (const auto& [load, tip] : measuredTipLoads_)
            if (load == point.load) {
                point.tipLoad = tip;
                break;
            }
        allZero = allZero && point.load == 0 && point.settlement == 0 && !point.tipLoad;
        test.points.push_back(point);
    }
    if (allZero)
        test.points.clear();
    return test;
}

void TProjectTables::SetMeasuredTest(TMeasuredLoadTest test) {
    ConvertMeasuredLoadTest(test, measured2_->Units());
    const bool changed = measured2_->IsChanged();
    measured2_->SetRowCount(0);
    measured2_->SetRowCount(std::max(static_cast<int>(test.points.size()), measured2_->MinRows()));
    measuredTipLoads_.clear();
    for (std::size_t i = 0; i < test.points.size(); ++i) {
        const MeasuredPoint& point = test.points[i];
        const int r = static_cast<int>(i);
        measured2_->Column(col::kMeasuredLoad).SetFloat(r, point.load);
        measured2_->Column(col::kMeasuredSettlement).SetFloat(r, point.settlement);
        if (point.tipLoad)
            measuredTipLoads_.emplace_back(point.load, *point.tipLoad);
    }
    measured2_->SetChanged(changed);
    measured2_->Notify();
}

TGridTable* TProjectTables::LayerData(int layer) const {
    return d2_->Column(col::kLayerData).GetTable(layer);
}

TGridTable* TProjectTables::TzCurve(int row) const {
    return pvDepth2_->Column(col::kCurve).GetTable(row);
}

int TProjectTables::SoilTypeOf(int layer) const {
    return d2_->Integer(col::kSoilType, layer);
}

void TProjectTables::ResetRows() {
    ClaimTemplates();
    measuredTipLoads_.clear();
    for (TGridTable* table : AllTables()) {
        table->SetRowCount(0);
        table->SetRowCount(table->MinRows());
    }
}

void TProjectTables::ClearRows() {
    measuredTipLoads_.clear();
    for (TGridTable* table : AllTables())
        table->SetRowCount(0);
}

void TProjectTables::RaiseToMinimumRows() const {
    ClaimTemplates();
    for (TGridTable* table : AllTables())
        ForEachNested(*table, [](TGridTable& t) {
            if (t.RowCount() < t.MinRows())
                t.SetRowCount(t.MinRows());
        });
}

void TProjectTables::SetUnits(int units) {
    const controls::TUnitsConversion force(measured2_->Units(), units, "F");
    for (auto& [load, tip] : measuredTipLoads_) {
        load = force(load);
        tip = force(tip);
    }
    for (TGridTable* table : AllTables())
        table->SetUnits(units);
}

bool TProjectTables::IsModified() const {
    if (modified_)
        return true;
    for (TGridTable* table : ProjectTables())
        if (table->IsChanged())
            return true;
    return measured2_->IsChanged();
}

void TProjectTables::SetModified(bool modified) {
    modified_ = modified;
    if (!modified)
        for (TGridTable* table : AllTables())
            table->ResetChanged();
}

void TProjectTables::ClaimTemplates() const {
    dataClay2_->SetIdentifier(claySandCurveIds_[0]);
    dataSand2_->SetIdentifier(claySandCurveIds_[1]);
    pvCurves2_->SetIdentifier(claySandCurveIds_[2]);
}

} // namespace pavrin::app
