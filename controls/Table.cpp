#include "Table.h"
#include "AsciiCase.h"

#include <algorithm>
#include <utility>

namespace pavrin::controls {

namespace {

std::uint64_t NextSerial() {
    static std::uint64_t serial = 0;
    return ++serial;
}

} // namespace

// ---- TableFamily ----

TGridTable* TableFamily::FindByIdentifier(int identifier) const {
    for (TGridTable* table : tables_)
        if (table->Identifier() == identifier)
            return table;
    return nullptr;
}

TGridTable* TableFamily::TableAt(int position) const {
    if (position < 0 || position >= static_cast<int>(tables_.size()))
        return nullptr;
    return tables_[static_cast<std::size_t>(position)];
}

// Identifiers are keys: a value that a live table already holds (a declared
// identifier ahead of the counter) is skipped rather than handed out twice.
int TableFamily::NextIdentifier() {
    while (FindByIdentifier(counter_) != nullptr)
        ++counter_;
    return counter_++;
}

void TableFamily::Reset() {
    counter_ = 0;
    columnClasses_.Reset();
    editorFactory_ = nullptr;
}

void TableFamily::Remove(TGridTable* table) {
    std::erase(tables_, table);
}

TableFamily& PlainTables() {
    static TableFamily family("plain");
    return family;
}

// ---- TGridTable: life ----

TGridTable::TGridTable() : TGridTable(PlainTables(), nullptr) {}

TGridTable::TGridTable(TGridTable* owner) : TGridTable(PlainTables(), owner) {}

TGridTable::TGridTable(TGridTable* owner, int rowNumber, const TGridTable& templ)
    : TGridTable(PlainTables(), owner, rowNumber, templ) {}

TGridTable::TGridTable(TableFamily& family, TGridTable* owner)
    : family_(&family), owner_(owner), serial_(NextSerial()), identifier_(family.NextIdentifier()) {
    units_ = owner != nullptr ? owner->units_ : 1;
    family.Add(this);
}

TGridTable::TGridTable(TableFamily& family, TGridTable* owner, int rowNumber, const TGridTable& templ)
    : TGridTable(family, owner) {
    CopyDefinition(templ, rowNumber);
}

void TGridTable::CopyDefinition(const TGridTable& templ, int rowNumber) {
    caption_ = templ.caption_;
    comments_ = templ.comments_;
    topLeft_ = templ.topLeft_;
    rowCount_ = 0;
    SetMinRows(templ.minRows_);
    maxRows_ = templ.maxRows_;
    templateSerial_ = templ.serial_;
    for (const auto& column : templ.columns_)
        columns_.push_back(column->Clone(*this));
    SetRowNumber(rowNumber);
    SetRowCount(minRows_);
    Notify();
}

TGridTable::~TGridTable() {
    for (const auto& column : columns_)
        column->DetachControls();
    editor_.reset();
    observer_ = nullptr;
    columns_.clear();
    family_->Remove(this);
}

std::unique_ptr<TGridTable> TGridTable::CreateCopy(TGridTable* owner, int rowNumber) const {
    return std::make_unique<TGridTable>(owner, rowNumber, *this);
}

// ---- properties ----

void TGridTable::SetIdentifier(int identifier) {
    if (identifier < 0 || identifier == identifier_)
        return;
    if (TGridTable* other = family_->FindByIdentifier(identifier))
        other->identifier_ = identifier_;
    identifier_ = identifier;
}

void TGridTable::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    if (editor_)
        editor_->SetCaption(EditorCaption());
}

void TGridTable::SetMinRows(int minRows) {
    if (minRows <= 0) {
        if (!loading_)
            throw ETableError(table_message::kMinRows);
        minRows = 1;
    }
    minRows_ = minRows;
}

void TGridTable::SetHelpPicture(std::string picture) {
    if (picture == helpPicture_)
        return;
    helpPicture_ = std::move(picture);
    if (editor_)
        editor_->HelpPictureChanged();
}

// ---- rows ----

void TGridTable::InsertRowsIntoColumns(int at, int count) {
    std::size_t done = 0;
    try {
        for (; done < columns_.size(); ++done)
            columns_[done]->InsertRows(at, count);
    } catch (...) {
        for (std::size_t i = 0; i < done; ++i)
            try {
                columns_[i]->RemoveRows(at, count);
            } catch (...) { // an event handler's failure must not hide the first error
            }
        throw;
    }
    rowCount_ += count;
}

void TGridTable::SetRowCount(int count) {
    count = std::max(count, 0);
    if (count < rowCount_) {
        for (const auto& column : columns_)
            while (column->RowCount() > count)
                column->DeleteRow(column->RowCount() - 1);
        rowCount_ = count;
    } else if (count > rowCount_) {
        const int groups = (count - rowCount_ + rowGroup_ - 1) / rowGroup_;
        InsertRowsIntoColumns(rowCount_, groups * rowGroup_);
    } else {
        return;
    }
    Notify();
}

