// The Paradox driver: the contract at each written level, the folder rules, the values each
// level keeps, memos, names, limits and damaged files.
#include "export/data/paradox/ParadoxLayout.h"
#include "tests/data/DriverContract.h"
#include "tests/data/paradox/ParadoxTestSupport.h"

#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDateTime>
#include <QUuid>

namespace morvane::test {
namespace {

// ---------------------------------------------------------------------------------------
// The driver contract, once per level we write.

template <int Level>
struct ParadoxHarness {
    static constexpr bool kWritable = true;
    // Levels 3 and 4 have no long integer: Long is written as a Number (reads as Double).
    static constexpr short kIdType = Level >= 5 ? dbLong : dbDouble;
    QTemporaryDir dir;
    QString folder;
    int made = 0;

    std::shared_ptr<Database> CreateWithTable(int rows) {
        folder = dir.filePath(QStringLiteral("contract%1").arg(++made));
        QDir().mkpath(folder);
        auto db = OpenParadox(folder, Level);
        std::vector<std::vector<QVariant>> values;
        for (int id = 1; id <= rows; ++id) values.push_back({id, QStringLiteral("N%1").arg(id)});
        MakeTable(*db, QStringLiteral("Nav"), {{"Id", dbLong, 0}, {"Name", dbText, 20}}, values);
        db->Close();
        return OpenParadox(folder, Level);
    }
    std::shared_ptr<Database> OpenReadOnly() { return OpenParadox(folder, Level, true); }
};

using ParadoxLevels = ::testing::Types<ParadoxHarness<3>, ParadoxHarness<4>, ParadoxHarness<5>>;
INSTANTIATE_TYPED_TEST_SUITE_P(Paradox, DriverContract, ParadoxLevels);

class ParadoxTest : public ::testing::Test {
  protected:
    QString Folder() const { return dir_.path(); }
    std::shared_ptr<Database> Open(int level = 5) { return OpenParadox(Folder(), level); }
    QString PathOf(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

// The contract's moves and writes at levels 3 and 4 (Long reads back as Double there).
TEST_F(ParadoxTest, NavigationAndAppendAtLevels3And4) {
    for (int level : {3, 4}) {
        const QString sub = PathOf(QStringLiteral("level%1").arg(level));
        QDir().mkpath(sub);
        auto db = OpenParadox(sub, level);
        std::vector<std::vector<QVariant>> rows;
        for (int id = 1; id <= 1000; ++id) rows.push_back({id, QStringLiteral("N%1").arg(id)});
        MakeTable(*db, QStringLiteral("Nav"), {{"Id", dbLong, 0}, {"Name", dbText, 20}}, rows);
        auto rs = db->OpenRecordset(QStringLiteral("Nav"));
        EXPECT_EQ(rs->RecordCount(), 1000) << level;
        rs->Move(700);
        EXPECT_EQ(rs->Fields().Item(0).Value().toInt(), 701) << level;
        rs->Move(-650);
        EXPECT_EQ(rs->Fields().Item(1).Value().toString(), QStringLiteral("N51")) << level;
        rs->MoveLast();
        EXPECT_EQ(rs->Fields().Item(0).Value().toInt(), 1000) << level;
        rs->AddNew();
        rs->Fields().Item(0).SetValue(1001);
        rs->Update();
        EXPECT_EQ(rs->RecordCount(), 1001) << level;
        rs->MoveLast();
        EXPECT_EQ(rs->Fields().Item(0).Value().toInt(), 1001) << level;
        EXPECT_TRUE(rs->Fields().Item(1).Value().isNull()) << level;
        EXPECT_EQ(rs->Fields().Item(0).Type(), dbDouble) << level;
        db->Close();
    }
}

// ---------------------------------------------------------------------------------------
// Folder rules.

TEST_F(ParadoxTest, FolderTablesAndNames) {
    EXPECT_EQ(ErrorOf([&] { OpenParadox(PathOf("missing"), 5); }), ErrFileNotFoundEngine);
    for (const char* connect : {"PARADOX 3.X;", "paradox 4.x;pwd=;", " Paradox 5.x ;"})
        EXPECT_EQ(ErrorOf([&] {
                      DBEngine::Instance().OpenDatabase(Folder(), 0, false,
                                                        QString::fromLatin1(connect));
                  }),
                  0)
            << connect;
    auto db = Open();
    for (const char* name : {"beta", "Alpha", "gamma.DB"})
        MakeTable(*db, QString::fromLatin1(name), {{"x", dbLong, 0}}, {{1}});
    QFile(PathOf("notes.txt")).open(QIODevice::WriteOnly);
    db->TableDefs().Refresh();
    QStringList names;
    for (int i = 0; i < db->TableDefs().Count(); ++i) {
        names << db->TableDefs().Item(i).Name();
        EXPECT_EQ(db->TableDefs().Item(i).Attributes(), 0);
    }
    EXPECT_EQ(names, (QStringList{"Alpha", "beta", "gamma"}));
    EXPECT_EQ(db->TableDefs().Item(QStringLiteral("beta")).Fields().Item(0).Type(), dbLong);
    for (const char* name : {"Alpha", "alpha", "ALPHA.DB", "Alpha.db", "gamma", "GAMMA.db"})
        EXPECT_EQ(ErrorOf([&] { db->OpenRecordset(QString::fromLatin1(name)); }), 0) << name;
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset(QStringLiteral("notes")); }), ErrInputTableNotFound);
    // Two files that differ only in case: each opens by its exact name, neither by a third
    // spelling.
    QFile::copy(PathOf("beta.db"), PathOf("BETA.db"));
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset(QStringLiteral("BETA")); }), 0);
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset(QStringLiteral("Beta")); }), ErrInputTableNotFound);
    // Creating over an existing table, in any case of its name.
    auto again = db->CreateTableDef(QStringLiteral("ALPHA"));
    again->Fields().Append(again->CreateField(QStringLiteral("x"), dbLong));
    EXPECT_EQ(ErrorOf([&] { db->TableDefs().Append(again); }), ErrTableExists);
    db->Close();
}

