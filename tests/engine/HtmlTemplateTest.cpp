// GetTemplate: the body attributes of a template page.
#include "export/common/RuntimeError.h"
#include "export/engine/HtmlTemplate.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <future>

namespace morvane {
namespace {

QString WriteTemplate(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath(QStringLiteral("template.html"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return QString();
    file.write(bytes);
    return path;
}

TEST(HtmlTemplateTest, BodyAttributes) {
    struct Case {
        const char* name;
        QByteArray content;
        QString expected;
    };
    const QByteArray filler(2990, 'x');
    const Case cases[] = {
        {"upper case", "<HTML><BODY BGCOLOR=#FFFFCC></BODY>", " BGCOLOR=#FFFFCC"},
        {"lower case kept as written", "<body bgColor=\"red\"  text=#000>",
         " bgColor=\"red\"  text=#000"},
        {"mixed case, no attributes", "<BoDy>x", ""},
        {"first body tag only", "<body a=1><BODY b=2>", " a=1"},
        {"line break inside the tag", "<BODY\r\nBGCOLOR=1>", "\r\nBGCOLOR=1"},
        {"no body tag", "<html><head></head></html>", ""},
        {"empty file", "", ""},
        {"ANSI bytes", "<BODY title=\xE9t\xE9>", " title=\xC3\xA9t\xC3\xA9"},
        {"no closing bracket: up to the last character", "<html><BODY abc", " ab"},
        {"tag is the whole file", "<BODY", ""},
        {"tag ends within 3000 characters", filler + "<BODY ab>", " ab"},
        {"cut at 3000 characters", filler + "<BODY abcdefgh>", " abc"},
        {"tag begins after 3000 characters", QByteArray(3000, 'x') + "<BODY ab>", ""},
        {"tag straddles the limit", QByteArray(2997, 'x') + "<BODY ab>", ""},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString path = WriteTemplate(dir, c.content);
        ASSERT_FALSE(path.isEmpty());
        EXPECT_EQ(GetTemplate(path), c.expected) << c.name;
    }
}

TEST(HtmlTemplateTest, PathsWithoutTemplate) {
    QTemporaryDir dir;
    EXPECT_EQ(GetTemplate(QString()), QString());
    EXPECT_EQ(GetTemplate(dir.filePath("absent.html")), QString());
    EXPECT_FALSE(QFile::exists(dir.filePath("absent.html"))) << "the template is never created";

    struct Case {
        QString path;
        int number;
    };
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const Case failing[] = {
        {dir.filePath("nofolder/t.html"), 76}, {dir.filePath("sub"), 75}, {fifo, 75}};
    for (const Case& c : failing) {
        // Run aside, so that a read that waits for a pipe's writer fails the test instead
        // of hanging it.
        auto number = std::async(std::launch::async, [&] {
            try {
                GetTemplate(c.path);
            } catch (const RuntimeError& error) {
                return error.Number();
            }
            return 0;
        });
        if (number.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
            ADD_FAILURE() << "waits forever on " << c.path.toStdString();
            ::close(::open(QFile::encodeName(c.path).constData(), O_WRONLY));
        }
        EXPECT_EQ(number.get(), c.number) << c.path.toStdString();
    }
}

}  // namespace
}  // namespace morvane
