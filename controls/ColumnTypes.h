// The typed columns of a grid table. Each column holds one cell per row of its
// table: an enumeration item index, an integer, an extended real, a linked
// object (normally a sub-table copied from a template table) or a string.
// Columns stream their definition (headings, flags, kind settings) in the
// table's column stream; each kind has a fixed class number there.
#pragma once

#include "ColumnStream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pavrin::controls {

class TGridTable;
class TColumn;

// A misuse of the table model: an index out of range, a bad setting, row
// controls attached twice. Not meant for the user; user entries fail with
// EAssignError.
class ETableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A typed accessor used on a column of another kind: "Data of wrong type".
class EInvalidCast : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The texts the table model raises.
namespace table_message {
inline constexpr const char* kWrongType = "Data of wrong type";
inline constexpr const char* kIndexOutOfBounds = "Index out of bounds";
inline constexpr const char* kMinRows = "Value must be greater than 0";
inline constexpr const char* kTopDepth =
    "If column if a topdepth then the next column must be a float column";
inline constexpr const char* kNotInteger = "Entry must be an integer.";
inline constexpr const char* kBetween = "Entry must be between %d and %d.";
inline constexpr const char* kValueNotInteger = "Value must be an integer.";
inline constexpr const char* kColumnCount = "Error reading column count";
inline constexpr const char* kClassNotDefined = "Error Column Class not defined";
inline constexpr const char* kCreatingColumn = "Error occured when creating column %d: %s";
inline constexpr const char* kTableParent = "Error attempt to change parent with controls already allocated";
inline constexpr const char* kEnumParent = "Attempt to change parent with controls already allocated";
inline constexpr const char* kNullParent = "null parent";
inline constexpr const char* kTopRow = "ATopRow %d";
inline constexpr const char* kCount = "ACount %d";
inline constexpr const char* kComboRow = "Unexpected row for combobox";
} // namespace table_message

// Fills the %d and %s of a message, in order.
std::string FormatMessage(const char* pattern, std::initializer_list<std::string> arguments);

// The general number format: `digits` significant digits, fixed notation for
// magnitudes from 0.0001 up to `digits` digits before the separator,
// otherwise d.dddE-x; trailing zeros dropped. "INF", "-INF", "NAN" for the
// non-finite values.
std::string FormatGeneral(long double value, int digits, char decimalSeparator);

// The text of a float cell: 8 significant digits with the user's separator.
std::string FormatCellValue(long double value);

// An object linked to a row of a table column: a sub-table, or an object that
// the table's OnInitRow event supplies. The column owns it.
class RowObject {
public:
    virtual ~RowObject() = default;
};

// The editor's side of the row controls (the drop-down lists of an
// enumeration column and the buttons of a table column, laid over their
// cells). The column keeps the attachment state and checks; the editor owns
// and places the widgets.
class RowControlHost {
public:
    virtual ~RowControlHost() = default;
    // Create or reuse the controls of rows [firstRow, firstRow + count) of the column.
    virtual void AttachRowControls(TColumn& column, int firstRow, int count) = 0;
    virtual void DetachRowControls(TColumn& column) = 0;
    // The item or caption of one row's control has changed.
    virtual void RowControlChanged(TColumn& column, int row) = 0;
};

// What column widths are measured with: the screen's pixels per inch and the
// width of a text in the grid's font.
struct TextMetrics {
    int pixelsPerInch = 96;
    std::function<int(const std::string&)> textWidth;
};

// Streaming numbers of the column classes.
enum ColumnClassNumber : int {
    kEnumColumn = 0,
    kIntColumn = 1,
    kFloatColumn = 2,
    kTableColumn = 3,
    kStringColumn = 4
};

class TColumn {
public:
    explicit TColumn(TGridTable& table);
    virtual ~TColumn();
    TColumn(const TColumn&) = delete;
    TColumn& operator=(const TColumn&) = delete;

    virtual int ClassNumber() const = 0;
    // A column of the same class and definition, without rows, wired to `table`.
    virtual std::unique_ptr<TColumn> Clone(TGridTable& table) const = 0;

