// The export setting record, its lookups and the session's defaults and field lookup.
#include "tests/wizard/SessionTestSupport.h"

#include "export/settings/ExportSetting.h"

namespace morvane::test {
namespace {

TEST(ExportSettingTest, SeparatorAndDelimiterLookups) {
    struct Case {
        int position;
        QChar separator;
        QChar delimiter;
    };
    const Case cases[] = {
        {0, u',', u'"'}, {1, u';', u'\''}, {2, u' ', u' '},   {3, u'\t', u' '},
        {4, u' ', u' '}, {-1, u' ', u' '}, {300, u' ', u' '},
    };
    for (const Case& c : cases) {
        ExportSetting setting;
        setting.SetSeparator(c.position);
        setting.SetDelimiter(c.position);
        EXPECT_EQ(setting.Separator, c.position);
        EXPECT_EQ(setting.Delimiter, c.position);
        EXPECT_EQ(setting.SeparatorChar, c.separator) << "position " << c.position;
        EXPECT_EQ(setting.DelimiterChar, c.delimiter) << "position " << c.position;
    }
    EXPECT_EQ(SeparatorChars, QStringLiteral(",; \t"));
    EXPECT_EQ(DelimiterChars, QStringLiteral("\"'"));
}

TEST(ExportSettingTest, RecordSeparatorByChoice) {
    struct Case {
        int choice;
        QString appended;
    };
    const Case cases[] = {{0, "\r\n"}, {1, "\r"}, {2, "\n"}, {3, ";"},
                          {4, ""},     {5, ""},   {-1, ""},  {32767, ""}};
    for (const Case& c : cases) {
        ExportSetting setting;
        setting.RecSepOther = u';';
        setting.RecFieldSeparator = c.choice;
        EXPECT_EQ(setting.RecordSeparator(), c.appended) << "choice " << c.choice;
    }
}

TEST(ExportSettingTest, UseDelimiterOnlyForVariableWithDelimiter) {
    struct Case {
        int typeFormat;
        int delimiter;
        bool use;
    };
    const Case cases[] = {{0, 0, true},  {0, 1, true},  {0, 2, false}, {1, 0, false},
                          {2, 0, false}, {3, 1, false}, {4, 0, false}, {15, 0, false}};
    for (const Case& c : cases) {
        ExportSetting setting;
        setting.TypeFormat = c.typeFormat;
        setting.SetDelimiter(c.delimiter);
        setting.UseDelimiter = !c.use;
        setting.RecomputeUseDelimiter();
        EXPECT_EQ(setting.UseDelimiter, c.use) << c.typeFormat << "/" << c.delimiter;
    }
    EXPECT_EQ(ExportSetting::SizeCount, 301);
    EXPECT_EQ(ExportSetting().Size.size(), 301u);
}

class SessionDefaultsTest : public SessionTest {};

TEST_F(SessionDefaultsTest, DefaultsOverwriteEveryOptionAndKeepTheOthers) {
    CreateSource(
        {{"Id", dbLong}, {"Name", dbText, 30}, {"Notes", dbMemo}, {"Picture", dbLongBinary}},
        NumberedRows(0));
    CreateTable(SourcePath(), "Other", {{"X", dbText, 5}}, {});
    {
        // Seven records so MaxLines takes the count.
        auto db = DBEngine::Instance().OpenDatabase(SourcePath());
        auto rs = db->OpenRecordset("Customers", dbOpenTable);
        for (int i = 0; i < 7; ++i) {
            rs->AddNew();
            rs->Fields().Item(0).SetValue(i);
            rs->Update();
        }
    }
    OpenSource();
    ExportSetting& s = session_->Setting();
    s.TypeFormat = 3;
    s.SetSeparator(3);
    s.SetDelimiter(2);
    s.UseDelimiter = false;
    s.ExportFldNames = true;
    s.ExportHtmlFldNames = false;
    s.ExportHtmlTableName = true;
    s.RecFieldSeparator = 4;
    s.RecSepOther = u'x';
    s.Upper = s.OemConvert = true;
    s.StartingLine = 9;
    s.MaxLines = 2;
    s.ExportAll = false;
    s.Size.fill(77);
    s.HtmlTitle = "Title";
    s.HtmlTemplate = "/t.html";
    session_->SetSettingName("Kept");
    session_->Destination().Connect = "ODBC;DSN=x";
    session_->Lists().Available().Assign(QStringList{"Stale"});
    session_->SetDefaultSetting();

    EXPECT_EQ(s.TypeFormat, 0);
    EXPECT_EQ(s.Separator, 0);
    EXPECT_EQ(s.SeparatorChar, u',');
    EXPECT_EQ(s.Delimiter, 0);
    EXPECT_EQ(s.DelimiterChar, u'"');
    EXPECT_TRUE(s.UseDelimiter);
    EXPECT_FALSE(s.ExportFldNames);
    EXPECT_TRUE(s.ExportHtmlFldNames);
    EXPECT_FALSE(s.ExportHtmlTableName);
    EXPECT_EQ(s.RecFieldSeparator, 0);
    EXPECT_EQ(s.RecSepOther, u' ');
    EXPECT_FALSE(s.Upper);
    EXPECT_FALSE(s.OemConvert);
    EXPECT_EQ(s.StartingLine, 1);
    EXPECT_EQ(s.MaxLines, 7);
    EXPECT_TRUE(s.ExportAll);
    EXPECT_EQ(s.nbFields, 4);
    // Widths by source ordinal: Long 4, Text 30, Memo and Long Binary report 0.
    EXPECT_EQ(s.Size[0], 4);
    EXPECT_EQ(s.Size[1], 30);
    EXPECT_EQ(s.Size[2], 0);
    EXPECT_EQ(s.Size[3], 0);
    for (int ordinal = 4; ordinal < ExportSetting::SizeCount; ++ordinal)
        ASSERT_EQ(s.Size[ordinal], 0);
    const QStringList all{"Id", "Name", "Notes", "Picture"};
    EXPECT_EQ(session_->Lists().Selected().Names(), all);
    EXPECT_EQ(session_->Lists().Fixed().Names(), all);
    EXPECT_TRUE(session_->Lists().Available().Names().isEmpty());
    // Not the defaults' business.
    EXPECT_EQ(s.HtmlTitle, "Title");
    EXPECT_EQ(s.HtmlTemplate, "/t.html");
    EXPECT_EQ(session_->SettingName(), "Kept");
    EXPECT_EQ(session_->Destination().Connect, "ODBC;DSN=x");
}

TEST_F(SessionDefaultsTest, FilterFieldHidesFromEveryListAndFromTheWidths) {
    CreateSource({{"Id", dbLong}, {"Secret", dbText, 12}, {"Name", dbText, 30}}, {});
    QStringList raised;
    caller_.Hooks.FilterField = [&](const QString& table, const QString& field, bool& hide) {
        EXPECT_FALSE(hide) << "Hide starts False for every field";
        raised << table + "." + field;
        hide = field == "Secret";
    };
    OpenSource();
    EXPECT_EQ(raised, (QStringList{"Customers.Id", "Customers.Secret", "Customers.Name"}));
    EXPECT_EQ(session_->Lists().Selected().Names(), (QStringList{"Id", "Name"}));
    EXPECT_EQ(session_->Lists().Fixed().Names(), (QStringList{"Id", "Name"}));
    EXPECT_TRUE(session_->Lists().Available().Names().isEmpty());
    EXPECT_EQ(session_->Setting().nbFields, 2);
    EXPECT_EQ(session_->Setting().Size[1], 0);
    EXPECT_EQ(session_->Setting().Size[2], 30);

    // A second call that hides another field gives that field width 0, not the old one.
    caller_.Hooks.FilterField = [](const QString&, const QString& field, bool& hide) {
        hide = field == "Name";
    };
    session_->SetDefaultSetting();
    EXPECT_EQ(session_->Lists().Selected().Names(), (QStringList{"Id", "Secret"}));
    EXPECT_EQ(session_->Setting().Size[1], 12);
    EXPECT_EQ(session_->Setting().Size[2], 0);

    caller_.Hooks.FilterField = [](const QString&, const QString&, bool& hide) { hide = true; };
    session_->SetDefaultSetting();
    EXPECT_EQ(session_->Setting().nbFields, 0);
    EXPECT_TRUE(session_->Lists().Selected().Names().isEmpty());
    EXPECT_TRUE(session_->Lists().Fixed().Names().isEmpty());
    EXPECT_TRUE(session_->Lists().Available().Names().isEmpty());
}

TEST_F(SessionDefaultsTest, FieldsBeyondTheWidthTableAreListedWithoutWidth) {
    std::vector<FieldSpec> fields;
    for (int ordinal = 0; ordinal < 303; ++ordinal)
        fields.push_back({QStringLiteral("F%1").arg(ordinal), dbText, 1 + ordinal % 200});
    CreateSource(fields, {});
    OpenSource();
    EXPECT_EQ(session_->Setting().nbFields, 303);
    EXPECT_EQ(session_->Lists().Selected().Names().size(), 303);
    EXPECT_EQ(session_->Lists().Selected().Names().last(), "F302");
    EXPECT_EQ(session_->Setting().Size[300], 1 + 300 % 200);
    EXPECT_EQ(session_->FieldIndex("F302"), 302);
}

TEST_F(SessionDefaultsTest, DefaultsWithoutSourceStillApply) {
    session_->Setting().SetSeparator(2);
    session_->Lists().Selected().Assign(QStringList{"Old"});
    session_->SetDefaultSetting();
    EXPECT_EQ(session_->Setting().SeparatorChar, u',');
    EXPECT_EQ(session_->Setting().nbFields, 0);
    EXPECT_TRUE(session_->Lists().Selected().Names().isEmpty());
    EXPECT_EQ(session_->FieldIndex("Old"), 0);
}

TEST_F(SessionDefaultsTest, FieldIndexIsExactAndCaseSensitive) {
    CreateSource({{"Id", dbLong}, {"Name", dbText, 10}, {"name2", dbText, 10}}, {});
    OpenSource();
    struct Case {
        QString name;
        int ordinal;
    };
    const Case cases[] = {{"Id", 0},   {"Name", 1}, {"name2", 2}, {"NAME", 0},
                          {"name", 0}, {"", 0},     {"Name ", 0}, {"Missing", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(session_->FieldIndex(c.name), c.ordinal) << c.name.toStdString();
}

}  // namespace
}  // namespace morvane::test
