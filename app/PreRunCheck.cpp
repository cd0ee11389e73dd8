#include "PreRunCheck.h"

#include "ColumnTypes.h"
#include "ProgramData.h"
#include "ProjectFile.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <utility>

namespace pavrin::app {

namespace {

// A value as the messages show it: up to 8 significant digits, "." always.
std::string shown(long double v) {
    char buf[64];
    auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::general, 8);
    return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

// A value as the engine will hold it: written as the project file writes it
// and read back in single precision, where a number below the smallest one
// becomes 0 (1E-50) and one beyond the largest is infinite. Comparisons of
// the pile tip with the tables are made on these values too, so that a
// difference the file does not carry (600 against 599.99999999) is none.
float AsEngineHolds(long double v) {
    if (!std::isfinite(v))
        return static_cast<float>(v);
    const std::string text = FormatNumber(v);
    float value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        return std::fabs(v) < 1 ? 0.0f : std::copysign(HUGE_VALF, static_cast<float>(v));
    return value;
}

// "(is 5)", or for a positive value the engine reads as 0 "(is 1E-50, which the analysis reads as 0)".
std::string isShown(long double v) {
    if (v > 0 && !(AsEngineHolds(v) > 0))
        return "(is " + shown(v) + ", which the analysis reads as 0)";
    return "(is " + shown(v) + ")";
}

// Greater than 0 as the engine holds it.
bool EnginePositive(long double v) {
    return AsEngineHolds(v) > 0;
}

class Checker {
public:
    explicit Checker(const TProgramData& p) : p_(p), t_(p.Tables()) {}

    std::vector<CheckFinding> Run() {
        Scalars();
        if (p_.CurvesGenerated)
            SoilLayers();
        else
            UserCurves();
        AxialStiffness();
        if (p_.SpecifyTipMovements != 0)
            TipMovements();
        if (p_.AssignHeadLoads != 0)
            HeadLoads();
        if (p_.IncludeDowndrag != 0)
            Ascending(t_.TblSettlement2(), col::kSettlementDepth, "depth", false);
        if (p_.ApplySideFactors != 0)
            Ascending(t_.TblPVFactors2(), col::kFactorDepth, "depth", false);
        if (p_.ApplyQwFactors != 0)
            QwFactors();
        AllCellsRepresentable();
        return std::move(findings_);
    }

private:
    void Add(const std::string& where, int row, const std::string& message) {
        findings_.push_back({where, row, message});
    }

    // Every number is handed to the engine in single precision.
    bool Representable(const std::string& where, int row, const std::string& what, long double v) {
        if (std::isfinite(v) && std::fabs(v) <= FLT_MAX)
            return true;
        Add(where, row, "the " + what + " " + shown(v) + " is too large for the analysis");
        return false;
    }

    void Positive(const std::string& where, const std::string& what, long double v) {
        if (!EnginePositive(v))
            Add(where, 0, "must be greater than 0 " + isShown(v));
        else
            Representable(where, 0, what, v);
    }

    void Scalars() {
        if (p_.Increments < 1 || p_.Increments > kEngineMaxIncrements)
            Add("Number of increments", 0,
                "must lie between 1 and " + std::to_string(kEngineMaxIncrements) + " (is " +
                    std::to_string(p_.Increments) + ")");
        Positive("Pile length", "pile length", p_.PileLength);
        Positive("Outer diameter", "outer diameter", p_.OuterDiameter);
        Positive("Tolerance", "tolerance", p_.Tolerance);
        if (p_.CurvesGenerated)
            Positive("Tip area", "tip area", p_.TipArea);
    }

    void SoilLayers() {
        TGridTable& d2 = t_.D2();
        const std::string& where = d2.Caption();
        const int n = d2.RowCount();
        if (n > kEngineMaxLayers)
            Add(where, 0,
                std::to_string(n) + " layers; the analysis takes at most " +
                    std::to_string(kEngineMaxLayers));
        long double top = 0;
        for (int r = 0; r < n; ++r) {
            const long double bottom = d2.Float(col::kLayerBottom, r);
            if (!(AsEngineHolds(bottom) > AsEngineHolds(top)))
                Add(where, r + 1,
                    "the bottom of the layer (" + shown(bottom) + ") must lie below its top (" + shown(top) +
                        ")");
            LayerData(r, top, bottom);
            top = std::fmax(top, bottom);
        }
        if (n > 0 && AsEngineHolds(p_.PileLength) > AsEngineHolds(top))
            Add(where, n,
                "the pile tip (" + shown(p_.PileLength) + ") lies below the bottom of the deepest layer (" +
                    shown(top) + ")");
    }

