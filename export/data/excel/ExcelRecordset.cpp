#include "export/data/excel/ExcelRecordset.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/excel/ExcelDatabase.h"

namespace morvane {

ExcelRecordset::ExcelRecordset(std::shared_ptr<ExcelDatabase> database, QString sheet, short type,
                               bool updatable)
    : Recordset(database, type, updatable), database_(database.get()), sheet_(std::move(sheet)) {
    Reopen();
    ExcelSheetCursor cursor(file_, offset_);
    const ExcelSheetLayout layout = ExcelSheetLayout::Read(cursor);
    std::vector<std::shared_ptr<Field>> declared = database_->DeclaredFields(sheet_);
    if (declared.size() != layout.Names.size()) {
        declared.clear();
        for (size_t column = 0; column < layout.Names.size(); ++column)
            declared.push_back(std::make_shared<Field>(layout.Names[column], layout.Types[column],
                                                       layout.Types[column] == dbText ? 255 : 0));
    }
    for (const auto& field : declared) {
        field->SetDefinitionLocked(Key(), true);
        fields_.Append(field);
    }
    fields_.SetLocked(Key(), true);
    Start();
}

void ExcelRecordset::Reopen() {
    file_ = database_->File();
    stamp_ = database_->Stamp();
    const ExcelSheetInfo* sheet = file_ ? database_->FindSheet(*file_, sheet_) : nullptr;
    if (!sheet) throw EngineError::Of(ErrObjectInvalid);
    offset_ = sheet->Offset;
    cursor_ = std::make_unique<ExcelSheetCursor>(file_, offset_);
    headerRow_ = ExcelSheetLayout::Read(*cursor_).HeaderRow;
    cursor_->Restart();
    position_ = -1;
    pending_ = false;
    lastRow_ = 0;
}

bool ExcelRecordset::Refresh() {
    if (database_->Stamp() == stamp_) return false;
    Reopen();
    return true;
}

bool ExcelRecordset::doSeek(qint64 index) {
    Refresh();
    if (index < 0 || headerRow_ < 0) return false;
    if (index <= position_) {
        cursor_->Restart();
        position_ = -1;
        pending_ = false;
        lastRow_ = 0;
    }
    return LoadAt(index);
}

bool ExcelRecordset::doNext() {
    const qint64 next = position_ + 1;
    if (Refresh()) return doSeek(next);
    if (headerRow_ < 0) return false;
    return LoadAt(next);
}

bool ExcelRecordset::LoadAt(qint64 index) {
    const qint64 target = headerRow_ + 1 + index;
    const auto& items = fields_.Items();
    std::vector<QVariant> values(items.size());
    bool found = false;
    for (;;) {
        if (!pending_ && !cursor_->Next(cell_)) break;
        pending_ = false;
        if (cell_.Row < lastRow_)
            throw EngineError::Of(
                ErrCorruptDatabase, file_->Path(),
                QStringLiteral("the cells of sheet '%1' are not in row order").arg(sheet_));
        lastRow_ = cell_.Row;
        if (cell_.Row < target) continue;
        if (cell_.Row > target) {
            pending_ = true;
            found = true;
            break;
        }
        found = true;
        if (cell_.Column < items.size())
            values[cell_.Column] =
                ExcelSheetLayout::Value(cell_, items[cell_.Column]->Type(), file_->Date1904());
    }
    position_ = index;
    for (size_t column = 0; column < items.size(); ++column)
        items[column]->LoadValue(Key(), found ? std::move(values[column]) : QVariant());
    return found;
}

qint64 ExcelRecordset::doCount() {
    Refresh();
    ExcelSheetCursor cursor(file_, offset_);
    return ExcelSheetLayout::CountRecords(cursor, headerRow_);
}

void ExcelRecordset::doInsert() {
    database_->InsertRow(sheet_, fields_);
}

void ExcelRecordset::doClose() {
    cursor_.reset();
    file_.reset();
}

qint64 ExcelRecordset::doChangeStamp() {
    return database_->Stamp();
}

}  // namespace morvane
