// morvane-db on a data source: a whole ODBC connect string as --connect and an empty
// database name, so a user can see what an export wrote.
#include "tests/odbc/OdbcTestConfig.h"

#include "export/data/Database.h"
#include "export/data/dbengine/DBEngine.h"

#include <gtest/gtest.h>
#include <QProcess>

namespace morvane::test {
namespace {

TEST(MorvaneDbOdbcTest, CommandsOnADataSource) {
    OdbcTestConfig config;
    ASSERT_TRUE(config.IsValid());
    const QString path = config.Path(QStringLiteral("shop.db"));
    auto db = DBEngine::Instance().CreateDatabase(path, QStringLiteral(";LANGID=0x0409"), 32);
    db->Execute(
        QString::fromUtf8("CREATE TABLE Stock (Id INTEGER, Name VARCHAR(20));"
                          "INSERT INTO Stock VALUES (1, 'Zoë'), (2, NULL)"));
    db->Close();
    config.WriteUserDsns({{QStringLiteral("shop"), path}});
    struct Case {
        QStringList arguments;
        QString out;
    };
    const Case cases[] = {
        {{"tables"}, "Stock\t0\n"},
        {{"fields", "Stock"}, "0\tId\t4\t4\t0\n1\tName\t10\t20\t0\n"},
        {{"count", "Stock"}, "2\n"},
        {{"rows", "Stock"}, QString::fromUtf8("1\tZoë\n2\t\\N\n")},
    };
    for (const Case& c : cases) {
        QProcess tool;
        tool.setProcessEnvironment(config.Environment());
        tool.start(QStringLiteral(MORVANE_DB_TOOL),
                   QStringList{"--connect", "ODBC;DSN=shop;UID=;PWD=;", ""} + c.arguments);
        ASSERT_TRUE(tool.waitForFinished(30000));
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        EXPECT_EQ(QString::fromUtf8(tool.readAllStandardOutput()), c.out)
            << c.arguments.join(' ').toStdString();
    }
}

}  // namespace
}  // namespace morvane::test