void TGridTable::AppendGroup() {
    InsertRowsIntoColumns(rowCount_, rowGroup_);
    Notify();
}

void TGridTable::InsertGroup(int row) {
    if (row < 0 || row > rowCount_)
        throw ETableError(table_message::kIndexOutOfBounds);
    InsertRowsIntoColumns(std::min(rowGroup_ * (row / rowGroup_), rowCount_), rowGroup_);
    Notify();
}

void TGridTable::DeleteGroup(int row) {
    if (row < 0 || row >= rowCount_)
        throw ETableError(table_message::kIndexOutOfBounds);
    const int first = rowGroup_ * (row / rowGroup_);
    const int count = std::min(rowGroup_, rowCount_ - first);
    for (const auto& column : columns_)
        for (int i = 0; i < count; ++i)
            column->DeleteRow(first);
    rowCount_ -= count;
    Notify();
}

// ---- columns ----

TColumn& TGridTable::Column(int index) const {
    if (index < 0 || index >= ColumnCount())
        throw ETableError(table_message::kIndexOutOfBounds);
    return *columns_[static_cast<std::size_t>(index)];
}

int TGridTable::VisibleColumnCount() const {
    return static_cast<int>(
        std::count_if(columns_.begin(), columns_.end(), [](const auto& c) { return c->Visible(); }));
}

TColumn& TGridTable::VisibleColumn(int index) const {
    if (index >= 0)
        for (const auto& column : columns_)
            if (column->Visible() && index-- == 0)
                return *column;
    throw ETableError(table_message::kIndexOutOfBounds);
}

int TGridTable::IndexOf(const TColumn& column) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].get() == &column)
            return static_cast<int>(i);
    return -1;
}

TColumn& TGridTable::AddColumn(std::unique_ptr<TColumn> column) {
    if (&column->Table() != this)
        throw ETableError("A column can only be added to the table it was made for");
    columns_.push_back(std::move(column));
    try {
        columns_.back()->InsertRows(0, rowCount_);
        BringTemplatesInStep();
    } catch (...) {
        columns_.pop_back();
        throw;
    }
    Notify();
    return *columns_.back();
}

bool TGridTable::CellExists(int column, int row) const {
    return column >= 0 && column < ColumnCount() && row >= 0 && row < Column(column).RowCount();
}

TTableColumn* TGridTable::FirstTableColumn() const {
    for (const auto& column : columns_)
        if (auto* table = dynamic_cast<TTableColumn*>(column.get()))
            return table;
    return nullptr;
}

void TGridTable::BringTemplatesInStep() {
    const auto* first = columns_.empty() ? nullptr : dynamic_cast<const TEnumColumn*>(columns_.front().get());
    const int count = first != nullptr ? static_cast<int>(first->Items().size()) : 1;
    for (const auto& column : columns_)
        if (auto* table = dynamic_cast<TTableColumn*>(column.get()))
            table->SetTemplateCount(count);
}

void TGridTable::ColumnCellChanged(TColumn& column, int row) {
    const int index = IndexOf(column);
    if (index == 0 && dynamic_cast<TEnumColumn*>(&column) != nullptr)
        if (TTableColumn* tableColumn = FirstTableColumn();
            tableColumn != nullptr && row < tableColumn->RowCount())
            tableColumn->RecreateRow(row, CarriesValuesOnTypeChange());
    if (observer_ != nullptr && index >= 0)
        observer_->CellChanged(index, row);
}

// ---- units, changes, row path ----

void TGridTable::SetUnits(int units) {
    if (units < 1 || units > 3)
        throw ETableError("Unit system " + std::to_string(units) + " is not 1, 2 or 3");
    if (units == units_)
        return;
    for (const auto& column : columns_)
        column->SetUnits(units);
    units_ = units;
    Notify();
}

bool TGridTable::IsChanged() const {
    return changed_ ||
           std::any_of(columns_.begin(), columns_.end(), [](const auto& c) { return c->IsChanged(); });
}

void TGridTable::ResetChanged() {
    changed_ = false;
    for (const auto& column : columns_)
        column->ResetChanged();
}

void TGridTable::SetRowNumber(int rowNumber) {
    rowNumber_ = rowNumber;
    if (editor_)
        editor_->SetCaption(EditorCaption());
}

std::string TGridTable::RowPath() const {
    std::string path = owner_ != nullptr ? owner_->RowPath() : std::string();
    if (rowNumber_ != 0)
        path += " " + std::to_string(rowNumber_);
    return path;
}

std::string TGridTable::EditorCaption() const {
    return caption_ + " " + RowPath();
}

// ---- editor ----