TEST_F(ParadoxTest, DeleteRemovesTheTableAndItsCompanions) {
    auto db = Open(4);
    MakeTable(*db, QStringLiteral("Sales"), {{"Notes", dbMemo, 0}}, {{QString(3000, 'x')}});
    MakeTable(*db, QStringLiteral("SalesX"), {{"x", dbInteger, 0}}, {{1}});
    for (const char* companion : {"Sales.PX", "SALES.X01", "sales.Y01", "Sales.XG0", "Sales.txt"})
        QFile(PathOf(companion)).open(QIODevice::WriteOnly);
    db->TableDefs().Refresh();
    db->TableDefs().Delete(QStringLiteral("Sales"));
    QStringList left = QDir(Folder()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(left, (QStringList{"Sales.txt", "SalesX.db"}));
    EXPECT_EQ(db->TableDefs().Count(), 1);
    db->Close();
}

// ---------------------------------------------------------------------------------------
// Values at each level.

struct TypeCase {
    const char* name;
    short type;
    int size;
    QVariant value;
    short read3, read4, read5;      //!< the type it reads back as at each level
    QVariant expected3, expected5;  //!< what reads back (level 4 as level 3)
};

TEST_F(ParadoxTest, EveryEngineTypeAtEveryLevel) {
    const QDateTime stamp(QDate(2024, 3, 1), QTime(13, 45, 7, 250));
    const QUuid guid = QUuid::fromString(QStringLiteral("{12345678-1234-1234-1234-123456789abc}"));
    const std::vector<TypeCase> cases = {
        // Without a logical type the engine's Integer conversion of True is -1.
        {"Flag", dbBoolean, 0, true, dbInteger, dbInteger, dbBoolean, -1, true},
        {"Small", dbByte, 0, 200, dbInteger, dbInteger, dbInteger, 200, 200},
        {"Short", dbInteger, 0, -32767, dbInteger, dbInteger, dbInteger, -32767, -32767},
        {"Whole", dbLong, 0, -2147483647, dbDouble, dbDouble, dbLong, -2147483647.0, -2147483647},
        {"Money", dbCurrency, 0, 1234.5678, dbCurrency, dbCurrency, dbCurrency, 1234.5678,
         1234.5678},
        {"Ratio", dbDouble, 0, -0.1, dbDouble, dbDouble, dbDouble, -0.1, -0.1},
        {"Single", dbSingle, 0, 2.5f, dbDouble, dbDouble, dbDouble, 2.5, 2.5},
        {"Big", dbBigInt, 0, qlonglong(1) << 40, dbDouble, dbDouble, dbDouble,
         double(qlonglong(1) << 40), double(qlonglong(1) << 40)},
        {"When", dbDate, 0, stamp, dbDate, dbDate, dbDate, stamp.date(), stamp},
        {"Day", dbDate, 0, QDate(1, 1, 1), dbDate, dbDate, dbDate, QDate(1, 1, 1),
         QDateTime(QDate(1, 1, 1), QTime(0, 0))},
        {"Clock", dbTime, 0, QTime(23, 59, 58), dbText, dbText, dbDate,
         QStringLiteral("23:59:58.000"), QTime(23, 59, 58)},
        {"Name", dbText, 30, QStringLiteral("O'Brien \"Zoë\" – Ω"), dbText, dbText, dbText,
         QStringLiteral("O'Brien \"Zoë\" – ?"), QStringLiteral("O'Brien \"Zoë\" – ?")},
        {"Guid", dbGUID, 0, guid, dbText, dbText, dbText, guid.toString(), guid.toString()},
        {"Bytes", dbBinary, 4, QByteArray("\x01\x02\xff\x7f", 4), dbText, dbLongBinary, dbBinary,
         QVariant(), QByteArray("\x01\x02\xff\x7f", 4)},
    };
    for (int level : {3, 4, 5}) {
        const QString sub = PathOf(QStringLiteral("values%1").arg(level));
        QDir().mkpath(sub);
        auto db = OpenParadox(sub, level);
        std::vector<ColumnDef> columns;
        std::vector<QVariant> values, nulls;
        for (const TypeCase& c : cases) {
            columns.push_back({QString::fromLatin1(c.name), c.type, c.size});
            values.push_back(c.value);
            nulls.push_back(QVariant());
        }
        MakeTable(*db, QStringLiteral("Types"), columns, {values, nulls});
        db->Close();
        db = OpenParadox(sub, 5);  // any specifier reads any level
        const auto rows = ReadRows(*db, QStringLiteral("Types"));
        ASSERT_EQ(rows.size(), 2u);
        auto rs = db->OpenRecordset(QStringLiteral("Types"));
        for (size_t i = 0; i < cases.size(); ++i) {
            const TypeCase& c = cases[i];
            const short type = level == 3 ? c.read3 : level == 4 ? c.read4 : c.read5;
            EXPECT_EQ(rs->Fields().Item(static_cast<int>(i)).Type(), type) << c.name << level;
            EXPECT_TRUE(rows[1][i].isNull()) << c.name << " level " << level << " Null";
            if (c.type == dbBinary && level != 5) continue;  // binary: see below
            const QVariant expected = level == 5 ? c.expected5 : c.expected3;
            EXPECT_EQ(rows[0][i], expected)
                << c.name << " level " << level << ": " << rows[0][i].toString().toStdString();
        }
        db->Close();
    }
}

TEST_F(ParadoxTest, MemosAndBlobsKeepEveryByte) {
    const QString crlf = QStringLiteral("Line one\r\nLine two Ω é");
    const QStringList memos = {QString(),
                               QStringLiteral("short"),
                               crlf,
                               QString(100, 'm'),
                               QString(2047, 'a'),
                               QString(2048, 'b'),
                               QString(9000, 'c') + QStringLiteral("end")};
    QByteArray binary;
    for (int i = 0; i < 5000; ++i) binary.append(static_cast<char>(i * 7));
    for (int level : {4, 5}) {
        const QString sub = PathOf(QStringLiteral("memo%1").arg(level));
        QDir().mkpath(sub);
        auto db = OpenParadox(sub, level);
        std::vector<std::vector<QVariant>> rows;
        // Enough small memos for several shared blocks (64 slots each).
        for (int round = 0; round < 30; ++round)
            for (const QString& memo : memos)
                rows.push_back(
                    {memo.isNull() ? QVariant() : QVariant(memo), binary.left(round * 150)});
        MakeTable(*db, QStringLiteral("Notes"), {{"Memo", dbMemo, 0}, {"Blob", dbLongBinary, 0}},
                  rows);
        const auto read = ReadRows(*db, QStringLiteral("Notes"));
        ASSERT_EQ(read.size(), rows.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            const QString memo = memos[static_cast<int>(i % memos.size())];
            EXPECT_EQ(read[i][0].toString(),
                      memo.left(memo.size()).replace(QStringLiteral("Ω"), QStringLiteral("?")))
                << "row " << i << " level " << level;
            EXPECT_EQ(read[i][0].isNull(), memo.isEmpty()) << i;
            EXPECT_EQ(read[i][1].toByteArray(), rows[i][1].toByteArray()) << "row " << i;
        }
        db->Close();
    }
}

// A recordset that reads memos while it appends more into the same shared memo block and
// data block sees each new record and memo after the next move.
TEST_F(ParadoxTest, ReadingWhileAppending) {
    auto db = Open(5);
    MakeTable(*db, QStringLiteral("Log"), {{"n", dbLong, 0}, {"Memo", dbMemo, 0}},
              {{1, QString(50, 'a')}});
    auto rs = db->OpenRecordset(QStringLiteral("Log"));
    auto other = db->OpenRecordset(QStringLiteral("Log"), dbOpenSnapshot);
    for (int n = 2; n <= 40; ++n) {
        EXPECT_EQ(rs->Fields().Item(1).Value().toString().size(), 50 + n - 2) << n;
        rs->AddNew();
        rs->Fields().Item(0).SetValue(n);
        rs->Fields().Item(1).SetValue(QString(50 + n - 1, QChar(u'a' + n % 26)));
        rs->Update();
        rs->MoveLast();
        EXPECT_EQ(rs->Fields().Item(0).Value().toInt(), n);
        other->MoveLast();
        EXPECT_EQ(other->Fields().Item(1).Value().toString(),
                  QString(50 + n - 1, QChar(u'a' + n % 26)));
    }
    EXPECT_EQ(rs->RecordCount(), 40);
    db->Close();
}

TEST_F(ParadoxTest, FieldNamesAreCutAndMadeUnique) {
    auto db = Open();
    const QString longName = QStringLiteral("A very long field name beyond twenty-five");
    MakeTable(*db, QStringLiteral("Names"),
              {{longName, dbLong, 0},
               {longName + QStringLiteral("!"), dbLong, 0},
               {QStringLiteral("Price (net) [EUR]"), dbDouble, 0},
               {QStringLiteral("a->b"), dbLong, 0},
               {QStringLiteral("Ω"), dbLong, 0}},
              {});
    auto rs = db->OpenRecordset(QStringLiteral("Names"));
    QStringList names;
    for (int i = 0; i < rs->Fields().Count(); ++i) names << rs->Fields().Item(i).Name();
    EXPECT_EQ(names, (QStringList{"A very long field name be", "A very long field name b1",
                                  "Price _net_ _EUR_", "a_>b", "_"}));
    db->Close();
}

TEST_F(ParadoxTest, LimitsAreEngineErrors) {
    auto db = Open(3);
    auto wide = db->CreateTableDef(QStringLiteral("Wide"));
    for (int i = 0; i < 256; ++i)
        wide->Fields().Append(wide->CreateField(QStringLiteral("f%1").arg(i), dbInteger));
    EXPECT_EQ(ErrorOf([&] { db->TableDefs().Append(wide); }), ErrInvalidArgument);
    auto longRecord = db->CreateTableDef(QStringLiteral("Long"));
    for (int i = 0; i < 9; ++i)
        longRecord->Fields().Append(
            longRecord->CreateField(QStringLiteral("t%1").arg(i), dbText, 255));
    EXPECT_EQ(ErrorOf([&] { db->TableDefs().Append(longRecord); }), ErrInvalidArgument);
    EXPECT_FALSE(QFile::exists(PathOf("Long.db")));
    // A table whose 65,535 blocks are all used refuses the next block.
    MakeTable(*db, QStringLiteral("Full"), {{"x", dbInteger, 0}}, {});
    QFile full(PathOf("Full.db"));
    ASSERT_TRUE(full.resize(2048 + qint64(65535) * 2048));
    auto rs = db->OpenRecordset(QStringLiteral("Full"));
    rs->AddNew();
    rs->Fields().Item(0).SetValue(1);
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), ErrResourceExceeded);
    // Values a field cannot hold: the blank codes and texts longer than the field.
    MakeTable(*db, QStringLiteral("Edge"), {{"s", dbInteger, 0}, {"t", dbText, 3}}, {});
    auto edge = db->OpenRecordset(QStringLiteral("Edge"));
    edge->AddNew();
    edge->Fields().Item(0).SetValue(-32768);
    EXPECT_EQ(ErrorOf([&] { edge->Update(); }), ErrConversion);
    EXPECT_EQ(ErrorOf([&] { edge->Fields().Item(1).SetValue(QStringLiteral("four")); }),
              ErrFieldTooSmall);
    db->Close();
}

