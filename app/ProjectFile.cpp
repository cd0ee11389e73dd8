#include "ProjectFile.h"

#include "ColumnTypes.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace pavrin::app {

namespace fs = std::filesystem;
using controls::TWordReader;

// ---- Number formats ----

namespace {

void RequireFinite(long double value) {
    if (!std::isfinite(value))
        throw EProjectSaveError("The project holds a value that is not a finite number (" +
                                controls::FormatGeneral(value, 8, '.') + "); it was not saved.");
}

} // namespace

std::string FormatNumber(long double value) {
    RequireFinite(value);
    return controls::FormatGeneral(value, 8, '.');
}

std::string FormatLayerDepth(long double value) {
    RequireFinite(value);
    if (value == 0)
        value = 0; // no "-" for a negative zero
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = text.find('e');
    int exponent = 0;
    const char* digits = text.data() + e + 2; // behind "e+" or "e-"
    std::from_chars(digits, text.data() + text.size(), exponent);
    char tail[16];
    std::snprintf(tail, sizeof tail, "E%c%04d", text[e + 1] == '-' ? '-' : '+', exponent);
    return std::string(value < 0 ? "-" : " ") + std::string(text.substr(0, e)) + tail;
}

// ---- Writer ----

namespace {

std::string Int(long long value) {
    return std::to_string(value);
}

// The title is one line of the file: line breaks in it become blanks.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

class ProjectWriter {
public:
    explicit ProjectWriter(TProgramData& project) : p_(project), t_(project.Tables()) {}

    std::string Run() {
        Line(OneLine(p_.Title));
        Line(Int(p_.Increments) + " " + Int(p_.OutputDetail) + " " + Int(p_.Units));
        p_.CurveMode = p_.CurvesGenerated ? 2 : 1;
        Line(Int(p_.CurveMode) + " ");
        if (p_.CurveMode == 1)
            UserCurves();
        else
            SoilLayers();
        Rows(t_.TblAE2(), {col::kAe, col::kAeDepth});
        if (p_.CurveMode == 1)
            Rows(t_.TblQwcurve2(), {col::kQ, col::kW});
        Line(FormatNumber(p_.Tolerance) + " " + FormatNumber(p_.PileLength) + " " +
             FormatNumber(p_.OuterDiameter) + " " + FormatNumber(p_.TipArea));
        OptionalRows(p_.SpecifyTipMovements, t_.TblTipMove(), {col::kValue});
        OptionalRows(p_.AssignHeadLoads, t_.TblTopload(), {col::kValue});
        OptionalRows(p_.IncludeDowndrag, t_.TblSettlement2(), {col::kSettlementDepth, col::kSettlement});
        if (p_.ApplySideFactors == 0) {
            Line(" 0");
        } else {
            Line(" 1");
            Rows(t_.TblPVFactors2(), {col::kFactorDepth, col::kTMultiplier, col::kZMultiplier});
        }
        if (p_.ApplyQwFactors == 0) {
            Line(" 0");
        } else {
            Line(" 1");
            Line(FormatNumber(p_.QMultiplier) + " " + FormatNumber(p_.WMultiplier));
        }
        return std::move(out_);
    }

private:
    void Line(const std::string& text) {
        out_ += text;
        out_ += "\r\n";
    }

    // The row count, then one line per row with the given columns.
    void Rows(const TGridTable& table, std::initializer_list<int> columns) {
        Line(Int(table.RowCount()));
        for (int r = 0; r < table.RowCount(); ++r) {
            std::string line;
            for (int c : columns)
                line += (line.empty() ? "" : " ") + FormatNumber(table.Float(c, r));
            Line(line);
        }
    }

    // " 0" when the option is off, else the table's rows.
    void OptionalRows(int option, const TGridTable& table, std::initializer_list<int> columns) {
        if (option == 0)
            Line(" 0");
        else
            Rows(table, columns);
    }

