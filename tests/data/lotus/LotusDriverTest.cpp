// The Lotus WK1 and WK3 drivers through the engine: what is written reads back with the
// expected types and values, the one-sheet rules, the row and column limits, and damaged
// files (engine errors naming the file, the file left as it was).
#include "export/data/lotus/LotusFormat.h"
#include "tests/data/lotus/LotusTestSupport.h"

#include <cmath>

namespace morvane::test {
namespace {

class LotusDriverTest : public ::testing::Test {
  protected:
    QString PathOf(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

const std::vector<LotusField> kPeopleFields = {
    {"Name", dbText, 30}, {"Price", dbDouble, 0}, {"Qty", dbLong, 0},  {"Active", dbBoolean, 0},
    {"Born", dbDate, 0},  {"Seen", dbDate, 0},    {"Note", dbMemo, 0},
};

std::vector<std::vector<QVariant>> PeopleRows() {
    return {
        {QString::fromUtf8("Zoë Ærø € Ω"), 12.5, 3, true, QDate(1999, 12, 31),
         QDateTime(QDate(2023, 3, 15), QTime(6, 0)), QStringLiteral("line")},
        {QVariant(), -0.1, -7, false, QDate(1900, 1, 1), QVariant(),
         QStringLiteral("O'Brien, \"quoted\"")},
        {QString(), 1e300, 2147483647, QVariant(), QVariant(),
         QDateTime(QDate(2000, 2, 29), QTime(23, 59, 59)), QVariant()},
    };
}

TEST_F(LotusDriverTest, WrittenTablesReadBackWithTypesAndValues) {
    for (const bool wk3 : {false, true}) {
        SCOPED_TRACE(wk3 ? "WK3" : "WK1");
        const QString path = PathOf(wk3 ? "people.wk3" : "people.wk1");
        WriteLotusTable(path, wk3, "people", kPeopleFields, PeopleRows());

        auto db = OpenLotus(path, wk3, true);
        ASSERT_EQ(db->TableDefs().Count(), 1);
        EXPECT_EQ(db->TableDefs().Item(0).Name(), QStringLiteral("people"));
        auto rs = db->OpenRecordset("people");
        // WK3 keeps number formats outside the cell records, so its dates read as numbers.
        const short dateType = wk3 ? dbDouble : dbDate;
        const short types[] = {dbText, dbDouble, dbDouble, dbDouble, dateType, dateType, dbText};
        ASSERT_EQ(rs->Fields().Count(), 7);
        for (int column = 0; column < 7; ++column) {
            EXPECT_EQ(rs->Fields().Item(column).Name(), kPeopleFields[column].Name);
            EXPECT_EQ(rs->Fields().Item(column).Type(), types[column]) << column;
        }
        rs->MoveLast();
        EXPECT_EQ(rs->RecordCount(), 3);
        rs->MoveFirst();
        const double lateSerial = 36585 + 86399.0 / 86400;
        const std::vector<std::vector<QVariant>> expected = {
            {QString::fromUtf8("Zoë Ærø € Ω"), 12.5, 3.0, 1.0,
             wk3 ? QVariant(36525.0) : QVariant(QDate(1999, 12, 31)),
             wk3 ? QVariant(45000.25) : QVariant(QDateTime(QDate(2023, 3, 15), QTime(6, 0))),
             QStringLiteral("line")},
            {QVariant(), -0.1, -7.0, 0.0, wk3 ? QVariant(1.0) : QVariant(QDate(1900, 1, 1)),
             QVariant(), QStringLiteral("O'Brien, \"quoted\"")},
            // An empty text is no cell: it reads as Null.
            {QVariant(), 1e300, 2147483647.0, QVariant(), QVariant(),
             wk3 ? QVariant(lateSerial)
                 : QVariant(QDateTime(QDate(2000, 2, 29), QTime(23, 59, 59))),
             QVariant()},
        };
        for (const auto& row : expected) {
            ASSERT_FALSE(rs->Eof());
            for (int column = 0; column < 7; ++column) {
                const QVariant value = rs->Fields().Item(column).Value();
                if (row[column].metaType().id() == QMetaType::Double && !row[column].isNull())
                    EXPECT_NEAR(value.toDouble(), row[column].toDouble(),
                                std::fabs(row[column].toDouble()) * 1e-12)
                        << column;
                else
                    EXPECT_EQ(value, row[column]) << column;
            }
            rs->MoveNext();
        }
        EXPECT_TRUE(rs->Eof());
        db->Close();
    }
}

TEST_F(LotusDriverTest, MissingFileOpensEmptyAndAppendingCreatesIt) {
    const QString path = PathOf("new.wk1");
    auto db = OpenLotus(path, false);
    EXPECT_EQ(db->TableDefs().Count(), 0);
    EXPECT_EQ(ErrorNumberOf([&] { db->OpenRecordset("new"); }), ErrInputTableNotFound);
    auto table = db->CreateTableDef("Orders");
    table->Fields().Append(table->CreateField("Id", dbLong));
    db->TableDefs().Append(table);
    EXPECT_EQ(db->TableDefs().Count(), 1);
    auto rs = db->OpenRecordset("Orders");
    rs->AddNew();
    rs->Fields().Item(0).SetValue(7);
    rs->Update();
    EXPECT_FALSE(QFile::exists(path)) << "the file is put in place when writing finishes";
    rs->Close();
    EXPECT_TRUE(QFile::exists(path));
    db->Close();
    // Opened again, the table is named after the file.
    auto again = OpenLotus(path, false, true);
    ASSERT_EQ(again->TableDefs().Count(), 1);
    EXPECT_EQ(again->TableDefs().Item(0).Name(), QStringLiteral("new"));
    EXPECT_EQ(ReadLotusTable(path, false), (std::vector<std::vector<QVariant>>{{7.0}}));
}

TEST_F(LotusDriverTest, OneSheetPerFile) {
    const QString path = PathOf("sales.wk3");
    WriteLotusTable(path, true, "sales", {{"Id", dbLong, 0}}, {{1}, {2}});
    const QByteArray before = ReadBytes(path);
    auto db = OpenLotus(path, true);
    struct Case {
        const char* name;
        const char* reported;  //!< the table the 3010 names: the one there for another name
    };
    for (const Case& item : {Case{"SALES", "SALES"}, Case{"Other", "sales"}}) {
        auto table = db->CreateTableDef(item.name);
        table->Fields().Append(table->CreateField("x", dbText, 5));
        try {
            db->TableDefs().Append(table);
            ADD_FAILURE() << item.name << " was appended";
        } catch (const EngineError& error) {
            EXPECT_EQ(error.Number(), ErrTableExists) << item.name;
            EXPECT_TRUE(error.Description().contains(item.reported))
                << qPrintable(error.Description());
        }
    }
    EXPECT_EQ(ReadBytes(path), before) << "refused appends leave the file alone";
    // The overwrite path: delete the sheet (the file goes), append again.
    db->TableDefs().Delete("sales");
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(db->TableDefs().Count(), 0);
    auto table = db->CreateTableDef("Other");
    table->Fields().Append(table->CreateField("x", dbText, 5));
    db->TableDefs().Append(table);
    auto rs = db->OpenRecordset("Other");
    rs->AddNew();
    rs->Fields().Item(0).SetValue("new");
    rs->Update();
    db->Close();
    EXPECT_EQ(ReadLotusTable(path, true),
              (std::vector<std::vector<QVariant>>{{QStringLiteral("new")}}));
}

TEST_F(LotusDriverTest, RowLimitFailsTheRecordAndKeepsTheFile) {
    for (const bool wk3 : {false, true}) {
        SCOPED_TRACE(wk3 ? "WK3" : "WK1");
        const QString path = PathOf(wk3 ? "full.wk3" : "full.wk1");
        auto db = OpenLotus(path, wk3);
        auto table = db->CreateTableDef("full");
        table->Fields().Append(table->CreateField("n", dbLong));
        db->TableDefs().Append(table);
        auto rs = db->OpenRecordset("full");
        int error = 0;
        int stored = 0;
        for (int n = 1; n <= 8200 && error == 0; ++n) {
            rs->AddNew();
            rs->Fields().Item(0).SetValue(n);
            error = ErrorNumberOf([&] { rs->Update(); });
            if (error == 0) ++stored;
        }
        EXPECT_EQ(error, ErrNotSupported);
        EXPECT_EQ(stored, 8191) << "8,192 rows: the field names and 8,191 records";
        try {
            rs->Update();
        } catch (const EngineError& failure) {
            EXPECT_TRUE(failure.Description().contains("8192"))
                << qPrintable(failure.Description());
            EXPECT_TRUE(failure.Description().contains(path));
        }
        rs->CancelUpdate();
        rs->Close();
        db->Close();
        const auto rows = ReadLotusTable(path, wk3);
        ASSERT_EQ(rows.size(), 8191u);
        EXPECT_EQ(rows.back()[0].toDouble(), 8191.0);
    }
}

TEST_F(LotusDriverTest, ColumnLimitRefusesTheTable) {
    const QString path = PathOf("wide.wk1");
    auto db = OpenLotus(path, false);
    auto table = db->CreateTableDef("wide");
    for (int column = 0; column < 257; ++column)
        table->Fields().Append(table->CreateField(QStringLiteral("c%1").arg(column), dbLong));
    EXPECT_EQ(ErrorNumberOf([&] { db->TableDefs().Append(table); }), ErrNotSupported);
    db->Close();
    EXPECT_FALSE(QFile::exists(path));
}

// A WK1 file made record by record, as another writer might: cells column by column,
// blank cells, a formula with a text value, an empty row inside and empty rows at the end.
TEST_F(LotusDriverTest, ReadsCellsInAnyOrderAndSkipsTrailingEmptyRows) {
    const auto place = [](int fmt, int col, int row) {
        QByteArray body;
        body.append(char(fmt));
        LotusPutU16(body, quint16(col));
        LotusPutU16(body, quint16(row));
        return body;
    };
    const auto label = [&](int col, int row, const char* text) {
        return LotusRecordBytes(0x0F, place(0xFF, col, row) + "'" + text + QByteArray(1, '\0'));
    };
    const auto integer = [&](int col, int row, qint16 value, int fmt = 0xFF) {
        QByteArray body = place(fmt, col, row);
        LotusPutU16(body, quint16(value));
        return LotusRecordBytes(0x0D, body);
    };
    QByteArray bof;
    LotusPutU16(bof, 0x0406);
    QByteArray file = LotusRecordBytes(0x00, bof);
    // Column A (names, then one text), column B (numbers and a date-formatted number).
    file += label(0, 0, "Who") + label(0, 1, "ann") + label(0, 3, "cy");
    file += LotusRecordBytes(0x0C, place(0xFF, 0, 6));  // blank rows at the end
    file += label(1, 0, "When") + integer(1, 1, 25569, 0x79) + integer(1, 3, 1, 0x79);
    file += label(1, 7, "");  // an empty label is no value
    file += LotusRecordBytes(0x01, {});
    const QString path = WriteBytes(PathOf("order.wk1"), file);
    auto db = OpenLotus(path, false, true);
    auto rs = db->OpenRecordset("order");
    EXPECT_EQ(rs->Fields().Item(1).Type(), dbDate);
    EXPECT_EQ(rs->RecordCount(), 3) << "rows 2 to 4; the blank rows after them are not records";
    EXPECT_EQ(ReadLotusTable(path, false),
              (std::vector<std::vector<QVariant>>{{QStringLiteral("ann"), QDate(1970, 1, 1)},
                                                  {QVariant(), QVariant()},
                                                  {QStringLiteral("cy"), QDate(1900, 1, 1)}}));
}

TEST_F(LotusDriverTest, DamagedFilesRaiseErrorsNamingTheFile) {
    const QString good = PathOf("good.wk1");
    WriteLotusTable(good, false, "good", {{"Name", dbText, 10}}, {{"a"}, {"b"}});
    const QByteArray original = ReadBytes(good);
    QByteArray wideCell = original;
    // The first label's column (after BOF 6, RANGE 12, COLW 7 bytes, record header, fmt).
    const int labelColumn = 6 + 12 + 7 + 4 + 1;
    wideCell[labelColumn] = char(0x2C);
    wideCell[labelColumn + 1] = char(0x01);  // column 300
    QByteArray longRecord = original;
    longRecord[6 + 2] = char(0xFF);  // the RANGE record claims 0x00FF bytes
    QByteArray shortCell = original;
    shortCell[6 + 12 + 7 + 2] = char(3);  // a label of 3 bytes cannot hold its place
    shortCell[6 + 12 + 7 + 3] = char(0);
    QByteArray revision = original;
    revision[4] = char(0x99);
    struct Case {
        const char* name;
        QByteArray bytes;
        int error;
    };
    const Case cases[] = {
        {"cut inside a record", original.left(original.size() - 9), ErrCorruptDatabase},
        {"cut before its end record", original.left(original.size() - 4), ErrCorruptDatabase},
        {"a record longer than the file", longRecord, ErrCorruptDatabase},
        {"a cell record too short", shortCell, ErrCorruptDatabase},
        {"a cell past the last column", wideCell, ErrCorruptDatabase},
        {"an unknown revision", revision, ErrUnrecognizedFormat},
        {"no worksheet at all", QByteArray("SQLite format 3\0 and more", 25),
         ErrUnrecognizedFormat},
    };
    for (const Case& item : cases) {
        SCOPED_TRACE(item.name);
        const QString path =
            WriteBytes(PathOf(QStringLiteral("bad %1.wk1").arg(item.name)), item.bytes);
        try {
            OpenLotus(path, false);
            ADD_FAILURE() << "opened";
        } catch (const EngineError& error) {
            EXPECT_EQ(error.Number(), item.error);
            EXPECT_TRUE(error.Description().contains(path)) << qPrintable(error.Description());
        }
        EXPECT_EQ(ReadBytes(path), item.bytes) << "reading never writes";
    }
}

TEST_F(LotusDriverTest, NumberEncodings) {
    for (const double value : {0.0, 1.0, -1.0, 0.1, -123456.789, 1e300, 5e-324, 36525.25}) {
        const QByteArray bytes = LotusEncodeExtended(value);
        ASSERT_EQ(bytes.size(), 10);
        EXPECT_EQ(LotusDecodeExtended(reinterpret_cast<const uchar*>(bytes.constData())), value);
    }
    // 1.0 is mantissa 0x8000000000000000 and exponent 0x3FFF.
    EXPECT_EQ(LotusEncodeExtended(1.0).toHex(), QByteArray("0000000000000080ff3f"));
    struct Small {
        qint16 packed;
        double value;
    };
    const Small smalls[] = {{2, 1},
                            {-2, -1},
                            {(3 << 4) | 1, 15000},
                            {(3 << 4) | (1 << 1) | 1, 1500},
                            {(5 << 4) | (2 << 1) | 1, 0.25},
                            {-8 * 16 + (6 << 1) + 1, -0.5}};
    for (const Small& small : smalls)
        EXPECT_EQ(LotusDecodeSmallNumber(small.packed), small.value) << small.packed;
    struct Serial {
        QVariant value;
        double serial;
    };
    const Serial serials[] = {
        {QDate(1900, 1, 1), 1},  {QDate(1900, 2, 28), 59},
        {QDate(1900, 3, 1), 61}, {QDateTime(QDate(2023, 3, 15), QTime(6, 0)), 45000.25},
        {QTime(18, 0), 0.75},
    };
    for (const Serial& item : serials) {
        double serial = -1;
        ASSERT_TRUE(LotusSerialOf(item.value, serial));
        EXPECT_DOUBLE_EQ(serial, item.serial);
        const bool time = item.value.metaType().id() == QMetaType::QTime;
        EXPECT_EQ(LotusDateOf(item.serial, time), item.value);
    }
    double serial = 0;
    EXPECT_FALSE(LotusSerialOf(QDate(1899, 12, 31), serial)) << "before the worksheet calendar";
}

}  // namespace
}  // namespace morvane::test