    void LayerData(int layer, long double top, long double bottom) {
        TGridTable* data = t_.LayerData(layer);
        const int type = t_.SoilTypeOf(layer);
        const std::string where = t_.D2().Caption() + ", layer " + std::to_string(layer + 1);
        if (!IsSoilType(type)) {
            Add(t_.D2().Caption(), layer + 1,
                "the soil type " + std::to_string(type) + " is not one of 1 to 6");
            return;
        }
        if (!data)
            return;
        const float tip = AsEngineHolds(p_.PileLength);
        const bool holdsTip = tip > AsEngineHolds(top) && tip <= AsEngineHolds(bottom);
        for (int r = 0; r < data->RowCount() && r < 2; ++r) {
            const char* end = r == 0 ? "top" : "bottom";
            auto notNegative = [&](int column, const char* what) {
                const long double v = data->Float(column, r);
                if (v < 0)
                    Add(where, r + 1,
                        std::string("the ") + what + " at the " + end + " must not be negative (is " +
                            shown(v) + ")");
            };
            notNegative(col::kGamma, "effective unit weight");
            notNegative(col::kFs, "ultimate unit side friction");
            notNegative(col::kQt, "ultimate unit tip resistance");
            if (IsClay(type)) {
                notNegative(col::kCu, "undrained shear strength");
                if (type == kClayDriven && holdsTip && !EnginePositive(data->Float(col::kE50, r)))
                    Add(where, r + 1,
                        std::string("e50 at the ") + end +
                            " must be greater than 0: the tip curve of this layer is built from it " +
                            isShown(data->Float(col::kE50, r)));
            } else {
                const long double phi = data->Float(col::kPhi, r);
                if (phi < 0 || phi >= 90)
                    Add(where, r + 1,
                        std::string("the friction angle at the ") + end +
                            " must lie from 0 up to below 90 degrees (is " + shown(phi) + ")");
            }
        }
    }

    void UserCurves() {
        TGridTable& depths = t_.TblPVDepth2();
        Ascending(depths, col::kCurveDepth, "depth", true);
        for (int r = 0; r < depths.RowCount(); ++r)
            if (TGridTable* curve = t_.TzCurve(r))
                Ascending(*curve, col::kZ, "pile movement", false,
                          depths.Caption() + ", curve " + std::to_string(r + 1));
        Ascending(t_.TblQwcurve2(), col::kW, "tip movement", false);
    }

    void AxialStiffness() {
        TGridTable& ae = t_.TblAE2();
        const std::string& where = ae.Caption();
        for (int r = 0; r < ae.RowCount(); ++r) {
            const long double v = ae.Float(col::kAe, r);
            if (!EnginePositive(v))
                Add(where, r + 1, "the axial stiffness must be greater than 0 " + isShown(v));
        }
        Ascending(ae, col::kAeDepth, "depth", false);
        if (ae.RowCount() > 0) {
            const long double last = ae.Float(col::kAeDepth, ae.RowCount() - 1);
            if (AsEngineHolds(last) < AsEngineHolds(p_.PileLength))
                Add(where, ae.RowCount(),
                    "the table ends at " + shown(last) + ", above the pile tip (" + shown(p_.PileLength) +
                        ")");
        }
    }

    void TipMovements() {
        TGridTable& t = t_.TblTipMove();
        if (t.RowCount() > kEngineMaxTipMovements)
            Add(t.Caption(), 0,
                std::to_string(t.RowCount()) + " tip movements; the analysis takes at most " +
                    std::to_string(kEngineMaxTipMovements));
    }

    void HeadLoads() {
        TGridTable& t = t_.TblTopload();
        for (int r = 0; r < t.RowCount(); ++r) {
            const long double v = t.Float(col::kValue, r);
            if (!EnginePositive(v))
                Add(t.Caption(), r + 1, "axial loads must be positive numbers " + isShown(v));
        }
    }

