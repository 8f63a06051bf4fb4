// The Excel drivers through the engine: values and types read back, sheets of a workbook
// kept when another is appended or dropped, the one-sheet formats, the row and column
// limits.
#include "tests/data/excel/ExcelTestSupport.h"

namespace morvane::test {
namespace {

class ExcelDriverTest : public ::testing::TestWithParam<ExcelKind> {
  protected:
    QString Path(const QString& name = QStringLiteral("book.xls")) { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

// Every kind of value written and read back: the field types come from the cells.
TEST_P(ExcelDriverTest, ValuesAndTypesRoundTrip) {
    const ExcelKind kind = GetParam();
    {
        auto db = OpenExcel(Path(), kind.Connect);
        EXPECT_EQ(db->TableDefs().Count(), 0) << "a missing file is an empty workbook";
        EXPECT_FALSE(QFile::exists(Path())) << "opening creates nothing";
        CreateTable(*db, QStringLiteral("People"),
                    {{QStringLiteral("Id"), dbLong, 0},
                     {QStringLiteral("Name"), dbText, 40},
                     {QStringLiteral("Born"), dbDate, 0},
                     {QStringLiteral("Seen"), dbDate, 0},
                     {QStringLiteral("Active"), dbBoolean, 0},
                     {QStringLiteral("Score"), dbDouble, 0}});
        auto rs = db->OpenRecordset(QStringLiteral("People"));
        AddRow(*rs, {1, QStringLiteral("Zoë O'Brien, \"Jr\""), QDate(1970, 3, 1),
                     QDateTime(QDate(2020, 12, 31), QTime(23, 59, 58)), true, 2.5});
        AddRow(*rs, {2, QStringLiteral("Ann"), QDate(1900, 2, 28),
                     QDateTime(QDate(2001, 1, 1), QTime(6, 0)), false, -1e10});
        AddRow(*rs, {3, QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
        AddRow(*rs, {4, QStringLiteral("Dee"), QDate(2024, 2, 29),
                     QDateTime(QDate(2024, 2, 29), QTime(12, 0, 1)), true, 0.1});
        db->Close();
    }
    auto db = OpenExcel(Path(), kind.Connect, true);
    ASSERT_EQ(db->TableDefs().Count(), 1);
    const TableDef& table = db->TableDefs().Item(0);
    EXPECT_EQ(table.Attributes(), 0);
    const struct {
        const char* name;
        short type;
    } expected[] = {{"Id", dbDouble}, {"Name", dbText},      {"Born", dbDate},
                    {"Seen", dbDate}, {"Active", dbBoolean}, {"Score", dbDouble}};
    ASSERT_EQ(table.Fields().Count(), 6);
    for (int index = 0; index < 6; ++index) {
        EXPECT_EQ(table.Fields().Item(index).Name(), QString::fromLatin1(expected[index].name));
        EXPECT_EQ(table.Fields().Item(index).Type(), expected[index].type) << expected[index].name;
    }
    EXPECT_EQ(table.Fields().Item(1).Size(), 255);
    const QString name =
        (kind.BiffVersion <= 40) ? QStringLiteral("book") : QStringLiteral("People");
    EXPECT_EQ(table.Name(), name);
    EXPECT_EQ(Rows(*db, name).join(QLatin1Char('\n')).toStdString(),
              (QStringList{QStringLiteral(
                               "1|Zoë O'Brien, \"Jr\"|1970-03-01|2020-12-31T23:59:58.000|true|2.5"),
                           QStringLiteral("2|Ann|1900-02-28|2001-01-01T06:00:00.000|false|-1e+10"),
                           QStringLiteral("3|~|~|~|~|~"),
                           QStringLiteral("4|Dee|2024-02-29|2024-02-29T12:00:01.000|true|0.1")})
                  .join(QLatin1Char('\n'))
                  .toStdString());
    auto rs = db->OpenRecordset(name);
    EXPECT_EQ(rs->RecordCount(), 4) << "table type: exact at once";
}

// Appending and dropping sheets keeps the other sheets and their contents.
TEST_P(ExcelDriverTest, SheetsOfAWorkbook) {
    const ExcelKind kind = GetParam();
    const bool oneSheet = (kind.BiffVersion <= 40);
    auto db = OpenExcel(Path(), kind.Connect);
    CreateTable(*db, QStringLiteral("First"), {{QStringLiteral("A"), dbText, 10}});
    {
        auto rs = db->OpenRecordset(QStringLiteral("First"));
        AddRow(*rs, {QStringLiteral("one")});
        AddRow(*rs, {QStringLiteral("two")});
    }
    EXPECT_EQ(ErrorOf([&] {
                  CreateTable(*db, QStringLiteral("FIRST"), {{QStringLiteral("B"), dbText, 5}});
              }),
              ErrTableExists);
    if (oneSheet) {
        // A second table: 3010 under its name, nothing written; Delete then replaces the
        // file's one sheet (the export's overwrite question in between).
        const QByteArray before = (db->Close(), ReadBytes(Path()));
        db = OpenExcel(Path(), kind.Connect);
        EXPECT_EQ(
            ErrorOf([&] {
                CreateTable(*db, QStringLiteral("Second"), {{QStringLiteral("B"), dbLong, 0}});
            }),
            ErrTableExists);
        EXPECT_EQ(ReadBytes(Path()), before) << "refusing wrote nothing";
        EXPECT_EQ(db->TableDefs().Item(0).Name(), QStringLiteral("Second"));
        db->TableDefs().Delete(QStringLiteral("Second"));
        CreateTable(*db, QStringLiteral("Second"), {{QStringLiteral("B"), dbLong, 0}});
        {
            auto rs = db->OpenRecordset(QStringLiteral("Second"));
            AddRow(*rs, {7});
        }
        db->Close();
        db = OpenExcel(Path(), kind.Connect);
        ASSERT_EQ(db->TableDefs().Count(), 1);
        EXPECT_EQ(Rows(*db, QStringLiteral("book")), QStringList{QStringLiteral("7")});
        return;
    }
    CreateTable(*db, QStringLiteral("Second"), {{QStringLiteral("B"), dbLong, 0}});
    {
        auto rs = db->OpenRecordset(QStringLiteral("Second"));
        AddRow(*rs, {7});
    }
    db->Close();
    db = OpenExcel(Path(), kind.Connect);
    CreateTable(*db, QStringLiteral("Third"), {{QStringLiteral("C"), dbBoolean, 0}});
    db->TableDefs().Delete(QStringLiteral("Second"));
    db->Close();
    db = OpenExcel(Path(), kind.Connect);
    ASSERT_EQ(db->TableDefs().Count(), 2);
    EXPECT_EQ(db->TableDefs().Item(0).Name(), QStringLiteral("First"));
    EXPECT_EQ(db->TableDefs().Item(1).Name(), QStringLiteral("Third"));
    EXPECT_EQ(Rows(*db, QStringLiteral("First")),
              (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_EQ(Rows(*db, QStringLiteral("Third")), QStringList());
}

// The record past the row limit fails naming the limit; the file keeps every row before.
TEST_P(ExcelDriverTest, RowLimit) {
    const ExcelKind kind = GetParam();
    const int limit = kind.BiffVersion == 80 ? 65536 : 16384;
    auto db = OpenExcel(Path(), kind.Connect);
    CreateTable(*db, QStringLiteral("Big"), {{QStringLiteral("N"), dbLong, 0}});
    auto rs = db->OpenRecordset(QStringLiteral("Big"));
    for (int row = 1; row < limit; ++row) AddRow(*rs, {row});
    try {
        AddRow(*rs, {limit});
        FAIL() << "no error at the row limit";
    } catch (const EngineError& error) {
        EXPECT_EQ(error.Number(), ErrNotSupported);
        EXPECT_TRUE(error.Description().contains(QLocale::c().toString(limit)))
            << error.Description().toStdString();
    }
    rs->Close();
    db->Close();
    auto again = OpenExcel(Path(), kind.Connect, true);
    auto read = again->OpenRecordset(again->TableDefs().Item(0).Name());
    read->MoveLast();
    EXPECT_EQ(read->RecordCount(), limit - 1);
    EXPECT_EQ(read->Fields().Item(0).Value().toInt(), limit - 1);
}

TEST_P(ExcelDriverTest, ColumnLimitAndSheetNames) {
    auto db = OpenExcel(Path(), GetParam().Connect);
    auto wide = db->CreateTableDef(QStringLiteral("Wide"));
    for (int column = 0; column < 257; ++column)
        wide->Fields().Append(wide->CreateField(QStringLiteral("C%1").arg(column), dbLong));
    try {
        db->TableDefs().Append(wide);
        FAIL() << "257 columns accepted";
    } catch (const EngineError& error) {
        EXPECT_EQ(error.Number(), ErrNotSupported);
        EXPECT_TRUE(error.Description().contains(QStringLiteral("256 columns")));
    }
    EXPECT_EQ(ErrorOf([&] {
                  CreateTable(*db, QStringLiteral("a/b"), {{QStringLiteral("x"), dbLong, 0}});
              }),
              ErrNotSupported);
    EXPECT_FALSE(QFile::exists(Path())) << "nothing was written";
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExcelDriverTest, ::testing::ValuesIn(kExcelKinds),
                         [](const auto& info) {
                             return "Biff" + std::to_string(info.param.BiffVersion);
                         });

// Empty rows between records are records (all Null); empty rows at the end are not.
TEST(ExcelLayoutTest, EmptyRowsBetweenAndAtTheEnd) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gaps.xls"));
    auto db = OpenExcel(path, "Excel 97;");
    CreateTable(*db, QStringLiteral("Gaps"),
                {{QStringLiteral("Num"), dbDouble, 0}, {QStringLiteral("Txt"), dbText, 20}});
    auto rs = db->OpenRecordset(QStringLiteral("Gaps"));
    AddRow(*rs, {1, QStringLiteral("a")});
    AddRow(*rs, {QVariant(), QVariant()});
    AddRow(*rs, {3, QVariant()});
    AddRow(*rs, {QVariant(), QVariant()});
    AddRow(*rs, {QVariant(), QVariant()});
    rs->Close();
    db->Close();
    db = OpenExcel(path, "Excel 97;", true);
    EXPECT_EQ(Rows(*db, QStringLiteral("Gaps")),
              (QStringList{QStringLiteral("1|a"), QStringLiteral("~|~"), QStringLiteral("3|~")}));
    rs = db->OpenRecordset(QStringLiteral("Gaps"));
    EXPECT_EQ(rs->RecordCount(), 3);
}

}  // namespace
}  // namespace morvane::test
