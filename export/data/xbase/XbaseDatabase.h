// XbaseDatabase: a folder of xBase tables opened as one database: each ".dbf" file is a
// table named by its file name without the extension. Tables created here are written in
// the version of the type specifier the folder was opened with; tables of every version
// are read. The engine types a table was created with are kept while the database stays
// open, so its recordsets take values of those types (a binary value of a dBASE III table,
// written as hex text, reads back as binary); opened later, the table's fields read as the
// file's types say (docs/engine.md).
#pragma once

#include "export/data/Database.h"
#include "export/data/xbase/XbaseFormat.h"
#include "export/data/xbase/XbaseRecordset.h"

#include <QHash>
#include <vector>

namespace morvane {

class XbaseDatabase : public Database {
  public:
    //! Raises 3024 when the folder does not exist, 3051 when it is no folder or cannot be
    //! read.
    XbaseDatabase(const QString& folder, XbaseVersion version, bool readOnly,
                  const QString& connect);
    ~XbaseDatabase() override;

    // Recordsets register while they are open, so that closing the database writes what
    // they gathered.
    void Register(XbaseRecordset* recordset);
    void Unregister(XbaseRecordset* recordset);

  protected:
    std::vector<std::shared_ptr<TableDef>> doListTables() override;
    std::vector<std::shared_ptr<QueryDef>> doListQueries() override;
    std::unique_ptr<Recordset> doOpenRecordset(const QString& name, int type, int options) override;
    void doCreateTable(const TableDef& tableDef) override;
    void doDropTable(const QString& name) override;
    void doExecute(const QString& sql, int options) override;
    void doClose() override;

  private:
    struct SessionTable {
        std::vector<XbaseSessionField> fields;
        bool hexBinary = false;
    };

    QString folder_;
    XbaseVersion version_;
    bool readOnly_;
    QHash<QString, SessionTable> created_;  //!< by file path
    std::vector<XbaseRecordset*> open_;
};

}  // namespace morvane