    // Multipliers of 0 take the tip out of the analysis or make it rigid: worth a word before the run.
    void QwFactors() {
        const char* where = "Q-w factors";
        auto zero = [](long double v) {
            return v == 0 ? std::string("0") : shown(v) + ", which the analysis reads as 0";
        };
        if (Representable(where, 0, "Q-multiplier", p_.QMultiplier) && AsEngineHolds(p_.QMultiplier) == 0)
            Add(where, 0,
                "the Q-multiplier is " + zero(p_.QMultiplier) +
                    ": every tip load of the Q-w curve becomes 0, so the tip carries nothing");
        if (Representable(where, 0, "w-multiplier", p_.WMultiplier) && AsEngineHolds(p_.WMultiplier) == 0)
            Add(where, 0,
                "the w-multiplier is " + zero(p_.WMultiplier) +
                    ": every tip movement of the Q-w curve becomes 0, so the tip takes the load of the "
                    "curve's "
                    "last point at any movement above 0, as if it were rigid");
    }

    // Values of `column` that must not decrease (strictly increase when `strict`).
    void Ascending(TGridTable& t, int column, const char* what, bool strict, std::string where = "") {
        if (where.empty())
            where = t.Caption();
        for (int r = 1; r < t.RowCount(); ++r) {
            const long double a = t.Float(column, r - 1);
            const long double b = t.Float(column, r);
            const float fa = AsEngineHolds(a);
            const float fb = AsEngineHolds(b);
            if (fb < fa || (strict && fb == fa))
                Add(where, r + 1,
                    std::string("the ") + what + " " + shown(b) + " must be " +
                        (strict ? "greater than" : "at least") + " the one above (" + shown(a) + ")");
        }
    }

    // Every number of the tables handed to the engine fits single precision.
    void AllCellsRepresentable() {
        std::vector<std::pair<TGridTable*, std::string>> used = {{&t_.TblAE2(), t_.TblAE2().Caption()}};
        if (p_.CurvesGenerated) {
            used.emplace_back(&t_.D2(), t_.D2().Caption());
            for (int r = 0; r < t_.D2().RowCount(); ++r)
                if (TGridTable* data = t_.LayerData(r))
                    used.emplace_back(data, t_.D2().Caption() + ", layer " + std::to_string(r + 1));
        } else {
            used.emplace_back(&t_.TblPVDepth2(), t_.TblPVDepth2().Caption());
            used.emplace_back(&t_.TblQwcurve2(), t_.TblQwcurve2().Caption());
            for (int r = 0; r < t_.TblPVDepth2().RowCount(); ++r)
                if (TGridTable* curve = t_.TzCurve(r))
                    used.emplace_back(curve, t_.TblPVDepth2().Caption() + ", curve " + std::to_string(r + 1));
        }
        if (p_.SpecifyTipMovements != 0)
            used.emplace_back(&t_.TblTipMove(), t_.TblTipMove().Caption());
        if (p_.AssignHeadLoads != 0)
            used.emplace_back(&t_.TblTopload(), t_.TblTopload().Caption());
        if (p_.IncludeDowndrag != 0)
            used.emplace_back(&t_.TblSettlement2(), t_.TblSettlement2().Caption());
        if (p_.ApplySideFactors != 0)
            used.emplace_back(&t_.TblPVFactors2(), t_.TblPVFactors2().Caption());
        for (auto& [table, where] : used)
            for (int c = 0; c < table->ColumnCount(); ++c)
                if (dynamic_cast<const controls::TFloatColumn*>(&table->Column(c)))
                    for (int r = 0; r < table->RowCount(); ++r)
                        Representable(where, r + 1, "value", table->Float(c, r));
    }

    const TProgramData& p_;
    const TProjectTables& t_;
    std::vector<CheckFinding> findings_;
};

} // namespace

std::string CheckFinding::Text() const {
    return row > 0 ? where + ", row " + std::to_string(row) + ": " + message : where + ": " + message;
}

std::vector<CheckFinding> CheckBeforeRun(const TProgramData& project) {
    return Checker(project).Run();
}

} // namespace pavrin::app
