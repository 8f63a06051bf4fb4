#include "propertybag/FilePropertyBag.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <limits>

namespace morvane {
namespace {

void WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

TEST(FilePropertyBagTest, ValuesRoundTripWithTheirTypes) {
    struct Case {
        const char* key;
        QVariant value;
    };
    const Case cases[] = {
        {"empty", QString("")},
        {"lines", QString("one\r\ntwo\nthree\\n")},
        {"equals", QString("a=b==c")},
        {"unicode", QString::fromUtf8("Zürich – 東京 😀")},
        {"controls", QString(QChar(1)) + "\t" + QChar(0x7f)},
        {"backslash", QString("C:\\dir\\")},
        {"colon", QString("s:x:y")},
        {"#hash key", QString("a key that would look like a comment line")},
        {"true", true},
        {"false", false},
        {"i16min", QVariant::fromValue<qint16>(std::numeric_limits<qint16>::min())},
        {"i16max", QVariant::fromValue<qint16>(std::numeric_limits<qint16>::max())},
        {"u16", QVariant::fromValue<quint16>(65535)},
        {"i32", QVariant(std::numeric_limits<int>::min())},
        {"u32", QVariant(std::numeric_limits<uint>::max())},
        {"i64", QVariant(std::numeric_limits<qlonglong>::min())},
        {"u64", QVariant(std::numeric_limits<qulonglong>::max())},
        {"double", QVariant(0.1)},
        {"huge", QVariant(1e300)},
        {"bytes", QVariant(QByteArray("\0\xff\n", 3))},
        {"null", QVariant()},
        {"key=with\nodd chars", QString("v")},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("form.props");
    FilePropertyBag out(path);
    for (const Case& c : cases) out.WriteProperty(c.key, c.value, QVariant());
    ASSERT_TRUE(out.Save()) << out.ErrorString().toStdString();

    FilePropertyBag in(path);
    ASSERT_TRUE(in.Load());
    EXPECT_EQ(in.MalformedLines(), 0);
    EXPECT_EQ(in.Keys(), out.Keys());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const QVariant loaded = in.Value(c.key);
        EXPECT_EQ(loaded.metaType(), c.value.metaType());
        EXPECT_EQ(loaded, c.value);
    }
}

TEST(FilePropertyBagTest, MissingFileLoadsAsEmpty) {
    QTemporaryDir dir;
    FilePropertyBag bag(dir.filePath("absent.props"));
    bag.SetValue("stale", 1);
    EXPECT_TRUE(bag.Load());
    EXPECT_TRUE(bag.Keys().isEmpty());
    EXPECT_EQ(bag.ReadProperty("ExportCaption", "Export Data"), QVariant("Export Data"));
}

TEST(FilePropertyBagTest, MalformedLinesAreSkippedAndTheRestLoads) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.props");
    WriteText(path,
              "# comment\n"
              "first=s:ok\r\n"
              "no equals sign\n"
              "=s:empty key\n"
              "unknown=zz:1\n"
              "short=i16:70000\n"
              "bool=b:2\n"
              "escape=s:bad\\q\n"
              "trailing=s:ends\\\n"
              "unicode=s:\\u12\n"
              "notype=value\n"
              "bytes=ba:!!!\n"
              "\n"
              "last=i32:-5\n"
              "\xff\xfe garbage bytes\n");
    FilePropertyBag bag(path);
    ASSERT_TRUE(bag.Load());
    EXPECT_EQ(bag.Keys(), QStringList({"first", "last"}));
    EXPECT_EQ(bag.Value("first"), QVariant("ok"));
    EXPECT_EQ(bag.Value("last"), QVariant(-5));
    EXPECT_EQ(bag.MalformedLines(), 11);
}

TEST(FilePropertyBagTest, FormatsOneEscapedLinePerValue) {
    struct Case {
        QString key;
        QVariant value;
        QString line;
    };
    const Case cases[] = {
        {"a=b", QString("x\ny"), "a\\=b=s:x\\ny"},
        {"ConnectString", QVariant::fromValue<qint16>(4), "ConnectString=i16:4"},
        {"ShowProgress", true, "ShowProgress=b:1"},
        {"Null", QVariant(), "Null=n:"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FilePropertyBag::FormatLine(c.key, c.value), c.line);
        QString key;
        QVariant value;
        ASSERT_TRUE(FilePropertyBag::ParseLine(c.line, key, value));
        EXPECT_EQ(key, c.key);
        EXPECT_EQ(value, c.value);
    }
}

TEST(FilePropertyBagTest, SaveReportsFailureAndReplacesTheWholeFile) {
    QTemporaryDir dir;
    FilePropertyBag unreachable(dir.filePath("no/such/dir/form.props"));
    unreachable.SetValue("a", 1);
    EXPECT_FALSE(unreachable.Save());
    EXPECT_FALSE(unreachable.ErrorString().isEmpty());

    // Saving again replaces the whole file: a key dropped from the bag is gone from disk.
    const QString path = dir.filePath("form.props");
    FilePropertyBag bag(path);
    bag.SetValue("a", 1);
    bag.SetValue("b", 2);
    ASSERT_TRUE(bag.Save());
    bag.Remove("a");
    ASSERT_TRUE(bag.Save());
    FilePropertyBag reread(path);
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.Keys(), QStringList({"b"}));
}

}  // namespace
}  // namespace morvane
