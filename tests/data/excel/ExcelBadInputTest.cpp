// Damaged and unreadable workbooks: every case fails with a clear engine error naming the
// file, never crashes, and leaves the file as it was (opened for writing too).
#include "tests/data/excel/ExcelTestSupport.h"

#include <QtEndian>

namespace morvane::test {
namespace {

// A workbook of `connect` with the sheet People (texts, so BIFF8 has a string table).
QByteArray Workbook(const char* connect) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("good.xls"));
    auto db = OpenExcel(path, connect);
    CreateTable(*db, QStringLiteral("People"),
                {{QStringLiteral("Name"), dbText, 20}, {QStringLiteral("Age"), dbLong, 0}});
    auto rs = db->OpenRecordset(QStringLiteral("People"));
    for (int row = 0; row < 40; ++row) AddRow(*rs, {QStringLiteral("Person %1").arg(row), row});
    rs->Close();
    db->Close();
    return ReadBytes(path);
}

// Replaces the first occurrence of `pattern` by `replacement` (same size).
QByteArray Patch(QByteArray bytes, const QByteArray& pattern, const QByteArray& replacement) {
    const qsizetype at = bytes.indexOf(pattern);
    EXPECT_GE(at, 0) << "pattern not found";
    if (at >= 0) bytes.replace(at, replacement.size(), replacement);
    return bytes;
}

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

// The OLE2 directory's sector chain made to point at itself.
QByteArray LoopedDirectory(QByteArray bytes) {
    const quint32 fatSector = qFromLittleEndian<quint32>(bytes.constData() + 0x4C);
    const quint32 directory = qFromLittleEndian<quint32>(bytes.constData() + 0x30);
    const qsizetype entry = (fatSector + 1) * 512 + 4 * directory;
    if (entry + 4 <= bytes.size()) qToLittleEndian(directory, bytes.data() + entry);
    return bytes;
}

struct BadCase {
    const char* name;
    const char* connect;
    std::function<QByteArray(const QByteArray&)> damage;
};

TEST(ExcelBadInputTest, DamagedFilesFailClearly) {
    const BadCase cases[] = {
        {"truncated compound file", "Excel 97;",
         [](const QByteArray& b) { return b.left(b.size() / 2); }},
        {"truncated BIFF3 file", "Excel 3.0;",
         [](const QByteArray& b) { return b.left(b.size() - 30); }},
        {"record past the end (BIFF4 EOF record length)", "Excel 4.0;",
         [](const QByteArray& b) { return b.left(b.size() - 2) + Hex("ff7f"); }},
        {"not a workbook", "Excel 97;",
         [](const QByteArray&) { return QByteArray("just text, no workbook at all"); }},
        {"broken compound file header (FAT sector far away)", "Excel 97;",
         [](const QByteArray& b) {
             QByteArray c = b;
             qToLittleEndian<quint32>(0x7FFFFF00u, c.data() + 0x4C);
             return c;
         }},
        {"string table index out of range", "Excel 97;",
         [](const QByteArray& b) {
             return Patch(b, Hex("fd000a00010000000f0002000000"),
                          Hex("fd000a00010000000f00ffff0000"));
         }},
        {"password-protected (FILEPASS)", "Excel 97;",
         [](const QByteArray& b) { return Patch(b, Hex("42000200b004"), Hex("2f0002000000")); }},
        {"password-protected BIFF5 (FILEPASS)", "Excel 5.0;",
         [](const QByteArray& b) { return Patch(b, Hex("42000200e404"), Hex("2f0002000000")); }},
        {"sheet type not read (chart BOF in a BIFF3 file)", "Excel 3.0;",
         [](const QByteArray& b) {
             return Patch(b, Hex("0902060000001000"), Hex("0902060000002000"));
         }},
    };
    QTemporaryDir dir;
    for (const BadCase& bad : cases) {
        const QByteArray bytes = bad.damage(Workbook(bad.connect));
        const QString path = WriteFile(dir, QStringLiteral("bad.xls"), bytes);
        for (bool readOnly : {true, false}) {
            int number = 0;
            QString description;
            try {
                auto db = OpenExcel(path, bad.connect, readOnly);
                for (int index = 0; index < db->TableDefs().Count(); ++index) {
                    auto rs = db->OpenRecordset(db->TableDefs().Item(index).Name());
                    rs->MoveLast();
                }
                db->Close();
            } catch (const EngineError& error) {
                number = error.Number();
                description = error.Description();
            }
            EXPECT_TRUE(number == ErrCorruptDatabase || number == ErrUnrecognizedFormat ||
                        number == ErrNotSupported)
                << bad.name << ": error " << number;
            EXPECT_TRUE(description.contains(path))
                << bad.name << ": " << description.toStdString();
            EXPECT_EQ(ReadBytes(path), bytes) << bad.name << ": the file was changed";
        }
    }
}

// A loop in the compound file's directory chain: libgsf stops at it; whatever it then
// finds, nothing crashes and the file stays as it was.
TEST(ExcelBadInputTest, LoopInTheDirectoryChain) {
    QTemporaryDir dir;
    const QByteArray bytes = LoopedDirectory(Workbook("Excel 5.0;"));
    const QString path = WriteFile(dir, QStringLiteral("loop.xls"), bytes);
    try {
        auto db = OpenExcel(path, "Excel 5.0;");
        for (int index = 0; index < db->TableDefs().Count(); ++index)
            Rows(*db, db->TableDefs().Item(index).Name());
        db->Close();
    } catch (const EngineError& error) {
        EXPECT_TRUE(error.Description().contains(path)) << error.Description().toStdString();
    }
    EXPECT_EQ(ReadBytes(path), bytes);
}

// The errors say what they found.
TEST(ExcelBadInputTest, MessagesNameTheFault) {
    QTemporaryDir dir;
    const struct {
        const char* connect;
        QByteArray bytes;
        const char* words;
    } cases[] = {
        {"Excel 97;", Patch(Workbook("Excel 97;"), Hex("42000200b004"), Hex("2f0002000000")),
         "password"},
        {"Excel 97;",
         Patch(Workbook("Excel 97;"), Hex("fd000a00010000000f0002000000"),
               Hex("fd000a00010000000f00ffff0000")),
         "shared string index"},
        {"Excel 4.0;", Workbook("Excel 4.0;").chopped(2) + Hex("ff7f"), "runs past the end"},
    };
    for (const auto& bad : cases) {
        const QString path = WriteFile(dir, QStringLiteral("bad.xls"), bad.bytes);
        QString description;
        try {
            auto db = OpenExcel(path, bad.connect, true);
            Rows(*db, db->TableDefs().Item(0).Name());
        } catch (const EngineError& error) {
            description = error.Description();
        }
        EXPECT_TRUE(description.contains(QString::fromLatin1(bad.words)))
            << description.toStdString();
    }
}

// An existing file written by another version is read, but changed only by its own type.
TEST(ExcelBadInputTest, OtherVersionIsNotRewritten) {
    QTemporaryDir dir;
    const QByteArray bytes = Workbook("Excel 5.0;");
    const QString path = WriteFile(dir, QStringLiteral("five.xls"), bytes);
    auto db = OpenExcel(path, "Excel 97;");
    EXPECT_EQ(Rows(*db, QStringLiteral("People")).size(), 40);
    EXPECT_EQ(ErrorOf([&] {
                  CreateTable(*db, QStringLiteral("More"), {{QStringLiteral("x"), dbLong, 0}});
              }),
              ErrNotSupported);
    db->Close();
    EXPECT_EQ(ReadBytes(path), bytes);
}

}  // namespace
}  // namespace morvane::test
