// The logon dialog over the shared model, offscreen, with a private ODBC configuration
// set up before the first ODBC call of the process: its data sources are served by the
// SQLite 3 ODBC driver, so the connect string the dialog yields is tried for real.
#include "export/data/odbc/OdbcLogon.h"
#include "export/data/ui/frmODBCLogon.h"
#include "tests/odbc/OdbcTestConfig.h"

#include "tests/odbc/QtPrinters.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

#include <memory>

namespace morvane::test {
namespace {

const QStringList kDsnNames = {"MorvaneDest", "Other Source", "Archive"};

//! Writes the configuration and points this process at it before any test runs.
class OdbcEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        config_ = std::make_unique<OdbcTestConfig>();
        ASSERT_TRUE(config_->IsValid());
        config_->WriteUserDsns(
            {{kDsnNames.at(0), DestDatabase()}, {kDsnNames.at(1), config_->Path("other.db")}});
        config_->WriteSystemDsns({{kDsnNames.at(2), config_->Path("archive.db")}});
        config_->ApplyToProcess();
    }
    void TearDown() override { config_.reset(); }

    static QString DestDatabase() { return config_->Path("dest.db"); }
    static QString Path(const QString& name) { return config_->Path(name); }

  private:
    static std::unique_ptr<OdbcTestConfig> config_;
};

std::unique_ptr<OdbcTestConfig> OdbcEnvironment::config_;
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new OdbcEnvironment);

//! Connects with the ODBC part of a destination connect string (without "ODBC;") and
//! runs the statements; answers the first failing return code, or 0.
int ConnectAndRun(const QString& destConnect, const QStringList& statements) {
    const QByteArray connect = destConnect.mid(destConnect.indexOf(u';') + 1).toUtf8();
    SQLHENV environment = SQL_NULL_HENV;
    SQLHDBC connection = SQL_NULL_HDBC;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment);
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                  0);
    SQLAllocHandle(SQL_HANDLE_DBC, environment, &connection);
    SQLCHAR out[1024];
    SQLSMALLINT outLength = 0;
    int result = SQLDriverConnect(connection, nullptr,
                                  reinterpret_cast<SQLCHAR*>(const_cast<char*>(connect.data())),
                                  SQL_NTS, out, sizeof out, &outLength, SQL_DRIVER_NOPROMPT);
    if (SQL_SUCCEEDED(result)) {
        result = 0;
        for (const QString& statement : statements) {
            SQLHSTMT handle = SQL_NULL_HSTMT;
            SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle);
            const QByteArray text = statement.toUtf8();
            const SQLRETURN code = SQLExecDirect(
                handle, reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.data())), SQL_NTS);
            SQLFreeHandle(SQL_HANDLE_STMT, handle);
            if (!SQL_SUCCEEDED(code)) {
                result = code;
                break;
            }
        }
        SQLDisconnect(connection);
    }
    SQLFreeHandle(SQL_HANDLE_DBC, connection);
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    return result;
}

//! The rows of table "t" (column "a") of a SQLite file, read with SQLite itself.
QStringList ReadRows(const QString& path) {
    QStringList rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT a FROM t ORDER BY a", -1, &statement, nullptr) ==
            SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW)
                rows << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return rows;
}

//! Clicks a button of the dialog once its modal loop runs.
void ClickWhenShown(QPushButton* button) {
    QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
}

