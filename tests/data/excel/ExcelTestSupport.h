// Helpers of the Excel driver tests: workbooks written through the engine, files read
// whole, and the connect string of each version.
#pragma once

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/TableDef.h"
#include "export/data/dbengine/DBEngine.h"
#include "tests/data/DriverContract.h"
#include "tests/support/FileBytes.h"

#include <gtest/gtest.h>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QVariant>

namespace morvane::test {

// Only the contract test binary instantiates the contract suite the header brings along.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(DriverContract);

struct ExcelKind {
    const char* Connect;  //!< "Excel 97;" ...
    int BiffVersion;      //!< as xlrd reports it: 30, 40, 50, 80
};

inline const ExcelKind kExcelKinds[] = {
    {"Excel 3.0;", 30}, {"Excel 4.0;", 40}, {"Excel 5.0;", 50}, {"Excel 97;", 80}};

inline std::shared_ptr<Database> OpenExcel(const QString& path, const char* connect,
                                           bool readOnly = false) {
    return DBEngine::Instance().OpenDatabase(path, 0, readOnly, QString::fromLatin1(connect));
}

//! Creates table `name` with `fields` (name, type, size) in `db`.
inline void CreateTable(Database& db, const QString& name,
                        const std::vector<std::tuple<QString, short, int>>& fields) {
    auto tableDef = db.CreateTableDef(name);
    for (const auto& [field, type, size] : fields)
        tableDef->Fields().Append(tableDef->CreateField(field, type, size));
    db.TableDefs().Append(tableDef);
}

//! Adds one row of `values` (in field order; invalid QVariant: Null) to `table`.
inline void AddRow(Recordset& rs, const std::vector<QVariant>& values) {
    rs.AddNew();
    for (size_t index = 0; index < values.size(); ++index)
        if (values[index].isValid())
            rs.Fields().Item(static_cast<int>(index)).SetValue(values[index]);
    rs.Update();
}

//! Every record of `table` as text lines "v1|v2|..." (Null: "~"), in order.
inline QStringList Rows(Database& db, const QString& table) {
    QStringList rows;
    auto rs = db.OpenRecordset(table);
    for (; !rs->Eof(); rs->MoveNext()) {
        QStringList values;
        for (int index = 0; index < rs->Fields().Count(); ++index) {
            const QVariant& value = rs->Fields().Item(index).Value();
            values << (value.isNull() ? QStringLiteral("~") : value.toString());
        }
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

}  // namespace morvane::test
