#include "export/common/IniAccess.h"

#include "export/common/RuntimeError.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

namespace morvane {
namespace {

class IniAccessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath("settings.ini");
        SetIniFile(path_);
    }
    void TearDown() override { SetIniFile(QString()); }

    void WriteFile(const QByteArray& bytes) {
        QFile file(path_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QStringList Listed(const QString& section) {
        QStringList list{"kept"};
        ListIniKeys(section, list);
        list.removeFirst();
        return list;
    }

    QTemporaryDir dir_;
    QString path_;
};

TEST_F(IniAccessTest, GetIniIntParsing) {
    WriteFile("[n]\na=42\nb=-7\nc=12abc\nd=abc\ne=\nf= +5 \ng=32767\nh=-32768\n");
    struct Case {
        const char* key;
        short expected;
    };
    const Case cases[] = {{"a", 42}, {"b", -7},    {"c", 12},     {"d", 0},       {"e", 99},
                          {"f", 5},  {"g", 32767}, {"h", -32768}, {"missing", 99}};
    for (const auto& c : cases) EXPECT_EQ(GetIniInt("n", c.key, 99), c.expected) << c.key;
}

TEST_F(IniAccessTest, IntegersOutsideSixteenBitsOverflow) {
    WriteFile("[n]\nbig=32768\nsmall=-32769\nhuge=99999999999999999999999\nkeep=5\n");
    for (const char* key : {"big", "small", "huge"}) {
        try {
            GetIniInt("n", key, 0);
            ADD_FAILURE() << key;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), ErrOverflow);
        }
        EXPECT_TRUE(GetIniBool("n", key, false)) << key;
    }
    for (int value : {32768, -32769, 100000}) {
        EXPECT_THROW(WriteIniInt("n", "keep", value), RuntimeError);
        EXPECT_EQ(GetIniInt("n", "keep", 0), 5);
    }
    WriteIniInt("n", "keep", -32768);
    EXPECT_EQ(GetIniString("n", "keep", ""), "-32768");
}

TEST_F(IniAccessTest, WritesReadBack) {
    WriteIniString("Monthly", "HtmlTitle", "Sales");
    WriteIniInt("Monthly", "TypeFormat", 1);
    WriteIniBool("Monthly", "Upper", true);
    WriteIniBool("Monthly", "OemConvert", false);
    WriteIniString("settings", "Monthly", "");
    EXPECT_EQ(GetIniString("monthly", "htmltitle", "x"), "Sales");
    EXPECT_EQ(GetIniInt("Monthly", "TypeFormat", 0), 1);
    EXPECT_TRUE(GetIniBool("Monthly", "Upper", false));
    EXPECT_FALSE(GetIniBool("Monthly", "OemConvert", true));
    EXPECT_TRUE(GetIniBool("Monthly", "Missing", true));
    EXPECT_EQ(GetIniString("settings", "Monthly", "x"), "");
    EXPECT_EQ(GetIniString("settings", "Weekly", "x"), "x");
    QFile file(path_);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("[Monthly]\r\nHtmlTitle=Sales\r\nTypeFormat=1\r\nUpper=1\r\n"
                         "OemConvert=0\r\n\r\n[settings]\r\nMonthly=\r\n"));
}

TEST_F(IniAccessTest, DeletingKeysAndSections) {
    WriteFile("[settings]\nMonthly=\nWeekly=\n[Monthly]\nTypeFormat=1\nSize0=5\n");
    DeleteIniSection("monthly");
    DeleteIniKey("Settings", "MONTHLY");
    EXPECT_EQ(GetIniString("Monthly", "Size0", "gone"), "gone");
    EXPECT_EQ(Listed("settings"), QStringList{"Weekly"});
}

TEST_F(IniAccessTest, ListIniKeysFollowsTheBufferRules) {
    WriteFile(
        "[settings]\nMonthly=\nWeekly=\nDaily=\n[starts]\nDefaultExport=\nOther=\n"
        "[later]\nMine=\nDefault=\n[empty]\n");
    struct Case {
        const char* section;
        QStringList expected;
    };
    const Case cases[] = {
        {"settings", {"Monthly", "Weekly", "Daily"}},
        {"SETTINGS", {"Monthly", "Weekly", "Daily"}},
        {"starts", {}},  // the first name begins with "Default"
        {"later", {"Mine", "Default"}},
        {"empty", {}},
        {"missing", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Listed(c.section), c.expected) << c.section;
}

TEST_F(IniAccessTest, ListIniKeysCutsAtTheBufferSize) {
    QByteArray file = "[big]\n";
    QStringList names;
    for (int index = 0; index < 500; ++index) {
        names.append(QString("Setting%1").arg(index, 3, 10, QChar('0')));  // 10 + NUL each
        file += names.last().toLatin1() + "=\n";
    }
    WriteFile(file);
    const QStringList listed = Listed("big");
    // 4094 characters hold 372 whole names; the 373rd is cut to its first 2 characters.
    ASSERT_EQ(listed.size(), 373);
    EXPECT_EQ(listed.mid(0, 372), names.mid(0, 372));
    EXPECT_EQ(listed.last(), "Se");
}

TEST_F(IniAccessTest, WriteBatchWritesOnceOnCommit) {
    WriteFile("[Old]\r\nKeep=1\r\n");
    QFile file(path_);
    {
        IniWriteBatch batch;
        WriteIniString("New", "A", "x");
        WriteIniInt("New", "B", 7);
        DeleteIniSection("Old");
        // Reads inside the batch see its edits; the file on disk is untouched so far.
        EXPECT_EQ(GetIniString("New", "A", ""), "x");
        EXPECT_EQ(GetIniString("Old", "Keep", "gone"), "gone");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "[Old]\r\nKeep=1\r\n");
        file.close();
        IniWriteBatch inner;  // nested batches do nothing of their own
        inner.Commit();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "[Old]\r\nKeep=1\r\n");
        file.close();
        batch.Commit();
    }
    EXPECT_EQ(GetIniString("Old", "Keep", "gone"), "gone");
    EXPECT_EQ(GetIniInt("New", "B", 0), 7);
    // A batch dropped without Commit leaves the file as it was.
    {
        IniWriteBatch batch;
        WriteIniString("New", "A", "changed");
    }
    EXPECT_EQ(GetIniString("New", "A", ""), "x");
}

TEST_F(IniAccessTest, EmptyPathReadsDefaultsAndWritesNothing) {
    SetIniFile(QString());
    EXPECT_EQ(IniFilePath(), "");
    WriteIniString("s", "k", "v");
    WriteIniInt("s", "n", 3);
    DeleteIniSection("s");
    EXPECT_EQ(GetIniString("s", "k", "def"), "def");
    EXPECT_EQ(GetIniInt("s", "n", 7), 7);
    EXPECT_EQ(Listed("s"), QStringList{});
    EXPECT_FALSE(QFile::exists(path_));
}

}  // namespace
}  // namespace morvane
