// The xBase drivers through the engine: the driver contract (dBASE IV and FoxPro 3.0),
// folder lookup, each version's types and values after the folder is opened again,
// deleted records, code pages, format limits and damaged files.
#include "tests/data/DriverContract.h"
#include "tests/data/xbase/XbaseTestSupport.h"

#include "export/data/xbase/FolderTables.h"

#include <sys/file.h>
#include <unistd.h>
#include <QDir>
#include <QUuid>
#include <QtEndian>

namespace morvane::test {
namespace {

template <int Version>
struct XbaseHarness {
    static constexpr bool kWritable = true;
    QTemporaryDir dir;
    QString folder;
    int made = 0;

    static QString Type() {
        return Version == 4 ? QStringLiteral("dBASE IV") : QStringLiteral("FoxPro 3.0");
    }

    std::shared_ptr<Database> CreateWithTable(int rows) {
        folder = dir.filePath(QStringLiteral("db%1").arg(++made));
        QDir().mkpath(folder);
        auto db = OpenFolder(folder, Type());
        std::vector<std::vector<QVariant>> values;
        for (int id = 1; id <= rows; ++id) values.push_back({id, QStringLiteral("N%1").arg(id)});
        CreateTable(*db, QStringLiteral("Nav"), {{"Id", dbLong}, {"Name", dbText, 20}}, values);
        return db;
    }
    std::shared_ptr<Database> OpenReadOnly() { return OpenFolder(folder, Type(), true); }
};

using DbaseIvHarness = XbaseHarness<4>;
using FoxPro3Harness = XbaseHarness<30>;
INSTANTIATE_TYPED_TEST_SUITE_P(DbaseIv, DriverContract, ::testing::Types<DbaseIvHarness>);
INSTANTIATE_TYPED_TEST_SUITE_P(FoxPro3, DriverContract, ::testing::Types<FoxPro3Harness>);

// Header fields of a table file.
int HeaderLength(const QByteArray& file) {
    return qFromLittleEndian<quint16>(file.constData() + 8);
}
int RecordLength(const QByteArray& file) {
    return qFromLittleEndian<quint16>(file.constData() + 10);
}

class XbaseDriverTest : public ::testing::Test {
  protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

TEST_F(XbaseDriverTest, FolderListsTablesInNameOrderAndFindsThemByAnyName) {
    for (const char* name : {"b.dbf", "A.DBF", "c.DbF", "notes.txt", "a.dbt"})
        WriteBytes(Path(QString::fromLatin1(name)), "x");
    EXPECT_EQ(FolderTables::List(dir_.path(), ".dbf"), QStringList({"A", "b", "c"}));
    const struct {
        const char* name;
        const char* file;  // "" when none
    } cases[] = {{"A", "A.DBF"}, {"a", "A.DBF"}, {"a.dbf", "A.DBF"}, {"B.DBF", "b.dbf"},
                 {"c", "c.DbF"}, {"notes", ""},  {"d", ""},          {"../x", ""}};
    for (const auto& c : cases) {
        const QString found = FolderTables::Find(dir_.path(), QString::fromLatin1(c.name), ".dbf");
        EXPECT_EQ(QFileInfo(found).fileName(), QString::fromLatin1(c.file)) << c.name;
    }
    // The exact file name wins over one that matches only without regard to case.
    WriteBytes(Path("a.dbf"), "x");
    EXPECT_EQ(QFileInfo(FolderTables::Find(dir_.path(), "a", ".dbf")).fileName(), "a.dbf");
    EXPECT_EQ(QFileInfo(FolderTables::Find(dir_.path(), "A", ".dbf")).fileName(), "A.DBF");
}

TEST_F(XbaseDriverTest, FieldNamesAreCutMadeUniqueAndCleaned) {
    const auto xbase = [](QChar ch) {
        return ch.unicode() < 128 && (ch.isLetterOrNumber() || ch == QLatin1Char('_'));
    };
    EXPECT_EQ(FolderTables::ShortenNames({"Id", "First Name's", "CustomerNumber", "customernumberX",
                                          "Zoë", "", "CUSTOMERNU"},
                                         10, xbase),
              QStringList(
                  {"Id", "First_Name", "CustomerNu", "customern1", "Zo_", "FIELD", "CUSTOMERN2"}));
    // Longer limits (Paradox) keep more.
    EXPECT_EQ(FolderTables::ShortenNames(
                  {"A very long field name here", "A very long field name here too"}, 25,
                  [](QChar) { return true; }),
              QStringList({"A very long field name he", "A very long field name h1"}));
}

TEST_F(XbaseDriverTest, OpeningAFolderThatIsMissingOrNoFolder) {
    EXPECT_EQ(ErrorOf([&] { OpenFolder(Path("missing"), "dBASE IV"); }), ErrFileNotFoundEngine);
    WriteBytes(Path("file"), "x");
    EXPECT_EQ(ErrorOf([&] { OpenFolder(Path("file"), "dBASE IV"); }), ErrCannotOpenFile);
    // Any case of the type specifier.
    EXPECT_EQ(ErrorOf([&] { OpenFolder(dir_.path(), "Dbase iv")->Close(); }), 0);
    EXPECT_EQ(ErrorOf([&] { OpenFolder(dir_.path(), "FOXPRO 2.6")->Close(); }), 0);
    if (geteuid() == 0) GTEST_SKIP() << "running as root: permissions are not enforced";
    QDir().mkpath(Path("locked"));
    QFile::setPermissions(Path("locked"), QFileDevice::WriteOwner);
    EXPECT_EQ(ErrorOf([&] { OpenFolder(Path("locked"), "dBASE IV"); }), ErrCannotOpenFile);
    QFile::setPermissions(Path("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// Each version, opened again (so the types are the file's own), reads back the People table.
TEST_F(XbaseDriverTest, EachVersionReadsBackTypesAndValues) {
    for (const QString& type : XbaseTypes()) {
        SCOPED_TRACE(type.toStdString());
        const QString folder = Path(type);
        QDir().mkpath(folder);
        CreateTable(*OpenFolder(folder, type), "People", PeopleColumns(), PeopleRows());
        auto db = OpenFolder(folder, type, true);
        ASSERT_EQ(db->TableDefs().Count(), 1);
        EXPECT_EQ(db->TableDefs().Item(0).Name(), "People");
        auto rs = db->OpenRecordset("people.dbf");
        const bool vfp = type == "FoxPro 3.0";
        const bool hex = type == "dBASE III" || type == "dBASE IV";
        struct Expected {
            const char* name;
            short type;
            int size;
        };
        const std::vector<Expected> fields = {{"Id", short(vfp ? dbLong : dbBigInt), vfp ? 4 : 8},
                                              {"Name", dbText, 30},
                                              {"Notes", dbMemo, 0},
                                              {"Amount", dbDouble, 8},
                                              {"Price", short(vfp ? dbCurrency : dbDouble), 8},
                                              {"Born", dbDate, 8},
                                              {"Active", dbBoolean, 1},
                                              {"Photo", short(hex ? dbMemo : dbLongBinary), 0},
                                              {"First_Name", dbText, 10},
                                              {"Quantity", dbLong, 4},
                                              {"Big", dbDouble, 8}};
        ASSERT_EQ(rs->Fields().Count(), static_cast<int>(fields.size()));
        for (size_t i = 0; i < fields.size(); ++i) {
            const Field& field = rs->Fields().Item(static_cast<int>(i));
            EXPECT_EQ(field.Name(), fields[i].name);
            EXPECT_EQ(field.Type(), fields[i].type) << fields[i].name;
            EXPECT_EQ(field.Size(), fields[i].size) << fields[i].name;
        }
        EXPECT_EQ(rs->RecordCount(), 3);
        const auto value = [&](const char* name) { return rs->Fields().Item(name).Value(); };
        EXPECT_EQ(value("Id").toLongLong(), 1);
        EXPECT_EQ(value("Name").toString(), "O'Brien \"Bob\"");
        EXPECT_EQ(value("Notes").toString(), "line1\r\nline2");
        EXPECT_DOUBLE_EQ(value("Amount").toDouble(), 1234.5);
        EXPECT_DOUBLE_EQ(value("Price").toDouble(), 12.25);
        if (vfp)
            EXPECT_EQ(value("Born").toDateTime(), QDateTime(QDate(1999, 12, 31), QTime(15, 4, 5)));
        else
            EXPECT_EQ(value("Born").toDate(), QDate(1999, 12, 31));
        EXPECT_EQ(value("Active"), QVariant(true));
        if (hex)
            EXPECT_EQ(value("Photo").toString(), "0102FF");
        else
            EXPECT_EQ(value("Photo").toByteArray(), QByteArray("\x01\x02\xff", 3));
        EXPECT_EQ(value("First_Name").toString(), QString::fromUtf8("Zoë"));
        EXPECT_EQ(value("Quantity").toInt(), 7);
        EXPECT_DOUBLE_EQ(value("Big").toDouble(), 9e9);
        rs->MoveNext();
        EXPECT_EQ(value("Id").toLongLong(), 2);
        for (const char* name :
             {"Notes", "Amount", "Price", "Born", "Active", "Photo", "Quantity", "Big"})
            EXPECT_TRUE(value(name).isNull())
                << name << " reads " << value(name).toString().toStdString();
        // Text has no Null but in FoxPro 3.0: blank text reads as empty elsewhere.
        EXPECT_EQ(value("Name").isNull(), vfp);
        rs->MoveNext();
        EXPECT_EQ(value("Name").toString(), "");
        EXPECT_FALSE(value("Name").isNull());
        EXPECT_DOUBLE_EQ(value("Amount").toDouble(), -0.5);
        EXPECT_EQ(value("Active"), QVariant(false));
        EXPECT_EQ(value("Quantity").toInt(), -32768);
        EXPECT_DOUBLE_EQ(value("Big").toDouble(), -5);
        rs->MoveNext();
        EXPECT_TRUE(rs->Eof());
        db->Close();
    }
}

TEST_F(XbaseDriverTest, ATableCreatedInTheSessionKeepsItsEngineTypes) {
    auto db = OpenFolder(dir_.path(), "dBASE III");
    CreateTable(
        *db, "Kinds",
        {{"Small", dbByte},
         {"Bin", dbBinary, 4},
         {"Guid", dbGUID},
         {"Single", dbSingle},
         {"When", dbTime}},
        {{200, QByteArray("\x00\x1a\xff", 3),
          QStringLiteral("{67c8770b-44f1-410a-ab9a-f9b5446f13ee}"), 2.5f, QTime(13, 45, 1)}});
    auto rs = db->OpenRecordset("Kinds");
    EXPECT_EQ(rs->Fields().Item(0).Type(), dbByte);
    EXPECT_EQ(rs->Fields().Item(0).Value().toInt(), 200);
    EXPECT_EQ(rs->Fields().Item(1).Value().toByteArray(), QByteArray("\x00\x1a\xff", 3));
    EXPECT_EQ(rs->Fields().Item(2).Value().toUuid(),
              QUuid("{67c8770b-44f1-410a-ab9a-f9b5446f13ee}"));
    EXPECT_FLOAT_EQ(rs->Fields().Item(3).Value().toFloat(), 2.5f);
    EXPECT_EQ(rs->Fields().Item(4).Value().toTime(), QTime(13, 45, 1));
    db->Close();
}

TEST_F(XbaseDriverTest, ExistingTableDeleteAndCompanions) {
    auto db = OpenFolder(dir_.path(), "FoxPro 2.6");
    CreateTable(*db, "Sales", {{"Note", dbMemo}}, {{QStringLiteral("hello")}});
    EXPECT_TRUE(QFile::exists(Path("Sales.dbf")));
    EXPECT_TRUE(QFile::exists(Path("Sales.fpt")));
    WriteBytes(Path("SALES.CDX"), "index");
    WriteBytes(Path("Salesman.dbf"), "other");
    auto again = db->CreateTableDef("SALES");
    again->Fields().Append(again->CreateField("x", dbLong));
    EXPECT_EQ(ErrorOf([&] { db->TableDefs().Append(again); }), ErrTableExists);
    EXPECT_EQ(ErrorOf([&] { db->Execute("DELETE FROM Sales"); }), ErrNotSupported);
    db->TableDefs().Delete("sales");
    EXPECT_FALSE(QFile::exists(Path("Sales.dbf")));
    EXPECT_FALSE(QFile::exists(Path("Sales.fpt")));
    EXPECT_FALSE(QFile::exists(Path("SALES.CDX")));
    EXPECT_TRUE(QFile::exists(Path("Salesman.dbf")));
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("Sales"); }), ErrInputTableNotFound);
    db->Close();
}

TEST_F(XbaseDriverTest, DeletedRecordsAreSkippedAndCounted) {
    auto db = OpenFolder(dir_.path(), "dBASE IV");
    std::vector<std::vector<QVariant>> rows;
    for (int id = 1; id <= 6; ++id) rows.push_back({id});
    CreateTable(*db, "T", {{"Id", dbInteger}}, rows);
    db->Close();
    QByteArray file = ReadBytes(Path("T.dbf"));
    for (int deleted : {0, 2, 3}) file[HeaderLength(file) + deleted * RecordLength(file)] = '*';
    WriteBytes(Path("T.dbf"), file);
    db = OpenFolder(dir_.path(), "dBASE IV", true);
    auto rs = db->OpenRecordset("T");
    EXPECT_EQ(rs->RecordCount(), 3);
    QList<int> seen;
    for (; !rs->Eof(); rs->MoveNext()) seen << rs->Fields().Item(0).Value().toInt();
    EXPECT_EQ(seen, QList<int>({2, 5, 6}));
    rs->MoveLast();
    EXPECT_EQ(rs->Fields().Item(0).Value().toInt(), 6);
    rs->Move(-1);
    EXPECT_EQ(rs->Fields().Item(0).Value().toInt(), 5);
    auto snapshot = db->OpenRecordset("T", dbOpenSnapshot);
    snapshot->MoveLast();
    EXPECT_EQ(snapshot->RecordCount(), 3);
    db->Close();
}

TEST_F(XbaseDriverTest, TextIsWrittenInWindows1252AndReadInTheDeclaredPage) {
    auto db = OpenFolder(dir_.path(), "dBASE IV");
    CreateTable(*db, "Cp", {{"Name", dbText, 20}}, {{QString::fromUtf8("€uro Ωmega é")}});
    db->Close();
    QByteArray file = ReadBytes(Path("Cp.dbf"));
    EXPECT_EQ(static_cast<unsigned char>(file[29]), 0x03);
    EXPECT_EQ(file.mid(HeaderLength(file) + 1, 12), QByteArray("\x80uro ?mega \xe9"));
    // The same bytes under the Russian DOS page (866).
    file[29] = '\x65';
    WriteBytes(Path("Cp.dbf"), file);
    db = OpenFolder(dir_.path(), "dBASE IV", true);
    auto rs = db->OpenRecordset("Cp");
    EXPECT_EQ(rs->Fields().Item(0).Value().toString(), QString::fromUtf8("Аuro ?mega щ"));
    db->Close();
}

TEST_F(XbaseDriverTest, FormatLimitsAreEngineErrors) {
    auto db = OpenFolder(dir_.path(), "dBASE III");
    auto wide = db->CreateTableDef("Wide");
    for (int i = 0; i < 129; ++i)
        wide->Fields().Append(wide->CreateField(QStringLiteral("F%1").arg(i), dbBoolean));
    EXPECT_EQ(ErrorOf([&] { db->TableDefs().Append(wide); }), ErrInvalidArgument);
    auto longRecord = db->CreateTableDef("Long");
    for (int i = 0; i < 16; ++i)
        longRecord->Fields().Append(
            longRecord->CreateField(QStringLiteral("T%1").arg(i), dbText, 254));
    EXPECT_EQ(ErrorOf([&] { db->TableDefs().Append(longRecord); }), ErrInvalidArgument);
    EXPECT_FALSE(QFile::exists(Path("Wide.dbf")));
    EXPECT_FALSE(QFile::exists(Path("Long.dbf")));
    CreateTable(*db, "Numbers", {{"Big", dbBigInt}, {"D", dbDouble}}, {});
    auto rs = db->OpenRecordset("Numbers");
    rs->AddNew();
    rs->Fields().Item(0).SetValue(
        QVariant::fromValue<qlonglong>(std::numeric_limits<qint64>::min()));
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), ErrFieldTooSmall) << "20 characters in N(19)";
    rs->CancelUpdate();
    rs->AddNew();
    rs->Fields().Item(0).SetValue(QVariant::fromValue<qlonglong>(-576460752303423488LL));
    rs->Fields().Item(1).SetValue(1.5e200);
    rs->Update();
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields().Item(0).Value().toLongLong(), -576460752303423488LL);
    EXPECT_DOUBLE_EQ(rs->Fields().Item(1).Value().toDouble(), 1.5e200);
    EXPECT_EQ(rs->RecordCount(), 1);
    db->Close();
}

