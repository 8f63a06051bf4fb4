// LotusDatabase: a worksheet file opened by the "Lotus WK1" or "Lotus WK3" driver. The
// database is the file and its one table the file's sheet, named after the file (its name
// up to the first "."), as the export names a Lotus destination table; a table appended
// during this session keeps the name it was appended under until the database closes.
//
// - A missing (or empty) file opens as a database without tables; appending a table writes
//   the file, in the driver's format, when the table's recordset or the database closes.
// - An existing file is read in whichever of the two formats it is (the first record says
//   which); rows added to it keep its format.
// - A table appended this session keeps its fields' definitions (types, sizes) until the
//   database closes; values read from the file are converted to them.
// - The file holds one sheet: appending a table while it has one raises 3010 naming the
//   sheet that is there (the export then asks whether to overwrite it, deletes it, and
//   appends again). Deleting the table deletes the file.
// - Read-only databases refuse every write with 3027; SQL statements are not supported
//   (3251).
#pragma once

#include "export/data/Database.h"
#include "export/data/lotus/LotusSheet.h"
#include "export/data/lotus/LotusSheetWriter.h"

#include <memory>

namespace morvane {

class LotusDatabase : public Database {
  public:
    //! Opens `path` for `version` (the format of a new file). Raises what LotusSheet::Open
    //! raises for an existing file, 3051 for a directory.
    static std::shared_ptr<LotusDatabase> Open(const QString& path, LotusVersion version,
                                               const QString& connect, bool readOnly);
    ~LotusDatabase() override;

    // Engine side, for LotusRecordset.
    //! Adds one record after the sheet's last row (LotusSheetWriter::WriteRecord).
    void AppendRecord(const std::vector<QVariant>& values);
    //! Puts the file being written in place and reads it again.
    void FinishWriting();

  protected:
    std::vector<std::shared_ptr<TableDef>> doListTables() override;
    std::vector<std::shared_ptr<QueryDef>> doListQueries() override { return {}; }
    std::unique_ptr<Recordset> doOpenRecordset(const QString& name, int type, int options) override;
    void doCreateTable(const TableDef& tableDef) override;
    void doDropTable(const QString& name) override;
    void doExecute(const QString& sql, int options) override;
    void doClose() override;

  private:
    LotusDatabase(const QString& path, LotusVersion version, const QString& connect, bool readOnly);
    bool HasTable() const { return sheet_ || writer_; }
    //! The table's fields: as appended for a table appended this session, else the
    //! sheet's.
    std::vector<LotusColumn> Columns() const;
    void CheckWritable() const;

    QString path_;
    LotusVersion version_;
    bool readOnly_;
    QString tableName_;
    std::shared_ptr<LotusSheet> sheet_;
    std::unique_ptr<LotusSheetWriter> writer_;
    std::vector<LotusColumn> newColumns_;  //!< fields of a table appended this session
};

}  // namespace morvane
