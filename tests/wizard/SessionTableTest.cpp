// The export run into native destination tables (output kind Access): the table made from
// the selected fields, values stored by type whatever the regional setting, the existing
// table question, the stage-10 prompt and its resume, stops, cancellation, and a
// destination that is the source's own file. Every table is read back with sqlite3; the
// People source exported to the Paradox kinds is read back through the engine.
#include "tests/wizard/SessionTestSupport.h"
#include "tests/wizard/TableReadBack.h"

#include "export/data/dbengine/DBEngine.h"
#include "export/engine/ExportProgress.h"
#include "export/engine/TypeConnect.h"

#include <sys/mount.h>
#include <QDateTime>
#include <QDir>
#include <random>

namespace morvane::test {
namespace {

const QString kTableQuestion = QStringLiteral("Table already exists - overwrite?");

class SessionTableTest : public SessionTest {
  protected:
    //! The People-style source: every kind of value, with a row of Nulls.
    void CreatePeople() {
        CreateSource({{"Id", dbLong},
                      {"Name", dbText, 30},
                      {"Notes", dbMemo},
                      {"Amount", dbDouble},
                      {"Price", dbCurrency},
                      {"Born", dbDate},
                      {"Active", dbBoolean},
                      {"Photo", dbLongBinary},
                      {"First Name's", dbText, 10}},
                     {{1, QStringLiteral("O'Brien \"Bob\""), QStringLiteral("line1\r\nline2"),
                       1234.5, 12.25, QDateTime(QDate(1999, 12, 31), QTime(15, 4, 5)), true,
                       QByteArray("\x01\x02", 2), QStringLiteral("Zoë")},
                      {2, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                       QVariant(), QVariant()}},
                     QStringLiteral("People"));
    }

    QString DestPath() const { return PathOf(QStringLiteral("dest.db")); }

    void ExportToAccess(const QString& path) {
        session_->Setting().TypeFormat = TypeConnect::Access;
        session_->Destination().File = path;
        session_->StartExport();
    }

