// The export run into Lotus sheets (output kinds 20, 21 and 22), as the wizard and batch
// runs do it: the People-style source exported to each kind opens in gnumeric's ssconvert
// with the expected cells, a second export to the same file asks the overwrite question
// before replacing the sheet, and sheets another program wrote export to delimited text.
// Label lotus-interop.
#include "tests/wizard/SessionTestSupport.h"

#include "export/engine/TypeConnect.h"

#include <QProcess>
#include <QStandardPaths>

namespace morvane::test {
namespace {

class LotusExportTest : public SessionTest {
  protected:
    void CreatePeople() {
        CreateSource(
            {{"Id", dbLong},
             {"Name", dbText, 30},
             {"Notes", dbMemo},
             {"Amount", dbDouble},
             {"Born", dbDate},
             {"Active", dbBoolean},
             {"Photo", dbLongBinary},
             {"First Name's", dbText, 10}},
            {{1, QStringLiteral("O'Brien \"Bob\""), QStringLiteral("line1\r\nline2"), 1234.5,
              QDateTime(QDate(1999, 12, 31), QTime(15, 4, 5)), true, QByteArray("\x01\x02", 2),
              QString::fromUtf8("Zoë")},
             {2, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
              QVariant()},
             {3, QVariant(), QVariant(), QVariant(), QDateTime(QDate(1850, 6, 1), QTime(12, 30)),
              QVariant(), QVariant(), QVariant()}},
            QStringLiteral("People"));
    }
    //! The sheet as ssconvert shows it (cells with their formats), one line per row.
    static QStringList Shown(const QString& path) {
        const QString csv = path + ".csv";
        QProcess process;
        process.start("ssconvert",
                      {"-I", "Gnumeric_lotus:lotus", "--export-type=Gnumeric_stf:stf_assistant",
                       "-O", "format=preserve separator=,", path, csv});
        process.waitForFinished(120000);
        QStringList lines = QString::fromUtf8(ReadBytes(csv)).split('\n');
        while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
};

TEST_F(LotusExportTest, PeopleExportsToEachKindAndOpensInSsconvert) {
    if (QStandardPaths::findExecutable("ssconvert").isEmpty())
        GTEST_SKIP() << "ssconvert (Debian package gnumeric) is not installed";
    CreatePeople();
    OpenSource(QStringLiteral("People"));
    for (const int kind : {TypeConnect::Lotus, TypeConnect::Lotus1, TypeConnect::Lotus3}) {
        SCOPED_TRACE(kind);
        const bool wk3 = kind == TypeConnect::Lotus3;
        const QString path =
            PathOf(QStringLiteral("people%1.%2").arg(kind).arg(wk3 ? "wk3" : "wk1"));
        session_->Setting().TypeFormat = kind;
        Export(path);
        EXPECT_TRUE(session_->LastRunCompleted());
        EXPECT_EQ(Boxes().back().text, SummaryText(3));
        // The memo's CR LF became two spaces and binary fields carry no value, as in every
        // export; the date-time is a serial number, shown with the WK1 date format (WK3:
        // general format), and one before the worksheet calendar is its text (no time zone
        // mark). ssconvert quotes what holds blanks or apostrophes.
        const QString born = wk3 ? QStringLiteral("36525.627836") : QStringLiteral("12/31/99");
        EXPECT_EQ(
            Shown(path).join('\n').toStdString(),
            QStringList({"Id,Name,Notes,Amount,Born,Active,Photo,\"First Name's\"",
                         QString::fromUtf8("1,\"O'Brien \"\"Bob\"\"\",\"line1  line2\",1234.5,") +
                             born + QString::fromUtf8(",1,,Zoë"),
                         "2,,,,,,,", "3,,,,1850-06-01T12:30:00.000,,,"})
                .join('\n')
                .toStdString());
    }
}

TEST_F(LotusExportTest, ASecondExportAsksBeforeReplacingTheSheet) {
    CreatePeople();
    OpenSource(QStringLiteral("People"));
    session_->Setting().TypeFormat = TypeConnect::Lotus1;
    const QString path = PathOf("people.wk1");
    Export(path);
    const QByteArray first = ReadBytes(path);
    ASSERT_FALSE(first.isEmpty());
    struct Case {
        MsgResult answer;
        bool replaced;
    };
    for (const Case& item : {Case{MsgResult::Cancel, false}, Case{MsgResult::OK, true}}) {
        // The file is made anew each time: a changed byte shows whether it was replaced.
        QByteArray marked = first;
        marked[marked.size() - 5] = 'X';
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(marked);
        file.close();
        prompter_.QueueMsgBoxAnswer(item.answer);
        Export(path);
        const auto boxes = Boxes();
        ASSERT_GE(boxes.size(), 2u);
        const bool asked = std::any_of(boxes.begin(), boxes.end(), [](const auto& box) {
            return box.text == QStringLiteral("Table already exists - overwrite?");
        });
        EXPECT_TRUE(asked);
        EXPECT_EQ(ReadBytes(path), item.replaced ? first : marked);
    }
}

TEST_F(LotusExportTest, AnotherWritersSheetExportsToText) {
    for (const char* name : {"people-sheetjs.wk1", "people-sheetjs.wk3"}) {
        SCOPED_TRACE(name);
        const QString fixture =
            QStringLiteral(MORVANE_SOURCE_DIR "/tests/data/lotus/fixtures/") + name;
        const QString type = QString(name).endsWith("wk3") ? "Lotus WK3;" : "Lotus WK1;";
        session_->Source().SetDb(DBEngine::Instance().OpenDatabase(fixture, 0, false, type));
        session_->Source().SetRs(
            session_->Source().Db()->OpenRecordset("people-sheetjs", dbOpenTable));
        session_->Source().SetName("people-sheetjs");
        session_->SetDefaultSetting();
        // Text quoted, numbers as numbers, the empty cell as an empty field.
        EXPECT_EQ(Export(), QByteArray("\"Ann\",1,2.5\r\n\"Bob\",,-3\r\n\"Cy\",42,1000000\r\n"));
    }
}

}  // namespace
}  // namespace morvane::test
