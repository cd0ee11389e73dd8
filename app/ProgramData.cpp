#include "ProgramData.h"

#include "ProjectFile.h"
#include "ProjectFileNames.h"

#include <filesystem>
#include <fstream>
#include <new>
#include <system_error>

namespace pavrin::app {

std::unique_ptr<TProgramData> ProgramData;

namespace {

// Inches per metre and metres per inch, as the unit switch of the scalars uses them.
constexpr long double kInchesPerMetre = 39.37007874L;
constexpr long double kMetresPerInch = 0.0254L;

// The companion file is created empty when it is missing; one that exists is
// left alone, so nothing the user keeps there is lost by saving.
void CreateCompanionFile(const std::string& path) {
    std::error_code error;
    if (std::filesystem::exists(path, error) || error)
        return;
    std::ofstream create(path, std::ios::binary);
}

} // namespace

TProgramData::TProgramData(TProjectTables& tables) : tables_(&tables) {}

std::unique_ptr<TProgramData> TProgramData::CreateNew(TProjectTables& tables) {
    auto project = std::make_unique<TProgramData>(tables);
    // Units is already 1: the tables left in SI by an earlier project convert, the scalars stay.
    project->SetUnits(1);
    tables.ResetRows();
    tables.SetModified(false);
    return project;
}

std::unique_ptr<TProgramData> TProgramData::CreateFromFile(TProjectTables& tables, const std::string& path,
                                                           bool currentFormat, std::string& errorMessage) {
    errorMessage.clear();
    std::unique_ptr<TProgramData> project = CreateNew(tables);
    project->FileName = path;
    tables.ClearRows();
    try {
        controls::TWordReader reader = OpenProjectFile(path);
        ReadProject(*project, reader, currentFormat);
    } catch (const controls::EInOutError& e) {
        errorMessage = e.what();
    } catch (const controls::EFileOpenError& e) {
        errorMessage = e.what();
    } catch (const std::bad_alloc&) {
        errorMessage = "There was not enough memory to read the file \"" + path + "\".";
    }
    tables.RaiseToMinimumRows();
    project->ReadError = errorMessage;
    tables.SetModified(false);
    return project;
}

void TProgramData::SaveToFile() {
    GwiFileName = ChangeFileExt(FileName, ext::kGwi);
    try {
        WriteFileReplacing(FileName, ProjectFileText(*this));
    } catch (...) {
        CreateCompanionFile(GwiFileName);
        throw;
    }
    CreateCompanionFile(GwiFileName);
    ReadError.clear();
    tables_->SetModified(false);
}

void TProgramData::SetUnits(int system) {
    system = system > 2 ? 2 : (system < 1 ? 1 : system);
    const int old = Units;
    Units = system;
    tables_->SetUnits(system);
    if (system == old)
        return;
    const long double k = system == 1 ? kInchesPerMetre : kMetresPerInch;
    PileLength *= k;
    OuterDiameter *= k;
    Tolerance *= k;
    TipArea *= k * k;
}

} // namespace pavrin::app
