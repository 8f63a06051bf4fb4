// Helpers of the Paradox tests: a folder database at one level, tables made through the
// engine, and rows read back as values.
#pragma once

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"
#include "export/data/TableDef.h"
#include "export/data/dbengine/DBEngine.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <vector>

namespace morvane::test {

//! The connect string of a Paradox level (3, 4, 5).
inline QString ParadoxConnect(int level) {
    return QStringLiteral("Paradox %1.x;").arg(level);
}

inline std::shared_ptr<Database> OpenParadox(const QString& folder, int level,
                                             bool readOnly = false) {
    return DBEngine::Instance().OpenDatabase(folder, 0, readOnly, ParadoxConnect(level));
}

struct ColumnDef {
    QString name;
    short type;
    int size;
};

//! Creates `table` with `columns` and appends `rows` (values in column order).
inline void MakeTable(Database& db, const QString& table, const std::vector<ColumnDef>& columns,
                      const std::vector<std::vector<QVariant>>& rows) {
    auto tableDef = db.CreateTableDef(table);
    for (const ColumnDef& column : columns)
        tableDef->Fields().Append(tableDef->CreateField(column.name, column.type, column.size));
    db.TableDefs().Append(tableDef);
    auto rs = db.OpenRecordset(table);
    for (const auto& row : rows) {
        rs->AddNew();
        for (size_t i = 0; i < row.size(); ++i)
            rs->Fields().Item(static_cast<int>(i)).SetValue(row[i]);
        rs->Update();
    }
    rs->Close();
}

//! Every record of `table`, each as its field values.
inline std::vector<std::vector<QVariant>> ReadRows(Database& db, const QString& table) {
    std::vector<std::vector<QVariant>> rows;
    auto rs = db.OpenRecordset(table);
    for (; !rs->Eof(); rs->MoveNext()) {
        std::vector<QVariant> row;
        for (int i = 0; i < rs->Fields().Count(); ++i) row.push_back(rs->Fields().Item(i).Value());
        rows.push_back(row);
    }
    return rows;
}

inline QByteArray FileDigest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

}  // namespace morvane::test
