// Interoperability (label excel-interop): workbooks we write are read by readers we did not
// write (python3-xlrd: BIFF version, cells, types, bold field names; gnumeric's ssconvert and
// LibreOffice: the values as CSV), and workbooks written by ssconvert and LibreOffice are
// read by our drivers. A reader that is not installed skips its test with a message.
#include "tests/data/excel/ExcelTestSupport.h"

#include <QStandardPaths>

namespace morvane::test {
namespace {

const QString kScripts = QStringLiteral(MORVANE_SOURCE_DIR "/tests/data/excel/");

struct ProcessRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ProcessRun Execute(const QString& program, const QStringList& arguments, int timeoutMs = 120000) {
    QProcess process;
    process.start(program, arguments);
    ProcessRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("timed out");
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

bool HasXlrd() {
    return Execute(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral("-c"), QStringLiteral("import xlrd")})
               .exitCode == 0;
}

// The People-style table of the export tests, written through the engine.
QString WritePeople(const QTemporaryDir& dir, const ExcelKind& kind, const QString& file) {
    const QString path = dir.filePath(file);
    auto db = OpenExcel(path, kind.Connect);
    CreateTable(*db, QStringLiteral("People"),
                {{QStringLiteral("Id"), dbLong, 0},
                 {QStringLiteral("Name"), dbText, 30},
                 {QStringLiteral("Born"), dbDate, 0},
                 {QStringLiteral("Seen"), dbDate, 0},
                 {QStringLiteral("Active"), dbBoolean, 0},
                 {QStringLiteral("Score"), dbDouble, 0}});
    auto rs = db->OpenRecordset(QStringLiteral("People"));
    AddRow(*rs, {1, QStringLiteral("Zoë O'Brien"), QDate(1970, 3, 1),
                 QDateTime(QDate(2020, 12, 31), QTime(23, 59, 58)), true, 2.5});
    AddRow(*rs, {2, QStringLiteral("Ann, \"Jr\""), QDate(1999, 12, 31),
                 QDateTime(QDate(2001, 1, 1), QTime(6, 0)), false, -7});
    AddRow(*rs, {3, QVariant(), QVariant(), QVariant(), QVariant(), 1000000});
    rs->Close();
    db->Close();
    return path;
}

class ExcelInteropTest : public ::testing::TestWithParam<ExcelKind> {
  protected:
    QTemporaryDir dir_;
};

TEST_P(ExcelInteropTest, XlrdReadsCellsTypesAndVersion) {
    if (!HasXlrd()) GTEST_SKIP() << "python3-xlrd is not installed";
    const ExcelKind kind = GetParam();
    const QString path = WritePeople(dir_, kind, QStringLiteral("people.xls"));
    const ProcessRun run = Execute(QStringLiteral("/usr/bin/python3"),
                                   {kScripts + QStringLiteral("xlrd_dump.py"), path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.takeFirst(), QStringLiteral("biff %1").arg(kind.BiffVersion));
    const QString sheet = lines.takeFirst();
    if (kind.BiffVersion >= 50) {
        EXPECT_EQ(sheet, QStringLiteral("sheet People"));
    }
    EXPECT_EQ(lines, (QStringList{
                         QStringLiteral("0 0 text Id bold"),
                         QStringLiteral("0 1 text Name bold"),
                         QStringLiteral("0 2 text Born bold"),
                         QStringLiteral("0 3 text Seen bold"),
                         QStringLiteral("0 4 text Active bold"),
                         QStringLiteral("0 5 text Score bold"),
                         QStringLiteral("1 0 number 1.0"),
                         QStringLiteral("1 1 text Zoë O'Brien"),
                         QStringLiteral("1 2 date 1970-03-01 00:00:00"),
                         QStringLiteral("1 3 date 2020-12-31 23:59:58"),
                         QStringLiteral("1 4 bool True"),
                         QStringLiteral("1 5 number 2.5"),
                         QStringLiteral("2 0 number 2.0"),
                         QStringLiteral("2 1 text Ann, \"Jr\""),
                         QStringLiteral("2 2 date 1999-12-31 00:00:00"),
                         QStringLiteral("2 3 date 2001-01-01 06:00:00"),
                         QStringLiteral("2 4 bool False"),
                         QStringLiteral("2 5 number -7.0"),
                         QStringLiteral("3 0 number 3.0"),
                         QStringLiteral("3 5 number 1000000.0"),
                     }));
}

// The CSV of the People table as ssconvert and LibreOffice show it.
const QStringList kPeopleCsv = {
    QStringLiteral("Id,Name,Born,Seen,Active,Score"),
    QStringLiteral("1,Zoë O'Brien,1970-03-01,2020-12-31 23:59:58,TRUE,2.5"),
    QStringLiteral("2,\"Ann, \"\"Jr\"\"\",1999-12-31,2001-01-01 06:00:00,FALSE,-7"),
    QStringLiteral("3,,,,,1000000"),
};

// The lines of a CSV file with quotes dropped and dates written with "-": the readers quote
// and show dates in their own ways, the values are what is compared.
QStringList Normalized(QString text) {
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('"'));
    text.replace(QLatin1Char('/'), QLatin1Char('-'));
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList CsvLines(const QString& path) {
    return Normalized(QString::fromUtf8(ReadBytes(path)));
}

TEST_P(ExcelInteropTest, SsconvertReadsTheValues) {
    if (QStandardPaths::findExecutable(QStringLiteral("ssconvert")).isEmpty())
        GTEST_SKIP() << "ssconvert (gnumeric) is not installed";
    const QString path = WritePeople(dir_, GetParam(), QStringLiteral("people.xls"));
    const QString csv = dir_.filePath(QStringLiteral("people.csv"));
    const ProcessRun run =
        Execute(QStringLiteral("ssconvert"),
                {QStringLiteral("-T"), QStringLiteral("Gnumeric_stf:stf_csv"), path, csv});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(CsvLines(csv).join(QLatin1Char('\n')).toStdString(),
              Normalized(kPeopleCsv.join(QLatin1Char('\n'))).join(QLatin1Char('\n')).toStdString());
}

// The 1900 date system counts a 29 February 1900: dates of January and February 1900 have
// day numbers one less than the days since 30 December 1899, and dates before 1900 have
// none (they are written as text). ssconvert shows which dates it reads.
TEST_P(ExcelInteropTest, SsconvertReadsTheDatesAroundTheCalendarsFirstMonths) {
    if (QStandardPaths::findExecutable(QStringLiteral("ssconvert")).isEmpty())
        GTEST_SKIP() << "ssconvert (gnumeric) is not installed";
    const QString path = dir_.filePath(QStringLiteral("early.xls"));
    {
        auto db = OpenExcel(path, GetParam().Connect);
        CreateTable(*db, QStringLiteral("Early"), {{QStringLiteral("Day"), dbDate, 0}});
        auto rs = db->OpenRecordset(QStringLiteral("Early"));
        for (const QDate& date : {QDate(1900, 1, 1), QDate(1900, 2, 28), QDate(1900, 3, 1),
                                  QDate(1899, 12, 31), QDate(2024, 2, 29)})
            AddRow(*rs, {date});
        rs->Close();
        db->Close();
    }
    const QString csv = dir_.filePath(QStringLiteral("early.csv"));
    const ProcessRun run =
        Execute(QStringLiteral("ssconvert"),
                {QStringLiteral("-T"), QStringLiteral("Gnumeric_stf:stf_csv"), path, csv});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(CsvLines(csv), QStringList({"Day", "1900-01-01", "1900-02-28", "1900-03-01",
                                          "1899-12-31", "2024-02-29"}));
    // And our own reader gives the same dates back.
    auto db = OpenExcel(path, GetParam().Connect);
    auto rs = db->OpenRecordset(QStringLiteral("Early"));
    QStringList read;
    for (; !rs->Eof(); rs->MoveNext())
        read << rs->Fields().Item(0).Value().toDate().toString(Qt::ISODate);
    EXPECT_EQ(read,
              QStringList({"1900-01-01", "1900-02-28", "1900-03-01", "1899-12-31", "2024-02-29"}));
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExcelInteropTest, ::testing::ValuesIn(kExcelKinds),
                         [](const auto& info) {
                             return "Biff" + std::to_string(info.param.BiffVersion);
                         });

// LibreOffice headless: slow, so one conversion per test, Excel 97 and 5.0 only.
ProcessRun Soffice(const QTemporaryDir& dir, const QStringList& arguments) {
    QStringList all{
        QStringLiteral("--headless"), QStringLiteral("--norestore"),
        QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile"))};
    return Execute(QStringLiteral("soffice"), all + arguments, 240000);
}

class ExcelLibreOfficeTest : public ::testing::TestWithParam<ExcelKind> {
  protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    }
    QTemporaryDir dir_;
};

TEST_P(ExcelLibreOfficeTest, ReadsTheValues) {
    const QString path = WritePeople(dir_, GetParam(), QStringLiteral("people.xls"));
    const ProcessRun run =
        Soffice(dir_, {QStringLiteral("--convert-to"),
                       QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"),
                       QStringLiteral("--outdir"), dir_.filePath(QStringLiteral("out")), path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // LibreOffice keeps a Boolean cell as the number 1 or 0, shown so under a general format.
    QString expected = kPeopleCsv.join(QLatin1Char('\n'));
    expected.replace(QStringLiteral(",TRUE,"), QStringLiteral(",1,"))
        .replace(QStringLiteral(",FALSE,"), QStringLiteral(",0,"));
    EXPECT_EQ(CsvLines(dir_.filePath(QStringLiteral("out/people.csv")))
                  .join(QLatin1Char('\n'))
                  .toStdString(),
              Normalized(expected).join(QLatin1Char('\n')).toStdString());
}

// Workbooks LibreOffice writes ("MS Excel 97", "MS Excel 95") from the sample CSV.
TEST_P(ExcelLibreOfficeTest, WritesWhatWeRead) {
    if (GetParam().BiffVersion == 50)
        GTEST_SKIP() << "this LibreOffice writes no Excel 95 files; ssconvert's excel_biff7 "
                        "(ExcelSsconvertWriterTest) gives the BIFF5 file we read";
    const QString csv = dir_.filePath(QStringLiteral("sample.csv"));
    ASSERT_EQ(Execute(QStringLiteral("/usr/bin/python3"),
                      {kScripts + QStringLiteral("make_others.py"), csv})
                  .exitCode,
              0);
    const QString filter = GetParam().BiffVersion == 80 ? QStringLiteral("xls:MS Excel 97")
                                                        : QStringLiteral("xls:MS Excel 95");
    const ProcessRun run = Soffice(
        dir_, {QStringLiteral("--infilter=CSV:44,34,76,1"), QStringLiteral("--convert-to"), filter,
               QStringLiteral("--outdir"), dir_.filePath(QStringLiteral("out")), csv});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString path = dir_.filePath(QStringLiteral("out/sample.xls"));
    const QByteArray before = ReadBytes(path);
    auto db = OpenExcel(path, GetParam().Connect, true);
    ASSERT_EQ(db->TableDefs().Count(), 1);
    const TableDef& table = db->TableDefs().Item(0);
    EXPECT_EQ(table.Fields().Item(0).Type(), dbDouble);
    EXPECT_EQ(table.Fields().Item(1).Type(), dbText);
    EXPECT_EQ(table.Fields().Item(2).Type(), dbDate);
    EXPECT_EQ(table.Fields().Item(3).Type(), dbDouble);
    EXPECT_EQ(table.Fields().Item(4).Type(), dbBoolean);
    const QString check = GetParam().BiffVersion == 80 ? QStringLiteral("✓") : QStringLiteral("?");
    EXPECT_EQ(Rows(*db, table.Name()).join(QLatin1Char('\n')).toStdString(),
              (QStringList{QStringLiteral("1|Zoë|1970-03-01|2.5|true"),
                           QStringLiteral("2|O'Brien, Ann|1999-12-31|-7|false"),
                           QStringLiteral("3|Ünïcode %1|2024-02-29|1e+06|true").arg(check)})
                  .join(QLatin1Char('\n'))
                  .toStdString());
    db->Close();
    EXPECT_EQ(ReadBytes(path), before);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExcelLibreOfficeTest,
                         ::testing::Values(kExcelKinds[2], kExcelKinds[3]), [](const auto& info) {
                             return "Biff" + std::to_string(info.param.BiffVersion);
                         });

// Workbooks ssconvert writes (excel_biff7, excel_biff8) from the sample CSV. No program on
// this system writes BIFF3 or BIFF4, so those readers are tested on our own files only.
TEST(ExcelSsconvertWriterTest, WritesWhatWeRead) {
    if (QStandardPaths::findExecutable(QStringLiteral("ssconvert")).isEmpty())
        GTEST_SKIP() << "ssconvert (gnumeric) is not installed";
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("sample.csv"));
    ASSERT_EQ(Execute(QStringLiteral("/usr/bin/python3"),
                      {kScripts + QStringLiteral("make_others.py"), csv})
                  .exitCode,
              0);
    for (const auto& [exporter, connect] :
         {std::pair{"Gnumeric_Excel:excel_biff8", "Excel 97;"},
          std::pair{"Gnumeric_Excel:excel_biff7", "Excel 5.0;"}}) {
        const QString path = dir.filePath(QStringLiteral("%1.xls").arg(
            QString::fromLatin1(exporter).section(QLatin1Char(':'), 1)));
        const ProcessRun run =
            Execute(QStringLiteral("ssconvert"),
                    {QStringLiteral("-T"), QString::fromLatin1(exporter), csv, path});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        auto db = OpenExcel(path, connect, true);
        ASSERT_GE(db->TableDefs().Count(), 1);
        const TableDef& table = db->TableDefs().Item(0);
        EXPECT_EQ(table.Fields().Item(0).Type(), dbDouble) << exporter;
        EXPECT_EQ(table.Fields().Item(2).Type(), dbDate) << exporter;
        // BIFF7 text is in the Windows-1252 page, which has no check mark.
        const QString check = QString::fromLatin1(connect) == QLatin1String("Excel 97;")
                                  ? QStringLiteral("✓")
                                  : QStringLiteral("?");
        EXPECT_EQ(Rows(*db, table.Name()).join(QLatin1Char('\n')).toStdString(),
                  (QStringList{QStringLiteral("1|Zoë|1970-03-01|2.5|true"),
                               QStringLiteral("2|O'Brien, Ann|1999-12-31|-7|false"),
                               QStringLiteral("3|Ünïcode %1|2024-02-29|1e+06|true").arg(check)})
                      .join(QLatin1Char('\n'))
                      .toStdString())
            << exporter;
    }
}

}  // namespace
}  // namespace morvane::test
