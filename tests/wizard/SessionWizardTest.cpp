// The export session's wizard side without widgets: the opening sequence (source list,
// output kinds, password box, failures), the choice of source and output kind, Finish,
// and the settings file each session is bound to.
#include "tests/wizard/SessionTestSupport.h"

#include "export/common/IniAccess.h"
#include "export/wizard/WizardView.h"

namespace morvane::test {
namespace {

//! A wizard view without widgets: records what the session asks of it.
class RecordingView : public WizardView {
  public:
    explicit RecordingView(ExportSession& session) : session_(session) {}
    ExportSession& Session() override { return session_; }
    QString Title() const override { return title; }
    void SetTitle(const QString& value) override { title = value; }
    void RefreshFromSetting() override { ++refreshes; }
    void PrepareView() override { ++prepared; }
    void ShowModal(const QString& caption) override {
        title = caption;
        ++shown;
        if (whileShown) whileShown();
    }

    ExportSession& session_;
    QString title;
    int refreshes = 0, prepared = 0, shown = 0;
    std::function<void()> whileShown;
};

class SessionWizardTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        view_ = std::make_unique<RecordingView>(*session_);
        session_->SetView(view_.get());
        caller_.Properties.DataBaseName = SourcePath();
        caller_.Properties.ExportCaption = QStringLiteral("Export");
        caller_.Properties.IniFile = PathOf(QStringLiteral("settings.ini"));
        caller_.Properties.MultiTable = true;
        CreateSource({{"Id", dbLong}, {"Name", dbText, 20}}, NumberedRows(3));
        CreateTable(SourcePath(), QStringLiteral("Orders"), {{"No", dbLong}}, {{1}, {2}});
        auto db = DBEngine::Instance().OpenDatabase(SourcePath());
        db->CreateQueryDef(QStringLiteral("Big"), 0,
                           QStringLiteral("SELECT * FROM Customers WHERE Id > 1"));
        db->Close();
    }

    QStringList EntryNames() const {
        QStringList names;
        for (const SourceEntry& entry : session_->SourceEntries())
            names << entry.Name + QLatin1Char(':') + QString::number(entry.Kind);
        return names;
    }

    std::unique_ptr<RecordingView> view_;
};

TEST_F(SessionWizardTest, MultiTableModeListsTablesThenQueriesAndOpensTheFirst) {
    QStringList asked;
    caller_.Hooks.FilterTable = [&](const QString& name, bool& hide) {
        asked << name;
        hide = name == QLatin1String("Orders");
    };
    caller_.Properties.TableName = QStringLiteral("Whatever");
    view_->whileShown = [&] {
        EXPECT_EQ(session_->Source().Name(), "Customers");
        ASSERT_NE(session_->Source().Rs(), nullptr);
        EXPECT_EQ(session_->Lists().Selected().Names(), QStringList({"Id", "Name"}));
    };
    session_->ShowWizard();
    EXPECT_EQ(asked, QStringList({"Customers", "Orders", "Big"}));
    EXPECT_EQ(EntryNames(), QStringList({"Customers:0", "Big:1"}));
    EXPECT_EQ(session_->FirstStep(), 0);
    EXPECT_EQ(session_->CurrentStep(), 0);
    EXPECT_EQ(caller_.Properties.TableName, "Customers");
    EXPECT_EQ(view_->prepared, 1);
    EXPECT_EQ(view_->refreshes, 1);
    EXPECT_EQ(view_->shown, 1);
    EXPECT_EQ(view_->title, "Export");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(session_->Source().Rs(), nullptr);  // released when the window closed
}

TEST_F(SessionWizardTest, AQueryLeftAloneIsOpenedAsAStoredQuery) {
    caller_.Hooks.FilterTable = [](const QString& name, bool& hide) { hide = name != "Big"; };
    view_->whileShown = [&] {
        ASSERT_NE(session_->Source().Rs(), nullptr);
        session_->Source().Rs()->MoveLast();
        EXPECT_EQ(session_->Source().Rs()->RecordCount(), 2);
    };
    session_->ShowWizard();
    EXPECT_EQ(view_->shown, 1);
}

TEST_F(SessionWizardTest, EveryEntryHiddenReportsWithTheDefaultHeading) {
    caller_.Hooks.FilterTable = [](const QString&, bool& hide) { hide = true; };
    session_->ShowWizard();
    EXPECT_EQ(view_->shown, 0);
    ExpectErrorReport("The following Error Occured:\r\n\r\nInvalid property value (380)");
    EXPECT_EQ(session_->Outcome().ErrorReports, 1);
}

TEST_F(SessionWizardTest, SingleTableModeWithNoNamesDoesNotOpen) {
    caller_.Properties.MultiTable = false;
    session_->ShowWizard();
    EXPECT_EQ(view_->shown, 0);
    EXPECT_GE(Boxes().size(), 2u);  // the query's own report, then the missing source
    EXPECT_EQ(Boxes().back().title, "Error");
}