    QStringList Rows(const QString& sql) const {
        bool ok = false;
        const QStringList rows = Sqlite3Rows(DestPath(), sql, &ok);
        EXPECT_TRUE(ok) << sql.toStdString();
        return rows;
    }
};

TEST_F(SessionTableTest, PeopleTableIsCreatedAndReadsBackByTypeInAnyRegion) {
    SetRegionalLocale(QLocale(QLocale::German, QLocale::Germany));
    CreatePeople();
    OpenSource(QStringLiteral("People"));
    ExportToAccess(DestPath());
    EXPECT_TRUE(session_->LastRunCompleted());
    ExpectOnlySummary(2);
    EXPECT_FALSE(session_->Destination().Db) << "the run releases the destination";

    // The table takes the source's base name and the fields in export order, typed.
    EXPECT_EQ(Rows("SELECT name, type, \"notnull\" FROM pragma_table_info('People')"),
              QStringList({"Id|INTEGER|0", "Name|VARCHAR(30)|0", "Notes|TEXT|0", "Amount|DOUBLE|0",
                           "Price|CURRENCY|0", "Born|DATETIME|0", "Active|BOOLEAN|0",
                           "Photo|BLOB|0", "First Name's|VARCHAR(10)|0"}));
    // Numbers and dates are numbers and ISO dates, never German regional text; the memo's
    // CR LF became two spaces; binary fields carry no value in an export.
    EXPECT_EQ(Rows("SELECT Id, Name, Notes, Amount, typeof(Amount), Price, Born, Active, "
                   "Photo, \"First Name's\" FROM People ORDER BY Id"),
              QStringList({"1|O'Brien \"Bob\"|line1  line2|1234.5|real|12.25|1999-12-31 "
                           "15:04:05|1|<null>|Zoë",
                           "2|<null>|<null>|<null>|null|<null>|<null>|<null>|<null>|<null>"}));
}

// The People-style source into the three Paradox kinds: the folder of the destination file
// gets the table "people"; each level keeps what its field types hold.
TEST_F(SessionTableTest, PeopleExportsToEachParadoxKind) {
    CreatePeople();
    for (int kind : {TypeConnect::Paradox3, TypeConnect::Paradox4, TypeConnect::Paradox5}) {
        SCOPED_TRACE(kind);
        const QString folder = PathOf(QStringLiteral("paradox%1").arg(kind));
        QDir().mkpath(folder);
        OpenSource(QStringLiteral("People"));
        session_->Setting().TypeFormat = kind;
        session_->Destination().File = folder + QStringLiteral("/people.db");
        session_->StartExport();
        ASSERT_TRUE(session_->LastRunCompleted());
        auto db =
            DBEngine::Instance().OpenDatabase(folder, 0, true, QStringLiteral("Paradox 5.x;"));
        auto rs = db->OpenRecordset(QStringLiteral("people"));
        QStringList names;
        for (int i = 0; i < rs->Fields().Count(); ++i) names << rs->Fields().Item(i).Name();
        EXPECT_EQ(names, QStringList({"Id", "Name", "Notes", "Amount", "Price", "Born", "Active",
                                      "Photo", "First Name's"}));
        const auto value = [&](const char* name) {
            return rs->Fields().Item(QString::fromLatin1(name)).Value();
        };
        EXPECT_EQ(value("Id").toInt(), 1);
        EXPECT_EQ(value("Name").toString(), QStringLiteral("O'Brien \"Bob\""));
        EXPECT_EQ(value("Notes").toString(), QStringLiteral("line1  line2"));
        EXPECT_EQ(value("Amount").toDouble(), 1234.5);
        EXPECT_EQ(value("Price").toDouble(), 12.25);
        if (kind == TypeConnect::Paradox5)
            EXPECT_EQ(value("Born").toDateTime(), QDateTime(QDate(1999, 12, 31), QTime(15, 4, 5)));
        else
            EXPECT_EQ(value("Born").toDate(), QDate(1999, 12, 31));
        EXPECT_TRUE(value("Active").toBool());
        EXPECT_TRUE(value("Photo").isNull());
        EXPECT_EQ(value("First Name's").toString(), QStringLiteral("Zoë"));
        rs->MoveNext();
        EXPECT_EQ(value("Id").toInt(), 2);
        for (int i = 1; i < rs->Fields().Count(); ++i)
            EXPECT_TRUE(rs->Fields().Item(i).Value().isNull()) << names[i].toStdString();
        rs->MoveNext();
        EXPECT_TRUE(rs->Eof());
        rs->Close();
        db->Close();
    }
}

TEST_F(SessionTableTest, ExistingTableQuestion) {
    struct Case {
        const char* name;
        bool overWrite;
        std::optional<MsgResult> answer;  //!< the question's answer; none: no question
        bool replaced;
    };
    const Case cases[] = {{"overwrite property", true, std::nullopt, true},
                          {"answer OK", false, MsgResult::OK, true},
                          {"answer Cancel", false, MsgResult::Cancel, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(DestPath());
        QFile::remove(SourcePath());
        CreateTable(DestPath(), "Customers", {{"Old", dbText, 5}}, {{QStringLiteral("kept")}});
        CreateSource({{"Id", dbLong}}, {{1}, {2}});
        OpenSource();
        caller_.Properties.OverWrite = c.overWrite;
        if (c.answer) prompter_.QueueMsgBoxAnswer(*c.answer);
        const size_t before = Boxes().size();
        ExportToAccess(DestPath());
        auto boxes = Boxes();
        boxes.erase(boxes.begin(), boxes.begin() + static_cast<std::ptrdiff_t>(before));
        ASSERT_FALSE(boxes.empty());
        if (c.answer) {
            EXPECT_EQ(boxes[0].text, kTableQuestion);
            EXPECT_EQ(boxes[0].buttons, MsgButtons::OKCancel);
            EXPECT_EQ(boxes[0].icon, MsgIcon::Question);
            EXPECT_EQ(boxes[0].defaultButton, 2);
        }
        if (c.replaced) {
            EXPECT_EQ(Rows("SELECT Id FROM Customers"), QStringList({"1", "2"}));
            EXPECT_EQ(boxes.back().text, SummaryText(2));
        } else {
            EXPECT_EQ(boxes.size(), 1u) << "Cancel ends the run without any further message";
            EXPECT_EQ(Rows("SELECT Old FROM Customers"), QStringList({"kept"}));
            EXPECT_FALSE(session_->LastRunCompleted());
        }
        session_->Source().ReleaseRecordset();
        session_->Source().SetDb(nullptr);
    }
}

//! The stage-10 prompt of a value the destination field cannot take.
QString AssignPrompt(int line, const QString& value, const QString& field, const QString& type) {
    return QStringLiteral(
               "Error in assigning a value to  a field at line %1\r\n\r\n"
               "Cannot assign value '%2' to field %3 of type %4\r\n"
               "Continue the export ?")
        .arg(line)
        .arg(value, field, type);
}

TEST_F(SessionTableTest, ValueTheFieldCannotTakeAsksAndResumesWithTheNextField) {
    struct Case {
        const char* name;
        QString field;     //!< the field the host rewrites on record 2
        QString hostText;  //!< what it writes there
        QString typeName;  //!< FieldTypeName of the source field
    };
    const Case cases[] = {
        {"too long for its Text field", "Name", "ABCDEFGHIJK", "Text"},
        {"not a number", "Qty", "many", "Long"},
        {"not a date", "Due", "31.02.", "Date / Time"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(DestPath());
        QFile::remove(SourcePath());
        CreateSource({{"Name", dbText, 10}, {"Qty", dbLong}, {"Due", dbDate}, {"Tail", dbText, 5}},
                     {{QStringLiteral("a"), 1, QDate(2024, 1, 1), QStringLiteral("t1")},
                      {QStringLiteral("b"), 2, QDate(2024, 1, 2), QStringLiteral("t2")},
                      {QStringLiteral("c"), 3, QDate(2024, 1, 3), QStringLiteral("t3")}});
        OpenSource();
        int record = 0;
        caller_.Hooks.BeforeFieldExport = [&](const QString&, const QString& name, short, short,
                                              QString& text) {
            if (name == "Name") ++record;
            if (record == 2 && name == c.field) text = c.hostText;
        };
        // Yes on record 2 leaves the field out and goes on with the next field.
        prompter_.QueueMsgBoxAnswer(MsgResult::Yes);
        const size_t before = Boxes().size();
        ExportToAccess(DestPath());
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), before + 2);
        EXPECT_EQ(boxes[before].text, AssignPrompt(2, c.hostText, c.field, c.typeName));
        EXPECT_EQ(boxes[before].buttons, MsgButtons::YesNo);
        EXPECT_EQ(boxes[before].title, QStringLiteral("Error"));
        EXPECT_EQ(boxes.back().text, SummaryText(3));
        const QStringList rows = Rows("SELECT Name, Qty, substr(Due, 1, 10), Tail FROM Customers");
        ASSERT_EQ(rows.size(), 3);
        EXPECT_TRUE(rows[1].contains("<null>")) << rows[1].toStdString();
        EXPECT_TRUE(rows[1].endsWith("|t2")) << "the fields after the failed one are stored";
        caller_.Hooks.BeforeFieldExport = nullptr;
        session_->Source().ReleaseRecordset();
        session_->Source().SetDb(nullptr);
    }
}

// Without a BeforeFieldExport handler the run hands numbers, dates and plain texts to the
// table as the source holds them, without building their texts; with a handler that leaves
// every text alone it goes through the texts. Both must store the same table.
TEST_F(SessionTableTest, TypedDeliveryStoresWhatTheTextPathStores) {
    std::vector<Row> rows;
    std::mt19937 random(1207);
    const auto pick = [&](int count) { return static_cast<int>(random() % count); };
    const QVariant texts[] = {
        QStringLiteral(""),           QStringLiteral("plain"),     QStringLiteral("two\r\nlines"),
        QStringLiteral("Zoë Ünal €"), QStringLiteral("tab\there"), QVariant()};
    const QVariant doubles[] = {0.0, -0.0, 1e300, -1e-300, 0.1, 123456789.125, 2.5, QVariant()};
    const QVariant dates[] = {QDate(1899, 12, 30),
                              QDate(1753, 1, 1),
                              QDate(9999, 12, 31),
                              QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59)),
                              QDateTime(QDate(1999, 12, 31), QTime(0, 0)),
                              QVariant()};
    for (int row = 0; row < 60; ++row) {
        rows.push_back({row, texts[pick(6)], texts[pick(6)], doubles[pick(8)],
                        pick(3) == 0 ? QVariant() : QVariant(pick(20001) / 100.0 - 100),
                        dates[pick(6)], pick(3) == 0 ? QVariant() : QVariant(pick(2) == 1),
                        pick(4) == 0 ? QVariant() : QVariant(pick(256)),
                        pick(4) == 0 ? QVariant() : QVariant(pick(65536) - 32768)});
    }
    CreateSource({{"Id", dbLong},
                  {"Name", dbText, 20},
                  {"Notes", dbMemo},
                  {"Amount", dbDouble},
                  {"Price", dbCurrency},
                  {"Born", dbDate},
                  {"Active", dbBoolean},
                  {"Small", dbByte},
                  {"Mid", dbInteger}},
                 rows);
    const QString sql = QStringLiteral(
        "SELECT Id, Name, Notes, Amount, Price, Born, Active, Small, Mid FROM Customers");
    OpenSource();
    ExportToAccess(DestPath());
    const QStringList typed = Rows(sql);
    ASSERT_EQ(typed.size(), 60);