TEST(frmODBCLogonTest, CaptionsAndNames) {
    frmODBCLogon& dialog = frmODBCLogon::Instance();
    EXPECT_EQ(dialog.objectName(), "frmODBCLogon");
    EXPECT_EQ(dialog.windowTitle(), "ODBC Logon");
    auto* frame = dialog.findChild<QGroupBox*>("fraConnection");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), "Connect Values:");
    const char* captions[] = {"&DSN:", "&UID:", "&Password:", "Data&base:"};
    QWidget* buddies[] = {dialog.cboDSNList(), dialog.txtUID(), dialog.txtPWD(),
                          dialog.txtDatabase()};
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        QLabel* label = dialog.findChild<QLabel*>(QStringLiteral("lblLabels_%1").arg(index));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label, dialog.lblLabels(index));
        EXPECT_EQ(label->text(), captions[index]);
        EXPECT_EQ(label->buddy(), buddies[index]);
    }
    EXPECT_EQ(dialog.lblLabels(4), nullptr);
    const char* names[] = {"cboDSNList", "txtUID", "txtPWD", "txtDatabase"};
    for (int index = 0; index < 4; ++index) EXPECT_EQ(buddies[index]->objectName(), names[index]);
    EXPECT_EQ(dialog.findChild<QPushButton*>("cmdOK")->text(), "&OK");
    EXPECT_EQ(dialog.findChild<QPushButton*>("cmdCancel")->text(), "&Cancel");
}

TEST(frmODBCLogonTest, ListsTheConfiguredDataSourcesOnce) {
    frmODBCLogon& dialog = frmODBCLogon::Instance();
    EXPECT_EQ(&dialog, &frmODBCLogon::Instance());
    EXPECT_EQ(&dialog.Model(), &OdbcLogon::Instance());
    EXPECT_EQ(OdbcLogon::Instance().DSNList(), kDsnNames);
    QComboBox* list = dialog.cboDSNList();
    ASSERT_EQ(list->count(), kDsnNames.size());
    for (int index = 0; index < list->count(); ++index)
        EXPECT_EQ(list->itemText(index), kDsnNames.at(index));
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(list->currentText(), kDsnNames.at(0));
}

TEST(frmODBCLogonTest, PasswordIsMaskedWithStars) {
    OdbcLogon model;
    frmODBCLogon dialog(model);
    QTest::keyClicks(dialog.txtPWD(), "abc");
    EXPECT_EQ(dialog.txtPWD()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.txtPWD()->displayText(), "***");
    EXPECT_EQ(model.PWD(), "abc");
}

TEST(frmODBCLogonTest, MirrorsTheModelBothWays) {
    OdbcLogon model;
    model.FillDSNList({"a", "b", "c"});
    frmODBCLogon dialog(model);
    // Typed and picked values go into the model.
    QTest::keyClicks(dialog.txtUID(), "bob");
    QTest::keyClicks(dialog.txtDatabase(), "north");
    dialog.cboDSNList()->setCurrentIndex(2);
    EXPECT_EQ(model.UID(), "bob");
    EXPECT_EQ(model.Database(), "north");
    EXPECT_EQ(model.DSN(), "c");
    // Values set in the model, as a stored setting sets them, show in the boxes.
    model.SelectDSN("b");
    model.SetUID("alice");
    model.SetPWD("pw");
    model.SetDatabase("");
    EXPECT_EQ(dialog.cboDSNList()->currentText(), "b");
    EXPECT_EQ(dialog.txtUID()->text(), "alice");
    EXPECT_EQ(dialog.txtPWD()->text(), "pw");
    EXPECT_EQ(dialog.txtDatabase()->text(), "");
    model.FillDSNList({"x"});
    ASSERT_EQ(dialog.cboDSNList()->count(), 1);
    EXPECT_EQ(dialog.cboDSNList()->currentText(), "x");
    model.FillDSNList({});
    EXPECT_EQ(dialog.cboDSNList()->count(), 0);
    EXPECT_EQ(dialog.cboDSNList()->currentIndex(), -1);
}

