// TGridTable: a grid table with typed columns and a row count, in which the
// program's tabular input lives. Rows are added and removed in groups; a table
// column links each row to a sub-table copied from a template table, so
// tables nest. The editor window sits on the table through the TableEditor and
// TableObserver interfaces below, so no widget type appears here.
//
// Tables belong to a family (TableFamily): the plain tables here and the chart
// tables of TableChart.h each have their own list of live tables, identifier
// counter, column class registry and editor factory. A table column finds its
// templates by identifier among the live tables of its own family.
#pragma once

#include "ColumnStream.h"
#include "ColumnTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pavrin::controls {

class TGridTable;

// Registered by an open editor: one cell changed (refresh it) or the whole
// table changed (redraw). Column indices count hidden columns too.
class TableObserver {
public:
    virtual ~TableObserver() = default;
    virtual void CellChanged(int column, int row) = 0;
    virtual void TableChanged() = 0;
};

// A container of the front end in which an editor is embedded instead of
// being a child window (the table's FormParent). The front end derives from it.
class EditorContainer {
public:
    virtual ~EditorContainer() = default;
};

// The editor window of a table, owned by the table while open. Destroying it
// closes the window. An editor that the user closes calls the table's
// EditorClosed(), which destroys this object: the call must be the last thing
// the caller does with it.
class TableEditor {
public:
    virtual ~TableEditor() = default;
    // Shows the window: embedded in table.FormParent() when set and not
    // modal, else as a child window; modal returns when the window closes.
    virtual void Show(bool modal) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void HelpPictureChanged() = 0;
};

class TableFamily {
public:
    using EditorFactory = std::function<std::unique_ptr<TableEditor>(TGridTable&)>;

    explicit TableFamily(std::string name) : name_(std::move(name)) {}
    TableFamily(const TableFamily&) = delete;
    TableFamily& operator=(const TableFamily&) = delete;

    const std::string& Name() const { return name_; }

    // Live tables in the order of their creation.
    const std::vector<TGridTable*>& Tables() const { return tables_; }
    TGridTable* FindByIdentifier(int identifier) const;
    TGridTable* TableAt(int position) const; // null outside the list

    // The next value of the identifier counter that no live table holds.
    int NextIdentifier();
    ColumnClassRegistry& ColumnClasses() { return columnClasses_; }
    const ColumnClassRegistry& ColumnClasses() const { return columnClasses_; }
    void SetEditorFactory(EditorFactory factory) { editorFactory_ = std::move(factory); }
    const EditorFactory& GetEditorFactory() const { return editorFactory_; }

    // For tests: counter back to 0, the built-in column classes, no editor
    // factory. Live tables stay listed.
    void Reset();

private:
    friend class TGridTable;
    void Add(TGridTable* table) { tables_.push_back(table); }
    void Remove(TGridTable* table);

    std::string name_;
    std::vector<TGridTable*> tables_;
    int counter_ = 0;
    ColumnClassRegistry columnClasses_;
    EditorFactory editorFactory_;
};

// The family of plain tables.
TableFamily& PlainTables();

class TGridTable : public RowObject {
public:
    // A top-level plain table (unit system 1, row number 0).
    TGridTable();
    // A plain table owned by `owner`: it takes the owner's unit system.
    explicit TGridTable(TGridTable* owner);
    // Copy of a template: caption, comments, top-left text, row limits and
    // column definitions; MinRows rows of defaults. The identifier, row group,
    // help picture and HardwiredButton are not copied.
    TGridTable(TGridTable* owner, int rowNumber, const TGridTable& templ);
    ~TGridTable() override;
    TGridTable(const TGridTable&) = delete;
    TGridTable& operator=(const TGridTable&) = delete;

