// Arbitrary bytes as a project file: every call either reads the whole file or
// stops with a reading error (the token reader's, or a value the project
// cannot take), and never makes a table longer than its limit. What was read
// then always writes a file that reads back without error to the same text.
#include "ProjectFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

using namespace pavrin::app;

// Reads `text` into a new project; returns false on a reading error.
bool Read(TProjectTables& tables, std::string_view text, bool currentFormat,
          std::unique_ptr<TProgramData>& project) {
    project = TProgramData::CreateNew(tables);
    tables.ClearRows();
    bool complete = true;
    try {
        pavrin::controls::TWordReader reader = pavrin::controls::TWordReader::FromText(text);
        ReadProject(*project, reader, currentFormat);
    } catch (const pavrin::controls::EInOutError&) {
        complete = false;
    }
    for (TGridTable* table : tables.ProjectTables())
        if (table->RowCount() > table->MaxRows())
            std::abort();
    tables.RaiseToMinimumRows();
    return complete;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TProjectTables tables;
    // The first byte picks the format, the rest is the file.
    const bool currentFormat = size == 0 || (data[0] & 1) == 0;
    const std::string_view text =
        size == 0 ? std::string_view() : std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::unique_ptr<TProgramData> project;
    Read(tables, text, currentFormat, project);
    const std::string written = ProjectFileText(*project);

    std::unique_ptr<TProgramData> again;
    if (!Read(tables, written, true, again))
        std::abort();
    if (ProjectFileText(*again) != written)
        std::abort();
    return 0;
}
