#include "export/data/lotus/LotusDatabase.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/lotus/LotusRecordset.h"

#include <QFile>
#include <QFileInfo>

namespace morvane {

namespace {

//! The file name up to its first ".", the whole name when that leaves nothing.
QString TableNameOf(const QString& path) {
    const QString file = QFileInfo(path).fileName();
    const QString name = file.section(QLatin1Char('.'), 0, 0);
    return name.isEmpty() ? file : name;
}

}  // namespace

LotusDatabase::LotusDatabase(const QString& path, LotusVersion version, const QString& connect,
                             bool readOnly)
    : Database(path, connect),
      path_(path),
      version_(version),
      readOnly_(readOnly),
      tableName_(TableNameOf(path)) {}

LotusDatabase::~LotusDatabase() {
    if (writer_) {
        try {
            writer_->Finish();
        } catch (const EngineError&) {
            // Nothing can report here; the previous file stays as it was.
        }
    }
}

std::shared_ptr<LotusDatabase> LotusDatabase::Open(const QString& path, LotusVersion version,
                                                   const QString& connect, bool readOnly) {
    std::shared_ptr<LotusDatabase> database(new LotusDatabase(path, version, connect, readOnly));
    const QFileInfo info(path);
    if (info.isDir()) throw EngineError::Of(ErrCannotOpenFile, path);
    if (info.exists() && info.size() > 0) database->sheet_ = LotusSheet::Open(path);
    return database;
}

void LotusDatabase::CheckWritable() const {
    if (readOnly_) RaiseReadOnly();
}

std::vector<LotusColumn> LotusDatabase::Columns() const {
    if (!newColumns_.empty()) return newColumns_;
    return sheet_ ? sheet_->Columns() : std::vector<LotusColumn>();
}

std::vector<std::shared_ptr<TableDef>> LotusDatabase::doListTables() {
    if (!HasTable()) return {};
    auto table = std::make_shared<TableDef>(tableName_);
    for (const LotusColumn& column : Columns())
        table->Fields().Append(std::make_shared<Field>(column.Name, column.Type, column.Size));
    return {table};
}

std::unique_ptr<Recordset> LotusDatabase::doOpenRecordset(const QString& name, int type, int) {
    if (!HasTable() || name.compare(tableName_, Qt::CaseInsensitive) != 0)
        throw EngineError::Of(ErrInputTableNotFound, name);
    return std::make_unique<LotusRecordset>(
        std::static_pointer_cast<LotusDatabase>(shared_from_this()), sheet_, Columns(),
        static_cast<short>(type == 0 ? dbOpenTable : type), !readOnly_);
}

void LotusDatabase::doCreateTable(const TableDef& tableDef) {
    CheckWritable();
    if (HasTable()) throw EngineError::Of(ErrTableExists, tableName_);
    std::vector<LotusColumn> columns;
    for (const auto& field : tableDef.Fields().Items())
        columns.push_back({field->Name(), field->Type(), field->Size()});
    writer_ = LotusSheetWriter::Create(path_, version_, columns);
    newColumns_ = std::move(columns);
    tableName_ = tableDef.Name();
}

void LotusDatabase::doDropTable(const QString&) {
    CheckWritable();
    if (writer_) {
        writer_->Abandon();
        writer_.reset();
    }
    sheet_.reset();
    newColumns_.clear();
    if (QFileInfo::exists(path_) && !QFile::remove(path_))
        throw EngineError::Of(ErrCannotOpenFile, path_);
    tableName_ = TableNameOf(path_);
}

void LotusDatabase::doExecute(const QString&, int) {
    CheckWritable();
    throw EngineError::Of(
        ErrNotSupported,
        QStringLiteral("%1 files do not run SQL statements.").arg(LotusTypeName(version_)));
}

void LotusDatabase::AppendRecord(const std::vector<QVariant>& values) {
    CheckWritable();
    if (!writer_) {
        if (!sheet_) throw EngineError::Of(ErrInputTableNotFound, tableName_);
        writer_ = LotusSheetWriter::Continue(*sheet_);
    }
    writer_->WriteRecord(values, Columns());
}

void LotusDatabase::FinishWriting() {
    if (!writer_) return;
    std::unique_ptr<LotusSheetWriter> writer = std::move(writer_);
    writer->Finish();
    sheet_ = LotusSheet::Open(path_);
}

void LotusDatabase::doClose() {
    FinishWriting();
    sheet_.reset();
}

}  // namespace morvane
