#include "export/data/sqlite/SqlitePassword.h"
#include "tests/data/EngineTestSupport.h"

#include <sqlite3.h>

namespace morvane {
namespace {

using test::ErrorNumberOf;

class PasswordTest : public test::EngineTest {
  protected:
    int OpenWith(const QString& connect) {
        return ErrorNumberOf([&] { Open("p.db", connect)->Close(); });
    }
};

TEST_F(PasswordTest, SetChangeRemove) {
    auto db = NewDatabase("p.db");
    db->Execute("CREATE TABLE t (a INTEGER)");
    db->NewPassword("", "Sésame 1");
    db->Close();

    struct Case {
        QString connect;
        int error;
    };
    const Case withPassword[] = {
        {"", ErrNotValidPassword},
        {";pwd=;", ErrNotValidPassword},
        {";pwd=sésame 1;", ErrNotValidPassword},
        {";pwd=Sésame 1;", 0},
        {";PWD=Sésame 1;", 0},
    };
    for (const Case& c : withPassword)
        EXPECT_EQ(OpenWith(c.connect), c.error) << c.connect.toStdString();
    EXPECT_EQ(DBEngine::Instance().Errors().Item(0).Number, ErrNotValidPassword);

    db = Open("p.db", ";pwd=Sésame 1;");
    EXPECT_EQ(ErrorNumberOf([&] { db->NewPassword("wrong", "x"); }), ErrNotValidPassword);
    db->NewPassword("Sésame 1", "two");
    db->Close();
    EXPECT_EQ(OpenWith(";pwd=Sésame 1;"), ErrNotValidPassword);
    EXPECT_EQ(OpenWith(";pwd=two;"), 0);

    db = Open("p.db", ";pwd=two;");
    db->NewPassword("two", "");
    db->Close();
    EXPECT_EQ(OpenWith(""), 0);
    EXPECT_EQ(OpenWith(";pwd=anything;"), 0);  // no password: any value opens
}

// The catalogue table holds a salted digest, never the password itself.
TEST_F(PasswordTest, StoresSaltedDigestOnly) {
    auto db = NewDatabase("p.db");
    db->NewPassword("", "secret");
    db->Close();
    db = NewDatabase("q.db");
    db->NewPassword("", "secret");
    db->Close();
    QByteArray digests[2];
    for (int i = 0; i < 2; ++i) {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(PathOf(i == 0 ? "p.db" : "q.db").toUtf8().constData(), &raw),
                  SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(raw, "SELECT salt, iterations, digest FROM morvane_password",
                                     -1, &st, nullptr),
                  SQLITE_OK);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        const QByteArray salt(static_cast<const char*>(sqlite3_column_blob(st, 0)),
                              sqlite3_column_bytes(st, 0));
        digests[i] = QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 2)),
                                sqlite3_column_bytes(st, 2));
        EXPECT_EQ(salt.size(), 16);
        EXPECT_EQ(digests[i], SqlitePassword::Digest(salt, sqlite3_column_int(st, 1), "secret"));
        EXPECT_FALSE(digests[i].contains("secret"));
        sqlite3_finalize(st);
        sqlite3_close(raw);
    }
    EXPECT_NE(digests[0], digests[1]);  // different salts
}

}  // namespace
}  // namespace morvane
