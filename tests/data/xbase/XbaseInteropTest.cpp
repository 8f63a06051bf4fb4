// The xBase drivers against readers and writers we did not write (python3-dbfread and
// python3-dbf, run by tests/data/xbase/dbf_read.py and dbf_write.py): every version we
// write reads back there with the values we wrote, and the tables python3-dbf writes
// (dBASE III, FoxPro 2, Visual FoxPro) read here with the values it wrote.
#include "tests/data/xbase/XbaseTestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QProcess>

namespace morvane::test {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

QString Script(const char* name) {
    return QStringLiteral(MORVANE_SOURCE_DIR "/tests/data/xbase/") + QLatin1String(name);
}

// The script's output lines, joined by LF; fails the test when it does not run.
std::string RunScript(const QStringList& arguments) {
    QProcess process;
    process.start(QString::fromLatin1(kPython), arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << "python: " << process.readAllStandardError().toStdString();
        return {};
    }
    return process.readAllStandardOutput().trimmed().toStdString();
}

bool HasModule(const char* module) {
    QProcess process;
    process.start(QString::fromLatin1(kPython), {"-c", QStringLiteral("import %1").arg(module)});
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

#define SKIP_WITHOUT_PYTHON_DBF()                   \
    if (!HasModule("dbfread") || !HasModule("dbf")) \
    GTEST_SKIP() << "python3-dbfread and python3-dbf are needed (scripts/packages.txt)"

// What the independent readers show of the People table written in `type`.
std::string ExpectedPeople(const QString& type, bool dbfreadReader) {
    const bool vfp = type == "FoxPro 3.0";
    const bool hex = type == "dBASE III" || type == "dBASE IV";
    const QString photo1 = hex ? "0102FF" : "0x0102ff";
    const QString photo3 = hex ? "4142" : "0x4142";
    const QString born1 = vfp ? "1999-12-31 15:04:05" : "1999-12-31";
    const QString born3 = vfp ? "2024-02-09 00:00:00" : "2024-02-09";
    // dbfread does not read FoxPro 3.0's Null flags: its binary numbers show their zero.
    const QString binaryNull = vfp && dbfreadReader ? "0" : "NULL";
    const QString textNull = vfp && !dbfreadReader ? "NULL" : "";
    // python3-dbf reads an empty memo as empty text or bytes, dbfread as None.
    const QString memoNull = dbfreadReader || vfp ? "NULL" : "";
    const QString binaryMemoNull = dbfreadReader || vfp ? "NULL" : hex ? "" : "0x";
    // python3-dbf gives the field names in lower case.
    const QString names = "Id|Name|Notes|Amount|Price|Born|Active|Photo|First_Name|Quantity|Big";
    return QStringList(
               {
                   dbfreadReader ? names : names.toLower(),
                   QString::fromUtf8(
                       "1|O'Brien "
                       "\"Bob\"|line1\\r\\nline2|1234.5|12.25|%1|True|%2|Zoë|7|9000000000")
                       .arg(born1, photo1),
                   QStringLiteral("2|%1|%3|%2|%2|NULL|NULL|%4|%1|NULL|NULL")
                       .arg(textNull, binaryNull, memoNull, binaryMemoNull),
                   QStringLiteral("3||x|-0.5|0|%1|False|%2|a b|-32768|-5").arg(born3, photo3),
               })
        .join('\n')
        .toStdString();
}

TEST(XbaseInteropTest, IndependentReadersReadEveryVersionWeWrite) {
    SKIP_WITHOUT_PYTHON_DBF();
    QTemporaryDir dir;
    for (const QString& type : XbaseTypes()) {
        SCOPED_TRACE(type.toStdString());
        const QString folder = dir.filePath(type);
        QDir().mkpath(folder);
        auto db = OpenFolder(folder, type);
        CreateTable(*db, "People", PeopleColumns(), PeopleRows());
        db->Close();
        const QString file = QDir(folder).filePath("People.dbf");
        EXPECT_EQ(RunScript({Script("dbf_read.py"), "dbfread", file}), ExpectedPeople(type, true));
        // python3-dbf reads the dBASE III, FoxPro 2 and FoxPro 3.0 layouts only.
        if (type.startsWith("FoxPro") || type == "dBASE III") {
            EXPECT_EQ(RunScript({Script("dbf_read.py"), "dbf", file}), ExpectedPeople(type, false));
        }
    }
}

TEST(XbaseInteropTest, HeadersCarryEachVersionsBytes) {
    QTemporaryDir dir;
    const struct {
        const char* type;
        unsigned char withMemo;
        unsigned char without;
        const char* memoFile;
    } cases[] = {{"dBASE III", 0x83, 0x03, "M.dbt"},
                 {"dBASE IV", 0x8B, 0x03, "M.dbt"},
                 {"dBASE 5.0", 0x8D, 0x05, "M.dbt"},
                 {"FoxPro 2.5", 0xF5, 0x03, "M.fpt"},
                 {"FoxPro 3.0", 0x30, 0x30, "M.fpt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const QString folder = dir.filePath(c.type);
        QDir().mkpath(folder);
        auto db = OpenFolder(folder, c.type);
        CreateTable(*db, "M", {{"Note", dbMemo}}, {});
        CreateTable(*db, "P", {{"Id", dbLong}}, {});
        db->Close();
        const QByteArray withMemo = ReadBytes(QDir(folder).filePath("M.dbf"));
        const QByteArray plain = ReadBytes(QDir(folder).filePath("P.dbf"));
        EXPECT_EQ(static_cast<unsigned char>(withMemo[0]), c.withMemo);
        EXPECT_EQ(static_cast<unsigned char>(plain[0]), c.without);
        EXPECT_EQ(static_cast<unsigned char>(plain[29]), 0x03) << "Windows-1252";
        EXPECT_TRUE(QFile::exists(QDir(folder).filePath(c.memoFile)));
        // FoxPro 3.0: descriptors, the end mark, then 263 bytes of backlink.
        const int descriptors = QByteArray(c.type) == "FoxPro 3.0" ? 2 : 1;  // + _NullFlags
        const int expected =
            32 + 32 * descriptors + 1 + (QByteArray(c.type) == "FoxPro 3.0" ? 263 : 0);
        EXPECT_EQ(
            static_cast<unsigned char>(plain[8]) | (static_cast<unsigned char>(plain[9]) << 8),
            expected);
    }
}

TEST(XbaseInteropTest, WeReadWhatAnIndependentWriterWrites) {
    SKIP_WITHOUT_PYTHON_DBF();
    QTemporaryDir dir;
    EXPECT_EQ(RunScript({Script("dbf_write.py"), dir.path()}), "");
    const QString first = QString::fromUtf8("Zoë O'Brien \"x\"");
    const struct {
        const char* table;
        QStringList types;
        QList<QVariantList> rows;
    } cases[] = {
        {"t_db3",
         {"NAME:10", "QTY:4", "PRICE:7", "BORN:8", "OK:1", "NOTE:12"},
         {{first, 5, 12.25, QDate(2001, 2, 3), true, "a\r\nb"},
          {"third", -7, 12.25, QDate(2001, 2, 3), false, QString::fromUtf8("été")}}},
        {"t_fp",
         {"NAME:10", "QTY:4", "PRICE:7", "BORN:8", "OK:1", "NOTE:12", "AMT:7", "PIC:11"},
         {{first, 5, 12.25, QDate(2001, 2, 3), true, "a\r\nb", 1.5, QByteArray("\x00\x01\xff", 3)},
          {"third", -7, 12.25, QDate(2001, 2, 3), false, QString::fromUtf8("été"), 1.5,
           QByteArray("\x00\x01\xff", 3)}}},
        {"t_vfp",
         {"NAME:10", "QTY:4", "PRICE:5", "BORN:8", "OK:1", "NOTE:12", "AMT:7"},
         {{first, 5, 12.25, QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)), true, "a\r\nb", 1.5},
          {"third", -7, 12.25, QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)), false,
           QString::fromUtf8("été"), 1.5}}},
    };
    // Any xBase specifier reads every version.
    auto db = OpenFolder(dir.path(), "dBASE III", true);
    EXPECT_EQ(db->TableDefs().Count(), 3);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        auto rs = db->OpenRecordset(c.table);
        QStringList types;
        for (int i = 0; i < rs->Fields().Count(); ++i)
            types << QStringLiteral("%1:%2")
                         .arg(rs->Fields().Item(i).Name())
                         .arg(rs->Fields().Item(i).Type());
        EXPECT_EQ(types, c.types);
        EXPECT_EQ(rs->RecordCount(), 2) << "the deleted record is not counted";
        for (const QVariantList& row : c.rows) {
            ASSERT_FALSE(rs->Eof());
            for (int i = 0; i < row.size(); ++i) {
                const QVariant value = rs->Fields().Item(i).Value();
                if (row[i].typeId() == QMetaType::Double)
                    EXPECT_DOUBLE_EQ(value.toDouble(), row[i].toDouble()) << i;
                else if (row[i].typeId() == QMetaType::QDate)
                    EXPECT_EQ(value.toDate(), row[i].toDate()) << i;
                else
                    EXPECT_EQ(value.toString(), row[i].toString()) << i;
                if (row[i].typeId() == QMetaType::QByteArray) {
                    EXPECT_EQ(value.toByteArray(), row[i].toByteArray());
                }
            }
            rs->MoveNext();
        }
        EXPECT_TRUE(rs->Eof());
    }
    db->Close();
}

}  // namespace
}  // namespace morvane::test
