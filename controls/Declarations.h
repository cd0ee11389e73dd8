// The declarations of the program's grid tables: one readable text file per
// table in controls/declarations (shipped inside the library, so no file is
// needed at run time), read into tables through the column stream's text
// form:
//
//   object D2: TGridTableChart
//     Identifier = 40
//     Caption = 'Soil Layers'
//     ...
//     Col = 3 ...
//   end
#pragma once

#include "Table.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pavrin::controls {

// The declaration text of a table by its component name ("D2",
// "tblDataClay2", "TblTopload", ...); empty when there is none.
std::string_view DeclarationText(std::string_view name);

// The names of every declared table, sorted.
std::vector<std::string> DeclaredTableNames();

struct TableDeclaration {
    std::string name; // component name after "object"
    std::unique_ptr<TGridTable> table;
};

// Builds a table (TGridTable or TGridTableChart, in its family) from a
// declaration text. Throws EReadError naming the table, line and property.
TableDeclaration ReadTableDeclaration(std::string_view text);

// The declaration text of a table: its properties that differ from the
// defaults (Identifier, MinRows, MaxRows and Col always).
std::string WriteTableDeclaration(const TGridTable& table, const std::string& name);

// A new table built from the named declaration: the entry point for the main
// window's tables and their templates. Throws ETableError for an unknown name.
std::unique_ptr<TGridTable> CreateDeclaredTable(std::string_view name);

namespace detail {
struct DeclarationFile {
    const char* name;
    const char* text;
    std::size_t size;
};
// Generated from controls/declarations at build time.
extern const DeclarationFile kDeclarationFiles[];
extern const std::size_t kDeclarationFileCount;
} // namespace detail

} // namespace pavrin::controls
