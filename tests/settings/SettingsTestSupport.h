// Helpers shared by the settings tests: an export session over a temporary native source
// (the wizard tests' SessionTest) whose control names a settings file in the same
// temporary folder, with readers and writers for that file's bytes.
//
// Usage:
//   class MyTest : public SettingsTest {};
//   TEST_F(MyTest, Saves) {
//       CustomersSource();                    // Customers: CustomerID, Name, City
//       session_->SetSettingName("Monthly");
//       session_->SaveSetting();
//       EXPECT_TRUE(IniText().contains("[Monthly]"));
//   }
#pragma once

#include "export/common/IniAccess.h"
#include "tests/wizard/SessionTestSupport.h"

namespace morvane::test {

class SettingsTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        caller_.Properties.IniFile = IniPath();
        SetIniFile(IniPath());
    }

    QString IniPath() const { return PathOf(QStringLiteral("morvane.ini")); }
    QByteArray IniBytes() const { return ReadBytes(IniPath()); }
    QString IniText() const { return CodePage::DecodeAnsi(IniBytes()); }
    //! Writes text as the settings file, its lines ended by CR LF.
    void WriteIni(const QString& text) const {
        QString crlf = text;
        crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        WriteBytes(IniPath(), CodePage::EncodeAnsi(crlf));
    }

    //! Customers (CustomerID Text 5, Name Text 30, City Text 15) with three rows, opened
    //! as the session's source with the defaults applied.
    void CustomersSource() {
        CreateSource({{"CustomerID", dbText, 5}, {"Name", dbText, 30}, {"City", dbText, 15}},
                     {{"ALFKI", "Alfreds", "Berlin"},
                      {"BOLID", "Bolido", "Madrid"},
                      {"CHOPS", "Chop-suey", "Bern"}});
        OpenSource();
    }

    //! A second session on the same source, as a later run that reads what was saved.
    std::unique_ptr<ExportSession> FreshSession(
        const QString& table = QStringLiteral("Customers")) {
        auto session = std::make_unique<ExportSession>(prompter_);
        session->SetCaller(&caller_);
        session->Source().SetDb(DBEngine::Instance().OpenDatabase(SourcePath()));
        session->Source().SetRs(session->Source().Db()->OpenRecordset(table, dbOpenTable));
        session->Source().SetName(table);
        return session;
    }
};

}  // namespace morvane::test
