// The rules of the destination table: database, connect string and file-type text by
// output kind, the two table-name rules, and the field type conversions.
#include "export/data/FieldTypes.h"
#include "export/engine/ExportTable.h"
#include "export/engine/TypeConnect.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

using K = TypeConnect;

TEST(ExportTableTest, DestinationDatabaseByKind) {
    struct Case {
        int kind;
        const char* file;
        const char* name;
        const char* connect;
        const char* fileType;
    };
    const Case cases[] = {
        {K::Access, "/data/out.db", "/data/out.db", "", ""},
        {K::Paradox3, "/data/sales.db", "/data", "Paradox 3.X;", "Paradox 3.X;"},
        {K::Paradox5, "sales.db", ".", "Paradox 5.X;", "Paradox 5.X;"},
        {K::Paradox4, "/sales.db", "", "Paradox 4.X;", "Paradox 4.X;"},
        {K::DBase3, "/d/x.dbf", "/d", "Dbase III;", "Dbase III;"},
        {K::DBase5, "/d/x.dbf", "/d", "Dbase 5.0;", "Dbase 5.0;"},
        {K::FOXPRO20, "/d/x.dbf", "/d", "FoxPro 2.0;", "FoxPro 2.0;"},
        {K::FOXPRO30, "/d/x.dbf", "/d", "FoxPro 3.0;", "FoxPro 3.0;"},
        {K::ODBC, "/d/people", "", "ODBC;DSN=pg;", "ODBC"},
        {K::Excel3, "/x/book.xls", "/x/book.xls", "Excel 3.0;", "Excel 3.0;"},
        {K::Excel97, "/x/book.xls", "/x/book.xls", "Excel 97;", "Excel 97;"},
        {K::Lotus, "/x/s.wk1", "/x/s.wk1", "Lotus WK1;", "Lotus WK1;"},
        {K::Lotus1, "/x/s.wk1", "/x/s.wk1", "Lotus WK1;", "Lotus WK1;"},
        {K::Lotus3, "/x/s.wk3", "/x/s.wk3", "Lotus WK3;", "Lotus WK3;"},
    };
    for (const Case& c : cases) {
        const DestinationDatabase where = DestinationDatabaseFor(c.kind, c.file, "ODBC;DSN=pg;");
        EXPECT_EQ(where.name, QString(c.name)) << c.kind;
        EXPECT_EQ(where.connect, QString(c.connect)) << c.kind;
        EXPECT_EQ(where.fileTypeText, QString(c.fileType)) << c.kind;
    }
}

TEST(ExportTableTest, TableNameRules) {
    struct Case {
        int kind;
        const char* source;
        const char* file;
        const char* table;
    };
    const Case cases[] = {
        {K::Access, "Orders", "/x/out.db", "Orders"},
        {K::Access, "dbo.Orders.old", "/x/out.db", "dbo.Orders"},
        {K::Access, "archive/Orders", "/x/out.db", "Orders"},
        {K::Excel97, "Orders", "/x/book.xls", "Orders"},
        {K::Paradox3, "Orders", "sales.db", "sales"},
        {K::Paradox3, "Orders", "/data/sales.2.db", "sales"},
        {K::DBase4, "Orders", "/data/noext", "noext"},
        {K::ODBC, "Orders", "/tmp/people.txt", "people"},
        {K::Lotus3, "Orders", "/x/sheet.wk3", "sheet"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DestinationTableName(c.kind, c.source, c.file), QString(c.table))
            << c.kind << " " << c.source << " " << c.file;
}

TEST(ExportTableTest, FieldTypeConversions) {
    struct Case {
        short type;
        int kind;
        short created;
    };
    const Case cases[] = {
        {dbLongBinary, K::Access, dbLongBinary},
        {dbLongBinary, K::Paradox3, dbBinary},
        {dbLongBinary, K::Paradox4, dbLongBinary},
        {dbLongBinary, K::Excel3, dbBinary},
        {dbLongBinary, K::ODBC, dbLongBinary},
        {dbMemo, K::Paradox3, dbBinary},
        {dbMemo, K::Paradox4, dbMemo},
        {dbVarBinary, K::Paradox3, dbVarBinary},
        {dbVarBinary, K::Paradox4, dbBinary},
        {dbVarBinary, K::ODBC, dbBinary},
        // The data-source-only types become file-format types for the file kinds ...
        {dbBigInt, K::DBase4, dbLong},
        {dbChar, K::Paradox5, dbText},
        {dbNumeric, K::Excel97, dbDouble},
        {dbDecimal, K::FOXPRO25, dbDouble},
        {dbFloat, K::Lotus, dbDouble},
        {dbTime, K::Paradox3, dbDate},
        {dbTimeStamp, K::DBase3, dbDate},
        // ... and keep their own code in the native format and in a data source.
        {dbBigInt, K::Access, dbBigInt},
        {dbNumeric, K::ODBC, dbNumeric},
        {dbTimeStamp, K::ODBC, dbTimeStamp},
        {dbText, K::Paradox3, dbText},
        {dbCurrency, K::DBase5, dbCurrency},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DestinationFieldType(c.type, c.kind), c.created) << c.type << " kind " << c.kind;
}

}  // namespace
}  // namespace morvane
