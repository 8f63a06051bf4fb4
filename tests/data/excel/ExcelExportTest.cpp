// The People-style table exported by morvane-batch to each Excel kind (16 to 19): the file
// is of the version the kind names and xlrd reads the expected cells; exporting again with
// --overwrite replaces the sheet instead of adding one (label excel-interop).
#include "tests/data/excel/ExcelTestSupport.h"

namespace morvane::test {
namespace {

QString RunProgram(const QString& program, const QStringList& arguments, int* exitCode) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.waitForFinished(120000);
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

TEST(ExcelExportTest, BatchExportToEachKind) {
    int code = 0;
    RunProgram(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral("-c"), QStringLiteral("import xlrd")}, &code);
    if (code != 0) GTEST_SKIP() << "python3-xlrd is not installed";
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.db"));
    {
        auto db = DBEngine::Instance().CreateDatabase(
            source, QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0"), 32);
        db->Execute(QString::fromUtf8(
            "CREATE TABLE People (id INTEGER, name VARCHAR(40), amount DOUBLE, born DATETIME, "
            "active BOOLEAN);"
            "INSERT INTO People VALUES (1, 'Zoë Crème', 1234.5, '1999-12-31 15:04:05', 1);"
            "INSERT INTO People VALUES (2, NULL, -7, '2024-02-09', 0);"
            "INSERT INTO People VALUES (3, NULL, NULL, '1850-06-01 12:30:00', NULL);"));
        db->Close();
    }
    const QStringList expected = {
        QStringLiteral("0 0 text id bold"),
        QStringLiteral("0 1 text name bold"),
        QStringLiteral("0 2 text amount bold"),
        QStringLiteral("0 3 text born bold"),
        QStringLiteral("0 4 text active bold"),
        QStringLiteral("1 0 number 1.0"),
        QStringLiteral("1 1 text Zoë Crème"),
        QStringLiteral("1 2 number 1234.5"),
        QStringLiteral("1 3 date 1999-12-31 15:04:05"),
        QStringLiteral("1 4 bool True"),
        QStringLiteral("2 0 number 2.0"),
        QStringLiteral("2 2 number -7.0"),
        QStringLiteral("2 3 date 2024-02-09 00:00:00"),
        QStringLiteral("2 4 bool False"),
        // Before the worksheet calendar: the date-time's text, the same as the
        // field-by-field route writes (no time zone mark).
        QStringLiteral("3 0 number 3.0"),
        QStringLiteral("3 3 text 1850-06-01T12:30:00.000"),
    };
    for (int kind = 16; kind <= 19; ++kind) {
        const ExcelKind& excel = kExcelKinds[kind - 16];
        const QString ini = dir.filePath(QStringLiteral("settings%1.ini").arg(kind));
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            QStringLiteral("[settings]\r\nCopy=\r\n\r\n[Copy]\r\nTypeFormat=%1\r\nNbFields=5\r\n"
                           "Field0=id\r\nField1=name\r\nField2=amount\r\nField3=born\r\n"
                           "Field4=active\r\n")
                .arg(kind)
                .toLatin1());
        file.close();
        const QString out = dir.filePath(QStringLiteral("people%1.xls").arg(kind));
        const QStringList arguments = {"--database", source,      "--table", "People", "--out",
                                       out,          "--setting", "Copy",    "--ini",  ini};
        for (const QStringList& extra : {QStringList(), QStringList{"--overwrite"}}) {
            const QString output =
                RunProgram(QStringLiteral(MORVANE_BATCH_TOOL), arguments + extra, &code);
            ASSERT_EQ(code, 0) << kind << " " << output.toStdString();
            const QString dump = RunProgram(
                QStringLiteral("/usr/bin/python3"),
                {QStringLiteral(MORVANE_SOURCE_DIR "/tests/data/excel/xlrd_dump.py"), out}, &code);
            ASSERT_EQ(code, 0) << dump.toStdString();
            QStringList lines = dump.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            ASSERT_GE(lines.size(), 2) << dump.toStdString();
            EXPECT_EQ(lines.takeFirst(), QStringLiteral("biff %1").arg(excel.BiffVersion)) << kind;
            const QString sheet = lines.takeFirst();
            if (excel.BiffVersion >= 50) {
                EXPECT_EQ(sheet, QStringLiteral("sheet People")) << kind;
            }
            EXPECT_EQ(lines.join(QLatin1Char('\n')).toStdString(),
                      expected.join(QLatin1Char('\n')).toStdString())
                << kind << (extra.isEmpty() ? "" : " --overwrite");
        }
    }
}

}  // namespace
}  // namespace morvane::test