    // A copy of this table as a template for a row of `owner` (same class).
    virtual std::unique_ptr<TGridTable> CreateCopy(TGridTable* owner, int rowNumber) const;
    virtual const char* ClassName() const { return "TGridTable"; }
    TableFamily& Family() const { return *family_; }
    TGridTable* Owner() const { return owner_; }
    // Identity of this table, and of the template it was copied from (0 for
    // none), by which table columns refuse templates that would copy themselves.
    std::uint64_t Serial() const { return serial_; }
    std::uint64_t TemplateSerial() const { return templateSerial_; }

    // Published properties, in their streaming order.
    const std::string& Comments() const { return comments_; }
    void SetComments(std::string comments) { comments_ = std::move(comments); }
    int Identifier() const { return identifier_; }
    // A negative value is ignored; a table of the family that holds the value
    // takes this table's old identifier.
    void SetIdentifier(int identifier);
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    int MaxRows() const { return maxRows_; }
    void SetMaxRows(int maxRows) { maxRows_ = maxRows; }
    int MinRows() const { return minRows_; }
    // 0 or less raises "Value must be greater than 0" (becomes 1 while loading).
    void SetMinRows(int minRows);
    // Image file data shown in the editor; empty for none.
    const std::string& HelpPicture() const { return helpPicture_; }
    void SetHelpPicture(std::string picture);
    bool HardwiredButton() const { return hardwiredButton_; }
    void SetHardwiredButton(bool value) { hardwiredButton_ = value; }
    EditorContainer* FormParent() const { return formParent_; }
    void SetFormParent(EditorContainer* parent) { formParent_ = parent; }
    int RowGroup() const { return rowGroup_; }
    void SetRowGroup(int rowGroup) { rowGroup_ = rowGroup < 1 ? 1 : rowGroup; }
    const std::string& TopLeft() const { return topLeft_; }
    void SetTopLeft(std::string text) { topLeft_ = std::move(text); }

    // Events. ACol is the column's index among all columns; AData the row's
    // object (for table columns whose rows have no sub-table).
    std::function<void(TGridTable&)> OnResize;
    std::function<void(TGridTable&, int col, int row, RowObject* data)> OnButtonClick;
    std::function<void(TGridTable&, int col, int row, RowObject* data, std::string& caption)>
        OnGetButtonCaption;
    std::function<void(TGridTable&, int col, int row, RowObject* data, bool& changed)> OnGetChanged;
    std::function<void(TGridTable&, int col, int row, RowObject* data)> OnHide;
    std::function<void(TGridTable&, int col, int row, int enumType, std::unique_ptr<RowObject>& data)>
        OnInitRow;
    std::function<void(TGridTable&, int col, int row, RowObject* data)> OnResetChanged;
    std::function<void(TGridTable&, int col, RowObject* data, int row)> OnSetRow;
    std::function<void(TGridTable&, int col, int row, RowObject* data, int units)> OnSetUnits;

    // Rows. Every column holds exactly RowCount() cells.
    int RowCount() const { return rowCount_; }
    // Below 0 counts as 0; rows are dropped from the end, or added in whole groups.
    void SetRowCount(int count);
    void AppendGroup();
    void InsertGroup(int row); // before the group that holds `row` (RowCount() appends)
    void DeleteGroup(int row); // the group that holds `row`

    // Columns.
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    TColumn& Column(int index) const;
    int VisibleColumnCount() const;
    TColumn& VisibleColumn(int index) const; // "Index out of bounds" outside the visible columns
    int IndexOf(const TColumn& column) const;
    // Adds a column at the end, filled to the row count (for tables built in code).
    TColumn& AddColumn(std::unique_ptr<TColumn> column);
    bool CellExists(int column, int row) const;
    std::int32_t Integer(int column, int row) const { return Column(column).GetInteger(row); }
    long double Float(int column, int row) const { return Column(column).GetFloat(row); }
    std::string Text(int column, int row) const { return Column(column).GetText(row); }

    // Unit system: 1 English, 2 SI, 3 none. A change rescales every float
    // column by its units template and relabels it.
    int Units() const { return units_; }
    void SetUnits(int units);