    QFile::remove(DestPath());
    int events = 0;
    caller_.Hooks.BeforeFieldExport = [&](const QString&, const QString&, short, short, QString&) {
        ++events;
    };
    session_->Source().Rs()->MoveFirst();
    ExportToAccess(DestPath());
    EXPECT_EQ(events, 60 * 9);
    EXPECT_EQ(Rows(sql), typed);
}

// A value the destination field cannot take is reported with its text even where the run
// delivered it without building that text (no handler connected).
TEST_F(SessionTableTest, UnhandledValueTheFieldCannotTakeIsReportedWithItsText) {
    struct Case {
        const char* name;
        QString update;  //!< SQL that stores a value its declared field cannot hold
        QString value, field, typeName;
    };
    const Case cases[] = {
        {"text longer than its field", "UPDATE Customers SET Name = 'abcdef' WHERE Id = 2",
         "abcdef", "Name", "Text"},
        {"number past its Byte field", "UPDATE Customers SET Small = 300 WHERE Id = 2", "300",
         "Small", "Byte"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(DestPath());
        QFile::remove(SourcePath());
        CreateSource({{"Id", dbLong}, {"Name", dbText, 3}, {"Small", dbByte}},
                     {{1, QStringLiteral("a"), 1}, {2, QStringLiteral("b"), 2}});
        {
            const auto source = DBEngine::Instance().OpenDatabase(SourcePath());
            source->Execute(c.update);
            source->Close();
        }
        OpenSource();
        prompter_.QueueMsgBoxAnswer(MsgResult::Yes);
        const size_t before = Boxes().size();
        ExportToAccess(DestPath());
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), before + 2);
        EXPECT_EQ(boxes[before].text, AssignPrompt(2, c.value, c.field, c.typeName));
        EXPECT_EQ(boxes.back().text, SummaryText(2));
        session_->Source().ReleaseRecordset();
        session_->Source().SetDb(nullptr);
    }
}

