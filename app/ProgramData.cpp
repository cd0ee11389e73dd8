#include "ProgramData.h"

#include "MeasuredLoadTest.h"
#include "ProjectFile.h"
#include "ProjectFileNames.h"

#include <filesystem>
#include <fstream>
#include <new>
#include <system_error>

namespace pavrin::app {

std::unique_ptr<TProgramData> ProgramData;

namespace {

// Metres per inch and square metres per square inch, as the unit switch of the
// scalars uses them. The way back to English divides by the same factors, so a
// value switched to SI and back returns as typed to the digits the fields show.
constexpr long double kMetresPerInch = 0.0254L;
constexpr long double kSquareMetresPerSquareInch = kMetresPerInch * kMetresPerInch;

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
    // The measured load test beside it, in the project's units whatever its file's.
    const std::string measured = MeasuredFileName(path);
    std::error_code error;
    if (std::filesystem::exists(measured, error)) {
        TMeasuredLoadTest test;
        if (const std::optional<std::string> problem = ReadMeasuredLoadTest(measured, test)) {
            project->MeasuredReadError = *problem;
        } else {
            tables.SetMeasuredTest(test);
            project->MeasuredFile = measured;
        }
    }
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
    ReadError.clear(); // the file holds this project now
    SaveMeasuredTest();
    tables_->SetModified(false);
}

void TProgramData::SaveMeasuredTest() {
    const std::string path = MeasuredFileName(FileName);
    const TMeasuredLoadTest test = tables_->MeasuredTest();
    if (!test.points.empty()) {
        if (const std::optional<std::string> problem = WriteMeasuredLoadTest(path, test))
            throw EProjectSaveError(*problem);
        MeasuredFile = path;
        return;
    }
    // No empty file for a project without a test; the file of a test the user emptied goes, so that
    // opening the project does not bring the test back. Any other file of that name stays.
    if (!MeasuredFile.empty() && MeasuredFile == path) {
        std::error_code error;
        std::filesystem::remove(path, error);
        if (error)
            throw EProjectSaveError("The measured load test \"" + path +
                                    "\" could not be removed after its rows were cleared: " + error.message() +
                                    ".");
    }
    MeasuredFile.clear();
}

void TProgramData::SetUnits(int system) {
    system = system > 2 ? 2 : (system < 1 ? 1 : system);
    const int old = Units;
    Units = system;
    tables_->SetUnits(system);
    if (system == old)
        return;
    if (system == 2) {
        PileLength *= kMetresPerInch;
        OuterDiameter *= kMetresPerInch;
        Tolerance *= kMetresPerInch;
        TipArea *= kSquareMetresPerSquareInch;
    } else {
        PileLength /= kMetresPerInch;
        OuterDiameter /= kMetresPerInch;
        Tolerance /= kMetresPerInch;
        TipArea /= kSquareMetresPerSquareInch;
    }
}

} // namespace pavrin::app
