// The text export file: ANSI bytes, regular files only, errors by number.
#include "export/common/CodePage.h"
#include "export/common/RuntimeError.h"
#include "export/engine/TextFileWriter.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>

namespace morvane {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

TEST(TextFileWriterTest, WritesAnsiBytesOnly) {
    ASSERT_TRUE(CodePage::SetAnsiCodePage("windows-1252"));
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"plain\r\n", "plain\r\n"},
        {QString::fromUtf8("é€ßÿ"), "\xE9\x80\xDF\xFF"},
        {QString::fromUtf8("Жx"), "?x"},
        {QString::fromUtf8("😀"), "??"},  // one "?" per UTF-16 unit: widths count units
        {QString(), QByteArray()},
        {QString(QChar(0)) + "a", QByteArray("\0a", 2)},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    for (const Case& c : cases) {
        TextFileWriter writer;
        writer.Open(path);
        EXPECT_TRUE(writer.IsOpen());
        writer.Write(c.text);
        writer.Close();
        EXPECT_FALSE(writer.IsOpen());
        EXPECT_EQ(ReadAll(path), c.bytes) << c.text.toStdString();
    }
}

TEST(TextFileWriterTest, ReplacesContentsAndReleasesOnAbandon) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("a much longer old content");
    }
    TextFileWriter writer;
    writer.Open(path);
    writer.Write(u"new");
    writer.Abandon();  // buffered bytes are still written
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(ReadAll(path), "new");
    writer.Close();  // harmless when closed
    EXPECT_EQ(ErrorNumberOf([&] { writer.Write(u"x"); }), 52);
}

// The bytes go to the file through a writing thread: many buffers arrive whole and in
// order, and Flush returns only once everything handed over is in the file.
TEST(TextFileWriterTest, ManyBuffersArriveInOrderAndFlushWaitsForThem) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    TextFileWriter writer;
    writer.Open(path);
    QByteArray expected;
    for (int line = 0; line < 200000; ++line) {
        const QByteArray text = QByteArray::number(line) + (line % 7 ? "," : "\r\n");
        expected += text;
        if (line % 2) {
            writer.Write(QString::fromLatin1(text));
        } else {
            writer.PendingBytes() += text;  // the export run's fast path
            writer.FlushIfFull();
        }
    }
    ASSERT_GT(expected.size(), 1 << 20);
    writer.Flush();
    EXPECT_EQ(ReadAll(path), expected) << "all written by Flush, the file still open";
    writer.Write(u"end");
    writer.Close();
    EXPECT_EQ(ReadAll(path), expected + "end");
}

// A write that fails on the writing thread is raised on the caller's, once, by a later call
// (at the latest by Flush or Close), and the file is still released.
TEST(TextFileWriterTest, AFailedBackgroundWriteIsRaisedLaterAndOnce) {
    constexpr rlim_t kLimit = 256 * 1024;  // the file may not grow past this
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const struct rlimit limited = {kLimit, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);  // a write past it fails with EFBIG
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    const QString chunk(1000, QLatin1Char('x'));
    int raised = 0;
    int number = 0;
    {
        TextFileWriter writer;
        writer.Open(path);
        for (int piece = 0; piece < 1000 && raised == 0; ++piece) {
            number = ErrorNumberOf([&] { writer.Write(chunk); });
            raised += number != 0;
        }
        if (raised == 0) {
            number = ErrorNumberOf([&] { writer.Flush(); });
            raised += number != 0;
        }
        EXPECT_EQ(raised, 1);
        EXPECT_EQ(number, 75) << "Path/File access error";
        EXPECT_EQ(ErrorNumberOf([&] { writer.Flush(); }), 0) << "raised once";
        writer.Close();
        EXPECT_FALSE(writer.IsOpen());
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_LE(QFileInfo(path).size(), static_cast<qint64>(kLimit));
}

TEST(TextFileWriterTest, RefusesWhatIsNoRegularFile) {
    QTemporaryDir dir;
    const QString directory = dir.filePath("sub");
    ASSERT_TRUE(QDir().mkdir(directory));
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString regular = dir.filePath("file.txt");
    QFile(regular).open(QIODevice::WriteOnly);
    const QString link = dir.filePath("link.txt");
    ASSERT_TRUE(QFile::link(regular, link));

    struct Case {
        QString path;
        bool special;
        int openError;
    };
    const Case cases[] = {
        {directory, true, 75},
        {fifo, true, 75},  // refused before opening: an export never blocks on a pipe
        {regular, false, 0},
        // A link is never written through: the run removes it first, and one planted after
        // that (between removal and opening) is refused.
        {link, false, 75},
        {dir.filePath("new.txt"), false, 0},
        {dir.filePath("missing/new.txt"), false, 76},
        {QString(), false, 52},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextFileWriter::IsSpecialPath(c.path), c.special) << c.path.toStdString();
        TextFileWriter writer;
        EXPECT_EQ(ErrorNumberOf([&] { writer.Open(c.path); }), c.openError) << c.path.toStdString();
        EXPECT_EQ(writer.IsOpen(), c.openError == 0);
    }
    EXPECT_TRUE(QFileInfo(directory).isDir());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

}  // namespace
}  // namespace morvane
