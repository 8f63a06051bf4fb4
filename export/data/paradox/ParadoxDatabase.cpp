#include "export/data/paradox/ParadoxDatabase.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/paradox/ParadoxLayout.h"
#include "export/data/paradox/ParadoxNames.h"
#include "export/data/paradox/ParadoxRecordset.h"
#include "export/data/paradox/ParadoxTable.h"
#include "export/data/paradox/ParadoxTypes.h"

#include <sys/stat.h>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>

namespace morvane {

using namespace paradox;

namespace {

// Record size limit: one record must fit a block, and Paradox refuses records over 4000
// bytes in any table.
constexpr int kMaxRecordSize = 4000;

int BlockSizeOf(int level) {
    return level <= 3 ? 2048 : 4096;
}

}  // namespace

ParadoxDatabase::ParadoxDatabase(const QString& folder, const QString& connect, bool readOnly,
                                 int level)
    : Database(folder, connect), folder_(folder), readOnly_(readOnly), level_(level) {}

std::shared_ptr<ParadoxDatabase> ParadoxDatabase::Open(const QString& folder, bool readOnly,
                                                       const QString& connect, int level) {
    const QString path = folder.isEmpty() ? QStringLiteral(".") : folder;
    const QFileInfo info(path);
    if (!info.exists()) {
        // A folder inside one we may not search is there but out of reach.
        struct stat status {};
        if (stat(QFile::encodeName(path).constData(), &status) != 0 && errno == EACCES)
            throw EngineError::Of(ErrCannotOpenFile, folder);
        throw EngineError::Of(ErrFileNotFoundEngine, folder);
    }
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        throw EngineError::Of(ErrCannotOpenFile, folder);
    return std::shared_ptr<ParadoxDatabase>(new ParadoxDatabase(path, connect, readOnly, level));
}

std::vector<std::shared_ptr<TableDef>> ParadoxDatabase::doListTables() {
    std::vector<std::shared_ptr<TableDef>> tables;
    const QDir dir(folder_);
    for (const QString& file : TableFiles(folder_)) {
        auto table = std::make_shared<TableDef>(TableNameOf(file));
        try {
            const QString path = dir.filePath(file);
            FlushTable(path);
            TableReader reader(path, Writes(path));
            for (const FieldLayout& layout : reader.Header().fields)
                table->Fields().Append(std::make_shared<Field>(layout.name, EngineTypeOf(layout),
                                                               EngineSizeOf(layout)));
        } catch (const EngineError&) {
            // A damaged table is listed without fields, so that the others stay usable;
            // opening it reports the damage.
            DbErrors().Clear();
        }
        table->MarkStored(Key());
        tables.push_back(table);
    }
    return tables;
}

std::vector<std::shared_ptr<QueryDef>> ParadoxDatabase::doListQueries() {
    return {};
}

std::unique_ptr<Recordset> ParadoxDatabase::doOpenRecordset(const QString& name, int type, int) {
    const QString path = FindTableFile(folder_, name);
    if (path.isEmpty()) throw EngineError::Of(ErrInputTableNotFound, name);
    FlushTable(path);
    auto reader = std::make_unique<TableReader>(path, Writes(path));
    const bool updatable = !readOnly_ && type != dbOpenSnapshot && reader->Header().fileType == 2;
    const short recordsetType = static_cast<short>(type == 0 ? dbOpenTable : type);
    return std::make_unique<ParadoxRecordset>(
        std::static_pointer_cast<ParadoxDatabase>(shared_from_this()), std::move(reader),
        recordsetType, updatable);
}

void ParadoxDatabase::doCreateTable(const TableDef& tableDef) {
    if (readOnly_) RaiseReadOnly();
    const QString fileName = NewTableFileName(tableDef.Name());
    const QString path = QDir(folder_).filePath(fileName);
    if (!FindTableFile(folder_, fileName).isEmpty() || QFileInfo::exists(path))
        throw EngineError::Of(ErrTableExists, tableDef.Name());

    TableHeader header;
    header.version = VersionByteOf(level_);
    header.blockSize = BlockSizeOf(level_);
    header.codePage = ParadoxCodePage::ForNumber(1252);
    const auto& items = tableDef.Fields().Items();
    if (static_cast<int>(items.size()) > kMaxFields)
        throw EngineError::Raise(ErrInvalidArgument,
                                 QStringLiteral("A Paradox table holds at most %1 fields; '%2' "
                                                "has %3.")
                                     .arg(kMaxFields)
                                     .arg(tableDef.Name())
                                     .arg(items.size()));
    QStringList names;
    for (const auto& field : items) names << field->Name();
    names = ParadoxFieldNames(names, *header.codePage);
    bool withMb = false;
    int offset = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        FieldLayout layout = PlanField(items[i]->Type(), items[i]->DeclaredSize(), level_);
        layout.name = names[static_cast<int>(i)];
        layout.offset = offset;
        offset += layout.width;
        withMb = withMb || (layout.code >= kMemo && layout.code <= kGraphic);
        header.fields.push_back(layout);
    }
    header.recordSize = offset;
    const int limit = std::min(kMaxRecordSize, header.blockSize - kBlockHeader);
    if (header.recordSize > limit)
        throw EngineError::Raise(ErrInvalidArgument,
                                 QStringLiteral("The fields of the table '%1' take %2 bytes per "
                                                "record; a Paradox %3 record holds at most %4.")
                                     .arg(tableDef.Name())
                                     .arg(header.recordSize)
                                     .arg(level_)
                                     .arg(limit));
    CreateTableFile(path, BuildHeader(header, fileName.toLatin1()), withMb);
}

void ParadoxDatabase::doDropTable(const QString& name) {
    if (readOnly_) RaiseReadOnly();
    const QString path = FindTableFile(folder_, name);
    if (path.isEmpty()) throw EngineError::Of(ErrItemNotFound);
    writers_.remove(path);  // flushed and unlocked; the file goes next
    const QFileInfo info(path);
    const QString base = info.completeBaseName();
    // The memo file and the primary and secondary index files share the base name.
    static const QRegularExpression companion(
        QStringLiteral("^\\.(mb|px|[xy][0-9a-f]{2}|[xy]g[0-9a-f])$"),
        QRegularExpression::CaseInsensitiveOption);
    QDir dir = info.dir();
    if (!dir.remove(info.fileName())) throw EngineError::Of(ErrCannotOpenFile, path);
    for (const QString& file : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (file.size() <= base.size() ||
            file.left(base.size()).compare(base, Qt::CaseInsensitive) != 0)
            continue;
        if (companion.match(file.mid(base.size())).hasMatch()) dir.remove(file);
    }
    stamps_.remove(path);
}

void ParadoxDatabase::doClose() {
    for (auto& writer : writers_) writer->Flush();
    writers_.clear();
}

TableWriter& ParadoxDatabase::WriterFor(const QString& path) {
    auto found = writers_.find(path);
    if (found == writers_.end()) found = writers_.insert(path, std::make_shared<TableWriter>(path));
    return *found.value();
}

void ParadoxDatabase::FlushTable(const QString& path) {
    auto found = writers_.find(path);
    if (found != writers_.end()) found.value()->Flush();
}

}  // namespace morvane
