#include "tests/data/EngineTestSupport.h"

#include <sqlite3.h>
#include <unistd.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

namespace morvane {
namespace {

using test::ErrorNumberOf;

class DatabaseFailureTest : public test::EngineTest {
  protected:
    void WriteFile(const QString& name, const QByteArray& bytes) {
        QFile file(PathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // A real database with one table of a few hundred rows.
    void MakeDatabase(const QString& name) {
        auto db = NewDatabase(name);
        db->Execute("CREATE TABLE t (a INTEGER, b TEXT)");
        db->Execute(
            "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 500) "
            "INSERT INTO t SELECT i, printf('%0200d', i) FROM c");
        db->Close();
    }
};

TEST_F(DatabaseFailureTest, BadFilesFailWithEngineErrors) {
    WriteFile("text.db", QByteArray("this is not a database, just some text\n").repeated(200));
    MakeDatabase("whole.db");
    QFile whole(PathOf("whole.db"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    WriteFile("truncated.db", bytes.left(50));
    QByteArray scrambled = bytes;
    for (qsizetype i = 100; i < scrambled.size(); i += 7) scrambled[i] = char(0xA5);
    WriteFile("scrambled.db", scrambled);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.db"));

    struct Case {
        QString name;
        int error;
    };
    const Case cases[] = {
        {"missing.db", ErrFileNotFoundEngine},
        {"text.db", ErrUnrecognizedFormat},
        {"truncated.db", ErrUnrecognizedFormat},
        {"folder.db", ErrCannotOpenFile},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorNumberOf([&] { Open(c.name); }), c.error) << c.name.toStdString();
    // A corrupted file may open, but reading it fails with an engine error, never a crash.
    const int scrambledError = ErrorNumberOf([&] {
        auto db = Open("scrambled.db");
        auto rs = db->OpenRecordset("t");
        rs->MoveLast();
    });
    EXPECT_NE(scrambledError, 0);
    EXPECT_EQ(ErrorNumberOf([&] { NewDatabase("whole.db"); }), ErrDatabaseExists);
    EXPECT_EQ(ErrorNumberOf([&] { DBEngine::Instance().OpenDatabase(""); }), ErrFileNotFoundEngine);
}

TEST_F(DatabaseFailureTest, LockedFileFailsAfterTimeout) {
    MakeDatabase("locked.db");
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(PathOf("locked.db").toUtf8().constData(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(ErrorNumberOf([&] { Open("locked.db"); }), ErrFileInUse);
    EXPECT_GE(timer.elapsed(), 2000);  // waited for the lock before failing
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_NO_THROW(Open("locked.db"));
}

TEST_F(DatabaseFailureTest, ReadOnlyOpenRefusesWrites) {
    MakeDatabase("ro.db");
    auto readOnly = DBEngine::Instance().OpenDatabase(PathOf("ro.db"), 0, true, "");
    auto rs = readOnly->OpenRecordset("t", dbOpenTable);
    EXPECT_EQ(rs->Fields().Item(0).Value(), 1);  // reading works
    EXPECT_EQ(ErrorNumberOf([&] { readOnly->Execute("DELETE FROM t"); }), ErrReadOnly);
    EXPECT_EQ(ErrorNumberOf([&] { rs->AddNew(); }), ErrReadOnly);
    EXPECT_EQ(ErrorNumberOf([&] { readOnly->NewPassword("", "x"); }), ErrReadOnly);
    auto table = readOnly->CreateTableDef("New");
    table->Fields().Append(table->CreateField("a", dbLong));
    EXPECT_EQ(ErrorNumberOf([&] { readOnly->TableDefs().Append(table); }), ErrReadOnly);
}

TEST_F(DatabaseFailureTest, ReadOnlyFileAndDirectory) {
    if (geteuid() == 0) GTEST_SKIP() << "file permissions do not bind root";
    MakeDatabase("ro.db");
    QFile::setPermissions(PathOf("ro.db"), QFile::ReadOwner);
    auto db = Open("ro.db");
    EXPECT_EQ(db->OpenRecordset("t")->Fields().Item(0).Value(), 1);
    EXPECT_EQ(ErrorNumberOf([&] { db->Execute("DELETE FROM t"); }), ErrReadOnly);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("locked"));
    QFile::setPermissions(PathOf("locked"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(ErrorNumberOf([&] { NewDatabase("locked/new.db"); }), ErrCannotOpenFile);
    QFile::setPermissions(PathOf("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(DatabaseFailureTest, SqlErrorsMapToEngineErrors) {
    auto db = NewDatabase();
    db->Execute("CREATE TABLE t (a INTEGER NOT NULL UNIQUE)");
    struct Case {
        QString sql;
        int error;
    };
    const Case cases[] = {
        {"SELECT * FROM t", ErrSelectQueryExecute},
        {"DELETE FROM nowhere", ErrInputTableNotFound},
        {"CREATE TABLE t (b INTEGER)", ErrTableExists},
        {"INSERT INTO t VALUES (NULL)", ErrRequiredNull},
        {"INSERT INTO t VALUES (1); INSERT INTO t VALUES (1)", ErrDuplicateValue},
        {"SELEKT 1", ErrSqlError},
        {"   ", ErrInvalidArgument},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorNumberOf([&] { db->Execute(c.sql); }), c.error) << c.sql.toStdString();
}

}  // namespace
}  // namespace morvane
