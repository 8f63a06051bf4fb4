// Worksheet files across programs (label lotus-interop): every WK1 and WK3 file this
// engine writes is read by gnumeric's ssconvert, and files written by another program
// (SheetJS, kept as fixtures made by fixtures/make-sheetjs-fixtures.js) are read by the
// engine. Tests needing ssconvert skip when it is not installed.
#include "tests/data/lotus/LotusTestSupport.h"

#include <QProcess>
#include <QStandardPaths>

namespace morvane::test {
namespace {

QString FixtureDir() {
    return QStringLiteral(MORVANE_SOURCE_DIR "/tests/data/lotus/fixtures");
}

//! The sheet as ssconvert's CSV export gives it: `raw` values (dates as serial numbers) or
//! as shown with the cells' formats.
std::string SsconvertText(const QString& path, const QString& csv, bool raw);

QStringList SsconvertLines(const QString& path, const QString& csv, bool raw) {
    QProcess process;
    QStringList arguments;
    // The importer is named: gnumeric's format probe does not recognise revision 0x1000
    // (WK3) files, its Lotus importer reads them (warning "Unexpected version 1000").
    arguments << "-I"
              << "Gnumeric_lotus:lotus"
              << "--export-type=Gnumeric_stf:stf_assistant"
              << "-O"
              << (raw ? QStringLiteral("format=raw separator=,")
                      : QStringLiteral("format=preserve separator=,"))
              << path << csv;
    process.start(QStringLiteral("ssconvert"), arguments);
    process.waitForFinished(120000);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    QStringList lines = QString::fromUtf8(ReadBytes(csv)).split('\n');
    while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

//! The lines joined, for messages that show the text.
std::string SsconvertText(const QString& path, const QString& csv, bool raw) {
    return SsconvertLines(path, csv, raw).join('\n').toStdString();
}

class LotusInteropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("ssconvert").isEmpty())
            GTEST_SKIP() << "ssconvert (Debian package gnumeric) is not installed";
    }
    QTemporaryDir dir_;
};

TEST_F(LotusInteropTest, SsconvertReadsWhatWeWrite) {
    const std::vector<LotusField> fields = {
        {"Name", dbText, 30}, {"Price", dbDouble, 0}, {"Qty", dbLong, 0}, {"Active", dbBoolean, 0},
        {"Born", dbDate, 0},  {"Seen", dbDate, 0},    {"Note", dbMemo, 0}};
    // Not the euro sign: gnumeric's LMBCS tables have no character at group 3's 0x80,
    // where it is written (the engine reads it back: LotusDriverTest).
    const std::vector<std::vector<QVariant>> rows = {
        {QString::fromUtf8("Zoë Ærø Ω"), 12.5, 3, true, QDate(1999, 12, 31),
         QDateTime(QDate(2023, 3, 15), QTime(6, 0)), QStringLiteral("line")},
        {QVariant(), -0.25, -7, false, QDate(1900, 3, 1), QVariant(),
         QStringLiteral("O'Brien, \"quoted\"")},
    };
    // Numbers as numbers (Booleans 1/0), dates as serial numbers, Null as no cell.
    const QStringList raw = {
        "Name,Price,Qty,Active,Born,Seen,Note",
        QString::fromUtf8("\"Zoë Ærø Ω\",12.5,3,1,36525,45000.25,line"),
        ",-0.25,-7,0,61,,\"O'Brien, \"\"quoted\"\"\"",
    };
    for (const bool wk3 : {false, true}) {
        SCOPED_TRACE(wk3 ? "WK3" : "WK1");
        const QString path = dir_.filePath(wk3 ? "people.wk3" : "people.wk1");
        WriteLotusTable(path, wk3, "people", fields, rows);
        EXPECT_EQ(SsconvertText(path, dir_.filePath("raw.csv"), true),
                  raw.join('\n').toStdString());
        if (!wk3) {
            // WK1 dates carry a date format (the international MM/DD/YY): shown as dates.
            const QStringList shown = SsconvertLines(path, dir_.filePath("shown.csv"), false);
            ASSERT_EQ(shown.size(), 3);
            EXPECT_TRUE(shown[1].contains(",12/31/99,3/15/23,")) << qPrintable(shown[1]);
            EXPECT_TRUE(shown[2].contains(",3/1/00,")) << qPrintable(shown[2]);
        }
    }
}

TEST_F(LotusInteropTest, SsconvertReadsAFullSheet) {
    for (const bool wk3 : {false, true}) {
        SCOPED_TRACE(wk3 ? "WK3" : "WK1");
        const QString path = dir_.filePath(wk3 ? "full.wk3" : "full.wk1");
        auto db = OpenLotus(path, wk3);
        auto table = db->CreateTableDef("full");
        table->Fields().Append(table->CreateField("n", dbLong));
        db->TableDefs().Append(table);
        auto rs = db->OpenRecordset("full");
        for (int n = 1; n <= 8192; ++n) {
            rs->AddNew();
            rs->Fields().Item(0).SetValue(n);
            if (ErrorNumberOf([&] { rs->Update(); }) != 0) rs->CancelUpdate();
        }
        rs->Close();
        db->Close();
        const QStringList lines = SsconvertLines(path, dir_.filePath("full.csv"), true);
        ASSERT_EQ(lines.size(), 8192) << "the names and the 8,191 records before the limit";
        EXPECT_EQ(lines.last(), "8191");
    }
}

TEST(LotusOtherWriters, SheetJsFilesExportToText) {
    for (const char* name : {"people-sheetjs.wk1", "people-sheetjs.wk3"}) {
        SCOPED_TRACE(name);
        const QString path = FixtureDir() + "/" + name;
        const QByteArray before = ReadBytes(path);
        auto db = OpenLotus(path, QString(name).endsWith("wk3"), true);
        ASSERT_EQ(db->TableDefs().Count(), 1);
        EXPECT_EQ(db->TableDefs().Item(0).Name(), "people-sheetjs");
        auto rs = db->OpenRecordset("people-sheetjs");
        const short types[] = {dbText, dbDouble, dbDouble};
        for (int column = 0; column < 3; ++column) {
            EXPECT_EQ(rs->Fields().Item(column).Name(),
                      QStringList({"Name", "Qty", "Price"})[column]);
            EXPECT_EQ(rs->Fields().Item(column).Type(), types[column]);
        }
        db->Close();
        EXPECT_EQ(ReadLotusTable(path, false),
                  (std::vector<std::vector<QVariant>>{
                      {"Ann", 1.0, 2.5}, {"Bob", QVariant(), -3.0}, {"Cy", 42.0, 1000000.0}}));
        EXPECT_EQ(ReadBytes(path), before);
    }
}

}  // namespace
}  // namespace morvane::test
