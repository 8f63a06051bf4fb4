// Batch runs driven by named settings: a setting saved from the session and one written
// by hand both replay to the expected bytes; the defaults for an empty name; an
// incompatible setting; the error stages; stored queries as the batch source.
#include "tests/settings/FakeQueryDatabase.h"
#include "tests/settings/SettingsTestSupport.h"

#include <algorithm>
#include <functional>

namespace morvane::test {
namespace {

class BatchSettingsTest : public SettingsTest {
  protected:
    void SetUp() override {
        SettingsTest::SetUp();
        CustomersSource();
        caller_.Properties.DataBaseName = SourcePath();
        caller_.Properties.TableName = "Customers";
        caller_.Properties.ExportFile = OutPath();
        caller_.Properties.OverWrite = true;
    }

    //! Runs the control's batch export of setting and answers the file's bytes.
    QByteArray Batch(const QString& setting) {
        QFile::remove(OutPath());
        prompter_.ClearRecords();
        caller_.BatchExport(prompter_, setting);
        return ReadBytes(OutPath());
    }
};

TEST_F(BatchSettingsTest, SavedSettingsReplayToTheSameBytes) {
    const QString templatePath = PathOf("template.html");
    WriteBytes(templatePath, "<html><body bgcolor=#FFFFCC>\r\n<p>x</p>");
    struct Case {
        const char* name;
        std::function<void(ExportSession&)> configure;
    };
    const Case cases[] = {
        {"Variable",
         [](ExportSession& s) {
             s.Setting().SetSeparator(1);
             s.Setting().SetDelimiter(1);
             s.Setting().ExportFldNames = true;
             s.Setting().RecFieldSeparator = 3;
             s.Setting().RecSepOther = QChar('|');
             s.Setting().Upper = true;
         }},
        {"Fixed",
         [](ExportSession& s) {
             s.Setting().TypeFormat = 1;
             s.Lists().Selected().Assign(QStringList({"City", "CustomerID"}));
             s.Setting().Size[2] = 4;
             s.Setting().Size[0] = 7;
             s.Setting().StartingLine = 2;
             s.Setting().ExportAll = false;
             s.Setting().MaxLines = 1;
         }},
        {"Tags",
         [](ExportSession& s) {
             s.Setting().TypeFormat = 2;
             s.Lists().Selected().Assign(QStringList({"Name", "CustomerID"}));
             s.Setting().OemConvert = true;
         }},
        {"Page",
         [&](ExportSession& s) {
             s.Setting().TypeFormat = 3;
             s.Setting().HtmlTitle = "Kunden";
             s.Setting().HtmlTemplate = templatePath;
             s.Setting().ExportHtmlTableName = true;
             s.Setting().ExportHtmlFldNames = false;
         }},
    };
    for (const Case& c : cases) {
        OpenSource();
        c.configure(*session_);
        session_->Setting().RecomputeUseDelimiter();
        session_->Setting().nbFields =
            static_cast<short>(session_->Lists().Selected().Names().size());
        const QByteArray direct = Export();
        ASSERT_FALSE(direct.isEmpty()) << c.name;
        session_->SetSettingName(c.name);
        session_->SaveSetting();

        EXPECT_EQ(Batch(c.name), direct) << c.name;
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << c.name;
        EXPECT_EQ(boxes[0].title, "Information") << boxes[0].text.toStdString();

        // The same setting as a person might write it: keys in another order and case.
        const QString saved = IniText();
        const qsizetype from = saved.indexOf("[" + QLatin1String(c.name) + "]\r\n");
        QStringList keys = saved.mid(from).section("\r\n\r\n", 0, 0).split("\r\n").mid(1);
        ASSERT_GE(keys.size(), 16) << c.name;
        EXPECT_EQ(keys.first(), "TypeFormat=" + QString::number(session_->Setting().TypeFormat));
        std::reverse(keys.begin(), keys.end());
        for (QString& key : keys)
            key = key.section('=', 0, 0).toLower() + '=' + key.section('=', 1);
        WriteIni("[settings]\nHand=\n\n[HAND]\n" + keys.join('\n') + "\n");
        EXPECT_EQ(Batch("Hand"), direct) << c.name;
    }
    EXPECT_TRUE(
        ReadBytes(OutPath()).contains("<TITLE>Kunden</TITLE></HEAD><BODY bgcolor=#FFFFCC>"));
}

TEST_F(BatchSettingsTest, HandWrittenSettingsReplayToTheExpectedBytes) {
    struct Case {
        const char* section;
        QByteArray expected;
    };
    const Case cases[] = {
        {"[Monthly]\nTypeFormat=0\nSeparator=1\nDelimiter=0\nNbFields=3\nExportFldNames=1\n"
         "ExportHtmlFldNames=1\nExportHtmlTableName=0\nHtmlTitle=\nHtmlTemplate=\n"
         "RecFieldSeparator=0\nRecSepOther=0\nMaxLines=0\nOemConvert=0\nUpper=0\nStartingLine=1\n"
         "Field0=CustomerID\nField1=Name\nField2=City\n",
         "\"CustomerID\";\"Name\";\"City\"\r\n\"ALFKI\";\"Alfreds\";\"Berlin\"\r\n"
         "\"BOLID\";\"Bolido\";\"Madrid\"\r\n\"CHOPS\";\"Chop-suey\";\"Bern\"\r\n"},
        {"[Monthly]\nTypeFormat=1\nNbFields=2\nField0=City\nField1=CustomerID\nSize0=3\n"
         "Size1=6.4\nStartingLine=2\nMaxLines=2\nRecFieldSeparator=2\n",
         "MadBOLID \nBerCHOPS \n"},
        {"[Monthly]\nSeparator=3\nDelimiter=2\nNbFields=2\nField0=Name\nField1=CustomerID\n"
         "RecFieldSeparator=3\nRecSepOther=124\nMaxLines=1\n",
         "Alfreds\tALFKI|"},
    };
    for (const Case& c : cases) {
        WriteIni(QStringLiteral("[settings]\nMonthly=\n\n") + QLatin1String(c.section));
        EXPECT_EQ(Batch("Monthly"), c.expected) << c.section;
    }
}

TEST_F(BatchSettingsTest, EmptyNameExportsDefaultsAndIncompatibleSettingIsReported) {
    caller_.Hooks.FilterField = [](const QString&, const QString& field, bool& hide) {
        hide = field == "Name";
    };
    const QByteArray defaults =
        "\"ALFKI\",\"Berlin\"\r\n\"BOLID\",\"Madrid\"\r\n\"CHOPS\",\"Bern\"\r\n";
    EXPECT_EQ(Batch(QString()), defaults);
    EXPECT_EQ(Boxes().size(), 1u);

    WriteIni("[settings]\nOld=\n\n[Old]\nTypeFormat=1\nNbFields=2\nField0=Name\nField1=Phone\n");
    EXPECT_EQ(Batch("Old"), defaults);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "This setting is incompatible with current table : Customers");
    EXPECT_EQ(boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes[1].title, "Information");
}

TEST_F(BatchSettingsTest, OpeningFailuresAreReportedByStage) {
    struct Case {
        const char* what;
        QString database;
        QString table;
        QString heading;
    };
    const Case cases[] = {
        {"database", PathOf("missing.db"), "Customers",
         "Error in opening DataBase " + PathOf("missing.db")},
        {"table", SourcePath(), "Nothing", "Error in opening Table Nothing"},
    };
    WriteIni("[settings]\nS=\n");
    const QByteArray iniBefore = IniBytes();
    for (const Case& c : cases) {
        caller_.Properties.DataBaseName = c.database;
        caller_.Properties.TableName = c.table;
        EXPECT_TRUE(Batch("S").isNull()) << c.what;
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << c.what;
        EXPECT_TRUE(boxes[0].text.startsWith(c.heading + "\r\n\r\n"))
            << boxes[0].text.toStdString();
        EXPECT_EQ(boxes[0].title, "Error");
        EXPECT_EQ(IniBytes(), iniBefore);
    }
}

TEST_F(BatchSettingsTest, NativeStoredQueriesAsTheSource) {
    session_->Source().ReleaseRecordset();
    session_->Source().SetDb(nullptr);
    auto db = DBEngine::Instance().OpenDatabase(SourcePath());
    db->CreateQueryDef("Bernese", 0,
                       "SELECT CustomerID, City FROM Customers WHERE City LIKE :Start || '%'");
    db->CreateQueryDef("Purge", 32, "DELETE FROM Customers WHERE City = 'Bern'");
    db->Close();
    caller_.Properties.TableName.clear();
    caller_.Properties.QueryName = "Bernese";
    WriteIni("[settings]\nQ=\n\n[Q]\nSeparator=1\nNbFields=1\nField0=City\n");
    prompter_.QueueInputAnswer(QStringLiteral("Ber"));
    EXPECT_EQ(Batch("Q"), "\"Berlin\"\r\n\"Bern\"\r\n");

    // An action query runs after Yes, then the batch finds no source and stops.
    caller_.Properties.QueryName = "Purge";
    prompter_.QueueMsgBoxAnswer(MsgResult::Yes);
    EXPECT_TRUE(Batch("Q").isNull());
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Execute Delete Query?");
    EXPECT_EQ(boxes[1].text,
              "Error in opening Table Purge\r\n\r\nObject variable or With "
              "block variable not set (91)");
    caller_.Properties.QueryName = "Bernese";
    prompter_.QueueInputAnswer(QStringLiteral("Ber"));
    EXPECT_EQ(Batch("Q"), "\"Berlin\"\r\n");
}

//! A widget-free control whose source is a database of stored queries.
class QueryCaller : public PlainCaller {
  public:
    QString SourceConnect() const override { return QStringLiteral("QueryTest"); }
};

TEST_F(BatchSettingsTest, StoredQueryAsTheSource) {
    FakeQueryLog log;
    FakeQueryDriver::Install(
        {{"Berliners", 0, true, "", "Customers", {{"City"}}},
         {"Purge", 32, false, "DELETE FROM Customers WHERE City = [Town]", "", {{"Town"}}}},
        &log);
    QueryCaller caller;
    caller.Properties = caller_.Properties;
    caller.Properties.TableName.clear();
    struct Case {
        const char* query;
        std::vector<MsgResult> answers;
        QByteArray expected;  // null: nothing exported
        std::vector<QString> reports;
    };
    const QString noSource =
        "Error in opening Table %1\r\n\r\nObject variable or With block "
        "variable not set (91)";
    const Case cases[] = {
        {"Berliners",
         {},
         "\"ALFKI\",\"Alfreds\",\"Berlin\"\r\n\"BOLID\",\"Bolido\",\"Madrid\"\r\n"
         "\"CHOPS\",\"Chop-suey\",\"Bern\"\r\n",
         {}},
        {"Purge", {MsgResult::No}, QByteArray(), {noSource.arg("Purge")}},
        {"Missing",
         {},
         QByteArray(),
         {"The following Error Occured:\r\n\r\nItem not found in this collection.\r\n",
          noSource.arg("Missing")}},
    };
    for (const Case& c : cases) {
        QFile::remove(OutPath());
        prompter_.ClearRecords();
        for (MsgResult answer : c.answers) prompter_.QueueMsgBoxAnswer(answer);
        prompter_.QueueInputAnswer(QStringLiteral("Berlin"));
        caller.Properties.QueryName = c.query;
        ExportSession session(prompter_);
        session.SetCaller(&caller);
        session.DoBatchExport(QString());
        EXPECT_EQ(ReadBytes(OutPath()), c.expected) << c.query;
        std::vector<QString> reports;
        for (const auto& box : Boxes())
            if (box.title == "Error") reports.push_back(box.text);
        EXPECT_EQ(reports, c.reports) << c.query;
        EXPECT_EQ(session.LastRunCompleted(), !c.expected.isNull()) << c.query;
    }
    EXPECT_EQ(log.calls.size(), 1u) << "the declined action query never ran";
}

}  // namespace
}  // namespace morvane::test
