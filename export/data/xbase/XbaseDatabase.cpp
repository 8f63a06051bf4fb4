#include "export/data/xbase/XbaseDatabase.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/xbase/FolderTables.h"
#include "export/data/xbase/XbaseCodePage.h"
#include "export/data/xbase/XbaseTableWriter.h"
#include "export/data/xbase/XbaseTypes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace morvane {

namespace {

const QString kExtension = QStringLiteral(".dbf");

// Characters an xBase field name holds: ASCII letters, digits and '_'.
bool XbaseNameChar(QChar ch) {
    return ch.unicode() < 128 && (ch.isLetterOrNumber() || ch == QLatin1Char('_'));
}

QString SessionKey(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

}  // namespace

XbaseDatabase::XbaseDatabase(const QString& folder, XbaseVersion version, bool readOnly,
                             const QString& connect)
    : Database(folder, connect), folder_(folder), version_(version), readOnly_(readOnly) {
    const QFileInfo info(folder);
    if (!info.exists()) throw EngineError::Of(ErrFileNotFoundEngine, folder);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        throw EngineError::Of(ErrCannotOpenFile, folder);
}

XbaseDatabase::~XbaseDatabase() = default;

void XbaseDatabase::Register(XbaseRecordset* recordset) {
    open_.push_back(recordset);
}

void XbaseDatabase::Unregister(XbaseRecordset* recordset) {
    open_.erase(std::remove(open_.begin(), open_.end(), recordset), open_.end());
}

std::vector<std::shared_ptr<TableDef>> XbaseDatabase::doListTables() {
    std::vector<std::shared_ptr<TableDef>> tables;
    for (const QString& name : FolderTables::List(folder_, kExtension)) {
        auto table = std::make_shared<TableDef>(name);
        // The fields are listed when the file reads; a damaged file is still listed (its
        // error shows when it is opened).
        try {
            const QString path = FolderTables::Find(folder_, name, kExtension);
            XbaseTableFile file(path);
            for (int index : file.Columns()) {
                const auto& descriptor = file.Header().fields[static_cast<size_t>(index)];
                const XbaseEngineType type =
                    EngineTypeOf(descriptor, file.Header().IsVisualFoxPro());
                table->Fields().Append(table->CreateField(descriptor.name, type.type, type.size));
            }
        } catch (const EngineError&) {
        }
        tables.push_back(std::move(table));
    }
    return tables;
}

std::vector<std::shared_ptr<QueryDef>> XbaseDatabase::doListQueries() {
    return {};
}

std::unique_ptr<Recordset> XbaseDatabase::doOpenRecordset(const QString& name, int type,
                                                          int options) {
    const QString path = FolderTables::Find(folder_, name, kExtension);
    if (path.isEmpty()) throw EngineError::Of(ErrInputTableNotFound, name);
    const short kind = static_cast<short>(type == 0 ? dbOpenTable : type);
    const SessionTable session = created_.value(SessionKey(path));
    auto recordset = std::make_unique<XbaseRecordset>(
        shared_from_this(), path, kind, !readOnly_ && kind != dbOpenSnapshot,
        (options & dbAppendOnly) != 0, session.fields, session.hexBinary);
    Register(recordset.get());
    return recordset;
}

void XbaseDatabase::doCreateTable(const TableDef& tableDef) {
    if (readOnly_) RaiseReadOnly();
    const QString& name = tableDef.Name();
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\0')))
        throw EngineError::Of(ErrInvalidArgument);
    if (!FolderTables::Find(folder_, name, kExtension).isEmpty())
        throw EngineError::Of(ErrTableExists, name);
    const QString path = FolderTables::PathForNew(folder_, name, kExtension);

    const auto& items = tableDef.Fields().Items();
    QStringList names;
    for (const auto& field : items) names.append(field->Name());
    names = FolderTables::ShortenNames(names, 10, XbaseNameChar);

    const bool vfp = version_ == XbaseVersion::FoxPro3;
    const XbaseLimits limits = LimitsOf(version_);
    XbaseHeader header;
    header.languageDriver = XbaseCodePage::kWindows1252;
    SessionTable session;
    session.hexBinary = WritesBinaryAsHex(version_);
    int nullable = 0;
    for (size_t index = 0; index < items.size(); ++index) {
        const Field& field = *items[index];
        XbaseFieldDescriptor descriptor =
            XbaseFieldFor(field.Type(), field.Size(), !field.Required(), version_);
        descriptor.name = names[static_cast<int>(index)];
        if (descriptor.flags & 0x02) descriptor.nullBit = nullable++;
        header.fields.push_back(descriptor);
        session.fields.push_back({field.Type(), field.Size()});
    }
    if (vfp && nullable > 0) {
        XbaseFieldDescriptor flags;
        flags.name = QStringLiteral("_NullFlags");
        flags.type = '0';
        flags.length = (nullable + 7) / 8;
        flags.flags = 0x05;
        flags.hidden = true;
        header.nullFlagsField = static_cast<int>(header.fields.size());
        header.fields.push_back(flags);
    }
    int recordLength = 1;
    for (const auto& descriptor : header.fields) recordLength += descriptor.length;
    const int fieldCount = static_cast<int>(header.fields.size());
    if (fieldCount > limits.maxFields)
        throw EngineError::Raise(
            ErrInvalidArgument,
            QStringLiteral("The table '%1' cannot be created: %2 fields, a %3 table holds at "
                           "most %4.")
                .arg(name)
                .arg(fieldCount)
                .arg(XbaseVersionName(version_))
                .arg(limits.maxFields));
    if (recordLength > limits.maxRecordLength)
        throw EngineError::Raise(
            ErrInvalidArgument,
            QStringLiteral("The table '%1' cannot be created: its records take %2 bytes, a %3 "
                           "record at most %4.")
                .arg(name)
                .arg(recordLength)
                .arg(XbaseVersionName(version_))
                .arg(limits.maxRecordLength));
    const bool memo = header.HasMemoFields();
    header.version = XbaseVersionByte(version_, memo);
    if (vfp && memo) header.tableFlags = 0x02;
    XbaseTableWriter::Create(path, header);
    created_.insert(SessionKey(path), session);
}

void XbaseDatabase::doDropTable(const QString& name) {
    if (readOnly_) RaiseReadOnly();
    const QString path = FolderTables::Find(folder_, name, kExtension);
    if (path.isEmpty()) throw EngineError::Of(ErrItemNotFound);
    const QStringList companions = FolderTables::Companions(
        path, {QStringLiteral(".dbt"), QStringLiteral(".fpt"), QStringLiteral(".mdx"),
               QStringLiteral(".cdx"), QStringLiteral(".ndx"), QStringLiteral(".idx"),
               QStringLiteral(".ntx")});
    if (!QFile::remove(path)) throw EngineError::Of(ErrCannotOpenFile, path);
    for (const QString& companion : companions) QFile::remove(companion);
    created_.remove(SessionKey(path));
}

void XbaseDatabase::doExecute(const QString&, int) {
    if (readOnly_) RaiseReadOnly();
    throw EngineError::Of(ErrNotSupported, QStringLiteral("SQL statements on a folder of dBASE "
                                                          "or FoxPro tables"));
}

void XbaseDatabase::doClose() {
    const auto open = open_;
    for (XbaseRecordset* recordset : open) recordset->FlushWrites();
}

}  // namespace morvane
