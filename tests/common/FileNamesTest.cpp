#include "export/common/FileNames.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace morvane {
namespace {

struct PathCase {
    const char* path;
    const char* expected;
};

TEST(FileNamesTest, FileDirectory) {
    const PathCase cases[] = {
        {"/data/sales.db", "/data"}, {"sales.db", "."},  {"/sales.db", ""},
        {"a/b/c.txt", "a/b"},        {"dir\\x.db", "."}, {"/data/", "/data"},
    };
    for (const auto& c : cases) EXPECT_EQ(FileDirectory(c.path), c.expected) << c.path;
}

TEST(FileNamesTest, FileBaseName) {
    const PathCase cases[] = {
        {"/x/report.final.txt", "report.final"},
        {"/x/report", "report"},
        {"name.txt", "name"},
        {"/dir.old/file", "file"},
        {"a\\b.txt", "a\\b"},
        {".hidden", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FileBaseName(c.path), c.expected) << c.path;
}

TEST(FileNamesTest, FileExtension) {
    const PathCase cases[] = {
        {"/dir.old/file", ""}, {"  /x/Report.TXT  ", "TXT"},
        {".txt", "txt"},       {"/a/b.tar.gz", "gz"},
        {"noext", ""},         {"/a/b.", ""},
        {"a.b\\c", "b\\c"},
    };
    for (const auto& c : cases) EXPECT_EQ(FileExtension(c.path), c.expected) << c.path;
}

TEST(FileNamesTest, NameAfterLast) {
    struct Case {
        const char* text;
        const char* separator;
        const char* expected;
    };
    const Case cases[] = {
        {"a;b;c", ";", "c"}, {"abc", ";", "abc"}, {"a::b", "::", "b"},
        {"a;", ";", ""},     {"abc", "", "abc"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NameAfterLast(c.text, c.separator), c.expected) << c.text << " " << c.separator;
}

TEST(FileNamesTest, FileExistsWithWildcardsAndDirectories) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"report.txt", "data[1].csv", ".hidden"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub.d"));
    const QString base = dir.path() + "/";
    struct Case {
        QString path;
        short expected;
    };
    const Case cases[] = {
        {base + "report.txt", 1},
        {base + "*.txt", 1},
        {base + "rep?rt.*", 1},
        {base + "*.doc", -1},
        {base + "report.tx", -1},
        {base + "data[1].*", 1},
        {base + "sub.d", 1},
        {base + "sub.*", 1},
        {dir.path(), 1},
        {base + ".hid*", 1},
        {base + "nodir/*.txt", -1},
        {base + "Report.txt", -1},
        {QString(), -1},
        {base + "*", 1},
        {base + "???????????", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(FileExists(c.path), c.expected) << c.path.toStdString();
}

TEST(FileNamesTest, FileExistsRelativeAndRootPatterns) {
    EXPECT_EQ(FileExists("/*"), 1);  // the root directory is never empty
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    QFile file("local.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(FileExists("local.ini"), 1);
    EXPECT_EQ(FileExists("*.ini"), 1);
    EXPECT_EQ(FileExists("*.db"), -1);
    QDir::setCurrent(previous);
}

}  // namespace
}  // namespace morvane
