#include "ColumnTypes.h"

#include "DecimalSeparator.h"
#include "Evaluator.h"
#include "Table.h"
#include "UnitTemplates.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace pavrin::controls {

namespace {

constexpr const char* kFloatColumnTag = "FLOATCOLUMN2";
constexpr const char* kTableColumnTag = "FLEXCOLUMN2";

void CheckInsert(int at, int count, int size) {
    if (at < 0 || at > size || count < 0)
        throw ETableError(table_message::kIndexOutOfBounds);
}

template <typename T> void InsertValues(std::vector<T>& values, int at, int count, const T& value) {
    CheckInsert(at, count, static_cast<int>(values.size()));
    values.insert(values.begin() + at, static_cast<std::size_t>(count), value);
}

template <typename T> void EraseValues(std::vector<T>& values, int at, int count) {
    if (at < 0 || count < 0 || count > static_cast<int>(values.size()) - at)
        throw ETableError(table_message::kIndexOutOfBounds);
    values.erase(values.begin() + at, values.begin() + at + count);
}

template <typename T> void EraseValue(std::vector<T>& values, int index) {
    if (index < 0 || index >= static_cast<int>(values.size()))
        throw ETableError(table_message::kIndexOutOfBounds);
    values.erase(values.begin() + index);
}

// Whole numbers within 1E-10; NaN is not one.
bool IsIntegral(long double value) {
    return std::fabs(value - std::nearbyint(value)) <= 1e-10L;
}

bool InRange(long double value, std::int32_t minimum, std::int32_t maximum) {
    return value >= static_cast<long double>(minimum) && value <= static_cast<long double>(maximum);
}

std::int32_t RoundToInt32(long double value) {
    return static_cast<std::int32_t>(std::nearbyint(value));
}

} // namespace