    TGridTable& Table() const { return *table_; }
    int Index() const; // position among all the table's columns, hidden ones included

    // Rows. The table keeps every column at its own row count.
    virtual int RowCount() const = 0;
    virtual void InsertRows(int at, int count) = 0;
    virtual void DeleteRow(int index) = 0;
    // Removes rows [at, at + count) without the updates DeleteRow makes to
    // linked cells; the table's way back from a failed insertion.
    virtual void RemoveRows(int at, int count) = 0;

    // Headings: one grid header row per line.
    const std::vector<std::string>& Headings() const { return headings_; }
    void SetHeadings(std::vector<std::string> headings) { headings_ = std::move(headings); }
    int HeadingLineCount() const { return static_cast<int>(headings_.size()); }
    virtual std::string HeadingLine(int index) const;

    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    // A value written to one row goes to every row of that row's group.
    bool GroupValue() const { return groupValue_; }
    void SetGroupValue(bool groupValue) { groupValue_ = groupValue; }

    // Typed cells; a kind that does not hold the type raises "Data of wrong type".
    virtual TGridTable* GetTable(int row) const;
    virtual long double GetFloat(int row) const;
    virtual void SetFloat(int row, long double value);
    virtual std::int32_t GetInteger(int row) const;
    virtual void SetInteger(int row, std::int32_t value);
    virtual RowObject* GetObject(int row) const;
    virtual std::string GetText(int row) const;
    // Parses and stores; a failed set text leaves the cell unchanged.
    virtual void SetText(int row, const std::string& text);
    // Copies one cell of a column of the same class (layer type change); false
    // when the kinds differ.
    virtual bool CopyCell(int row, const TColumn& source, int sourceRow);

    virtual bool IsChanged() const { return false; }
    virtual void ResetChanged() {}
    virtual void Hide() {}
    virtual void SetUnits(int units);
    // Screen width in pixels: the widest heading line plus two blanks, or the
    // kind's minimum, whichever is larger.
    int Width(const TextMetrics& metrics) const;
    int RowGroupSize() const;

    // Row controls (enumeration and table kinds).
    virtual bool UsesRowControls() const { return false; }
    bool ControlsAttached() const { return controlHost_ != nullptr; }
    RowControlHost* ControlHost() const { return controlHost_; }
    int ControlFirstRow() const { return controlFirstRow_; }
    int ControlCount() const { return controlCount_; }
    void AttachControls(RowControlHost* host, int firstRow, int count);
    void DetachControls();

    // Streaming: the definition of the column, after its class number.
    void Write(ValueWriter& writer) const;
    // `previous` are the columns already read from the same stream.
    void Read(ValueReader& reader, const std::vector<std::unique_ptr<TColumn>>& previous);

protected:
    virtual void WriteData(ValueWriter& writer) const = 0;
    virtual void ReadData(ValueReader& reader, const std::vector<std::unique_ptr<TColumn>>& previous) = 0;
    virtual double MinimumWidthInches() const = 0;
    virtual const char* ParentError() const { return table_message::kEnumParent; }
    void CopyDefinitionTo(TColumn& other) const;

    // Tells the table that a cell was stored.
    void CellChanged(int row);
    void CheckRow(int row) const;
    // Rows that a write to `row` reaches: its group with the group-value flag, else the row alone.
    std::pair<int, int> WriteRange(int row) const;
    void NotifyControl(int row);

private:
    TGridTable* table_;
    std::vector<std::string> headings_;
    bool visible_ = true;
    bool groupValue_ = false;
    RowControlHost* controlHost_ = nullptr;
    int controlFirstRow_ = 0;
    int controlCount_ = 0;
};

// A choice from a list: the cell holds the 1-based item index (new rows get 1).
class TEnumColumn : public TColumn {
public:
    using TColumn::TColumn;
    int ClassNumber() const override { return kEnumColumn; }
    std::unique_ptr<TColumn> Clone(TGridTable& table) const override;

    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(std::vector<std::string> items) { items_ = std::move(items); }

