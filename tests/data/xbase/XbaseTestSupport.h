// Helpers of the xBase driver tests: folders opened under a type specifier, tables made
// through the engine, the People table (apostrophes, quotes, accents, a CR LF memo, Nulls,
// a binary field) every version is written with.
#pragma once

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"
#include "export/data/TableDef.h"
#include "export/data/dbengine/DBEngine.h"
#include "tests/support/FileBytes.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QVariant>
#include <vector>

namespace morvane::test {

//! The seven type specifiers of the xBase drivers.
inline const std::vector<QString>& XbaseTypes() {
    static const std::vector<QString> types = {
        QStringLiteral("dBASE III"),  QStringLiteral("dBASE IV"),   QStringLiteral("dBASE 5.0"),
        QStringLiteral("FoxPro 2.0"), QStringLiteral("FoxPro 2.5"), QStringLiteral("FoxPro 2.6"),
        QStringLiteral("FoxPro 3.0")};
    return types;
}

inline std::shared_ptr<Database> OpenFolder(const QString& folder, const QString& type,
                                            bool readOnly = false) {
    return DBEngine::Instance().OpenDatabase(folder, 0, readOnly, type + QLatin1Char(';'));
}

struct Column {
    const char* name;
    short type;
    int size = 0;
    bool required = false;
};

inline void CreateTable(Database& db, const QString& name, const std::vector<Column>& columns,
                        const std::vector<std::vector<QVariant>>& rows) {
    auto tableDef = db.CreateTableDef(name);
    for (const Column& column : columns) {
        auto field =
            tableDef->CreateField(QString::fromUtf8(column.name), column.type, column.size);
        field->SetRequired(column.required);
        tableDef->Fields().Append(field);
    }
    db.TableDefs().Append(tableDef);
    auto rs = db.OpenRecordset(name);
    for (const auto& row : rows) {
        rs->AddNew();
        for (size_t column = 0; column < row.size(); ++column)
            rs->Fields().Item(static_cast<int>(column)).SetValue(row[column]);
        rs->Update();
    }
    rs->Close();
}

inline std::vector<Column> PeopleColumns() {
    return {{"Id", dbLong},          {"Name", dbText, 30},    {"Notes", dbMemo},
            {"Amount", dbDouble},    {"Price", dbCurrency},   {"Born", dbDate},
            {"Active", dbBoolean},   {"Photo", dbLongBinary}, {"First Name's", dbText, 10},
            {"Quantity", dbInteger}, {"Big", dbBigInt}};
}

inline std::vector<std::vector<QVariant>> PeopleRows() {
    return {{1, QStringLiteral("O'Brien \"Bob\""), QStringLiteral("line1\r\nline2"), 1234.5, 12.25,
             QDateTime(QDate(1999, 12, 31), QTime(15, 4, 5)), true, QByteArray("\x01\x02\xff", 3),
             QString::fromUtf8("Zoë"), 7, QVariant::fromValue<qlonglong>(9000000000LL)},
            {2, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
             QVariant(), QVariant(), QVariant()},
            {3, QStringLiteral(""), QStringLiteral("x"), -0.5, 0.0,
             QDateTime(QDate(2024, 2, 9), QTime(0, 0)), false, QByteArray("AB", 2),
             QStringLiteral("a b"), -32768, QVariant::fromValue<qlonglong>(-5)}};
}

}  // namespace morvane::test
