#include "export/common/IniFile.h"

#include "export/common/RuntimeError.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <array>

namespace morvane {
namespace {

const char kExample[] =
    "[settings]\r\nMonthly=\r\n\r\n[Monthly]\r\nTypeFormat=0\r\nSeparator=1\r\nDelimiter=0\r\n"
    "NbFields=3\r\nExportFldNames=1\r\nExportHtmlFldNames=1\r\nExportHtmlTableName=0\r\n"
    "HtmlTitle=\r\nHtmlTemplate=\r\nRecFieldSeparator=0\r\nRecSepOther=0\r\nMaxLines=0\r\n"
    "OemConvert=0\r\nUpper=0\r\nStartingLine=1\r\nField0=CustomerID\r\nField1=Name\r\n"
    "Field2=City\r\n\r\n[general]\r\nLastFile=C:\\Exports\\customers.txt\r\n";

class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Write(const QByteArray& bytes, const QString& name = "s.ini") {
        QFile file(dir_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    IniFile Loaded(const QByteArray& bytes) {
        IniFile ini(Write(bytes));
        EXPECT_TRUE(ini.Load());
        return ini;
    }

    QTemporaryDir dir_;
};

TEST_F(IniFileTest, ReadsTheExampleFile) {
    const IniFile ini = Loaded(kExample);
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"settings", "Monthly", ""},
        {"Monthly", "NbFields", "3"},
        {"MONTHLY", "field2", "City"},
        {"monthly", "HtmlTitle", ""},
        {"general", "LastFile", "C:\\Exports\\customers.txt"},
        {"Monthly", "StartingLine", "1"},
    };
    for (const auto& c : cases) {
        const auto value = ini.Value(c.section, c.key);
        ASSERT_TRUE(value.has_value()) << c.section << "/" << c.key;
        EXPECT_EQ(*value, c.value);
    }
    EXPECT_FALSE(ini.Value("Monthly", "Size0"));
    EXPECT_FALSE(ini.Value("Weekly", "TypeFormat"));
    EXPECT_EQ(ini.Keys("settings").value(), QStringList{"Monthly"});
    EXPECT_EQ(ini.Keys("Monthly")->size(), 18);
    EXPECT_EQ(ini.Keys("Monthly")->last(), "Field2");
    EXPECT_EQ(ini.Text().toLatin1(), QByteArray(kExample));
}

TEST_F(IniFileTest, ParsingRules) {
    const IniFile ini = Loaded(
        "orphan=1\n[ Sec ]\n  key one  =  spaced value  \nnoequals\n;comment=1\nKEY=dup\n"
        "key one=second\n=nameless\n[sec]\nlater=1\n[other\nx=2\n");
    EXPECT_EQ(ini.Value("sec", "key one").value(), "spaced value");
    EXPECT_EQ(ini.Value("SEC", "KEY").value(), "dup");
    EXPECT_FALSE(ini.Value("sec", "noequals"));
    EXPECT_FALSE(ini.Value("sec", ";comment"));
    EXPECT_FALSE(ini.Value("sec", "later"));  // the first section of a name wins
    EXPECT_EQ(ini.Value("other", "x").value(), "2");
    EXPECT_EQ(ini.Keys("sec").value(), (QStringList{"key one", "KEY"}));
}

TEST_F(IniFileTest, LongValuesAreCutAndLongLinesRead) {
    const QByteArray longValue(100000, 'v');
    const IniFile ini = Loaded("[s]\nk=" + longValue + "\nnext=ok\n");
    EXPECT_EQ(ini.Value("s", "k")->size(), IniFile::kMaxValueLength);
    EXPECT_EQ(ini.Value("s", "next").value(), "ok");
}

TEST_F(IniFileTest, GarbageAndMissingFilesNeverFail) {
    QByteArray garbage;
    for (int index = 0; index < 70000; ++index)
        garbage.append(static_cast<char>((index * 37) % 256));
    garbage.append("\n[s]\nk=\x00v\x81\n", 12);
    IniFile ini(Write(garbage));
    EXPECT_TRUE(ini.Load());
    EXPECT_EQ(ini.Value("s", "k").value(), QString(QChar(0)) + "v" + QChar(0x81));
    // Writing keeps every other byte (only line ends become CR LF).
    ini.SetValue("s", "new", "1");
    ini.Save();
    EXPECT_TRUE(Read(ini.Path()).startsWith(garbage.left(10)));

    IniFile missing(dir_.filePath("none.ini"));
    EXPECT_TRUE(missing.Load());
    EXPECT_FALSE(missing.Value("s", "k"));
    EXPECT_FALSE(missing.Keys("s"));

    IniFile directory(dir_.path());
    EXPECT_FALSE(directory.Load());
    EXPECT_FALSE(directory.Value("s", "k"));
}

TEST_F(IniFileTest, WritingReplacesInPlaceAndAppends) {
    IniFile ini = Loaded("[a]\nx=1\ny=2\n\n[b]\nz=3\n");
    ini.SetValue("A", "X", "10");
    ini.SetValue("a", "w", "4");
    ini.SetValue("c", "v", QString::fromUtf8("é€"));
    ini.Save();
    EXPECT_EQ(
        Read(ini.Path()),
        QByteArray("[a]\r\nX=10\r\ny=2\r\nw=4\r\n\r\n[b]\r\nz=3\r\n\r\n[c]\r\nv=\xe9\x80\r\n"));

    // The replaced file keeps its permissions.
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(ini.Path(), permissions));
    ini.SetValue("a", "x", "11");
    ini.Save();
    const auto modeBits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                          QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(ini.Path()) & modeBits, permissions);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"s.ini"});

    IniFile fresh(dir_.filePath("fresh.ini"));
    fresh.Load();
    fresh.SetValue("s", "k", "v");
    fresh.Save();
    EXPECT_EQ(Read(fresh.Path()), QByteArray("[s]\r\nk=v\r\n"));
}