// A damaged table fails with an engine error naming the file and is never changed.
TEST_F(XbaseDriverTest, DamagedFilesGiveEngineErrorsNamingTheFile) {
    auto db = OpenFolder(dir_.path(), "dBASE IV");
    CreateTable(*db, "Good", {{"Id", dbInteger}, {"Note", dbMemo}},
                {{1, QStringLiteral("first")}, {2, QStringLiteral("second")}});
    db->Close();
    const QByteArray good = ReadBytes(Path("Good.dbf"));
    const QByteArray memo = ReadBytes(Path("Good.dbt"));
    const int header = HeaderLength(good);
    const int record = RecordLength(good);
    struct Case {
        const char* what;
        std::function<void(QByteArray& dbf, QByteArray& dbt)> damage;
        int error;
        const char* names;  // the file the message names
    };
    const std::vector<Case> cases = {
        {"cut in the header", [](QByteArray& f, QByteArray&) { f.truncate(20); },
         ErrUnrecognizedFormat, "Bad.dbf"},
        {"cut in the field list", [](QByteArray& f, QByteArray&) { f.truncate(50); },
         ErrCorruptDatabase, "Bad.dbf"},
        {"cut in the records", [&](QByteArray& f, QByteArray&) { f.truncate(header + record + 3); },
         ErrCorruptDatabase, "Bad.dbf"},
        {"count past the end", [](QByteArray& f, QByteArray&) { f[4] = 99; }, ErrCorruptDatabase,
         "Bad.dbf"},
        {"unknown field type", [](QByteArray& f, QByteArray&) { f[32 + 11] = 'X'; },
         ErrCorruptDatabase, "Bad.dbf"},
        {"zero-length field", [](QByteArray& f, QByteArray&) { f[32 + 16] = 0; },
         ErrCorruptDatabase, "Bad.dbf"},
        {"record length wrong", [](QByteArray& f, QByteArray&) { f[10] = 5; }, ErrCorruptDatabase,
         "Bad.dbf"},
        {"unknown version", [](QByteArray& f, QByteArray&) { f[0] = 0x04; }, ErrUnrecognizedFormat,
         "Bad.dbf"},
        {"memo pointer past the end",
         [&](QByteArray& f, QByteArray&) { f.replace(header + 1 + 6, 10, "     99999"); },
         ErrCorruptDatabase, "Bad.dbt"},
        {"memo length past the end", [](QByteArray&, QByteArray& m) { m[512 + 7] = '\x7f'; },
         ErrCorruptDatabase, "Bad.dbt"},
        {"memo file missing", [](QByteArray&, QByteArray& m) { m.clear(); }, ErrFileNotFoundEngine,
         "Bad.dbt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray dbf = good;
        QByteArray dbt = memo;
        c.damage(dbf, dbt);
        WriteBytes(Path("Bad.dbf"), dbf);
        QFile::remove(Path("Bad.dbt"));
        if (!dbt.isEmpty()) WriteBytes(Path("Bad.dbt"), dbt);
        QString message;
        int error = 0;
        auto bad = OpenFolder(dir_.path(), "dBASE IV");
        try {
            auto rs = bad->OpenRecordset("Bad");
            for (; !rs->Eof(); rs->MoveNext())
                for (int i = 0; i < rs->Fields().Count(); ++i) rs->Fields().Item(i).Value();
        } catch (const EngineError& e) {
            error = e.Number();
            message = e.Description();
        }
        EXPECT_EQ(error, c.error) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromLatin1(c.names))) << message.toStdString();
        EXPECT_EQ(ReadBytes(Path("Bad.dbf")), dbf) << "the file was changed";
        // The folder still lists the table.
        EXPECT_GE(bad->TableDefs().IndexOf("Bad"), 0);
        bad->Close();
    }
}

