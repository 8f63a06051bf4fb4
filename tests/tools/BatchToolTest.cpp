// morvane-batch run as a process on databases made through the engine.
#include "export/data/Database.h"
#include "export/data/dbengine/DBEngine.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

namespace morvane {
namespace {

struct ToolResult {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// The tool runs in the C locale, whose dates and numbers follow US English.
QProcessEnvironment ToolEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    return environment;
}

ToolResult Finish(QProcess& process) {
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

ToolResult Batch(const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(ToolEnvironment());
    process.start(QStringLiteral(MORVANE_BATCH_TOOL), arguments);
    return Finish(process);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The export of table People with the default setting: numbers bare, text in double
// quotes (even when Null), memo line ends as spaces, binary left out, CR LF, CP1252.
const QByteArray kPeopleExport =
    "1,\"Zo\xEB Cr\xE8me\",\"Gen\xE8ve, CH\",1234.5,12/31/1999 3:04:05 PM,True,"
    "\"line1  line2\",\r\n"
    "2,\"\",\"O'Brien \"the\" city\",-7,2/9/2024,False,\"\",\r\n";

class BatchToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto db = DBEngine::Instance().CreateDatabase(
            DbPath(), QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0"), 32);
        db->Execute(QString::fromUtf8(
            "CREATE TABLE People (id INTEGER, name VARCHAR(40), city VARCHAR(30), amount "
            "DOUBLE, born DATETIME, active BOOLEAN, note TEXT, pic BLOB);"
            "INSERT INTO People VALUES (1, 'Zoë Crème', 'Genève, CH', 1234.5, "
            "'1999-12-31 15:04:05', 1, 'line1' || char(13, 10) || 'line2', x'00ff');"
            "INSERT INTO People VALUES (2, NULL, 'O''Brien \"the\" city', -7, '2024-02-09', 0, "
            "NULL, NULL);"
            "CREATE TABLE Empty (id INTEGER);"
            "CREATE VIEW Active AS SELECT id, name FROM People WHERE active = 1"));
        db->Close();
    }

    QString DbPath() const { return dir_.filePath(QStringLiteral("source.db")); }
    QString OutPath() const { return dir_.filePath(QStringLiteral("out.txt")); }
    QStringList Export(const QString& table) const {
        return {"--database", DbPath(), "--table", table, "--out", OutPath()};
    }

    QTemporaryDir dir_;
};

TEST_F(BatchToolTest, DefaultSettingGivesDelimitedCp1252Text) {
    const ToolResult result = Batch(Export("People"));
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadFile(OutPath()), kPeopleExport);
}

TEST_F(BatchToolTest, QueriesSettingsAndSummary) {
    struct Case {
        QStringList arguments;
        QByteArray file;
        QString err;
    };
    const QStringList query = {"--database", DbPath(), "--query", "Active", "--out", OutPath()};
    const Case cases[] = {
        {query, "1,\"Zo\xEB Cr\xE8me\"\r\n", ""},
        {query + QStringList{"--summary"}, "1,\"Zo\xEB Cr\xE8me\"\r\n",
         "Information: End of export\nNumber of exported records : 1\n\n"},
        {Export("People") + QStringList{"--summary", "--type", "4"}, kPeopleExport,
         "Information: End of export\nNumber of exported records : 2\n\n"},
    };
    for (const Case& c : cases) {
        const std::string label = c.arguments.mid(2).join(' ').toStdString();
        QFile::remove(OutPath());
        const ToolResult result = Batch(c.arguments);
        EXPECT_EQ(result.exitCode, 0) << label << ": " << result.err.toStdString();
        EXPECT_EQ(ReadFile(OutPath()), c.file) << label;
        EXPECT_EQ(result.err, c.err) << label;
    }
}

TEST_F(BatchToolTest, UnknownSettingIsRefusedBeforeTheRun) {
    // The settings list hides names after one starting with "Default"; the section counts.
    WriteFile(dir_.filePath("settings.ini"),
              "[settings]\r\nDefaultish=\r\nWeekly=\r\n\r\n[Weekly]\r\nNbFields=1\r\n"
              "Field0=id\r\n");
    const ToolResult weekly = Batch(Export("People") + QStringList{"--setting", "Weekly", "--ini",
                                                                   dir_.filePath("settings.ini")});
    EXPECT_EQ(weekly.exitCode, 0) << weekly.err.toStdString();
    EXPECT_EQ(ReadFile(OutPath()), "1\r\n2\r\n");
    QFile::remove(OutPath());
    const ToolResult result = Batch(Export("People") + QStringList{"--setting", "Monthly", "--ini",
                                                                   dir_.filePath("settings.ini")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("no setting named 'Monthly'")) << result.err.toStdString();
    EXPECT_FALSE(QFile::exists(OutPath()));
}

TEST_F(BatchToolTest, ParametersAnswerTheQueryBoxes) {
    auto db = DBEngine::Instance().OpenDatabase(DbPath(), 0, false, QStringLiteral(";pwd=;"));
    db->CreateQueryDef(
        QStringLiteral("AmountsAbove"), 0,
        QStringLiteral("SELECT id FROM People WHERE id >= :First AND amount < :Most"));
    db->CreateQueryDef(QStringLiteral("DropPoor"), 32,
                       QStringLiteral("DELETE FROM People WHERE amount < :Limit"));
    db->Close();
    const QStringList query = {"--database",   DbPath(), "--query",
                               "AmountsAbove", "--out",  OutPath()};
    struct Case {
        QStringList params;
        QByteArray file;
    };
    const Case cases[] = {
        {{"--param", "Most=2000", "--param", "First=1"}, "1\r\n2\r\n"},
        {{"--param", "Most=0", "--param", "First=1"}, "2\r\n"},
        {{"--param", "First=2", "--param=Most=2000"}, "2\r\n"},
    };
    for (const Case& c : cases) {
        QFile::remove(OutPath());
        const ToolResult result = Batch(query + c.params);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(ReadFile(OutPath()), c.file) << c.params.join(' ').toStdString();
    }
    // A delete query asks first; answered No, the data stays and nothing is exported.
    const ToolResult declined = Batch({"--database", DbPath(), "--query", "DropPoor", "--out",
                                       OutPath(), "--param", "Limit=100000", "--no"});
    EXPECT_EQ(declined.exitCode, 1);
    EXPECT_TRUE(declined.err.contains("Execute Delete Query?")) << declined.err.toStdString();
    QFile::remove(OutPath());
    EXPECT_EQ(Batch(Export("People")).exitCode, 0);
    EXPECT_EQ(ReadFile(OutPath()), kPeopleExport);
}

TEST_F(BatchToolTest, ErrorsContinuedPastExitWithOne) {
    // A template in a missing folder: the page head's continue prompt takes its default
    // (Yes) and the page is written without a body tag, but the run reported an error.
    WriteFile(dir_.filePath("settings.ini"),
              "[settings]\r\nPage=\r\n\r\n[Page]\r\nTypeFormat=3\r\nNbFields=1\r\n"
              "Field0=id\r\nHtmlTemplate=" +
                  dir_.filePath("no/such/t.html").toUtf8() + "\r\n");
    const ToolResult result = Batch(Export("People") + QStringList{"--setting", "Page", "--ini",
                                                                   dir_.filePath("settings.ini")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("Error: Error in exporting field names "))
        << result.err.toStdString();
    EXPECT_TRUE(
        ReadFile(OutPath()).startsWith("<HTML><HEAD><TITLE></TITLE></HEAD><TABLE BORDER=1"));
}

TEST_F(BatchToolTest, ExistingExportFile) {
    const QByteArray old = "old content\r\n";
    const QString question = "morvane-batch: File already exists - overwrite?\n";
    struct Case {
        QStringList extra;
        int exitCode;
        bool replaced;
        QString err;
    };
    const Case cases[] = {
        {{}, 1, false, question},  // the default button is Cancel
        {{"--no"}, 1, false, question}, {{"--yes"}, 0, true, question},
        {{"--overwrite"}, 0, true, ""}, {{"--overwrite", "--no"}, 0, true, ""},
    };
    for (const Case& c : cases) {
        const std::string label = c.extra.join(' ').toStdString();
        WriteFile(OutPath(), old);
        const ToolResult result = Batch(Export("People") + c.extra);
        EXPECT_EQ(result.exitCode, c.exitCode) << label;
        EXPECT_EQ(ReadFile(OutPath()), c.replaced ? kPeopleExport : old) << label;
        EXPECT_EQ(result.err, c.err) << label;
    }
}

TEST_F(BatchToolTest, DatabaseKindThroughANamedSetting) {
    const QString ini = dir_.filePath("settings.ini");
    const QString dest = dir_.filePath("dest.db");
    WriteFile(ini,
              "[settings]\r\nCopy=\r\n\r\n[Copy]\r\nTypeFormat=4\r\nNbFields=3\r\n"
              "Field0=id\r\nField1=name\r\nField2=born\r\n");
    const QStringList arguments = {"--database", DbPath(),    "--table", "People", "--out",
                                   dest,         "--setting", "Copy",    "--ini",  ini};
    const QString question = "morvane-batch: Table already exists - overwrite?\n";
    struct Case {
        QStringList extra;
        int exitCode;
        QString err;
    };
    // Every case leaves the same two rows: made, kept (declined) or made again.
    const Case cases[] = {
        {{}, 0, ""},        // a new file and table
        {{}, 1, question},  // the default button is Cancel: the table stays
        {{"--no"}, 1, question},
        {{"--yes"}, 0, question},
        {{"--overwrite"}, 0, ""},
    };
    for (const Case& c : cases) {
        const std::string label = c.extra.join(' ').toStdString();
        const ToolResult result = Batch(arguments + c.extra);
        EXPECT_EQ(result.exitCode, c.exitCode) << label << result.err.toStdString();
        EXPECT_EQ(result.err, c.err) << label;
        QProcess shell;
        shell.start("sqlite3", {dest, "SELECT id, name, born FROM People ORDER BY id"});
        ASSERT_TRUE(shell.waitForFinished(30000));
        EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()),
                  QString::fromUtf8("1|Zoë Crème|1999-12-31 15:04:05\n2||2024-02-09\n"))
            << label;
    }
}

TEST_F(BatchToolTest, FailuresAreReportedWithStatusOne) {
    auto protectedDb = DBEngine::Instance().CreateDatabase(
        dir_.filePath("locked.db"), QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0"), 32);
    protectedDb->NewPassword(QString(), QStringLiteral("secret"));
    protectedDb->Execute(QStringLiteral("CREATE TABLE T (id INTEGER); INSERT INTO T VALUES (5)"));
    protectedDb->Close();
    const QString missingDb = dir_.filePath("missing.db");
    const QString lockedDb = dir_.filePath("locked.db");
    const QString noFolder = dir_.filePath("no/such/folder/out.txt");
    struct Case {
        QStringList arguments;
        QString errPart;  //!< the report expected on stderr
        bool fileWritten;
    };
    const Case cases[] = {
        {{"--database", missingDb, "--table", "People", "--out", OutPath()},
         "Error: Error in opening DataBase " + missingDb + "\n\n",
         false},
        {{"--database", lockedDb, "--table", "T", "--out", OutPath(), "--password", "wrong"},
         "Error: Error in opening DataBase " + lockedDb + "\n\n",
         false},
        {Export("Nope"), "Error: Error in opening Table Nope\n\n", false},
        // The query opening reports its own failure first.
        {{"--database", DbPath(), "--query", "Nope", "--out", OutPath()},
         "Error: Error in opening Table Nope\n\n",
         false},
        {{"--database", DbPath(), "--table", "People", "--out", noFolder},
         "Error: Error in openning export file '" + noFolder + "'\n\n",
         false},
        // An empty source cannot be positioned: the run stops while counting, under the
        // report's default heading, after creating the (empty) file.
        {Export("Empty"), "Error: The following Error Occured:\n\n", true},
    };
    for (const Case& c : cases) {
        const std::string label = c.arguments.join(' ').toStdString();
        QFile::remove(OutPath());
        const ToolResult result = Batch(c.arguments);
        EXPECT_EQ(result.exitCode, 1) << label;
        EXPECT_TRUE(result.err.contains(c.errPart)) << label << ": " << result.err.toStdString();
        EXPECT_EQ(QFile::exists(OutPath()), c.fileWritten) << label;
    }
    EXPECT_FALSE(QFile::exists(noFolder));
    // The right password opens it.
    QFile::remove(OutPath());
    const ToolResult opened =
        Batch({"--database", lockedDb, "--table", "T", "--out", OutPath(), "--password", "secret"});
    EXPECT_EQ(opened.exitCode, 0) << opened.err.toStdString();
    EXPECT_EQ(ReadFile(OutPath()), "5\r\n");
}

TEST_F(BatchToolTest, UsageErrorsExitWithTwo) {
    const QStringList cases[] = {
        {},
        {"--database", DbPath(), "--out", OutPath()},
        Export("People") + QStringList{"--yes", "--no"},
        Export("People") + QStringList{"--type", "many"},
        Export("People") + QStringList{"--frobnicate"},
    };
    for (const QStringList& arguments : cases) {
        const ToolResult result = Batch(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.startsWith("morvane-batch: ")) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains("usage: morvane-batch")) << result.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(OutPath()));
    const ToolResult help = Batch({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("usage: morvane-batch"));
}

// Ctrl-C under --progress stops the run at the next record: the run still ends normally
// (status 0, summary), and the file holds exactly the records the summary counts.
TEST_F(BatchToolTest, InterruptStopsAtARecordBoundary) {
    constexpr int kRows = 3000000;
    {
        auto db = DBEngine::Instance().OpenDatabase(DbPath());
        db->Execute(
            QStringLiteral("CREATE TABLE Big (id INTEGER, label VARCHAR(60));"
                           "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n "
                           "WHERE x < %1) INSERT INTO Big SELECT x, 'row number ' || x FROM n")
                .arg(kRows));
        db->Close();
    }
    QProcess process;
    process.setProcessEnvironment(ToolEnvironment());
    process.start(QStringLiteral(MORVANE_BATCH_TOOL),
                  Export("Big") + QStringList{"--progress", "--summary"});
    ASSERT_TRUE(process.waitForStarted());
    // The bar draws its first line after the first record.
    QByteArray seen;
    QElapsedTimer clock;
    clock.start();
    while (!seen.contains(" out of ") && clock.elapsed() < 30000) {
        process.waitForReadyRead(100);
        seen += process.readAllStandardError();
    }
    ASSERT_TRUE(seen.contains(" out of ")) << seen.toStdString();
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ToolResult result = Finish(process);
    result.err.prepend(QString::fromUtf8(seen));

    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("(stopped)")) << result.err.toStdString();
    // The summary starts on a line of its own, not at the end of the bar's line.
    EXPECT_TRUE(result.err.contains(" left\nInformation: End of export\n"))
        << result.err.toStdString();
    const QString marker = QStringLiteral("Number of exported records : ");
    const int at = result.err.indexOf(marker);
    ASSERT_GE(at, 0) << result.err.toStdString();
    const int counted = result.err.mid(at + marker.size()).section(u'\n', 0, 0).toInt();
    EXPECT_GT(counted, 0);
    EXPECT_LT(counted, kRows);

    const QByteArray bytes = ReadFile(OutPath());
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.left(bytes.size() - 2).split('\n');
    ASSERT_EQ(lines.size(), counted);
    for (int index : {0, counted / 2, counted - 1})
        EXPECT_EQ(lines[index], QByteArray::number(index + 1) + ",\"row number " +
                                    QByteArray::number(index + 1) + "\"" +
                                    (index + 1 < counted ? "\r" : ""));
}

}  // namespace
}  // namespace morvane