TEST_F(IniFileTest, RemovingKeysAndSectionsRemovesEveryCopy) {
    IniFile ini = Loaded("[a]\nk=1\nk=2\nm=3\n[b]\nk=4\n[A]\nk=5\nold=6\n");
    ini.RemoveKey("a", "K");
    EXPECT_FALSE(ini.Value("a", "k"));
    EXPECT_EQ(ini.Value("b", "k").value(), "4");
    ini.RemoveSection("a");
    EXPECT_FALSE(ini.Keys("a"));
    EXPECT_FALSE(ini.Value("a", "old"));
    EXPECT_EQ(ini.Text(), "[b]\r\nk=4\r\n");
    ini.RemoveSection("missing");
    ini.RemoveKey("missing", "k");
    EXPECT_EQ(ini.Text(), "[b]\r\nk=4\r\n");
}

TEST_F(IniFileTest, NamesAndValuesTheFormatCannotHoldAreRefused) {
    IniFile ini(dir_.filePath("x.ini"));
    const std::array<std::array<const char*, 3>, 8> cases = {{
        {"", "k", "v"},
        {"s]", "k", "v"},
        {"s\n[t", "k", "v"},
        {"s", "", "v"},
        {"s", "k=1", "v"},
        {"s", "[k", "v"},
        {"s", ";k", "v"},
        {"s", "k", "v\r\nk2=x"},
    }};
    for (const auto& c : cases) {
        try {
            ini.SetValue(c[0], c[1], c[2]);
            ADD_FAILURE() << c[0] << "/" << c[1];
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), ErrInvalidProcedureCall);
        }
    }
    EXPECT_EQ(ini.Text(), "");
}

TEST_F(IniFileTest, FailedWritesRaiseAndKeepTheOldFile) {
    const QString path = Write("[s]\nk=old\n");
    IniFile ini(path);
    ini.Load();
    ini.SetValue("s", "k", "new");

    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (QFileInfo(dir_.path()).isWritable())
        GTEST_SKIP() << "running with rights that ignore modes";
    EXPECT_THROW(ini.Save(), RuntimeError);
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(Read(path), QByteArray("[s]\nk=old\n"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"s.ini"});

    QFile::setPermissions(path, QFile::ReadOwner);
    try {
        ini.Save();
        ADD_FAILURE();
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), ErrPermissionDenied);
    }
    EXPECT_EQ(Read(path), QByteArray("[s]\nk=old\n"));
}

TEST_F(IniFileTest, WritesThatCannotBeDoneRaise) {
    struct Case {
        QString path;
        int number;
    };
    const Case cases[] = {{dir_.path(), ErrPathFileAccess},
                          {dir_.filePath("no/dir/x.ini"), ErrPathNotFound}};
    for (const auto& c : cases) {
        IniFile target(c.path);
        target.Load();
        target.SetValue("s", "k", "v");
        try {
            target.Save();
            ADD_FAILURE() << c.path.toStdString();
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), c.number);
        }
    }
}

// A file in a directory where nothing can be created, whatever the rights of the caller.
TEST_F(IniFileTest, FailedWriteInASystemDirectoryKeepsTheFile) {
    const QString path = "/proc/version";
    if (!QFile::exists(path)) GTEST_SKIP() << "no /proc";
    const QByteArray before = Read(path);
    IniFile ini(path);
    ini.Load();
    ini.SetValue("s", "k", "v");
    try {
        ini.Save();
        ADD_FAILURE();
    } catch (const RuntimeError& error) {
        EXPECT_TRUE(error.Number() == ErrPathFileAccess || error.Number() == ErrPermissionDenied);
    }
    EXPECT_EQ(Read(path), before);
}

TEST_F(IniFileTest, AnUnreadableFileIsNeverOverwritten) {
    const QString path = Write("[s]\nk=precious\n");
    QFile::setPermissions(path, QFile::WriteOwner);
    IniFile ini(path);
    if (ini.Load()) GTEST_SKIP() << "running with rights that ignore modes";
    ini.SetValue("s", "other", "1");
    EXPECT_THROW(ini.Save(), RuntimeError);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(Read(path), QByteArray("[s]\nk=precious\n"));
}

}  // namespace
}  // namespace morvane
