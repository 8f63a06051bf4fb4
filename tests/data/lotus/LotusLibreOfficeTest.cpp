// LibreOffice (headless, package libreoffice-calc-nogui) as a second independent reader of
// the worksheet files this engine writes. Label lotus-interop; skipped without soffice.
#include "tests/data/lotus/LotusTestSupport.h"

#include <QProcess>
#include <QStandardPaths>

namespace morvane::test {
namespace {

TEST(LotusLibreOffice, ReadsWhatWeWrite) {
    if (QStandardPaths::findExecutable("soffice").isEmpty())
        GTEST_SKIP() << "soffice (Debian package libreoffice-calc-nogui) is not installed";
    QTemporaryDir dir;
    const std::vector<LotusField> fields = {{"Name", dbText, 30},
                                            {"Price", dbDouble, 0},
                                            {"Active", dbBoolean, 0},
                                            {"Born", dbDate, 0},
                                            {"Note", dbMemo, 0}};
    // Letters that code pages 437 and 850 share: LibreOffice reads worksheet bytes above
    // 0x7F as code page 437 (WK3's LMBCS group byte aside), where the LMBCS group 1 this
    // engine writes is code page 850 ("ø", 0x9B, shows there as "¢").
    const std::vector<std::vector<QVariant>> rows = {
        {QString::fromUtf8("Zoë Ærö"), 12.5, true, QDate(1999, 12, 31), QStringLiteral("line")},
        {QVariant(), -0.25, false, QDate(1900, 3, 1), QStringLiteral("O'Brien, \"quoted\"")},
    };
    WriteLotusTable(dir.filePath("people.wk1"), false, "people", fields, rows);
    WriteLotusTable(dir.filePath("people.wk3"), true, "people", fields, rows);
    for (const char* name : {"people.wk1", "people.wk3"}) {
        SCOPED_TRACE(name);
        const QString out = dir.filePath(QString(name).replace('.', '_'));
        QProcess process;
        process.start("soffice",
                      {"--headless", "-env:UserInstallation=file://" + dir.filePath("profile"),
                       "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76",
                       dir.filePath(name), "--outdir", out});
        ASSERT_TRUE(process.waitForFinished(180000));
        QStringList lines = QString::fromUtf8(ReadBytes(out + "/people.csv")).split('\n');
        while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        // WK1 dates show with their date format; WK3 dates are plain serial numbers.
        const bool wk3 = QString(name).endsWith("wk3");
        EXPECT_EQ(
            lines.join('\n').toStdString(),
            QStringList(
                {"Name,Price,Active,Born,Note",
                 QString::fromUtf8("Zoë Ærö,12.5,1,") + (wk3 ? "36525" : "12/31/99") + ",line",
                 QString(",-0.25,0,") + (wk3 ? "61" : "3/1/00") + ",\"O'Brien, \"\"quoted\"\"\""})
                .join('\n')
                .toStdString());
    }
}

}  // namespace
}  // namespace morvane::test