TEST_F(XbaseDriverTest, AFileLockedByAnotherWriterIsRefused) {
    auto db = OpenFolder(dir_.path(), "FoxPro 2.0");
    CreateTable(*db, "Busy", {{"Id", dbInteger}}, {{1}});
    QFile other(Path("Busy.dbf"));
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    ASSERT_EQ(flock(other.handle(), LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("Busy"); }), ErrFileInUse);
    flock(other.handle(), LOCK_UN);
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("Busy"); }), 0);
    db->Close();
}

TEST_F(XbaseDriverTest, RowsAddedToATableOfAnEarlierSessionFollowTheOldOnes) {
    for (const QString& type : {QStringLiteral("dBASE III"), QStringLiteral("FoxPro 3.0")}) {
        SCOPED_TRACE(type.toStdString());
        const QString folder = Path(type);
        QDir().mkpath(folder);
        CreateTable(*OpenFolder(folder, type), "T", {{"Id", dbInteger}, {"Note", dbMemo}},
                    {{1, QStringLiteral("one")}});
        {
            auto db = OpenFolder(folder, type);
            auto rs = db->OpenRecordset("T");
            rs->AddNew();
            rs->Fields().Item(0).SetValue(2);
            rs->Fields().Item(1).SetValue(QStringLiteral("two"));
            rs->Update();
            db->Close();  // writes what the recordset gathered
        }
        auto db = OpenFolder(folder, type, true);
        auto rs = db->OpenRecordset("T");
        EXPECT_EQ(rs->RecordCount(), 2);
        EXPECT_EQ(rs->Fields().Item(1).Value().toString(), "one");
        rs->MoveNext();
        EXPECT_EQ(rs->Fields().Item(1).Value().toString(), "two");
        db->Close();
    }
}

}  // namespace
}  // namespace morvane::test
