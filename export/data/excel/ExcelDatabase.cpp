#include "export/data/excel/ExcelDatabase.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/FieldValue.h"
#include "export/data/excel/BiffWriter.h"
#include "export/data/excel/ExcelRecordset.h"
#include "export/data/excel/ExcelSheetLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QUuid>
#include <cmath>

namespace morvane {

namespace {

constexpr int kMaxColumnWidth = 50;

// The width in characters a column of this field starts with: fitted to its size, capped.
int ColumnWidth(const Field& field) {
    int width = 12;
    switch (field.Type()) {
        case dbText:
        case dbChar:
            width = field.Size();
            break;
        case dbMemo:
            width = kMaxColumnWidth;
            break;
        case dbDate:
        case dbTimeStamp:
            width = 19;
            break;
        case dbBoolean:
            width = 6;
            break;
        case dbGUID:
            width = 38;
            break;
        default:
            break;
    }
    width = std::max(width, static_cast<int>(field.Name().size()));
    return std::clamp(width + 1, 4, kMaxColumnWidth);
}

// The longest text one cell of the version takes: BIFF8 32,767 characters, BIFF3 to BIFF5
// what a LABEL record holds.
int MaxText(Biff version) {
    return version == Biff::V8 ? 32767 : biff::MaxRecordData(version) - 8;
}

bool ValidSheetName(const QString& name) {
    static const QString forbidden = QStringLiteral(":\\/?*[]");
    if (name.size() > 31) return false;
    for (QChar ch : name)
        if (forbidden.contains(ch)) return false;
    return true;
}

}  // namespace

ExcelDatabase::ExcelDatabase(const QString& path, const QString& connect, Biff version,
                             bool readOnly)
    : Database(path, connect), path_(path), version_(version), readOnly_(readOnly) {}

ExcelDatabase::~ExcelDatabase() {
    try {
        Flush();
    } catch (...) {
        // A database dropped without Close: nothing to report to.
    }
}

std::shared_ptr<ExcelDatabase> ExcelDatabase::Open(const QString& path, const QString& connect,
                                                   Biff version, bool readOnly) {
    std::shared_ptr<ExcelDatabase> database(new ExcelDatabase(path, connect, version, readOnly));
    database->OpenFile();
    return database;
}

void ExcelDatabase::OpenFile() {
    const QFileInfo info(path_);
    if (info.exists() && info.isFile() && info.size() == 0) {
        file_.reset();
        return;
    }
    if (!info.exists()) {
        if (!info.absoluteDir().exists()) throw EngineError::Of(ErrFileNotFoundEngine, path_);
        file_.reset();
        return;
    }
    file_ = ExcelFile::Open(path_, OneSheetName());
}

QString ExcelDatabase::OneSheetName() const {
    if (model_ && !model_->Sheets.empty()) return model_->Sheets.front()->Name();
    return QFileInfo(path_).completeBaseName();
}

std::shared_ptr<const ExcelFile> ExcelDatabase::File() {
    Flush();
    return file_;
}

const ExcelSheetInfo* ExcelDatabase::FindSheet(const ExcelFile& file, const QString& name) const {
    for (const ExcelSheetInfo& sheet : file.Sheets())
        if (sheet.Name == name) return &sheet;
    for (const ExcelSheetInfo& sheet : file.Sheets())
        if (sheet.Name.compare(name, Qt::CaseInsensitive) == 0) return &sheet;
    return nullptr;
}

void ExcelDatabase::Flush() {
    if (!dirty_ || !model_) return;
    dirty_ = false;
    ++stamp_;
    file_.reset();
    if (model_->Sheets.empty()) {
        QFile::remove(path_);
        return;
    }
    BiffWriter::Write(*model_, path_);
    file_ = ExcelFile::Open(path_, OneSheetName());
}

ExcelWorkbook& ExcelDatabase::Model() {
    if (readOnly_) RaiseReadOnly();
    if (model_) return *model_;
    if (file_ && file_->Version() != version_)
        throw EngineError::Of(
            ErrNotSupported,
            QStringLiteral("the file '%1' is an %2 workbook; it is changed only as that type")
                .arg(path_, biff::TypeName(file_->Version())));
    auto model = std::make_unique<ExcelWorkbook>();
    model->Version = version_;
    if (file_) {
        // The sheets already there, cell by cell, so that writing the workbook keeps them.
        for (const ExcelSheetInfo& info : file_->Sheets()) {
            auto sheet = std::make_unique<ExcelSheetModel>(info.Name);
            ExcelSheetCursor cursor(file_, info.Offset);
            ExcelCell cell;
            while (cursor.Next(cell)) {
                if (cell.Type == ExcelCell::Error || cell.Column >= biff::MaxColumns) continue;
                SpooledCell spooled;
                spooled.Row = cell.Row;
                spooled.Column = cell.Column;
                spooled.Style = cell.Style != CellStyle::General
                                    ? static_cast<SpoolStyle>(cell.Style)
                                : cell.Bold ? SpoolStyle::Bold
                                            : SpoolStyle::General;
                if (cell.Type == ExcelCell::Text) {
                    spooled.Type = SpooledCell::Text;
                    spooled.String = model->Strings.Intern(cell.String);
                } else {
                    spooled.Type = cell.Type == ExcelCell::Boolean ? SpooledCell::Boolean
                                                                   : SpooledCell::Number;
                    spooled.Value = cell.Value;
                }
                sheet->Add(spooled, model->Strings);
            }
            model->Sheets.push_back(std::move(sheet));
        }
    }
    model_ = std::move(model);
    return *model_;
}

std::vector<std::shared_ptr<TableDef>> ExcelDatabase::doListTables() {
    Flush();
    std::vector<std::shared_ptr<TableDef>> tables;
    if (!file_) return tables;
    for (const ExcelSheetInfo& info : file_->Sheets()) {
        auto table = std::make_shared<TableDef>(info.Name, 0);
        ExcelSheetCursor cursor(file_, info.Offset);
        const ExcelSheetLayout layout = ExcelSheetLayout::Read(cursor);
        for (size_t column = 0; column < layout.Names.size(); ++column)
            table->Fields().Append(table->CreateField(layout.Names[column], layout.Types[column],
                                                      layout.Types[column] == dbText ? 255 : 0));
        table->MarkStored(Key());
        tables.push_back(table);
    }
    return tables;
}

std::vector<std::shared_ptr<QueryDef>> ExcelDatabase::doListQueries() {
    return {};
}

std::unique_ptr<Recordset> ExcelDatabase::doOpenRecordset(const QString& name, int type, int) {
    Flush();
    const ExcelSheetInfo* sheet = file_ ? FindSheet(*file_, name) : nullptr;
    if (!sheet) throw EngineError::Of(ErrInputTableNotFound, name);
    const short recordsetType = static_cast<short>(type == 0 ? dbOpenTable : type);
    const bool updatable = !readOnly_ && recordsetType != dbOpenSnapshot;
    return std::make_unique<ExcelRecordset>(
        std::static_pointer_cast<ExcelDatabase>(shared_from_this()), sheet->Name, recordsetType,
        updatable);
}

void ExcelDatabase::doCreateTable(const TableDef& tableDef) {
    if (readOnly_) RaiseReadOnly();
    const QString& name = tableDef.Name();
    if (tableDef.Fields().Count() > biff::MaxColumns)
        throw EngineError::Of(ErrNotSupported,
                              QStringLiteral("an %1 sheet holds at most 256 columns; the table "
                                             "'%2' has %3 fields")
                                  .arg(biff::TypeName(version_), name)
                                  .arg(tableDef.Fields().Count()));
    if (!ValidSheetName(name))
        throw EngineError::Of(ErrNotSupported,
                              QStringLiteral("'%1' cannot name a sheet (at most 31 characters, "
                                             "none of : \\ / ? * [ ])")
                                  .arg(name));
    ExcelWorkbook& model = Model();
    if (model.Find(name)) throw EngineError::Of(ErrTableExists, name);
    if (biff::OneSheet(version_) && !model.Sheets.empty()) {
        // The file holds one sheet and no sheet name: the sheet there now answers to the
        // name asked for, and 3010 lets the caller decide (the export's overwrite
        // question) whether Delete replaces it. Nothing is written here.
        model.Sheets.front()->Rename(name);
        if (file_) file_ = ExcelFile::Open(path_, OneSheetName());
        InvalidateCatalog();
        throw EngineError::Of(ErrTableExists, name);
    }
    auto sheet = std::make_unique<ExcelSheetModel>(name);
    int column = 0;
    for (const auto& field : tableDef.Fields().Items()) {
        SpooledCell cell;
        cell.Row = 0;
        cell.Column = static_cast<quint16>(column++);
        cell.Type = SpooledCell::Text;
        cell.Style = SpoolStyle::Bold;
        cell.String = model.Strings.Intern(field->Name());
        sheet->Add(cell, model.Strings);
        sheet->Widths().push_back(ColumnWidth(*field));
    }
    model.Sheets.push_back(std::move(sheet));
    std::vector<std::shared_ptr<Field>> declared;
    for (const auto& field : tableDef.Fields().Items())
        declared.push_back(std::make_shared<Field>(field->Name(), field->Type(), field->Size()));
    declared_.insert(name.toCaseFolded(), std::move(declared));
    dirty_ = true;
    Flush();
}

std::vector<std::shared_ptr<Field>> ExcelDatabase::DeclaredFields(const QString& sheet) const {
    return declared_.value(sheet.toCaseFolded());
}

void ExcelDatabase::doDropTable(const QString& name) {
    ExcelWorkbook& model = Model();
    for (auto it = model.Sheets.begin(); it != model.Sheets.end(); ++it) {
        if ((*it)->Name().compare(name, Qt::CaseInsensitive) == 0) {
            declared_.remove((*it)->Name().toCaseFolded());
            model.Sheets.erase(it);
            dirty_ = true;
            Flush();
            return;
        }
    }
    throw EngineError::Of(ErrItemNotFound);
}

void ExcelDatabase::InsertRow(const QString& sheetName, const Fields& fields) {
    ExcelWorkbook& model = Model();
    ExcelSheetModel* sheet = model.Find(sheetName);
    if (!sheet) throw EngineError::Of(ErrInputTableNotFound, sheetName);
    const quint32 row = sheet->Rows();
    if (row >= static_cast<quint32>(biff::MaxRows(version_))) {
        Flush();
        throw EngineError::Of(
            ErrNotSupported,
            QStringLiteral("an %1 sheet holds at most %2 rows (the field names and %3 records); "
                           "the record was not added to '%4'")
                .arg(biff::TypeName(version_))
                .arg(QLocale::c().toString(biff::MaxRows(version_)),
                     QLocale::c().toString(biff::MaxRows(version_) - 1), path_));
    }
    // Check every value before adding any, so that a refused record leaves no cell behind.
    std::vector<SpooledCell>& cells = rowCells_;  // kept between rows: no allocation per row
    cells.clear();
    const int columns = std::min(fields.Count(), biff::MaxColumns);
    for (int column = 0; column < columns; ++column) {
        const Field& field = fields.Item(column);
        const QVariant& value = field.Value();
        if (value.isNull()) continue;
        SpooledCell cell;
        cell.Row = row;
        cell.Column = static_cast<quint16>(column);
        switch (value.typeId()) {
            case QMetaType::Bool:
                cell.Type = SpooledCell::Boolean;
                cell.Value = value.toBool() ? 1 : 0;
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Double:
            case QMetaType::Float:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::UChar:
            case QMetaType::SChar:
                cell.Value = value.toDouble();
                break;
            case QMetaType::QDate:
            case QMetaType::QDateTime:
            case QMetaType::QTime:
                // A date before the worksheet calendar (1900) has no day number: it is kept
                // as text, as a reader would otherwise see some other date.
                if (const std::optional<double> serial = ExcelSheetLayout::Serial(value)) {
                    cell.Value = *serial;
                    cell.Style = value.typeId() == QMetaType::QDate       ? SpoolStyle::Date
                                 : value.typeId() == QMetaType::QDateTime ? SpoolStyle::DateTime
                                                                          : SpoolStyle::Time;
                } else {
                    cell.Type = SpooledCell::Text;
                }
                break;
            default:
                cell.Type = SpooledCell::Text;
                break;
        }
        if (cell.Type == SpooledCell::Number && !std::isfinite(cell.Value))
            cell.Type = SpooledCell::Text;
        if (cell.Type == SpooledCell::Text) {
            QString text;
            if (value.typeId() == QMetaType::QByteArray)
                text = QStringLiteral("0x") + QString::fromLatin1(value.toByteArray().toHex());
            else if (value.typeId() == QMetaType::QUuid)
                text = value.toUuid().toString();
            else
                text = ValueTextAsLocal(value);
            if (text.size() > MaxText(version_))
                throw EngineError::Of(ErrFieldTooSmall, field.Name());
            cell.String = model.Strings.Intern(text);
        }
        cells.push_back(cell);
    }
    for (const SpooledCell& cell : cells) sheet->Add(cell, model.Strings);
    sheet->UseRow(row);
    dirty_ = true;
}

void ExcelDatabase::doClose() {
    Flush();
    file_.reset();
}

}  // namespace morvane
