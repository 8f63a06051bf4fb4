// The export run end to end with the xBase drivers: the People table exported to each of
// the seven dBASE and FoxPro kinds (8 to 14) and read back by python3-dbfread, and tables
// written by python3-dbf exported to delimited text.
#include "tests/wizard/SessionTestSupport.h"

#include "export/engine/TypeConnect.h"

#include <QProcess>

namespace morvane::test {
namespace {

QString Script(const char* name) {
    return QStringLiteral(MORVANE_SOURCE_DIR "/tests/data/xbase/") + QLatin1String(name);
}

std::string RunPython(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << "python: " << process.readAllStandardError().toStdString();
        return {};
    }
    return process.readAllStandardOutput().trimmed().toStdString();
}

bool HasPythonDbf() {
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), {"-c", "import dbfread, dbf"});
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

class XbaseExportTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        if (!HasPythonDbf()) GTEST_SKIP() << "python3-dbfread and python3-dbf are needed";
    }
};

TEST_F(XbaseExportTest, PeopleExportsToEachKindAndReadsBackInDbfread) {
    CreateSource(
        {{"Id", dbLong},
         {"Name", dbText, 30},
         {"Notes", dbMemo},
         {"Amount", dbDouble},
         {"Price", dbCurrency},
         {"Born", dbDate},
         {"Active", dbBoolean},
         {"First Name's", dbText, 10}},
        {{1, QStringLiteral("O'Brien \"Bob\""), QStringLiteral("line1\r\nline2"), 1234.5, 12.25,
          QDateTime(QDate(1999, 12, 31), QTime(15, 4, 5)), true, QString::fromUtf8("Zoë")},
         {2, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()}},
        QStringLiteral("People"));
    const struct {
        int kind;
        const char* folder;
    } kinds[] = {{TypeConnect::DBase3, "d3"},    {TypeConnect::DBase4, "d4"},
                 {TypeConnect::DBase5, "d5"},    {TypeConnect::FOXPRO20, "f20"},
                 {TypeConnect::FOXPRO25, "f25"}, {TypeConnect::FOXPRO26, "f26"},
                 {TypeConnect::FOXPRO30, "f30"}};
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.folder);
        prompter_ = ScriptedPrompter();
        QDir().mkpath(PathOf(k.folder));
        OpenSource(QStringLiteral("People"));
        session_->Setting().TypeFormat = static_cast<short>(k.kind);
        session_->Destination().File = PathOf(QString::fromLatin1(k.folder) + "/people.dbf");
        session_->StartExport();
        EXPECT_TRUE(session_->LastRunCompleted());
        ExpectOnlySummary(2);
        const bool vfp = k.kind == TypeConnect::FOXPRO30;
        // The run writes a memo's CR LF as two blanks.
        const QString expected =
            QStringList(
                {"Id|Name|Notes|Amount|Price|Born|Active|First_Name",
                 QString::fromUtf8("1|O'Brien \"Bob\"|line1  line2|1234.5|12.25|%1|True|Zoë")
                     .arg(vfp ? "1999-12-31 15:04:05" : "1999-12-31"),
                 // dbfread leaves FoxPro 3.0 Null flags aside: binary numbers show 0.
                 vfp ? "2||NULL|0|0|NULL|NULL|" : "2||NULL|NULL|NULL|NULL|NULL|"})
                .join('\n');
        EXPECT_EQ(RunPython({Script("dbf_read.py"), "dbfread",
                             PathOf(QString::fromLatin1(k.folder) + "/people.dbf")}),
                  expected.toStdString());
        session_->Source().Db()->Close();
    }
}

TEST_F(XbaseExportTest, TablesOfAnIndependentWriterExportToText) {
    EXPECT_EQ(RunPython({Script("dbf_write.py"), dir_.path()}), "");
    // The default setting delimits text with double quotes and leaves quotes inside as they
    // are.
    const struct {
        const char* table;
        const char* text;
    } cases[] = {
        {"t_db3",
         "\"Zoë O'Brien \"x\"\",5,12.25,2/3/2001,True,\"a  b\"\r\n"
         "\"third\",-7,12.25,2/3/2001,False,\"été\"\r\n"},
        {"t_vfp",
         "\"Zoë O'Brien \"x\"\",5,12.25,2/3/2001 4:05:06 AM,True,\"a  b\",1.5\r\n"
         "\"third\",-7,12.25,2/3/2001 4:05:06 AM,False,\"été\",1.5\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        prompter_ = ScriptedPrompter();
        session_->Source().SetDb(DBEngine::Instance().OpenDatabase(
            dir_.path(), 0, false, QStringLiteral("FoxPro 3.0;pwd=;")));
        session_->Source().SetRs(session_->Source().Db()->OpenRecordset(c.table, dbOpenTable));
        session_->Source().SetName(c.table);
        session_->SetDefaultSetting();
        const QByteArray text = Export(PathOf(QString::fromLatin1(c.table) + ".txt"));
        EXPECT_EQ(CodePage::DecodeAnsi(text), QString::fromUtf8(c.text));
        ExpectOnlySummary(2);
        session_->Source().Db()->Close();
    }
}

}  // namespace
}  // namespace morvane::test