    // Changed: set by the editor when the user edits; also true when a
    // sub-table (or OnGetChanged) reports a change.
    bool IsChanged() const;
    void SetChanged(bool changed) { changed_ = changed; }
    void ResetChanged();

    // 1-based row of the owner table this table belongs to; 0 at the top level.
    int RowNumber() const { return rowNumber_; }
    void SetRowNumber(int rowNumber);
    // The owner's path followed by " " and the row number (nothing for row 0).
    std::string RowPath() const;
    // Caption + " " + path: the title of the editor window.
    std::string EditorCaption() const;

    // Editor. Show does nothing when no column is visible or the family has no
    // editor factory; it returns whether an editor was shown.
    bool ShowEditor(bool modal = false);
    void CloseEditor();
    // Called by an editor that the user closed (see TableEditor).
    void EditorClosed();
    bool EditorOpen() const { return editor_ != nullptr; }
    bool EditorModal() const { return editor_ != nullptr && editorModal_; }
    TableEditor* Editor() const { return editor_.get(); }
    void SetObserver(TableObserver* observer) { observer_ = observer; }
    TableObserver* Observer() const { return observer_; }
    // Tells the observer that the whole table changed.
    void Notify();

    // The column stream: count, then class number and definition per column
    // (chart tables add their graph settings). Reading replaces the columns;
    // on failure the table keeps its old ones.
    void WriteCol(ValueWriter& writer) const;
    void ReadCol(ValueReader& reader);

    // Published properties other than Col, by name, for the declaration text.
    // ReadProperty returns false for a name the class does not have.
    virtual bool ReadProperty(const std::string& name, ValueReader& reader);
    // Name and value of every property that differs from its default
    // (Identifier, MinRows and MaxRows always), in streaming order.
    virtual std::vector<std::pair<std::string, ValueWriter>> WriteProperties() const;
    bool Loading() const { return loading_; }
    void SetLoading(bool loading) { loading_ = loading; }

    // Called by a column after it stored a cell.
    void ColumnCellChanged(TColumn& column, int row);
    // The table column whose rows are chosen by the first column, if any.
    TTableColumn* FirstTableColumn() const;

protected:
    TGridTable(TableFamily& family, TGridTable* owner);
    TGridTable(TableFamily& family, TGridTable* owner, int rowNumber, const TGridTable& templ);

    virtual void WriteColExtra(ValueWriter&) const {}
    virtual void ReadColExtra(ValueReader&) {}
    // Chart tables write their four extra Booleans after HardwiredButton.
    virtual void WriteExtraProperties(std::vector<std::pair<std::string, ValueWriter>>&) const {}
    // Whether a layer whose type changes keeps the values of its old sub-table.
    virtual bool CarriesValuesOnTypeChange() const { return false; }

private:
    void CopyDefinition(const TGridTable& templ, int rowNumber);
    // Inserts `count` rows at `at` into every column, or none of them.
    void InsertRowsIntoColumns(int at, int count);
    void BringTemplatesInStep();
    void RenumberColumns();

    TableFamily* family_;
    TGridTable* owner_;
    std::uint64_t serial_;
    std::uint64_t templateSerial_ = 0;
    std::string comments_;
    int identifier_;
    std::string caption_;
    int maxRows_ = 0;
    int minRows_ = 1;
    std::string helpPicture_;
    bool hardwiredButton_ = false;
    EditorContainer* formParent_ = nullptr;
    int rowGroup_ = 1;
    std::string topLeft_;

    int rowCount_ = 0;
    int units_ = 1;
    int rowNumber_ = 0;
    bool changed_ = false;
    bool loading_ = false;
    std::vector<std::unique_ptr<TColumn>> columns_;
    std::unique_ptr<TableEditor> editor_;
    bool editorModal_ = false;
    bool inShow_ = false;
    bool closeAfterShow_ = false;
    TableObserver* observer_ = nullptr;
};

} // namespace pavrin::controls