    void UserCurves() {
        const TGridTable& depths = t_.TblPVDepth2();
        Line(Int(depths.RowCount()));
        for (int k = 0; k < depths.RowCount(); ++k) {
            const TGridTable* curve = t_.TzCurve(k);
            if (curve == nullptr)
                throw EProjectSaveError("The t-z curve at row " + Int(k + 1) +
                                        " of the curve depths has no data; the project was not saved.");
            Line(Int(k + 1) + " " + FormatNumber(depths.Float(col::kCurveDepth, k)) + " " +
                 Int(curve->RowCount()));
            for (int r = 0; r < curve->RowCount(); ++r)
                Line(FormatNumber(curve->Float(col::kT, r)) + " " + FormatNumber(curve->Float(col::kZ, r)));
        }
    }

    void SoilLayers() {
        const TGridTable& layers = t_.D2();
        const int n = layers.RowCount();
        Line(Int(n));
        for (int k = 0; k < n; ++k) {
            const int code = t_.SoilTypeOf(k);
            if (!IsSoilType(code))
                throw EProjectSaveError(
                    "Soil layer " + Int(k + 1) + " has the soil type " + Int(code) +
                    ", which is not one of the six soil types; the project was not saved.");
            const std::string top = k == 0 ? "0.0" : FormatLayerDepth(layers.Float(col::kLayerBottom, k - 1));
            Line(Int(k + 1) + " " + Int(code) + " " + top + " " +
                 FormatLayerDepth(layers.Float(col::kLayerBottom, k)));
        }
        for (int k = 0; k < n; ++k) {
            TGridTable* data = t_.LayerData(k);
            if (data == nullptr)
                throw EProjectSaveError("Soil layer " + Int(k + 1) +
                                        " has no layer data; the project was not saved.");
            data->SetRowNumber(k + 1);
            data->SetRowCount(data->MinRows());
        }
        for (int k = 0; k < n; ++k) {
            const TGridTable& data = *t_.LayerData(k);
            const bool clay = IsClay(t_.SoilTypeOf(k));
            for (int r = 0; r < 2; ++r) {
                auto value = [&](int c) { return FormatNumber(data.Float(c, r)); };
                if (clay)
                    Line(value(col::kGamma) + " " + value(col::kCu) + " 0.0  " + value(col::kE50) + " " +
                         value(col::kFs) + " " + value(col::kQt));
                else
                    Line(value(col::kGamma) + " 0.0  " + value(col::kPhi) + " " + value(col::kN) + " " +
                         value(col::kFs) + " " + value(col::kQt));
            }
        }
    }

    TProgramData& p_;
    TProjectTables& t_;
    std::string out_;
};

} // namespace

std::string ProjectFileText(TProgramData& project) {
    return ProjectWriter(project).Run();
}

// ---- Replacing a file safely ----

namespace {

std::string Reason(int error) {
    return std::generic_category().message(error);
}

[[noreturn]] void FailSave(const std::string& path, const std::string& reason) {
    throw EProjectSaveError("The project could not be saved to \"" + path + "\": " + reason + ".");
}

// Whether an existing file may be written: opening it for appending changes nothing.
void CheckWritable(const std::string& path) {
    std::error_code error;
    if (fs::is_directory(path, error))
        FailSave(path, "it is a folder");
    if (!fs::exists(path, error))
        return;
    errno = 0;
    std::FILE* probe = std::fopen(path.c_str(), "ab");
    if (probe == nullptr)
        FailSave(path, Reason(errno != 0 ? errno : EACCES));
    std::fclose(probe);
}

} // namespace

