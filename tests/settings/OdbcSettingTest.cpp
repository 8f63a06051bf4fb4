// The ODBC part of a named setting: the four logon keys, the scrambled password (its
// stored bytes are part of the file format) and the destination connect string.
#include "export/data/odbc/OdbcLogon.h"
#include "tests/settings/SettingsTestSupport.h"

namespace morvane::test {
namespace {

class OdbcSettingTest : public SettingsTest {
  protected:
    void SetUp() override {
        SettingsTest::SetUp();
        CustomersSource();
        OdbcLogon& logon = OdbcLogon::Instance();
        logon.FillDSNList({"sales", "stock"});
        logon.SetUID("bob");
        logon.SetPWD("secret");
        logon.SetDatabase("inv");
    }

    //! Saves the session's setting as ODBC output under name and answers its section text.
    QString SaveOdbc(const QString& name) {
        session_->Setting().TypeFormat = 15;
        session_->SetSettingName(name);
        session_->SaveSetting();
        return IniText();
    }
};

TEST_F(OdbcSettingTest, KeysFollowTheFieldsOnlyForOdbc) {
    OdbcLogon::Instance().SelectDSN("stock");
    const QString text = SaveOdbc("Monthly");
    // (c - 3) XOR 0x97 for "secret": the key of a name starting with "M".
    EXPECT_TRUE(text.contains(QStringLiteral("Field2=City\r\nDSN=stock\r\nUID=bob\r\nPWD=") +
                              CodePage::DecodeAnsi("\xE7\xF5\xF7\xF8\xF5\xE6") +
                              "\r\nODBCDB=inv\r\n\r\n[settings]"))
        << text.toStdString();
    EXPECT_EQ(IniBytes().count("\r\nPWD="), 1);

    for (int type : {0, 1, 2, 3, 4, 16}) {
        session_->Setting().TypeFormat = type;
        session_->SaveSetting();
        for (const char* key : {"DSN=", "UID=", "PWD=", "ODBCDB="})
            EXPECT_FALSE(IniText().contains(QLatin1String("\r\n") + key)) << type << key;
    }
}

TEST_F(OdbcSettingTest, ReadingRestoresTheLogonAndTheConnectString) {
    OdbcLogon::Instance().SelectDSN("stock");
    SaveOdbc("Monthly");
    OdbcLogon& logon = OdbcLogon::Instance();
    logon.SelectDSN("sales");
    logon.SetUID("x");
    logon.SetPWD("y");
    logon.SetDatabase("");
    auto reader = FreshSession();
    reader->SetSettingName("Monthly");
    ASSERT_TRUE(reader->ReadSetting());
    EXPECT_EQ(logon.DSN(), "stock");
    EXPECT_EQ(logon.UID(), "bob");
    EXPECT_EQ(logon.PWD(), "secret");
    EXPECT_EQ(logon.Database(), "inv");
    EXPECT_EQ(reader->Destination().Connect, "ODBC;DSN=stock;UID=bob;PWD=secret;Database=inv;");

    // A data source that is not listed leaves the selection; no database: no key for it.
    WriteIni("[M]\nTypeFormat=15\nDSN=gone\nUID=ann\nPWD=\nODBCDB=\n");
    reader->SetSettingName("M");
    ASSERT_TRUE(reader->ReadSetting());
    EXPECT_EQ(reader->Destination().Connect, "ODBC;DSN=stock;UID=ann;PWD=;");
}

TEST_F(OdbcSettingTest, PasswordsRoundTripEvenWhenReadingWouldTrimThem) {
    struct Case {
        QString name;
        QString password;
        bool quoted;  // stored between double quotes
    };
    const Case cases[] = {
        {"Monthly", "secret", false},
        {"Monthly", "", false},
        {"Monthly", ":x:", true},                         // ":" scrambles to a no-break space
        {"Monthly", QString::fromUtf8("\u00b8a"), true},  // scrambles to a double quote
        {"Monthly", QString::fromUtf8("a\u00ba"), true},  // scrambles to a space
        {"odbc", "P@ss w0rd", false},
        {"Zed", QString(254, QChar('~')), false},
        {QString::fromUtf8("\u00c9t\u00e9"), QString::fromUtf8("d\u00e9j\u00e0 vu"), false},
    };
    for (const Case& c : cases) {
        QFile::remove(IniPath());
        OdbcLogon::Instance().SetPWD(c.password);
        const QString text = SaveOdbc(c.name);
        EXPECT_EQ(text.contains("\r\nPWD=\""), c.quoted) << c.password.toStdString();
        OdbcLogon::Instance().SetPWD("other");
        auto reader = FreshSession();
        reader->SetSettingName(c.name);
        ASSERT_TRUE(reader->ReadSetting());
        EXPECT_EQ(OdbcLogon::Instance().PWD(), c.password) << c.name.toStdString();
    }
}

TEST_F(OdbcSettingTest, PasswordThatCannotBeScrambledIsNotWritten) {
    for (const QString& password :
         {QString(255, QChar('a')), QString(QChar(1)) + "abc", QString::fromUtf8("\u0416")}) {
        OdbcLogon::Instance().SetPWD(password);
        const QString text = SaveOdbc("Monthly");
        if (password.size() == 1) {
            // A character the code page lacks is scrambled as "?".
            EXPECT_TRUE(text.contains("\r\nPWD=")) << "unmappable";
            continue;
        }
        EXPECT_FALSE(text.contains("\r\nPWD=")) << password.size();
        EXPECT_TRUE(text.contains("\r\nUID=bob\r\nODBCDB=inv\r\n"));
    }
    // Stored bytes that do not unscramble leave the password as it was ("j" XOR 0x97 is
    // 253, and 253 + 3 is no character).
    WriteIni("[Monthly]\nTypeFormat=15\nPWD=j\n");
    OdbcLogon::Instance().SetPWD("kept");
    session_->SetSettingName("Monthly");
    ASSERT_TRUE(session_->ReadSetting());
    EXPECT_EQ(OdbcLogon::Instance().PWD(), "kept");
}

TEST_F(OdbcSettingTest, KeyDependsOnlyOnTheFirstCharacter) {
    EXPECT_EQ(ExportSession::PasswordKey("Monthly"), 0x97);
    EXPECT_EQ(ExportSession::PasswordKey("M"), 0x97);
    EXPECT_EQ(ExportSession::PasswordKey("odbc"), 0xB5);
    EXPECT_EQ(ExportSession::PasswordKey("Z"), 0x80);
    EXPECT_NE(ExportSession::PasswordKey("m"), ExportSession::PasswordKey("M"));
    for (int code = 0; code < 256; ++code)
        EXPECT_GE(ExportSession::PasswordKey(QString(CodePage::AnsiChar(code))), 0x80) << code;
}

}  // namespace
}  // namespace morvane::test