TEST_F(SessionTableTest, NoToTheAssignPromptStopsAndKeepsTheRecordsBefore) {
    CreateSource({{"Name", dbText, 3}},
                 {{QStringLiteral("a")}, {QStringLiteral("b")}, {QStringLiteral("c")}});
    OpenSource();
    caller_.Hooks.BeforeFieldExport = [](const QString&, const QString&, short, short,
                                         QString& text) {
        if (text == "b") text = "bbbb";
    };
    prompter_.QueueMsgBoxAnswer(MsgResult::No);
    ExportToAccess(DestPath());
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u) << "no summary after a stop";
    EXPECT_EQ(boxes[0].text, AssignPrompt(2, "bbbb", "Name", "Text"));
    EXPECT_FALSE(session_->LastRunCompleted());
    EXPECT_EQ(Rows("SELECT Name FROM Customers"), QStringList({"a"}))
        << "the pending record is discarded";
}

TEST_F(SessionTableTest, RequiredFieldLeftEmptyStopsAtTheRecordStage) {
    CreateSource({{"Name", dbText, 5}}, {{QStringLiteral("a")}, {QStringLiteral("b")}});
    {
        // A required source field gives a NOT NULL destination field.
        auto db = DBEngine::Instance().OpenDatabase(SourcePath());
        db->Execute("CREATE TABLE Req (Name VARCHAR(5) NOT NULL)");
        db->Execute("INSERT INTO Req SELECT Name FROM Customers");
        db->Close();
    }
    OpenSource(QStringLiteral("Req"));
    caller_.Hooks.BeforeFieldExport = [](const QString&, const QString&, short, short,
                                         QString& text) {
        if (text == "b") text.clear();
    };
    ExportToAccess(DestPath());
    ExpectErrorReport(QStringLiteral("Error in exporting a new record to the destination table"
                                     "\r\n\r\n") +
                      EngineErrorText(ErrRequiredNull).arg("Name") + QStringLiteral("\r\n"));
    EXPECT_EQ(Rows("SELECT \"notnull\" FROM pragma_table_info('Req')"), QStringList({"1"}));
    EXPECT_EQ(Rows("SELECT Name FROM Req"), QStringList({"a"}));
}