std::optional<std::string> ReplaceFileContents(const std::string& path, const std::string& text,
                                               const std::string& temporarySuffix) {
    std::string target = path;
    std::error_code error;
    if (fs::is_symlink(target, error)) {
        // Replace the file the link points to, not the link.
        const fs::path resolved = fs::weakly_canonical(target, error);
        if (!error)
            target = resolved.string();
    }
    std::string temporary;
    std::FILE* file = nullptr;
    errno = 0;
    for (int i = 0; i < 100 && file == nullptr; ++i) {
        temporary = target + temporarySuffix + std::to_string(i);
        file = std::fopen(temporary.c_str(), "wbx");
        if (file == nullptr && errno != EEXIST)
            break;
    }
    if (file == nullptr)
        return errno == EEXIST ? "no temporary file could be made beside it"
                               : Reason(errno != 0 ? errno : EIO);

    errno = 0;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fflush(file) == 0 && written;
    const int writeError = errno;
    written = std::fclose(file) == 0 && written;
    if (!written) {
        std::remove(temporary.c_str());
        return Reason(writeError != 0 ? writeError : (errno != 0 ? errno : EIO));
    }

    if (fs::exists(target, error))
        fs::permissions(temporary, fs::status(target, error).permissions(), error);
    fs::rename(temporary, target, error);
    if (error) {
        std::remove(temporary.c_str());
        return error.message();
    }
    return std::nullopt;
}

void WriteFileReplacing(const std::string& path, const std::string& text) {
    std::string target = path;
    std::error_code error;
    if (fs::is_symlink(target, error)) {
        const fs::path resolved = fs::weakly_canonical(target, error);
        if (!error)
            target = resolved.string();
    }
    CheckWritable(target);
    if (const std::optional<std::string> reason = ReplaceFileContents(path, text, ".~save"))
        FailSave(path, *reason);
}

// ---- Reader ----

namespace {

class ProjectReader {
public:
    ProjectReader(TProgramData& project, TWordReader& reader)
        : p_(project), t_(project.Tables()), r_(reader) {}

    void Run(bool currentFormat) {
        p_.Title = r_.ReadLine();
        p_.Increments = r_.ReadInteger();
        p_.OutputDetail = r_.ReadInteger();
        p_.SetUnits(r_.ReadInteger());
        // As the engine reads it: 1 user curves, anything else generated ones.
        p_.CurveMode = r_.ReadInteger() == 1 ? 1 : 2;
        p_.CurvesGenerated = p_.CurveMode == 2;
        if (p_.CurveMode == 1)
            UserCurves();
        else
            SoilLayers();
        Rows(t_.TblAE2(), {col::kAe, col::kAeDepth});
        if (p_.CurveMode == 1)
            Rows(t_.TblQwcurve2(), {col::kQ, col::kW});
        p_.Tolerance = r_.ReadFloat();
        p_.PileLength = r_.ReadFloat();
        p_.OuterDiameter = r_.ReadFloat();
        p_.TipArea = r_.ReadFloat();
        p_.SpecifyTipMovements = Rows(t_.TblTipMove(), {col::kValue}) >= 1 ? 1 : 0;
        p_.AssignHeadLoads = Rows(t_.TblTopload(), {col::kValue}) >= 1 ? 1 : 0;
        p_.IncludeDowndrag =
            Rows(t_.TblSettlement2(), {col::kSettlementDepth, col::kSettlement}) >= 1 ? 1 : 0;
        if (!currentFormat)
            return;
        // The switches are 0 or 1 in the project; any positive value in the file means on.
        p_.ApplySideFactors = r_.ReadInteger() > 0 ? 1 : 0;
        if (p_.ApplySideFactors == 1)
            Rows(t_.TblPVFactors2(), {col::kFactorDepth, col::kTMultiplier, col::kZMultiplier});
        p_.ApplyQwFactors = r_.ReadInteger() > 0 ? 1 : 0;
        if (p_.ApplyQwFactors == 1) {
            p_.QMultiplier = r_.ReadFloat();
            p_.WMultiplier = r_.ReadFloat();
        }
    }

private:
    // A row count for `table`, refused outside 0..MaxRows before any row is made.
    int Count(const TGridTable& table) {
        const int n = r_.ReadInteger();
        if (n < 0 || n > table.MaxRows())
            throw EProjectReadError("The file gives " + Int(n) + " rows for the table \"" + table.Caption() +
                                    "\", which takes 0 to " + Int(table.MaxRows()) + " rows.");
        return n;
    }

