// The shared logon model (list, selection, values, change signal) and the destination
// connect string built from it.
#include "export/data/ConnectInfo.h"
#include "export/data/odbc/OdbcLogon.h"

#include "tests/odbc/QtPrinters.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <optional>

namespace morvane {
namespace {

TEST(OdbcLogonTest, FillSelectsTheFirstEntry) {
    OdbcLogon logon;
    EXPECT_EQ(logon.ListIndex(), -1);
    EXPECT_EQ(logon.DSN(), QString());
    logon.FillDSNList({"b", "a", "c"});
    EXPECT_EQ(logon.DSNList(), QStringList({"b", "a", "c"}));
    EXPECT_EQ(logon.ListIndex(), 0);
    EXPECT_EQ(logon.DSN(), "b");
    // A second listing replaces the first instead of adding to it.
    logon.SetListIndex(2);
    logon.FillDSNList({"x", "y"});
    EXPECT_EQ(logon.DSNList(), QStringList({"x", "y"}));
    EXPECT_EQ(logon.DSN(), "x");
    logon.FillDSNList({});
    EXPECT_EQ(logon.ListIndex(), -1);
    EXPECT_EQ(logon.DSN(), QString());
}

TEST(OdbcLogonTest, SelectionRules) {
    OdbcLogon logon;
    logon.FillDSNList({"Sales", "sales", "Stock", "Sales"});
    struct Step {
        const char* what;
        std::optional<int> setIndex;
        const char* selectDsn;  // applied when not null
        bool found;
        int expectedIndex;
    };
    const Step steps[] = {
        {"select by exact name", std::nullopt, "Stock", true, 2},
        {"case matters", std::nullopt, "SALES", false, 2},
        {"first equal entry wins", std::nullopt, "Sales", true, 0},
        {"second spelling", std::nullopt, "sales", true, 1},
        {"unknown name keeps the selection", std::nullopt, "Nope", false, 1},
        {"empty name keeps the selection", std::nullopt, "", false, 1},
        {"index in range", 3, nullptr, false, 3},
        {"index past the end is ignored", 4, nullptr, false, 3},
        {"index below -1 is ignored", -5, nullptr, false, 3},
        {"-1 clears", -1, nullptr, false, -1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.setIndex) logon.SetListIndex(*step.setIndex);
        if (step.selectDsn) {
            EXPECT_EQ(logon.SelectDSN(step.selectDsn), step.found);
        }
        EXPECT_EQ(logon.ListIndex(), step.expectedIndex);
    }
    EXPECT_EQ(logon.DSN(), QString());
}

TEST(OdbcLogonTest, ChangedIsEmittedForRealChangesOnly) {
    OdbcLogon logon;
    QSignalSpy changed(&logon, &OdbcLogon::Changed);
    logon.FillDSNList({"a", "b"});
    logon.SetUID("bob");
    logon.SetUID("bob");
    logon.SetPWD("pw");
    logon.SetDatabase("db");
    logon.SetConfirmed(true);
    logon.SetConfirmed(true);
    logon.SetListIndex(1);
    logon.SetListIndex(1);
    logon.SelectDSN("b");
    EXPECT_EQ(changed.count(), 6);
    const OdbcLogonValues values = logon.Values();
    EXPECT_EQ(values.DSN, "b");
    EXPECT_EQ(values.UID, "bob");
    EXPECT_EQ(values.PWD, "pw");
    EXPECT_EQ(values.Database, "db");
    EXPECT_TRUE(logon.Confirmed());
}

TEST(OdbcLogonTest, LoadListsOnlyOnce) {
    OdbcLogon logon;
    EXPECT_FALSE(logon.IsLoaded());
    logon.Load();
    EXPECT_TRUE(logon.IsLoaded());
    logon.FillDSNList({"kept"});
    logon.Load();  // must not list again
    EXPECT_EQ(logon.DSNList(), QStringList({"kept"}));
}

TEST(OdbcLogonTest, DestConnect) {
    struct Case {
        OdbcLogonValues values;
        const char* expected;
    };
    const Case cases[] = {
        {{"sales", "bob", "secret", ""}, "ODBC;DSN=sales;UID=bob;PWD=secret;"},
        {{"sales", "bob", "secret", "north"}, "ODBC;DSN=sales;UID=bob;PWD=secret;Database=north;"},
        {{"", "", "", ""}, "ODBC;DSN=;UID=;PWD=;"},
        {{"My DSN", " u ", "p=q", "d b"}, "ODBC;DSN=My DSN;UID= u ;PWD=p=q;Database=d b;"},
        {{"s", "u", "a;Database=x", ""}, "ODBC;DSN=s;UID=u;PWD={a;Database=x};"},
        {{"s", "u;v", "p", "d;e"}, "ODBC;DSN=s;UID={u;v};PWD=p;Database={d;e};"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.expected);
        const QString connect = BuildDestConnect(test.values);
        EXPECT_EQ(connect, test.expected);
        // What our connect-string reader takes out of it is exactly what was typed,
        // whatever characters the values hold.
        const ConnectInfo info = ConnectInfo::Parse(connect);
        EXPECT_EQ(info.Type, "ODBC");
        EXPECT_EQ(info.Value("DSN"), test.values.DSN);
        EXPECT_EQ(info.Value("UID"), test.values.UID);
        EXPECT_EQ(info.Password(), test.values.PWD);
        EXPECT_EQ(info.Has("Database"), !test.values.Database.isEmpty());
        EXPECT_EQ(info.Value("Database"), test.values.Database);
    }
}

TEST(OdbcLogonTest, DestConnectOfTheModelUsesTheSelectedEntry) {
    OdbcLogon logon;
    logon.FillDSNList({"first", "second"});
    logon.SelectDSN("second");
    logon.SetUID("u");
    logon.SetPWD("p");
    EXPECT_EQ(logon.DestConnect(), "ODBC;DSN=second;UID=u;PWD=p;");
    logon.SetDatabase("d");
    EXPECT_EQ(logon.DestConnect(), "ODBC;DSN=second;UID=u;PWD=p;Database=d;");
}

}  // namespace
}  // namespace morvane