TEST_F(SessionTableTest, ARecordFailingWhileLaterOnesAreReadStopsTheRunAtThatRecord) {
    // Without a handler the records are stored on a writer thread while the run reads on;
    // the failure of one of them still stops the run at that record: the records before
    // it are in the table, none after it, and the report and the Errors collection hold
    // the record's own error.
    constexpr int kRows = 5000;
    constexpr int kEmptyAt = 3000;  // well past the first batches handed over
    CreateSource({{"Name", dbText, 8}}, {});
    {
        auto db = DBEngine::Instance().OpenDatabase(SourcePath());
        db->Execute("CREATE TABLE Req (Name VARCHAR(8) NOT NULL)");
        db->Execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                   "FROM n WHERE i < %1) INSERT INTO Req SELECT CASE i WHEN %2 "
                                   "THEN '' ELSE 'r' || i END FROM n")
                        .arg(kRows)
                        .arg(kEmptyAt));
        db->Close();
    }
    OpenSource(QStringLiteral("Req"));
    DbErrors().Clear();
    ExportToAccess(DestPath());
    ExpectErrorReport(QStringLiteral("Error in exporting a new record to the destination table"
                                     "\r\n\r\n") +
                      EngineErrorText(ErrRequiredNull).arg("Name") + QStringLiteral("\r\n"));
    EXPECT_FALSE(session_->LastRunCompleted());
    ASSERT_GE(DbErrors().Count(), 1);
    EXPECT_EQ(DbErrors().Item(0).Number, ErrRequiredNull);
    EXPECT_EQ(Rows("SELECT COUNT(*), MIN(rowid), MAX(rowid) FROM Req"),
              QStringList({QStringLiteral("%1|1|%1").arg(kEmptyAt - 1)}));
    EXPECT_EQ(Rows(QStringLiteral("SELECT Name FROM Req WHERE rowid = %1").arg(kEmptyAt - 1)),
              QStringList({QStringLiteral("r%1").arg(kEmptyAt - 1)}));
}