    int RowCount() const override { return static_cast<int>(values_.size()); }
    void InsertRows(int at, int count) override;
    void DeleteRow(int index) override;
    void RemoveRows(int at, int count) override;
    std::int32_t GetInteger(int row) const override;
    void SetInteger(int row, std::int32_t value) override;
    std::string GetText(int row) const override;
    void SetText(int row, const std::string& text) override;
    bool CopyCell(int row, const TColumn& source, int sourceRow) override;
    bool UsesRowControls() const override { return true; }

    // The user chose the item at 1-based `position` in the drop-down of `row`.
    void ItemChosen(int row, int position);

protected:
    void WriteData(ValueWriter& writer) const override;
    void ReadData(ValueReader& reader, const std::vector<std::unique_ptr<TColumn>>& previous) override;
    double MinimumWidthInches() const override { return 1.5; }

private:
    void Store(int row, std::int32_t value);

    std::vector<std::string> items_;
    std::vector<std::int32_t> values_;
};

class TIntColumn : public TColumn {
public:
    using TColumn::TColumn;
    int ClassNumber() const override { return kIntColumn; }
    std::unique_ptr<TColumn> Clone(TGridTable& table) const override;

    std::int32_t Default() const { return default_; }
    void SetDefault(std::int32_t value) { default_ = value; }
    std::int32_t Minimum() const { return minimum_; }
    std::int32_t Maximum() const { return maximum_; }
    void SetLimits(std::int32_t minimum, std::int32_t maximum);

    int RowCount() const override { return static_cast<int>(values_.size()); }
    void InsertRows(int at, int count) override;
    void DeleteRow(int index) override;
    void RemoveRows(int at, int count) override;
    std::int32_t GetInteger(int row) const override;
    void SetInteger(int row, std::int32_t value) override;
    std::string GetText(int row) const override;
    // With an editor open: integral and within the limits, else EAssignError.
    void SetText(int row, const std::string& text) override;
    bool CopyCell(int row, const TColumn& source, int sourceRow) override;

protected:
    void WriteData(ValueWriter& writer) const override;
    void ReadData(ValueReader& reader, const std::vector<std::unique_ptr<TColumn>>& previous) override;
    double MinimumWidthInches() const override { return 0.5; }

private:
    std::int32_t default_ = 0;
    std::int32_t minimum_ = INT32_MIN;
    std::int32_t maximum_ = INT32_MAX;
    std::vector<std::int32_t> values_;
};

class TFloatColumn : public TColumn {
public:
    using TColumn::TColumn;
    int ClassNumber() const override { return kFloatColumn; }
    std::unique_ptr<TColumn> Clone(TGridTable& table) const override;

    // A top-depth column is followed by its bottom column: the top of a row
    // is the bottom of the row before it.
    bool TopDepth() const { return topDepth_; }
    void SetTopDepth(bool topDepth) { topDepth_ = topDepth; }
    const std::string& UnitsTemplate() const { return unitsTemplate_; }
    // Throws EConvertError for a template that cannot be converted.
    void SetUnitsTemplate(std::string unitsTemplate);
    long double Default() const { return default_; }
    void SetDefault(long double value) { default_ = value; }

    std::string HeadingLine(int index) const override;
    int RowCount() const override { return static_cast<int>(values_.size()); }
    void InsertRows(int at, int count) override;
    void DeleteRow(int index) override;
    void RemoveRows(int at, int count) override;
    long double GetFloat(int row) const override;
    void SetFloat(int row, long double value) override;
    std::string GetText(int row) const override;
    void SetText(int row, const std::string& text) override;
    bool CopyCell(int row, const TColumn& source, int sourceRow) override;
    void SetUnits(int units) override;

protected:
    void WriteData(ValueWriter& writer) const override;
    void ReadData(ValueReader& reader, const std::vector<std::unique_ptr<TColumn>>& previous) override;
    double MinimumWidthInches() const override { return 0.5; }

private:
    void Store(int row, long double value);
    TFloatColumn* BottomColumn() const; // the next column when this is a top-depth column
    TFloatColumn* TopColumn() const;    // the previous column when it is a top-depth column

    bool topDepth_ = false;
    std::string unitsTemplate_;
    long double default_ = 0;
    std::vector<long double> values_;
};