    // The row count, then per row the given columns in order. Returns the count.
    int Rows(TGridTable& table, std::initializer_list<int> columns) {
        const int n = Count(table);
        table.SetRowCount(n);
        for (int r = 0; r < n; ++r)
            for (int c : columns)
                table.Column(c).SetFloat(r, r_.ReadFloat());
        return n;
    }

    void UserCurves() {
        TGridTable& depths = t_.TblPVDepth2();
        const int n = Count(depths);
        depths.SetRowCount(n);
        for (int k = 0; k < n; ++k) {
            r_.ReadInteger(); // the curve number
            depths.Column(col::kCurveDepth).SetFloat(k, r_.ReadFloat());
            TGridTable* curve = t_.TzCurve(k);
            if (curve == nullptr)
                throw EProjectReadError("The t-z curve " + Int(k + 1) + " has no table to take its points.");
            Rows(*curve, {col::kT, col::kZ});
        }
    }

    void SoilLayers() {
        TGridTable& layers = t_.D2();
        const int n = Count(layers);
        layers.SetRowCount(n);
        for (int k = 0; k < n; ++k) {
            r_.ReadInteger(); // the layer number
            const int code = r_.ReadInteger();
            if (!IsSoilType(code))
                throw EProjectReadError("The soil type " + Int(code) + " of layer " + Int(k + 1) +
                                        " is not one of the soil types 1 to 6.");
            layers.Column(col::kSoilType).SetInteger(k, code);
            r_.ReadFloat(); // the top: the bottom of the layer above
            layers.Column(col::kLayerBottom).SetFloat(k, r_.ReadFloat());
            TGridTable& data = LayerData(k);
            data.SetRowNumber(k + 1);
            data.SetRowCount(data.MinRows());
        }
        for (int k = 0; k < n; ++k) {
            TGridTable& data = LayerData(k);
            const bool clay = IsClay(t_.SoilTypeOf(k));
            for (int r = 0; r < 2; ++r) {
                // Clay: gamma, cu, (0.0), e50, fs, qt. Sand: gamma, (0.0), phi, N, fs, qt.
                const int columns[6] = {col::kGamma,
                                        clay ? col::kCu : -1,
                                        clay ? -1 : col::kPhi,
                                        clay ? col::kE50 : col::kN,
                                        col::kFs,
                                        col::kQt};
                const int unused[2] = {clay ? col::kPhi : col::kCu, clay ? col::kN : col::kE50};
                for (int c : unused)
                    data.Column(c).SetFloat(r, 0);
                for (int c : columns) {
                    const long double value = r_.ReadFloat();
                    if (c >= 0)
                        data.Column(c).SetFloat(r, value);
                }
            }
        }
    }

    TGridTable& LayerData(int layer) {
        TGridTable* data = t_.LayerData(layer);
        if (data == nullptr)
            throw EProjectReadError("The soil layer " + Int(layer + 1) + " has no table to take its data.");
        return *data;
    }

    TProgramData& p_;
    TProjectTables& t_;
    TWordReader& r_;
};

} // namespace

TWordReader OpenProjectFile(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = fs::is_regular_file(path, error) ? fs::file_size(path, error) : 0;
    if (!error && size > kMaxProjectFileBytes)
        throw EProjectReadError("The file \"" + path + "\" is " + std::to_string(size) +
                                " bytes long; no project file is longer than " +
                                std::to_string(kMaxProjectFileBytes) + " bytes, so it was not read.");
    return TWordReader(path);
}

void ReadProject(TProgramData& project, TWordReader& reader, bool currentFormat) {
    ProjectReader(project, reader).Run(currentFormat);
}

} // namespace pavrin::app