std::string FormatMessage(const char* pattern, std::initializer_list<std::string> arguments) {
    std::string out;
    auto next = arguments.begin();
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (p[0] == '%' && (p[1] == 'd' || p[1] == 's') && next != arguments.end()) {
            out += *next++;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

std::string FormatGeneral(long double value, int digits, char decimalSeparator) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    if (value == 0)
        return "0";
    digits = std::clamp(digits, 1, 21);
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits - 1);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const bool negative = text[0] == '-';
    const std::size_t first = negative ? 1 : 0;
    const std::size_t ePos = text.find('e');
    std::string mantissa(1, text[first]);
    if (ePos > first + 2)
        mantissa.append(text.substr(first + 2, ePos - first - 2));
    mantissa.erase(mantissa.find_last_not_of('0') + 1);
    int exponent = 0;
    std::from_chars(text.data() + ePos + (text[ePos + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    exponent);

    std::string out = negative ? "-" : "";
    if (exponent < -4 || exponent >= digits) {
        out += mantissa[0];
        if (mantissa.size() > 1) {
            out += decimalSeparator;
            out.append(mantissa, 1);
        }
        return out + "E" + std::to_string(exponent);
    }
    if (exponent < 0) {
        out += '0';
        out += decimalSeparator;
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        return out + mantissa;
    }
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    if (mantissa.size() <= whole)
        return out + mantissa + std::string(whole - mantissa.size(), '0');
    return out + mantissa.substr(0, whole) + decimalSeparator + mantissa.substr(whole);
}

std::string FormatCellValue(long double value) {
    return FormatGeneral(value, 8, DecimalSeparator());
}

// ---- TColumn ----

TColumn::TColumn(TGridTable& table) : table_(&table) {}

TColumn::~TColumn() {
    if (controlHost_ != nullptr)
        controlHost_->DetachRowControls(*this);
}

int TColumn::Index() const {
    return table_->IndexOf(*this);
}

std::string TColumn::HeadingLine(int index) const {
    if (index < 0 || index >= HeadingLineCount())
        throw ETableError(table_message::kIndexOutOfBounds);
    return headings_[static_cast<std::size_t>(index)];
}

TGridTable* TColumn::GetTable(int) const {
    throw EInvalidCast(table_message::kWrongType);
}
long double TColumn::GetFloat(int) const {
    throw EInvalidCast(table_message::kWrongType);
}
void TColumn::SetFloat(int, long double) {
    throw EInvalidCast(table_message::kWrongType);
}
std::int32_t TColumn::GetInteger(int) const {
    throw EInvalidCast(table_message::kWrongType);
}
void TColumn::SetInteger(int, std::int32_t) {
    throw EInvalidCast(table_message::kWrongType);
}
RowObject* TColumn::GetObject(int) const {
    throw EInvalidCast(table_message::kWrongType);
}
std::string TColumn::GetText(int) const {
    return {};
}
void TColumn::SetText(int, const std::string&) {
    throw EInvalidCast(table_message::kWrongType);
}
bool TColumn::CopyCell(int, const TColumn&, int) {
    return false;
}
void TColumn::SetUnits(int) {}

int TColumn::Width(const TextMetrics& metrics) const {
    int width = static_cast<int>(std::lround(MinimumWidthInches() * metrics.pixelsPerInch));
    if (metrics.textWidth)
        for (int i = 0; i < HeadingLineCount(); ++i)
            width = std::max(width, metrics.textWidth(HeadingLine(i) + "  "));
    return width;
}

int TColumn::RowGroupSize() const {
    return table_->RowGroup();
}

void TColumn::AttachControls(RowControlHost* host, int firstRow, int count) {
    if (!UsesRowControls())
        return;
    if (host == nullptr)
        throw ETableError(table_message::kNullParent);
    if (controlHost_ != nullptr && controlHost_ != host)
        throw ETableError(ParentError());
    if (firstRow < 0 || firstRow > RowCount())
        throw ETableError(FormatMessage(table_message::kTopRow, {std::to_string(firstRow)}));
    if (count < 0 || count > RowCount() - firstRow)
        throw ETableError(FormatMessage(table_message::kCount, {std::to_string(count)}));
    controlHost_ = host;
    controlFirstRow_ = firstRow;
    controlCount_ = count;
    host->AttachRowControls(*this, firstRow, count);
}

void TColumn::DetachControls() {
    RowControlHost* host = controlHost_;
    controlHost_ = nullptr;
    controlFirstRow_ = 0;
    controlCount_ = 0;
    if (host != nullptr)
        host->DetachRowControls(*this);
}

void TColumn::NotifyControl(int row) {
    if (controlHost_ != nullptr && row >= controlFirstRow_ && row < controlFirstRow_ + controlCount_)
        controlHost_->RowControlChanged(*this, row);
}

void TColumn::Write(ValueWriter& writer) const {
    writer.WriteListBegin();
    for (const std::string& line : headings_)
        writer.WriteString(line);
    writer.WriteListEnd();
    writer.WriteBoolean(visible_);
    writer.WriteBoolean(groupValue_);
    WriteData(writer);
}

void TColumn::Read(ValueReader& reader, const std::vector<std::unique_ptr<TColumn>>& previous) {
    reader.ReadListBegin();
    std::vector<std::string> headings;
    while (!reader.EndOfList())
        headings.push_back(reader.ReadString());
    reader.ReadListEnd();
    headings_ = std::move(headings);
    visible_ = reader.ReadBoolean();
    groupValue_ = reader.ReadBoolean();
    ReadData(reader, previous);
}

void TColumn::CopyDefinitionTo(TColumn& other) const {
    other.headings_ = headings_;
    other.visible_ = visible_;
    other.groupValue_ = groupValue_;
}

void TColumn::CellChanged(int row) {
    table_->ColumnCellChanged(*this, row);
}

void TColumn::CheckRow(int row) const {
    if (row < 0 || row >= RowCount())
        throw ETableError(table_message::kIndexOutOfBounds);
}

std::pair<int, int> TColumn::WriteRange(int row) const {
    if (!groupValue_)
        return {row, row + 1};
    const int group = RowGroupSize();
    const int first = group * (row / group);
    return {first, std::min(first + group, RowCount())};
}

// ---- TEnumColumn ----

std::unique_ptr<TColumn> TEnumColumn::Clone(TGridTable& table) const {
    auto column = std::make_unique<TEnumColumn>(table);
    CopyDefinitionTo(*column);
    column->items_ = items_;
    return column;
}

void TEnumColumn::InsertRows(int at, int count) {
    InsertValues(values_, at, count, std::int32_t{1});
}
void TEnumColumn::DeleteRow(int index) {
    EraseValue(values_, index);
}
void TEnumColumn::RemoveRows(int at, int count) {
    EraseValues(values_, at, count);
}

std::int32_t TEnumColumn::GetInteger(int row) const {
    CheckRow(row);
    return values_[static_cast<std::size_t>(row)];
}

void TEnumColumn::SetInteger(int row, std::int32_t value) {
    CheckRow(row);
    const auto [first, last] = WriteRange(row);
    for (int r = first; r < last; ++r)
        Store(r, value);
}

// A changed item re-creates the row's sub-table (through the table); if that
// fails the old item comes back, so item and sub-table stay in step.
void TEnumColumn::Store(int row, std::int32_t value) {
    auto& cell = values_[static_cast<std::size_t>(row)];
    if (cell == value)
        return;
    const std::int32_t old = cell;
    cell = value;
    NotifyControl(row);
    try {
        CellChanged(row);
    } catch (...) {
        cell = old;
        NotifyControl(row);
        throw;
    }
}

std::string TEnumColumn::GetText(int row) const {
    return std::to_string(GetInteger(row));
}

void TEnumColumn::SetText(int row, const std::string& text) {
    CheckRow(row);
    const long double value = Evaluate(text);
    if (!IsIntegral(value) || !InRange(value, INT32_MIN, INT32_MAX))
        throw EAssignError(table_message::kValueNotInteger);
    SetInteger(row, RoundToInt32(value));
}

bool TEnumColumn::CopyCell(int row, const TColumn& source, int sourceRow) {
    const auto* other = dynamic_cast<const TEnumColumn*>(&source);
    if (other == nullptr)
        return false;
    CheckRow(row);
    Store(row, other->GetInteger(sourceRow));
    return true;
}

void TEnumColumn::ItemChosen(int row, int position) {
    if (!ControlsAttached() || row < ControlFirstRow() || row >= ControlFirstRow() + ControlCount())
        throw ETableError(table_message::kComboRow);
    SetInteger(row, position);
}

void TEnumColumn::WriteData(ValueWriter& writer) const {
    writer.NewLine();
    writer.WriteListBegin();
    for (const std::string& item : items_) {
        writer.WriteString(item);
        if (&item != &items_.back())
            writer.NewLine();
    }
    writer.WriteListEnd();
}

void TEnumColumn::ReadData(ValueReader& reader, const std::vector<std::unique_ptr<TColumn>>&) {
    reader.ReadListBegin();
    std::vector<std::string> items;
    while (!reader.EndOfList())
        items.push_back(reader.ReadString());
    reader.ReadListEnd();
    items_ = std::move(items);
}

// ---- TIntColumn ----

std::unique_ptr<TColumn> TIntColumn::Clone(TGridTable& table) const {
    auto column = std::make_unique<TIntColumn>(table);
    CopyDefinitionTo(*column);
    column->default_ = default_;
    column->minimum_ = minimum_;
    column->maximum_ = maximum_;
    return column;
}

void TIntColumn::SetLimits(std::int32_t minimum, std::int32_t maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
}

void TIntColumn::InsertRows(int at, int count) {
    InsertValues(values_, at, count, default_);
}
void TIntColumn::DeleteRow(int index) {
    EraseValue(values_, index);
}
void TIntColumn::RemoveRows(int at, int count) {
    EraseValues(values_, at, count);
}

std::int32_t TIntColumn::GetInteger(int row) const {
    CheckRow(row);
    return values_[static_cast<std::size_t>(row)];
}

void TIntColumn::SetInteger(int row, std::int32_t value) {
    CheckRow(row);
    const auto [first, last] = WriteRange(row);
    for (int r = first; r < last; ++r) {
        values_[static_cast<std::size_t>(r)] = value;
        CellChanged(r);
    }
}

std::string TIntColumn::GetText(int row) const {
    return std::to_string(GetInteger(row));
}

// The limits are the user's rules and apply while an editor is open; the
// 32-bit range always applies, since nothing else can be stored.
void TIntColumn::SetText(int row, const std::string& text) {
    CheckRow(row);
    const long double value = Evaluate(text);
    const bool editing = Table().EditorOpen();
    if (editing && !IsIntegral(value))
        throw EAssignError(table_message::kNotInteger);
    const std::int32_t low = editing ? minimum_ : INT32_MIN;
    const std::int32_t high = editing ? maximum_ : INT32_MAX;
    if (!InRange(value, low, high))
        throw EAssignError(
            FormatMessage(table_message::kBetween, {std::to_string(low), std::to_string(high)}));
    SetInteger(row, RoundToInt32(value));
}

bool TIntColumn::CopyCell(int row, const TColumn& source, int sourceRow) {
    const auto* other = dynamic_cast<const TIntColumn*>(&source);
    if (other == nullptr)
        return false;
    CheckRow(row);
    values_[static_cast<std::size_t>(row)] = other->GetInteger(sourceRow);
    CellChanged(row);
    return true;
}

void TIntColumn::WriteData(ValueWriter& writer) const {
    writer.WriteInteger(default_);
    writer.WriteInteger(minimum_);
    writer.WriteInteger(maximum_);
}

void TIntColumn::ReadData(ValueReader& reader, const std::vector<std::unique_ptr<TColumn>>&) {
    default_ = reader.ReadInteger();
    minimum_ = reader.ReadInteger();
    maximum_ = reader.ReadInteger();
}

// ---- TFloatColumn ----

std::unique_ptr<TColumn> TFloatColumn::Clone(TGridTable& table) const {
    auto column = std::make_unique<TFloatColumn>(table);
    CopyDefinitionTo(*column);
    column->topDepth_ = topDepth_;
    column->unitsTemplate_ = unitsTemplate_;
    column->default_ = default_;
    return column;
}

// A template that cannot be converted would fail only at the first switch of
// unit systems, half-way through a table; it is refused here instead.
void TFloatColumn::SetUnitsTemplate(std::string unitsTemplate) {
    (void)UnitsFactor(1, 2, unitsTemplate);
    unitsTemplate_ = std::move(unitsTemplate);
}

std::string TFloatColumn::HeadingLine(int index) const {
    std::string line = TColumn::HeadingLine(index);
    if (unitsTemplate_.empty() || index != HeadingLineCount() - 1)
        return line;
    return FormatMessage("%s (%s)  ", {line, ExpandColumnUnits(unitsTemplate_, Table().Units())});
}

TFloatColumn* TFloatColumn::BottomColumn() const {
    const int index = Index();
    if (index < 0 || index + 1 >= Table().ColumnCount())
        return nullptr;
    return dynamic_cast<TFloatColumn*>(&Table().Column(index + 1));
}

TFloatColumn* TFloatColumn::TopColumn() const {
    const int index = Index();
    if (index < 1)
        return nullptr;
    auto* previous = dynamic_cast<TFloatColumn*>(&Table().Column(index - 1));
    return previous != nullptr && previous->topDepth_ ? previous : nullptr;
}

// New rows of a top column start at the bottom of the row above; new rows of
// a bottom column end at the top of the row below the inserted block (the top
// column, one to the left, has already taken its rows).
void TFloatColumn::InsertRows(int at, int count) {
    CheckInsert(at, count, RowCount());
    long double value = default_;
    if (topDepth_ && count > 0) {
        const TFloatColumn* bottom = BottomColumn();
        if (bottom == nullptr)
            throw ETableError(table_message::kTopDepth);
        if (at >= 1 && at - 1 < bottom->RowCount())
            value = bottom->values_[static_cast<std::size_t>(at - 1)];
    } else if (const TFloatColumn* top = TopColumn()) {
        if (at + count < top->RowCount())
            value = top->values_[static_cast<std::size_t>(at + count)];
    }
    InsertValues(values_, at, count, value);
}

void TFloatColumn::RemoveRows(int at, int count) {
    EraseValues(values_, at, count);
}

void TFloatColumn::DeleteRow(int index) {
    CheckRow(index);
    if (topDepth_ && index > 0 && index < RowCount() - 1) {
        const TFloatColumn* bottom = BottomColumn();
        if (bottom != nullptr && index - 1 < bottom->RowCount())
            values_[static_cast<std::size_t>(index + 1)] =
                bottom->values_[static_cast<std::size_t>(index - 1)];
    }
    EraseValue(values_, index);
}

long double TFloatColumn::GetFloat(int row) const {
    CheckRow(row);
    return values_[static_cast<std::size_t>(row)];
}

void TFloatColumn::Store(int row, long double value) {
    values_[static_cast<std::size_t>(row)] = value;
    CellChanged(row);
}

void TFloatColumn::SetFloat(int row, long double value) {
    CheckRow(row);
    const auto [first, last] = WriteRange(row);
    TFloatColumn* bottom = topDepth_ ? BottomColumn() : nullptr;
    TFloatColumn* top = TopColumn();
    for (int r = first; r < last; ++r) {
        Store(r, value);
        if (bottom != nullptr && r >= 1 && r - 1 < bottom->RowCount())
            bottom->Store(r - 1, value);
        if (top != nullptr && r + 1 < top->RowCount())
            top->Store(r + 1, value);
    }
}

std::string TFloatColumn::GetText(int row) const {
    return FormatCellValue(GetFloat(row));
}

void TFloatColumn::SetText(int row, const std::string& text) {
    CheckRow(row);
    SetFloat(row, Evaluate(text));
}

bool TFloatColumn::CopyCell(int row, const TColumn& source, int sourceRow) {
    const auto* other = dynamic_cast<const TFloatColumn*>(&source);
    if (other == nullptr)
        return false;
    CheckRow(row);
    Store(row, other->GetFloat(sourceRow));
    return true;
}

void TFloatColumn::SetUnits(int units) {
    if (unitsTemplate_.empty())
        return;
    const TUnitsConversion convert(Table().Units(), units, unitsTemplate_);
    for (int r = 0; r < RowCount(); ++r)
        Store(r, convert(values_[static_cast<std::size_t>(r)]));
}

void TFloatColumn::WriteData(ValueWriter& writer) const {
    writer.WriteBoolean(topDepth_);
    writer.WriteString(kFloatColumnTag);
    writer.WriteString(unitsTemplate_);
    writer.WriteFloat(default_);
}

void TFloatColumn::ReadData(ValueReader& reader, const std::vector<std::unique_ptr<TColumn>>&) {
    topDepth_ = reader.ReadBoolean();
    std::string text = reader.ReadString();
    if (text == kFloatColumnTag) {
        SetUnitsTemplate(reader.ReadString());
        default_ = reader.ReadFloat();
    } else {
        SetUnitsTemplate(std::move(text)); // the older layout: no tag, no default
        default_ = 0;
    }
}

// ---- TTableColumn ----

TTableColumn::~TTableColumn() = default;

std::unique_ptr<TColumn> TTableColumn::Clone(TGridTable& table) const {
    auto column = std::make_unique<TTableColumn>(table);
    CopyDefinitionTo(*column);
    column->templates_ = templates_;
    return column;
}

void TTableColumn::SetTemplateCount(int count) {
    templates_.resize(static_cast<std::size_t>(std::max(0, count)), -1);
}

TGridTable* TTableColumn::TemplateFor(int item) const {
    const int entry = item >= 1 ? item - 1 : 0;
    if (entry >= static_cast<int>(templates_.size()) || templates_[static_cast<std::size_t>(entry)] < 0)
        return nullptr;
    return Table().Family().FindByIdentifier(templates_[static_cast<std::size_t>(entry)]);
}

// Steps of a new row: a copy of the template that the row's item picks;
// without one, whatever OnInitRow supplies; else nothing. A template that is
// (or was copied into) this table or one of its owners would copy itself
// without end and is refused.
std::unique_ptr<RowObject> TTableColumn::CreateRowObject(int row) {
    TGridTable& table = Table();
    int item = 0;
    if (const auto* first = dynamic_cast<const TEnumColumn*>(&table.Column(0)))
        if (row < first->RowCount())
            item = first->GetInteger(row);
    if (TGridTable* templ = TemplateFor(item)) {
        for (const TGridTable* t = &table; t != nullptr; t = t->Owner())
            if (t == templ || t->TemplateSerial() == templ->Serial())
                throw ETableError("The template table " + std::to_string(templ->Identifier()) + " (\"" +
                                  templ->Caption() + "\") contains a copy of itself");
        return templ->CreateCopy(&table, row + 1);
    }
    std::unique_ptr<RowObject> data;
    if (table.OnInitRow) {
        table.OnInitRow(table, Index(), row, item, data);
        if (data && table.OnSetRow)
            table.OnSetRow(table, Index(), data.get(), row);
    }
    return data;
}

void TTableColumn::InsertRows(int at, int count) {
    CheckInsert(at, count, RowCount());
    std::vector<std::unique_ptr<RowObject>> fresh;
    for (int i = 0; i < count; ++i)
        fresh.push_back(CreateRowObject(at + i));
    objects_.insert(objects_.begin() + at, std::make_move_iterator(fresh.begin()),
                    std::make_move_iterator(fresh.end()));
    Renumber(at + count);
}

void TTableColumn::DeleteRow(int index) {
    EraseValue(objects_, index);
    Renumber(index);
}

void TTableColumn::RemoveRows(int at, int count) {
    EraseValues(objects_, at, count);
    Renumber(at);
}

void TTableColumn::Renumber(int from) {
    TGridTable& table = Table();
    for (int r = from; r < RowCount(); ++r) {
        RowObject* object = objects_[static_cast<std::size_t>(r)].get();
        if (auto* sub = dynamic_cast<TGridTable*>(object))
            sub->SetRowNumber(r + 1);
        else if (object != nullptr && table.OnSetRow)
            table.OnSetRow(table, Index(), object, r);
    }
}

TGridTable* TTableColumn::GetTable(int row) const {
    return dynamic_cast<TGridTable*>(GetObject(row));
}

RowObject* TTableColumn::GetObject(int row) const {
    CheckRow(row);
    return objects_[static_cast<std::size_t>(row)].get();
}

std::string TTableColumn::GetText(int row) const {
    std::string caption;
    if (const TGridTable* sub = GetTable(row))
        caption = sub->Caption();
    else if (Table().OnGetButtonCaption)
        Table().OnGetButtonCaption(Table(), Index(), row, GetObject(row), caption);
    return FormatMessage("%d: %s", {std::to_string(row + 1), caption});
}

bool TTableColumn::IsChanged() const {
    TGridTable& table = Table();
    for (int r = 0; r < RowCount(); ++r) {
        RowObject* object = objects_[static_cast<std::size_t>(r)].get();
        bool changed = false;
        if (const auto* sub = dynamic_cast<const TGridTable*>(object))
            changed = sub->IsChanged();
        else if (object != nullptr && table.OnGetChanged)
            table.OnGetChanged(table, Index(), r, object, changed);
        if (changed)
            return true;
    }
    return false;
}

void TTableColumn::ResetChanged() {
    TGridTable& table = Table();
    for (int r = 0; r < RowCount(); ++r) {
        RowObject* object = objects_[static_cast<std::size_t>(r)].get();
        if (auto* sub = dynamic_cast<TGridTable*>(object))
            sub->ResetChanged();
        else if (object != nullptr && table.OnResetChanged)
            table.OnResetChanged(table, Index(), r, object);
    }
}

void TTableColumn::Hide() {
    TGridTable& table = Table();
    for (int r = 0; r < RowCount(); ++r) {
        RowObject* object = objects_[static_cast<std::size_t>(r)].get();
        if (auto* sub = dynamic_cast<TGridTable*>(object))
            sub->CloseEditor();
        else if (object != nullptr && table.OnHide)
            table.OnHide(table, Index(), r, object);
    }
}

void TTableColumn::SetUnits(int units) {
    TGridTable& table = Table();
    for (int r = 0; r < RowCount(); ++r) {
        RowObject* object = objects_[static_cast<std::size_t>(r)].get();
        if (auto* sub = dynamic_cast<TGridTable*>(object))
            sub->SetUnits(units);
        else if (object != nullptr && table.OnSetUnits)
            table.OnSetUnits(table, Index(), r, object, units);
    }
}

void TTableColumn::ButtonPressed(int row) {
    if (TGridTable* sub = GetTable(row))
        sub->ShowEditor(Table().EditorModal());
    else if (Table().OnButtonClick)
        Table().OnButtonClick(Table(), Index(), row, GetObject(row));
}

void TTableColumn::RecreateRow(int row, bool carryValues) {
    CheckRow(row);
    std::unique_ptr<RowObject> fresh = CreateRowObject(row);
    const TGridTable* old = GetTable(row);
    auto* next = dynamic_cast<TGridTable*>(fresh.get());
    if (carryValues && old != nullptr && next != nullptr) {
        const int columns = std::min(old->ColumnCount(), next->ColumnCount());
        const int rows = std::min(old->RowCount(), next->RowCount());
        for (int c = 0; c < columns; ++c)
            for (int r = 0; r < rows; ++r)
                next->Column(c).CopyCell(r, old->Column(c), r);
    }
    objects_[static_cast<std::size_t>(row)] = std::move(fresh);
    NotifyControl(row);
}

void TTableColumn::WriteData(ValueWriter& writer) const {
    writer.WriteString(kTableColumnTag);
    writer.WriteListBegin();
    for (int identifier : templates_)
        writer.WriteInteger(identifier);
    writer.WriteListEnd();
}

// The older layout names one position n of the family's table list: with an
// enumeration first column, item k gets the table at n (HardwiredButton) or
// the table with identifier k; without one, the single entry is the table at n.
void TTableColumn::ReadData(ValueReader& reader, const std::vector<std::unique_ptr<TColumn>>& previous) {
    const std::string tag = reader.ReadString();
    TGridTableList templates;
    if (tag == kTableColumnTag) {
        reader.ReadListBegin();
        while (!reader.EndOfList())
            templates.push_back(reader.ReadInteger());
        reader.ReadListEnd();
    } else {
        const int position = reader.ReadInteger();
        const TGridTable* atPosition = Table().Family().TableAt(position);
        const int positional = atPosition != nullptr ? atPosition->Identifier() : -1;
        const auto* first =
            previous.empty() ? nullptr : dynamic_cast<const TEnumColumn*>(previous.front().get());
        if (first == nullptr) {
            templates.push_back(positional);
        } else {
            for (int k = 1; k <= static_cast<int>(first->Items().size()); ++k)
                templates.push_back(Table().HardwiredButton() ? positional : k);
        }
    }
    templates_ = std::move(templates);
}

// ---- TStringColumn ----

std::unique_ptr<TColumn> TStringColumn::Clone(TGridTable& table) const {
    auto column = std::make_unique<TStringColumn>(table);
    CopyDefinitionTo(*column);
    column->default_ = default_;
    column->widthInches_ = widthInches_;
    return column;
}

void TStringColumn::InsertRows(int at, int count) {
    InsertValues(values_, at, count, default_);
}
void TStringColumn::DeleteRow(int index) {
    EraseValue(values_, index);
}
void TStringColumn::RemoveRows(int at, int count) {
    EraseValues(values_, at, count);
}

std::string TStringColumn::GetText(int row) const {
    CheckRow(row);
    return values_[static_cast<std::size_t>(row)];
}

void TStringColumn::SetText(int row, const std::string& text) {
    CheckRow(row);
    const auto [first, last] = WriteRange(row);
    for (int r = first; r < last; ++r) {
        values_[static_cast<std::size_t>(r)] = text;
        CellChanged(r);
    }
}

bool TStringColumn::CopyCell(int row, const TColumn& source, int sourceRow) {
    const auto* other = dynamic_cast<const TStringColumn*>(&source);
    if (other == nullptr)
        return false;
    CheckRow(row);
    values_[static_cast<std::size_t>(row)] = other->GetText(sourceRow);
    CellChanged(row);
    return true;
}

void TStringColumn::WriteData(ValueWriter& writer) const {
    writer.WriteString(default_);
    writer.WriteFloat(widthInches_);
}

void TStringColumn::ReadData(ValueReader& reader, const std::vector<std::unique_ptr<TColumn>>&) {
    default_ = reader.ReadString();
    widthInches_ = reader.ReadFloat();
}

// ---- ColumnClassRegistry ----

ColumnClassRegistry::ColumnClassRegistry() {
    Reset();
}

void ColumnClassRegistry::Register(int number, Factory factory) {
    Unregister(number);
    factories_.emplace_back(number, std::move(factory));
}

void ColumnClassRegistry::Unregister(int number) {
    std::erase_if(factories_, [number](const auto& entry) { return entry.first == number; });
}

bool ColumnClassRegistry::Contains(int number) const {
    return std::any_of(factories_.begin(), factories_.end(),
                       [number](const auto& entry) { return entry.first == number; });
}

void ColumnClassRegistry::Reset() {
    factories_.clear();
    Register(kEnumColumn, [](TGridTable& t) { return std::make_unique<TEnumColumn>(t); });
    Register(kIntColumn, [](TGridTable& t) { return std::make_unique<TIntColumn>(t); });
    Register(kFloatColumn, [](TGridTable& t) { return std::make_unique<TFloatColumn>(t); });
    Register(kTableColumn, [](TGridTable& t) { return std::make_unique<TTableColumn>(t); });
    Register(kStringColumn, [](TGridTable& t) { return std::make_unique<TStringColumn>(t); });
}

std::unique_ptr<TColumn> ColumnClassRegistry::Create(int number, TGridTable& table) const {
    for (const auto& [n, factory] : factories_)
        if (n == number)
            return factory(table);
    throw EReadError(table_message::kClassNotDefined);
}

} // namespace pavrin::controls