TEST(frmODBCLogonTest, OkAndCancelSetConfirmedAndKeepTheValues) {
    OdbcLogon model;
    model.FillDSNList({"a", "b"});
    frmODBCLogon dialog(model);
    enum class How { Click, Escape, CloseButton };
    struct Close {
        const char* what;
        How how;
        QPushButton* button;
        bool confirmed;
    };
    const Close closes[] = {
        {"OK", How::Click, dialog.cmdOK(), true},
        {"Cancel", How::Click, dialog.cmdCancel(), false},
        {"OK again", How::Click, dialog.cmdOK(), true},
        {"Escape", How::Escape, nullptr, false},
        {"OK before closing", How::Click, dialog.cmdOK(), true},
        {"close button", How::CloseButton, nullptr, false},
    };
    for (const Close& close : closes) {
        SCOPED_TRACE(close.what);
        if (close.how == How::Click) {
            ClickWhenShown(close.button);
        } else if (close.how == How::Escape) {
            QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        } else {
            QTimer::singleShot(0, &dialog, [&dialog] { dialog.close(); });
        }
        model.SetUID(QStringLiteral("user %1").arg(close.what));
        dialog.exec();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.Confirmed(), close.confirmed);
        EXPECT_EQ(model.Confirmed(), close.confirmed);
        EXPECT_EQ(dialog.txtUID()->text(), QStringLiteral("user %1").arg(close.what));
    }
    // Edits made before a Cancel are still there the next time the dialog is shown.
    dialog.cboDSNList()->setCurrentIndex(1);
    dialog.txtPWD()->setText("kept");
    ClickWhenShown(dialog.cmdCancel());
    dialog.exec();
    EXPECT_FALSE(model.Confirmed());
    EXPECT_EQ(model.DestConnect(), "ODBC;DSN=b;UID=user close button;PWD=kept;");
    ClickWhenShown(dialog.cmdOK());
    dialog.exec();
    EXPECT_TRUE(model.Confirmed());
    EXPECT_EQ(dialog.txtPWD()->text(), "kept");
    EXPECT_EQ(dialog.cboDSNList()->currentText(), "b");
}

TEST(frmODBCLogonTest, ConnectStringReachesTheDataSource) {
    frmODBCLogon& dialog = frmODBCLogon::Instance();
    OdbcLogon& model = dialog.Model();
    ASSERT_FALSE(OdbcTestConfig::DriverPath().isEmpty()) << "libsqliteodbc is not installed";
    dialog.cboDSNList()->setCurrentIndex(0);
    dialog.txtUID()->setText("bob");
    dialog.txtPWD()->setText("secret");
    dialog.txtDatabase()->clear();
    ClickWhenShown(dialog.cmdOK());
    dialog.exec();
    ASSERT_TRUE(dialog.Confirmed());
    const QString connect = model.DestConnect();
    EXPECT_EQ(connect, "ODBC;DSN=MorvaneDest;UID=bob;PWD=secret;");
    ASSERT_EQ(ConnectAndRun(connect, {"CREATE TABLE t(a TEXT)", "INSERT INTO t VALUES('one')"}), 0);
    EXPECT_EQ(ReadRows(OdbcEnvironment::DestDatabase()), QStringList({"one"}));

    // The database box overrides the data source's own database file.
    const QString other = OdbcEnvironment::Path("chosen.db");
    dialog.txtDatabase()->setText(other);
    const QString withDatabase = model.DestConnect();
    EXPECT_EQ(withDatabase, "ODBC;DSN=MorvaneDest;UID=bob;PWD=secret;Database=" + other + ";");
    ASSERT_EQ(
        ConnectAndRun(withDatabase, {"CREATE TABLE t(a TEXT)", "INSERT INTO t VALUES('two')"}), 0);
    EXPECT_EQ(ReadRows(other), QStringList({"two"}));
    EXPECT_EQ(ReadRows(OdbcEnvironment::DestDatabase()), QStringList({"one"}));
}

TEST(frmODBCLogonTest, UnknownDataSourceDoesNotConnect) {
    const QString connect = BuildDestConnect({"NotConfigured", "u", "p", ""});
    EXPECT_NE(ConnectAndRun(connect, {"CREATE TABLE t(a TEXT)"}), 0);
}

}  // namespace
}  // namespace morvane::test