// Template table identifiers of a table column: one entry per item of the
// table's first column when that is an enumeration column, else one; -1 is none.
using TGridTableList = std::vector<int>;

// Links each row to an object, normally a sub-table copied from the template
// table that the row's soil type (or the single entry) names.
class TTableColumn : public TColumn {
public:
    using TColumn::TColumn;
    ~TTableColumn() override;
    int ClassNumber() const override { return kTableColumn; }
    std::unique_ptr<TColumn> Clone(TGridTable& table) const override;

    const TGridTableList& Templates() const { return templates_; }
    void SetTemplates(TGridTableList templates) { templates_ = std::move(templates); }
    // Pads with -1 or drops trailing entries (kept in step with the enumeration items).
    void SetTemplateCount(int count);
    // The template table for a row whose first-column item is `item` (1-based;
    // 0 when the table has no enumeration column), or null.
    TGridTable* TemplateFor(int item) const;

    int RowCount() const override { return static_cast<int>(objects_.size()); }
    void InsertRows(int at, int count) override;
    void DeleteRow(int index) override;
    void RemoveRows(int at, int count) override;
    TGridTable* GetTable(int row) const override;
    RowObject* GetObject(int row) const override;
    // "%d: %s": the 1-based row and the sub-table's caption or OnGetButtonCaption's text.
    std::string GetText(int row) const override;
    bool IsChanged() const override;
    void ResetChanged() override;
    void Hide() override;
    void SetUnits(int units) override;
    bool UsesRowControls() const override { return true; }

    // The row's button was pressed: open its sub-table's editor (modal when
    // this table's editor is), or fire OnButtonClick when it has none.
    void ButtonPressed(int row);
    // The row's item in the first column changed: a new object for the new
    // item; `carryValues` copies the old sub-table's cells by position.
    void RecreateRow(int row, bool carryValues);

protected:
    void WriteData(ValueWriter& writer) const override;
    void ReadData(ValueReader& reader, const std::vector<std::unique_ptr<TColumn>>& previous) override;
    double MinimumWidthInches() const override { return 2.0; }
    const char* ParentError() const override { return table_message::kTableParent; }

private:
    std::unique_ptr<RowObject> CreateRowObject(int row);
    void Renumber(int from);

    TGridTableList templates_{-1};
    std::vector<std::unique_ptr<RowObject>> objects_;
};

class TStringColumn : public TColumn {
public:
    using TColumn::TColumn;
    int ClassNumber() const override { return kStringColumn; }
    std::unique_ptr<TColumn> Clone(TGridTable& table) const override;

    const std::string& Default() const { return default_; }
    void SetDefault(std::string value) { default_ = std::move(value); }
    long double WidthInches() const { return widthInches_; }
    void SetWidthInches(long double inches) { widthInches_ = inches; }

    int RowCount() const override { return static_cast<int>(values_.size()); }
    void InsertRows(int at, int count) override;
    void DeleteRow(int index) override;
    void RemoveRows(int at, int count) override;
    std::string GetText(int row) const override;
    void SetText(int row, const std::string& text) override;
    bool CopyCell(int row, const TColumn& source, int sourceRow) override;

protected:
    void WriteData(ValueWriter& writer) const override;
    void ReadData(ValueReader& reader, const std::vector<std::unique_ptr<TColumn>>& previous) override;
    double MinimumWidthInches() const override { return static_cast<double>(widthInches_); }

private:
    std::string default_;
    long double widthInches_ = 0;
    std::vector<std::string> values_;
};

// Column classes by streaming number. Each table family has one; it starts
// with the five classes above.
class ColumnClassRegistry {
public:
    using Factory = std::function<std::unique_ptr<TColumn>(TGridTable&)>;

    ColumnClassRegistry();
    void Register(int number, Factory factory);
    void Unregister(int number);
    bool Contains(int number) const;
    // Back to the five built-in classes.
    void Reset();
    // Throws EReadError "Error Column Class not defined" for an unknown number.
    std::unique_ptr<TColumn> Create(int number, TGridTable& table) const;

private:
    std::vector<std::pair<int, Factory>> factories_;
};

} // namespace pavrin::controls
