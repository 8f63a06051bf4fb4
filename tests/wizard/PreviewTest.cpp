// The wizard's preview without widgets: which records, which values, how lines are cut and
// joined, and that it agrees with the bytes an export writes.
#include "tests/wizard/SessionTestSupport.h"

namespace morvane::test {
namespace {

class PreviewTest : public SessionTest {
  protected:
    QStringList Lines() { return session_->FilePreview().split(QStringLiteral("\r\n")); }
};

TEST_F(PreviewTest, RecordRangeAndTwentyRecordCap) {
    struct Case {
        int records;
        int startingLine;
        bool exportAll;
        int maxLines;
        int expected;
    };
    const Case cases[] = {{3, 1, true, 0, 3},    {100, 1, true, 0, 20}, {100, 1, false, 2, 2},
                          {100, 95, true, 0, 6}, {3, 5, true, 0, 0},    {100, 50, false, 30, 20}};
    for (const Case& c : cases) {
        QFile::remove(SourcePath());
        CreateSource({{"Id", dbLong}, {"Name", dbText, 20}}, NumberedRows(c.records));
        OpenSource();
        ExportSetting& setting = session_->Setting();
        setting.StartingLine = c.startingLine;
        setting.ExportAll = c.exportAll;
        setting.MaxLines = c.maxLines;
        EXPECT_EQ(session_->AdjustPreviewGrid(), c.expected) << c.records << " " << c.startingLine;
        const PreviewTable table = session_->TablePreview();
        EXPECT_EQ(table.Header, QStringList({"Id", "Name"}));
        ASSERT_EQ(table.Rows.size(), c.expected) << c.records << " " << c.startingLine;
        if (c.expected > 0) {
            EXPECT_EQ(table.Rows.first(), QStringList({QString::number(c.startingLine),
                                                       QStringLiteral("R%1").arg(c.startingLine)}));
        }
        const QString text = session_->FilePreview();
        EXPECT_EQ(c.expected == 0 ? 0 : text.split("\r\n").size(), c.expected);
    }
}

TEST_F(PreviewTest, TextPreviewMatchesTheExportedBytesLineForLine) {
    CreateSource({{"Id", dbLong},
                  {"Name", dbText, 30},
                  {"Since", dbDate},
                  {"Price", dbCurrency},
                  {"Note", dbMemo}},
                 {{1, QString::fromUtf8("Zoë \"Z\""), QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)),
                   12.5, "two\r\nlines"},
                  {2, QVariant(), QVariant(), QVariant(), QVariant()},
                  {3, "Ann", QDate(1999, 12, 31), -0.25, "x"}});
    struct Case {
        int kind;
        bool fieldNames;
    };
    for (const Case c : {Case{0, true}, Case{0, false}, Case{1, false}, Case{2, false}}) {
        OpenSource();
        session_->Setting().TypeFormat = c.kind;
        session_->Setting().ExportFldNames = c.fieldNames;
        session_->Setting().RecomputeUseDelimiter();
        const QString preview = session_->FilePreview();
        const QByteArray bytes =
            Export(PathOf(QStringLiteral("out%1%2.txt").arg(c.kind).arg(c.fieldNames)));
        const QString written = CodePage::DecodeAnsi(bytes);
        EXPECT_EQ(preview + QStringLiteral("\r\n"), written) << "kind " << c.kind;
    }
}

TEST_F(PreviewTest, LinesAreCutJoinedByCrLfAndConvertedWhole) {
    CreateSource({{"Name", dbText, 255}, {"Memo", dbMemo}},
                 {{"short", QString(5000, QLatin1Char('m'))}, {"b", "c"}});
    OpenSource();
    ExportSetting& setting = session_->Setting();
    setting.RecFieldSeparator = 4;  // no separator: the preview still shows a line each
    QStringList lines = Lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].size(), 1024);
    EXPECT_TRUE(lines[0].startsWith("\"short\",\"mmm"));
    EXPECT_EQ(lines[1], "\"b\",\"c\"");

    setting.TypeFormat = TypeConnect::HtmlTags;
    setting.Upper = true;
    lines = Lines();
    EXPECT_EQ(lines[1], "<NAME>B</NAME><MEMO>C</MEMO>");  // tags upper-cased too
}

TEST_F(PreviewTest, HostEventsSeeThePreviewedValues) {
    CreateSource({{"Id", dbLong}, {"Name", dbText, 20}}, NumberedRows(30));
    OpenSource();
    int fields = 0, records = 0;
    caller_.Hooks.BeforeFieldExport = [&](const QString&, const QString&, short, short,
                                          QString& buf) {
        ++fields;
        buf = "<" + buf + ">";
    };
    caller_.Hooks.BeforeRecordExport = [&](QString& record) {
        ++records;
        record += "!";
    };
    session_->Setting().ExportFldNames = true;
    const QStringList lines = Lines();
    EXPECT_EQ(fields, 40);
    EXPECT_EQ(records, 20);  // not for the header line
    EXPECT_EQ(lines[0], "\"Id\",\"Name\"");
    EXPECT_EQ(lines[1], "<1>,\"<R1>\"!");
}

TEST_F(PreviewTest, FailuresAndThrowingHandlersAreSkippedSilently) {
    CreateSource({{"Id", dbLong}, {"Name", dbText, 20}}, NumberedRows(3));
    OpenSource();
    caller_.Hooks.BeforeFieldExport = [&](const QString&, const QString& name, short, short,
                                          QString&) {
        if (name == "Name") throw std::runtime_error("host bug");
    };
    session_->Lists().Selected().Append(QStringLiteral("Missing"));
    EXPECT_EQ(Lines(), QStringList({"1,\"R1\",", "2,\"R2\",", "3,\"R3\","}));
    session_->Source().SetRs(nullptr);
    EXPECT_EQ(session_->FilePreview(), QString());
    EXPECT_EQ(session_->AdjustPreviewGrid(), 0);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PreviewTest, OemTextIsShownAsTheFileWillHoldIt) {
    CreateSource({{"Name", dbText, 20}}, {{QString::fromUtf8("Zoë €")}});
    OpenSource();
    session_->Setting().OemConvert = true;
    // IBM437 has ë but no euro sign.
    EXPECT_EQ(session_->FilePreview(), QString::fromUtf8("\"Zoë ?\""));
}

}  // namespace
}  // namespace morvane::test