// A modal editor returns from Show only when its window has closed; an
// editor closed while Show is running is freed once Show has returned.
bool TGridTable::ShowEditor(bool modal) {
    if (VisibleColumnCount() == 0)
        return false;
    if (!editor_) {
        const TableFamily::EditorFactory& factory = family_->GetEditorFactory();
        if (!factory)
            return false;
        editor_ = factory(*this);
        if (!editor_)
            return false;
    }
    editorModal_ = modal;
    inShow_ = true;
    try {
        editor_->Show(modal);
    } catch (...) {
        inShow_ = false;
        throw;
    }
    inShow_ = false;
    if (modal || closeAfterShow_) {
        closeAfterShow_ = false;
        CloseEditor();
    }
    return true;
}

void TGridTable::CloseEditor() {
    if (!editor_)
        return;
    if (inShow_) {
        closeAfterShow_ = true;
        return;
    }
    std::unique_ptr<TableEditor> editor = std::move(editor_);
    editorModal_ = false;
    editor.reset();
    for (const auto& column : columns_)
        column->Hide();
}

void TGridTable::EditorClosed() {
    CloseEditor();
}

void TGridTable::Notify() {
    if (observer_ != nullptr)
        observer_->TableChanged();
}

// ---- streaming ----

void TGridTable::WriteCol(ValueWriter& writer) const {
    writer.WriteInteger(ColumnCount());
    for (const auto& column : columns_) {
        writer.NewLine();
        writer.WriteInteger(column->ClassNumber());
        column->Write(writer);
    }
    writer.NewLine();
    WriteColExtra(writer);
}

// Columns are read into a list of their own and take the table's place only
// when the whole stream has been read and they have their rows.
void TGridTable::ReadCol(ValueReader& reader) {
    int count = 0;
    try {
        count = reader.ReadInteger();
    } catch (const EReadError&) {
        throw EReadError(table_message::kColumnCount);
    }
    if (count < 0)
        throw EReadError(table_message::kColumnCount);

    std::vector<std::unique_ptr<TColumn>> columns;
    for (int i = 0; i < count; ++i) {
        try {
            auto column = family_->ColumnClasses().Create(reader.ReadInteger(), *this);
            column->Read(reader, columns);
            columns.push_back(std::move(column));
        } catch (const std::exception& e) {
            throw EReadError(FormatMessage(table_message::kCreatingColumn, {std::to_string(i), e.what()}));
        }
    }
    ReadColExtra(reader);

    for (const auto& column : columns_)
        column->DetachControls();
    std::swap(columns_, columns);
    std::size_t filled = 0;
    try {
        BringTemplatesInStep();
        for (; filled < columns_.size(); ++filled)
            columns_[filled]->InsertRows(0, rowCount_);
    } catch (const std::exception& e) {
        std::swap(columns_, columns);
        throw EReadError(FormatMessage(table_message::kCreatingColumn, {std::to_string(filled), e.what()}));
    }
    Notify();
}

bool TGridTable::ReadProperty(const std::string& name, ValueReader& reader) {
    const std::string key = LowerAscii(name);
    if (key == "comments")
        SetComments(reader.ReadString());
    else if (key == "identifier")
        SetIdentifier(reader.ReadInteger());
    else if (key == "caption")
        SetCaption(reader.ReadString());
    else if (key == "maxrows")
        SetMaxRows(reader.ReadInteger());
    else if (key == "minrows")
        SetMinRows(reader.ReadInteger());
    else if (key == "helppicture")
        SetHelpPicture(reader.ReadString());
    else if (key == "hardwiredbutton")
        SetHardwiredButton(reader.ReadBoolean());
    else if (key == "rowgroup")
        SetRowGroup(reader.ReadInteger());
    else if (key == "topleft")
        SetTopLeft(reader.ReadString());
    else if (key == "col")
        ReadCol(reader);
    else
        return false;
    return true;
}

std::vector<std::pair<std::string, ValueWriter>> TGridTable::WriteProperties() const {
    std::vector<std::pair<std::string, ValueWriter>> out;
    auto add = [&out](const char* name) -> ValueWriter& {
        return out.emplace_back(name, ValueWriter{}).second;
    };
    if (!comments_.empty())
        add("Comments").WriteString(comments_);
    add("Identifier").WriteInteger(identifier_);
    if (!caption_.empty())
        add("Caption").WriteString(caption_);
    add("MaxRows").WriteInteger(maxRows_);
    add("MinRows").WriteInteger(minRows_);
    if (!helpPicture_.empty())
        add("HelpPicture").WriteString(helpPicture_);
    if (hardwiredButton_)
        add("HardwiredButton").WriteBoolean(true);
    WriteExtraProperties(out);
    if (rowGroup_ != 1)
        add("RowGroup").WriteInteger(rowGroup_);
    if (!topLeft_.empty())
        add("TopLeft").WriteString(topLeft_);
    WriteCol(add("Col"));
    return out;
}

} // namespace pavrin::controls
