// The batch run with the defaults, and the failures that end it before anything is written.
#include "tests/wizard/SessionTestSupport.h"

namespace morvane::test {
namespace {

class SessionBatchTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        CreateSource({{"Id", dbLong}, {"Secret", dbText, 9}, {"Name", dbText, 9}},
                     {{1, "pw", "Ann"}, {2, "pw", QString::fromUtf8("Zoë")}});
        caller_.Properties.DataBaseName = SourcePath();
        caller_.Properties.TableName = "Customers";
        caller_.Properties.ExportFile = OutPath();
        caller_.Properties.IniFile = PathOf("settings.ini");
    }
};

TEST_F(SessionBatchTest, DefaultsExportEveryFieldTheHostDoesNotHide) {
    caller_.Hooks.FilterField = [](const QString& table, const QString& field, bool& hide) {
        hide = table == "Customers" && field == "Secret";
    };
    QStringList records;
    caller_.Hooks.BeforeRecordExport = [&](QString& record) { records << record; };
    caller_.BatchExport(prompter_, QString());
    EXPECT_EQ(ReadBytes(OutPath()), "1,\"Ann\"\r\n2,\"Zo\xEB\"\r\n");
    EXPECT_EQ(records, (QStringList{"1,\"Ann\"", QString::fromUtf8("2,\"Zoë\"")}));
    ExpectOnlySummary(2);
}

TEST_F(SessionBatchTest, SourceThatCannotBeOpenedEndsTheBatch) {
    struct Case {
        QString database;
        QString table;
        QString heading;
    };
    const QString missing = PathOf("missing.db");
    const Case cases[] = {
        {missing, "Customers", "Error in opening DataBase " + missing},
        {SourcePath(), "Nope", "Error in opening Table Nope"},
    };
    for (const Case& c : cases) {
        prompter_.ClearRecords();
        caller_.Properties.DataBaseName = c.database;
        caller_.Properties.TableName = c.table;
        caller_.BatchExport(prompter_, QString());
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        // The heading, a blank line, then the engine's own descriptions line by line.
        EXPECT_TRUE(boxes[0].text.startsWith(c.heading + "\r\n\r\n"))
            << boxes[0].text.toStdString();
        EXPECT_TRUE(boxes[0].text.endsWith("\r\n"));
        EXPECT_GT(boxes[0].text.size(), c.heading.size() + 6);
        EXPECT_EQ(boxes[0].title, "Error");
        EXPECT_FALSE(QFile::exists(OutPath())) << "nothing is written";
        EXPECT_FALSE(QFile::exists(missing)) << "a missing source is not created";
    }
}

}  // namespace
}  // namespace morvane::test