TEST_F(SessionWizardTest, HiddenKindsAreRemovedByPosition) {
    QVector<short> asked;
    caller_.Hooks.FilterType = [&](short kind, bool& hide) {
        asked << kind;
        hide = kind == 3 || kind == 4 || kind >= 16;
    };
    session_->ShowWizard();
    QVector<short> expectedAsked;
    for (short kind = 1; kind <= 22; ++kind) expectedAsked << kind;
    EXPECT_EQ(asked, expectedAsked);  // kind 0 is never asked
    EXPECT_EQ(session_->OfferedKinds(),
              QVector<int>({0, 1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
}

TEST_F(SessionWizardTest, PasswordBoxComesBackUntilTheDatabaseOpens) {
    {
        auto db = DBEngine::Instance().OpenDatabase(SourcePath());
        db->NewPassword("", "secret");
        db->Close();
    }
    prompter_.QueueInputAnswer(QString("wrong"));
    prompter_.QueueInputAnswer(QString("secret"));
    session_->ShowWizard();
    const auto inputs = prompter_.RecordsOf(ScriptedPrompter::Kind::InputBox);
    ASSERT_EQ(inputs.size(), 2u);
    EXPECT_EQ(inputs[0].text, "Table is protected by a password,\r\nType in the password:");
    EXPECT_EQ(inputs[0].title, "Security");
    EXPECT_EQ(view_->shown, 1);
    EXPECT_EQ(EntryNames().size(), 3);  // listed once, not again after the retries

    prompter_.QueueInputAnswer(QString());  // an empty answer gives up
    RecordingView second(*session_);
    session_->SetView(&second);
    session_->ShowWizard();
    EXPECT_EQ(second.shown, 0);
    EXPECT_TRUE(
        Boxes().back().text.startsWith("Error in opening DataBase " + SourcePath() + "\r\n\r\n"))
        << Boxes().back().text.toStdString();
}

TEST_F(SessionWizardTest, ChoosingASourceKeepsTheOutputKind) {
    caller_.Hooks.FilterTable = [](const QString& name, bool& hide) { hide = name == "Big"; };
    view_->whileShown = [&] {
        session_->Setting().TypeFormat = TypeConnect::HtmlPage;
        session_->Setting().ExportFldNames = true;
        EXPECT_FALSE(session_->ChooseSource(0));  // the open one: nothing happens
        EXPECT_TRUE(session_->ChooseSource(1));
        EXPECT_EQ(session_->Source().Name(), "Orders");
        EXPECT_EQ(session_->Lists().Selected().Names(), QStringList({"No"}));
        EXPECT_EQ(session_->Setting().TypeFormat, TypeConnect::HtmlPage);
        EXPECT_FALSE(session_->Setting().ExportFldNames);
    };
    session_->ShowWizard();
    EXPECT_EQ(caller_.Properties.TableName, "Customers");  // keeps the first entry
}

TEST_F(SessionWizardTest, FinishRemembersTheFileAndStartsOverOrCloses) {
    WriteBytes(caller_.Properties.IniFile, "[general]\r\nLastFile=" + OutPath().toUtf8() + "\r\n");
    caller_.Properties.QuitAfterExport = false;
    view_->whileShown = [&] {
        EXPECT_EQ(session_->Destination().File, OutPath());  // read back from the file
        session_->GoNext();
        session_->GoNext();
        EXPECT_EQ(session_->CurrentStep(), 2);
        session_->ChooseOutputKind(TypeConnect::HtmlTags);
        session_->SetSettingName(QStringLiteral("Tags"));
        session_->SaveSetting();
        EXPECT_FALSE(session_->Finish());
        EXPECT_EQ(session_->CurrentStep(), 0);
        EXPECT_EQ(session_->Setting().TypeFormat, TypeConnect::HtmlTags);
        EXPECT_TRUE(session_->Outcome().Completed);
        caller_.Properties.QuitAfterExport = true;
        EXPECT_TRUE(session_->Finish());
    };
    session_->ShowWizard();
    EXPECT_TRUE(ReadBytes(caller_.Properties.IniFile).contains("LastFile=" + OutPath().toUtf8()));

    // The batch run of the saved setting writes the same bytes.
    const QString batchPath = PathOf(QStringLiteral("batch.txt"));
    caller_.Properties.TableName = QStringLiteral("Customers");
    caller_.Properties.ExportFile = batchPath;
    ExportSession batch(prompter_);
    batch.SetCaller(&caller_);
    batch.DoBatchExport(QStringLiteral("Tags"));
    EXPECT_TRUE(batch.Outcome().Completed);
    const QByteArray written = ReadBytes(OutPath());
    EXPECT_TRUE(written.contains("R3"));
    EXPECT_EQ(written, ReadBytes(batchPath));
}

TEST_F(SessionWizardTest, SettingsStayWithTheSessionsOwnControl) {
    WriteBytes(caller_.Properties.IniFile, "[settings]\r\nMine=\r\n\r\n[Mine]\r\nNbFields=0\r\n");
    const QString other = PathOf(QStringLiteral("other.ini"));
    WriteBytes(other, "[settings]\r\nTheirs=\r\n");
    view_->whileShown = [&] {
        // Another control's batch run binds its own file meanwhile.
        SetIniFile(other);
        QStringList names;
        session_->ListSettings(names);
        EXPECT_EQ(names, QStringList({"Mine"}));
        SetIniFile(other);
        session_->SetSettingName(QStringLiteral("Saved"));
        session_->SaveSetting();
    };
    session_->ShowWizard();
    EXPECT_TRUE(ReadBytes(caller_.Properties.IniFile).contains("[Saved]"));
    EXPECT_EQ(ReadBytes(other), "[settings]\r\nTheirs=\r\n");
}

}  // namespace
}  // namespace morvane::test
