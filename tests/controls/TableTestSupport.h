// Helpers of the grid-table tests: tables built from column streams in the
// text form, a stand-in editor, and an observer that records notifications.
#pragma once

#include "ColumnStream.h"
#include "Table.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pavrin::controls::testing {

inline void ReadColumns(TGridTable& table, std::string_view text) {
    ValueReader reader(ParseStreamText(text));
    table.ReadCol(reader);
}

// One column definition in the text form.
inline std::string FloatColumn(const std::string& heading, const std::string& units = "",
                               bool topDepth = false, bool groupValue = false) {
    return "2 ('" + heading + "') True " + (groupValue ? "True " : "False ") + (topDepth ? "True" : "False") +
           " 'FLOATCOLUMN2' '" + units + "' 0.0 ";
}

inline std::vector<long double> FloatValues(const TGridTable& table, int column) {
    std::vector<long double> values;
    for (int r = 0; r < table.RowCount(); ++r)
        values.push_back(table.Float(column, r));
    return values;
}

struct EditorLog {
    int shown = 0;
    int destroyed = 0;
    bool lastModal = false;
    std::vector<std::string> captions;
};

class FakeEditor : public TableEditor {
public:
    explicit FakeEditor(EditorLog& log) : log_(log) {}
    ~FakeEditor() override { ++log_.destroyed; }
    void Show(bool modal) override {
        ++log_.shown;
        log_.lastModal = modal;
    }
    void SetCaption(const std::string& caption) override { log_.captions.push_back(caption); }
    void HelpPictureChanged() override {}

private:
    EditorLog& log_;
};

// Installs fake editors in a family for the scope's lifetime.
class FakeEditors {
public:
    explicit FakeEditors(TableFamily& family) : family_(family) {
        family.SetEditorFactory([this](TGridTable&) { return std::make_unique<FakeEditor>(log); });
    }
    ~FakeEditors() { family_.SetEditorFactory(nullptr); }
    FakeEditors(const FakeEditors&) = delete;
    FakeEditors& operator=(const FakeEditors&) = delete;

    EditorLog log;

private:
    TableFamily& family_;
};

class RecordingObserver : public TableObserver {
public:
    void CellChanged(int column, int row) override { cells.emplace_back(column, row); }
    void TableChanged() override { ++tableChanges; }

    std::vector<std::pair<int, int>> cells;
    int tableChanges = 0;
};

} // namespace pavrin::controls::testing