TEST_F(SessionTableTest, FailuresBeforeTheTableExistsAreReportedByStage) {
    CreateSource({{"Id", dbLong}}, {{1}});
    const QString notADatabase = PathOf(QStringLiteral("notes.txt"));
    WriteBytes(notADatabase, "just some text, not a database\n");
    const QString noFolder = PathOf(QStringLiteral("missing/sub/dest.db"));
    struct Case {
        const char* name;
        int typeFormat;
        QString file;
        bool noFields;
        QString heading;
        QString firstBox;  //!< a box before the report (the missing-driver message)
    };
    const Case cases[] = {
        {"not a database",
         TypeConnect::Access,
         notADatabase,
         false,
         "Error in opening DataBase " + notADatabase,
         {}},
        {"folder missing",
         TypeConnect::Access,
         noFolder,
         false,
         "Error in opening DataBase " + noFolder,
         {}},
        {"no field selected",
         TypeConnect::Access,
         DestPath(),
         true,
         "Error in creating export table '" + DestPath() + "'",
         {}},
        // Lotus WK3's driver is taken out of the engine for this case.
        {"driver not built", TypeConnect::Lotus3, PathOf("sales.wk3"), false,
         "Error in opening DataBase " + PathOf("sales.wk3"),
         "The software components for this type of file (Lotus WK3;) is not installed on "
         "your computer.\r\nContact your system administrator."},
    };
    // Registered again however the test ends.
    struct Restore {
        std::shared_ptr<Driver> driver;
        ~Restore() {
            if (driver)
                DBEngine::Instance().Drivers().Register({QStringLiteral("Lotus WK3")}, driver);
        }
    } restore{DBEngine::Instance().Drivers().Unregister(QStringLiteral("Lotus WK3"))};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenSource();
        if (c.noFields) {
            session_->Lists().Selected().Clear();
            session_->Setting().nbFields = 0;
        }
        const QByteArray before = ReadBytes(notADatabase);
        const size_t shown = Boxes().size();
        session_->Setting().TypeFormat = c.typeFormat;
        session_->Destination().File = c.file;
        session_->StartExport();
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), shown + (c.firstBox.isEmpty() ? 1 : 2));
        if (!c.firstBox.isEmpty()) {
            EXPECT_EQ(boxes[shown].text, c.firstBox);
            EXPECT_EQ(boxes[shown].title, QStringLiteral("Error"));
        }
        EXPECT_TRUE(boxes.back().text.startsWith(c.heading + "\r\n\r\n"))
            << boxes.back().text.toStdString();
        EXPECT_FALSE(session_->LastRunCompleted());
        EXPECT_EQ(ReadBytes(notADatabase), before) << "nothing written outside the destination";
        EXPECT_FALSE(QFile::exists(noFolder));
    }
}

