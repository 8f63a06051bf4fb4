// The driver contract for the native format.
#include "tests/data/DriverContract.h"

#include "export/data/TableDef.h"
#include "export/data/dbengine/DBEngine.h"

#include <QTemporaryDir>

namespace morvane::test {
namespace {

//! Fills a new table "Nav" of `db` with `rows` rows through the engine.
void FillNav(Database& db, int rows) {
    auto tableDef = db.CreateTableDef(QStringLiteral("Nav"));
    tableDef->Fields().Append(tableDef->CreateField(QStringLiteral("Id"), dbLong));
    tableDef->Fields().Append(tableDef->CreateField(QStringLiteral("Name"), dbText, 20));
    db.TableDefs().Append(tableDef);
    auto rs = db.OpenRecordset(QStringLiteral("Nav"));
    for (int id = 1; id <= rows; ++id) {
        rs->AddNew();
        rs->Fields().Item(0).SetValue(id);
        rs->Fields().Item(1).SetValue(QStringLiteral("N%1").arg(id));
        rs->Update();
    }
    rs->Close();
}

struct NativeHarness {
    static constexpr bool kWritable = true;
    QTemporaryDir dir;
    QString path;
    int made = 0;

    std::shared_ptr<Database> CreateWithTable(int rows) {
        path = dir.filePath(QStringLiteral("contract%1.db").arg(++made));
        auto db = DBEngine::Instance().CreateDatabase(path, QStringLiteral(";LANGID=0x0409"), 32);
        FillNav(*db, rows);
        db->Close();
        // Opened again so that the file is recognised by its header like any other.
        return DBEngine::Instance().OpenDatabase(path);
    }
    std::shared_ptr<Database> OpenReadOnly() {
        return DBEngine::Instance().OpenDatabase(path, 0, true);
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Native, DriverContract, ::testing::Types<NativeHarness>);

}  // namespace
}  // namespace morvane::test