TEST_F(ParadoxTest, TextIsDecodedFromTheHeaderCodePage) {
    auto db = Open(5);
    MakeTable(*db, QStringLiteral("Dos"), {{"t", dbText, 10}}, {{QStringLiteral("é")}});
    db->Close();
    // The same byte under code page 850 (0x82 is é there, 0xE9 is Ú).
    QFile file(PathOf("Dos.db"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const int headerSize = static_cast<unsigned char>(bytes[3]) << 8;
    ASSERT_EQ(static_cast<unsigned char>(bytes[headerSize + 6]), 0xE9);
    paradox::PutLe16(reinterpret_cast<unsigned char*>(bytes.data()) + 0x6A, 850);
    file.seek(0);
    file.write(bytes);
    file.close();
    db = Open(3);
    EXPECT_EQ(ReadRows(*db, QStringLiteral("Dos"))[0][0].toString(), QStringLiteral("Ú"));
    db->Close();
}

TEST_F(ParadoxTest, ReadRawAgreesWithValue) {
    auto db = Open(4);  // dates as D fields, Long as a Number
    MakeTable(*db, QStringLiteral("Raw"),
              {{"i", dbLong, 0},
               {"d", dbDouble, 0},
               {"t", dbText, 10},
               {"day", dbDate, 0},
               {"b", dbBoolean, 0}},
              {{-5, 2.25, QStringLiteral("Zoë"), QDate(2020, 2, 29), false}, {{}, {}, {}, {}, {}}});
    db->Close();
    db = Open(3);
    auto rs = db->OpenRecordset(QStringLiteral("Raw"));
    RawValue raw;
    rs->ReadRaw(0, raw);
    EXPECT_EQ(raw.kind, RawValue::Kind::Real);
    EXPECT_EQ(raw.real, -5);
    rs->ReadRaw(1, raw);
    EXPECT_EQ(raw.real, 2.25);
    rs->ReadRaw(2, raw);
    EXPECT_EQ(QString::fromUtf8(raw.text, raw.size), QStringLiteral("Zoë"));
    rs->ReadRaw(3, raw);
    EXPECT_EQ(raw.date, QDate(2020, 2, 29));
    rs->ReadRaw(4, raw);
    EXPECT_EQ(raw.kind, RawValue::Kind::Integer);
    EXPECT_EQ(raw.integer, 0);
    for (int i = 0; i < 5; ++i) {
        rs->ReadRaw(i, raw);
        const QVariant value = rs->Fields().Item(i).Value();
        if (raw.kind == RawValue::Kind::Integer) {
            EXPECT_EQ(raw.integer, value.toLongLong()) << i;
        }
        if (raw.kind == RawValue::Kind::Real) {
            EXPECT_EQ(raw.real, value.toDouble()) << i;
        }
    }
    rs->MoveNext();
    for (int i = 0; i < 5; ++i) {
        rs->ReadRaw(i, raw);
        EXPECT_EQ(raw.kind, RawValue::Kind::Null) << i;
    }
    db->Close();
}

// ---------------------------------------------------------------------------------------
// Damaged and unusable files: an engine error naming the file, the file left unchanged.

struct Damage {
    const char* what;
    std::function<void(QByteArray& db, QByteArray& mb)> apply;
    int error;
    const char* names;  //!< the file the message names
};

TEST_F(ParadoxTest, DamagedFilesGiveEngineErrors) {
    using paradox::PutLe16;
    using paradox::PutLe32;
    // The base table: level 4, 3 blocks of records, a memo in the .mb file.
    {
        auto db = Open(4);
        std::vector<std::vector<QVariant>> rows;
        for (int i = 0; i < 500; ++i)
            rows.push_back({QStringLiteral("row %1").arg(i),
                            i == 0 ? QVariant(QString(300, 'm')) : QVariant()});
        MakeTable(*db, QStringLiteral("Base"), {{"Name", dbText, 20}, {"Memo", dbMemo, 0}}, rows);
        db->Close();
    }
    QByteArray base, baseMb;
    {
        QFile f(PathOf("Base.db")), m(PathOf("Base.mb"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly) && m.open(QIODevice::ReadOnly));
        base = f.readAll();
        baseMb = m.readAll();
    }
    const int headerSize = 2048;
    const auto u8 = [](QByteArray& b, int at) {
        return reinterpret_cast<unsigned char*>(b.data()) + at;
    };
    const int memoPointer = headerSize + 6 + 20 + 10;  // first record's mbOffset
    const std::vector<Damage> cases = {
        {"empty file", [](QByteArray& db, QByteArray&) { db.clear(); }, ErrUnrecognizedFormat,
         "Base.db"},
        {"cut inside the header", [](QByteArray& db, QByteArray&) { db.truncate(100); },
         ErrCorruptDatabase, "Base.db"},
        {"cut inside the data",
         [](QByteArray& db, QByteArray&) { db.truncate(db.size() - 4096 - 100); },
         ErrCorruptDatabase, "Base.db"},
        {"record count larger than the blocks",
         [&](QByteArray& db, QByteArray&) { PutLe32(u8(db, 6), 501); }, ErrCorruptDatabase,
         "Base.db"},
        {"first block past the end",
         [&](QByteArray& db, QByteArray&) { PutLe16(u8(db, 0x0E), 999); }, ErrCorruptDatabase,
         "Base.db"},
        {"block chain loops",
         [&](QByteArray& db, QByteArray&) { PutLe16(u8(db, headerSize + 4096), 1); },
         ErrCorruptDatabase, "Base.db"},
        {"record count past the block",
         [&](QByteArray& db, QByteArray&) { PutLe16(u8(db, headerSize + 4), 30000); },
         ErrCorruptDatabase, "Base.db"},
        {"unknown field type", [&](QByteArray& db, QByteArray&) { *u8(db, 0x78) = 0x07; },
         ErrCorruptDatabase, "Base.db"},
        {"zero-length field", [&](QByteArray& db, QByteArray&) { *u8(db, 0x79) = 0; },
         ErrCorruptDatabase, "Base.db"},
        {"too many fields", [&](QByteArray& db, QByteArray&) { PutLe16(u8(db, 0x21), 300); },
         ErrCorruptDatabase, "Base.db"},
        {"an index file", [&](QByteArray& db, QByteArray&) { *u8(db, 4) = 1; },
         ErrUnrecognizedFormat, "Base.db"},
        {"encrypted", [&](QByteArray& db, QByteArray&) { PutLe32(u8(db, 0x5C), 0x1234); },
         ErrNotSupported, "Base.db"},
        {"memo pointer past the end of the .mb",
         [&](QByteArray& db, QByteArray&) { PutLe32(u8(db, memoPointer), 0x100000 | 0x3F); },
         ErrCorruptDatabase, "Base.mb"},
        {"memo slot past the block",
         [&](QByteArray&, QByteArray& mb) { *u8(mb, 4096 + 12 + 5 * 63) = 0xFF; },
         ErrCorruptDatabase, "Base.mb"},
        {"memo length disagrees",
         [&](QByteArray& db, QByteArray&) { PutLe32(u8(db, memoPointer + 4), 301); },
         ErrCorruptDatabase, "Base.mb"},
        {"memo in the leader longer than it",
         [&](QByteArray& db, QByteArray&) { PutLe32(u8(db, memoPointer), 0); }, ErrCorruptDatabase,
         "Base.db"},
        {"missing .mb", [&](QByteArray&, QByteArray& mb) { mb = QByteArray("remove"); },
         ErrFileNotFoundEngine, "Base.mb"},
    };
    for (const Damage& c : cases) {
        QByteArray db = base, mb = baseMb;
        c.apply(db, mb);
        const QString sub = PathOf(QStringLiteral("case%1").arg(&c - &cases[0]));
        QDir().mkpath(sub);
        {
            QFile f(sub + QStringLiteral("/Base.db"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(db);
            if (mb != "remove") {
                QFile m(sub + QStringLiteral("/Base.mb"));
                ASSERT_TRUE(m.open(QIODevice::WriteOnly));
                m.write(mb);
            }
        }
        const QByteArray before = FileDigest(sub + QStringLiteral("/Base.db"));
        int number = 0;
        QString message;
        try {
            auto database = OpenParadox(sub, 5);
            EXPECT_EQ(database->TableDefs().Count(), 1) << c.what;  // listed even when damaged
            ReadRows(*database, QStringLiteral("Base"));
        } catch (const EngineError& error) {
            number = error.Number();
            message = error.Description();
        }
        EXPECT_EQ(number, c.error) << c.what << ": " << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromLatin1(c.names)))
            << c.what << ": " << message.toStdString();
        EXPECT_EQ(FileDigest(sub + QStringLiteral("/Base.db")), before) << c.what;
    }
}

TEST_F(ParadoxTest, LockedAndForbiddenFiles) {
    auto db = Open(5);
    MakeTable(*db, QStringLiteral("Held"), {{"x", dbLong, 0}}, {{1}});
    db->Close();
    // Another writer holds the table: reading and writing both report it.
    QFile other(PathOf("Held.db"));
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    ASSERT_EQ(flock(other.handle(), LOCK_EX | LOCK_NB), 0);
    db = Open(5);
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset(QStringLiteral("Held")); }), ErrFileInUse);
    flock(other.handle(), LOCK_UN);
    auto rs = db->OpenRecordset(QStringLiteral("Held"));
    ASSERT_EQ(flock(other.handle(), LOCK_EX | LOCK_NB), 0);
    rs->AddNew();
    rs->Fields().Item(0).SetValue(2);
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), ErrFileInUse);
    other.close();
    db->Close();
    // Names that are not what they should be: a file as the folder, a folder as a table.
    EXPECT_EQ(ErrorOf([&] { OpenParadox(PathOf("Held.db"), 5); }), ErrCannotOpenFile);
    QDir().mkpath(PathOf("Odd.db"));
    db = Open(5);
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset(QStringLiteral("Odd")); }), ErrInputTableNotFound);
    db->Close();
    // Without permission: a table file nobody may read, a folder nobody may list. Root reads
    // them anyway, so under root the checks run in a child that became "nobody".
    const QFileDevice::Permissions open = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther;
    QFile::setPermissions(Folder(), open);
    QFile::setPermissions(PathOf("Held.db"), QFileDevice::Permissions());
    const QString locked = PathOf("locked");
    QDir().mkpath(locked);
    QFile::setPermissions(locked, QFileDevice::Permissions());
    const QString inside = locked + QStringLiteral("/inner");
    const auto check = [&]() -> int {
        auto folder = Open(5);
        if (ErrorOf([&] { folder->OpenRecordset(QStringLiteral("Held")); }) != ErrCannotOpenFile)
            return 1;
        if (ErrorOf([&] { OpenParadox(locked, 5); }) != ErrCannotOpenFile) return 2;
        if (ErrorOf([&] { OpenParadox(inside, 5); }) != ErrCannotOpenFile) return 3;
        return 0;
    };
    if (geteuid() != 0) {
        EXPECT_EQ(check(), 0);
    } else {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) _exit(setgid(65534) == 0 && setuid(65534) == 0 ? check() : 9);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status)) << "the child crashed";
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: table file, 2: folder, 3: folder inside it";
    }
    QFile::setPermissions(locked, open);
}

}  // namespace
}  // namespace morvane::test
