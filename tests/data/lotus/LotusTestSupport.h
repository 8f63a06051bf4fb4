// Helpers shared by the Lotus driver tests: writing a table through the engine, reading
// one back, and files in a temporary directory.
#pragma once

#include "tests/data/EngineTestSupport.h"
#include "tests/support/FileBytes.h"

#include "export/data/TableDef.h"

#include <QDir>
#include <QFile>
#include <vector>

namespace morvane::test {

struct LotusField {
    const char* Name;
    short Type;
    int Size;
};

inline QString LotusConnect(bool wk3) {
    return wk3 ? QStringLiteral("Lotus WK3;") : QStringLiteral("Lotus WK1;");
}

inline std::shared_ptr<Database> OpenLotus(const QString& path, bool wk3, bool readOnly = false) {
    return DBEngine::Instance().OpenDatabase(path, 0, readOnly, LotusConnect(wk3));
}

//! Writes `rows` into a new table `name` of the file `path` through the engine.
inline void WriteLotusTable(const QString& path, bool wk3, const QString& name,
                            const std::vector<LotusField>& fields,
                            const std::vector<std::vector<QVariant>>& rows) {
    auto db = OpenLotus(path, wk3);
    auto table = db->CreateTableDef(name);
    for (const LotusField& field : fields)
        table->Fields().Append(table->CreateField(field.Name, field.Type, field.Size));
    db->TableDefs().Append(table);
    auto rs = db->OpenRecordset(name);
    for (const auto& row : rows) {
        rs->AddNew();
        for (size_t column = 0; column < row.size(); ++column)
            if (!row[column].isNull())
                rs->Fields().Item(static_cast<int>(column)).SetValue(row[column]);
        rs->Update();
    }
    rs->Close();
    db->Close();
}

//! Every record of the file's table, values as the engine gives them.
inline std::vector<std::vector<QVariant>> ReadLotusTable(const QString& path, bool wk3) {
    auto db = OpenLotus(path, wk3, true);
    std::vector<std::vector<QVariant>> rows;
    if (db->TableDefs().Count() == 0) return rows;
    auto rs = db->OpenRecordset(db->TableDefs().Item(0).Name());
    for (; !rs->Eof(); rs->MoveNext()) {
        std::vector<QVariant> row;
        for (int column = 0; column < rs->Fields().Count(); ++column)
            row.push_back(rs->Fields().Item(column).Value());
        rows.push_back(row);
    }
    db->Close();
    return rows;
}

//! One worksheet record: type, 16-bit length, body.
inline QByteArray LotusRecordBytes(quint16 type, const QByteArray& body) {
    QByteArray out;
    out.append(char(type & 0xFF)).append(char(type >> 8));
    out.append(char(body.size() & 0xFF)).append(char(body.size() >> 8));
    return out + body;
}

}  // namespace morvane::test
