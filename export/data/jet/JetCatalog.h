// JetCatalog: the objects of a Jet database as its system table MSysObjects lists them
// (read through a JetCursor on its definition page, page 2): tables, linked tables and
// stored queries, in the file's order, and the stored queries' definitions from
// MSysQueries. libmdb's own catalogue reader is not used: the driver reads these tables
// with the same checks as any other.
//
// MSysObjects columns used: Id (the low 24 bits are the definition page of a table),
// Name, Type (1 table, 4 linked ODBC table, 5 query, 6 linked table), Flags (0x80000002
// system, 0x8 hidden; for a query its type code), LvProp (properties, libmdb's KKD form).
#pragma once

#include "export/data/jet/JetFile.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace morvane {

struct JetObject {
    QString Name;
    int Type = 0;
    qint32 Id = 0;
    qint32 Flags = 0;
    QByteArray Properties;  //!< the LvProp bytes

    quint32 DefinitionPage() const { return static_cast<quint32>(Id) & 0xFFFFFF; }
    //! The engine's table attributes: 0 for a user table, system/hidden/attached bits else.
    int Attributes() const;
};

//! One row of MSysQueries.
struct JetQueryRow {
    int Attribute = 0;
    QVariant Flag;
    QString Name1;
    QString Name2;
    QString Expression;
};

class JetCatalog {
  public:
    enum ObjectType { Table = 1, LinkedOdbcTable = 4, Query = 5, LinkedTable = 6 };

    //! Reads MSysObjects. Raises 3049 when it is damaged.
    static std::vector<JetObject> Objects(const std::shared_ptr<JetFile>& file);
    //! The rows of MSysQueries by ObjectId, each query's rows in file order.
    static QHash<qint32, std::vector<JetQueryRow>> QueryRows(const std::shared_ptr<JetFile>& file,
                                                             const std::vector<JetObject>& objects);
};

}  // namespace morvane
