// Arbitrary bytes as a table declaration: every call either builds a table,
// whose declaration then reads back to the same column stream, or raises a
// reading error of the declaration (EReadError) or of the model (ETableError).
#include "Declarations.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pavrin::controls;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const TableDeclaration declaration = ReadTableDeclaration(text);
        if (declaration.table->RowCount() > 0)
            std::abort(); // a declaration has no rows
        if (declaration.table->RowGroup() <= 10)
            declaration.table->SetRowCount(2);
        const std::string written = WriteTableDeclaration(*declaration.table, declaration.name);
        const TableDeclaration again = ReadTableDeclaration(written);
        if (WriteTableDeclaration(*again.table, declaration.name) != written)
            std::abort();
    } catch (const EReadError&) {
    } catch (const ETableError&) {
    }
    return 0;
}