TEST_F(SessionTableTest, ReadOnlyDestinationFolder) {
    // A read-only file system (root may write anywhere else); needs the right to mount.
    const QString folder = PathOf(QStringLiteral("readonly"));
    QDir().mkpath(folder);
    const QByteArray target = QFile::encodeName(folder);
    if (::mount("tmpfs", target.constData(), "tmpfs", MS_RDONLY, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    CreateSource({{"Id", dbLong}}, {{1}});
    OpenSource();
    const QString file = folder + QStringLiteral("/dest.db");
    ExportToAccess(file);
    ::umount2(target.constData(), MNT_DETACH);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith("Error in opening DataBase " + file + "\r\n\r\n"))
        << boxes[0].text.toStdString();
    EXPECT_FALSE(session_->LastRunCompleted());
}

TEST_F(SessionTableTest, ExportIntoTheSourcesOwnFile) {
    CreateSource({{"Id", dbLong}, {"Name", dbText, 10}}, NumberedRows(12000),
                 QStringLiteral("People.v1"));
    OpenSource(QStringLiteral("People.v1"));
    // The destination table People is made in source.db itself, which the source reads.
    ExportToAccess(SourcePath());
    ExpectOnlySummary(12000);
    bool ok = false;
    EXPECT_EQ(Sqlite3Rows(SourcePath(), "SELECT count(*), sum(Id) FROM People", &ok),
              QStringList({"12000|72006000"}));
    EXPECT_TRUE(session_->Source().Db()->IsOpen()) << "the source's database stays open";

    // A table of the source's own name in its own file is never replaced.
    session_->Source().SetRs(session_->Source().Db()->OpenRecordset("People", dbOpenTable));
    session_->Source().SetName("People");
    caller_.Properties.OverWrite = true;
    ExportToAccess(SourcePath());
    ExpectErrorReport("Error in creating export table '" + SourcePath() + "'\r\n\r\n" +
                      EngineErrorText(ErrTableExists).arg("People") + "\r\n");
    EXPECT_EQ(Sqlite3Rows(SourcePath(), "SELECT count(*) FROM People", &ok),
              QStringList({"12000"}));
}

//! Asks to cancel from the `at`-th check on (the run checks once before each record).
class CancellingProgress : public ExportProgress, public ProgressDisplay {
  public:
    explicit CancellingProgress(int at) : at_(at) {}
    void RunWithProgress(const std::function<void(ExportProgress&)>& run) override { run(*this); }
    void SetMaximum(int) override {}
    void SetValue(int, const QString&) override {}
    bool CancelRequested() const override { return ++checks_ >= at_; }
    void ProcessEvents() override {}

  private:
    int at_;
    mutable int checks_ = 0;
};

TEST_F(SessionTableTest, CancelKeepsTheRecordsExportedAndDiscardsThePendingOne) {
    CreateSource({{"Id", dbLong}, {"Name", dbText, 10}}, NumberedRows(20));
    OpenSource();
    CancellingProgress progress(3);
    session_->SetProgressDisplay(&progress);
    caller_.Properties.ShowProgress = true;
    ExportToAccess(DestPath());
    // The third record was begun (AddNew) when the cancel was seen: it is not stored.
    EXPECT_EQ(Rows("SELECT Id FROM Customers"), QStringList({"1", "2"}));
    ExpectOnlySummary(2);
}

TEST_F(SessionTableTest, EmptySourceStopsAtTheCountLeavingTheNewTableClosed) {
    CreateSource({{"Id", dbLong}}, {});
    OpenSource();
    ExportToAccess(DestPath());
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The following Error Occured:\r\n\r\n" +
                                 EngineErrorText(ErrNoCurrentRecord) + "\r\n");
    EXPECT_EQ(Rows("SELECT count(*) FROM Customers"), QStringList({"0"}));
    // Closed: the file can be opened exclusively at once.
    auto reopened = DBEngine::Instance().OpenDatabase(DestPath(), 1);
    EXPECT_TRUE(reopened->IsOpen());
    reopened->Close();
}

TEST_F(SessionTableTest, StartingLineAndMaxLinesPickTheRecords) {
    CreateSource({{"Id", dbLong}, {"Name", dbText, 10}}, NumberedRows(10));
    OpenSource();
    session_->Setting().StartingLine = 3;
    session_->Setting().ExportAll = false;
    session_->Setting().MaxLines = 2;
    ExportToAccess(DestPath());
    ExpectOnlySummary(2);
    EXPECT_EQ(Rows("SELECT Id, Name FROM Customers"), QStringList({"3|R3", "4|R4"}));
}

TEST_F(SessionTableTest, BeforeRecordExportIsNotRaised) {
    CreateSource({{"Id", dbLong}}, {{1}, {2}});
    OpenSource();
    int records = 0;
    caller_.Hooks.BeforeRecordExport = [&](QString&) { ++records; };
    ExportToAccess(DestPath());
    EXPECT_EQ(records, 0);
    EXPECT_EQ(Rows("SELECT Id FROM Customers"), QStringList({"1", "2"}));
}

}  // namespace
}  // namespace morvane::test
