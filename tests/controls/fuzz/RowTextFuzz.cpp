// Arbitrary bytes as pasted text loaded into a t-z curve table: every call
// either fills rows or raises an entry error of a column, the table keeps
// every column at its row count, never more than MaxRows rows and never fewer
// than MinRows after a successful load.
#include "DecimalSeparator.h"
#include "Declarations.h"
#include "Evaluator.h"
#include "RowText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pavrin::controls;
    // The first byte picks the decimal separator, the rest is the text.
    const char separator = size > 0 && (data[0] & 1) ? ',' : '.';
    const std::string_view text =
        size > 0 ? std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1) : "";
    DecimalSeparatorScope scope(separator);
    static const auto table = CreateDeclaredTable("TblPVCurves2");
    table->SetRowCount(table->MinRows());
    bool loaded = true;
    try {
        LoadRowsFromLines(*table, SplitTextLines(text));
    } catch (const EAssignError&) {
        loaded = false;
    } catch (const EMathError&) {
        loaded = false;
    }
    for (int c = 0; c < table->ColumnCount(); ++c)
        if (table->Column(c).RowCount() != table->RowCount())
            std::abort();
    if (table->RowCount() > table->MaxRows() || (loaded && table->RowCount() < table->MinRows()))
        std::abort();
    return 0;
}
