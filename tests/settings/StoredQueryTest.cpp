// Stored queries as a source: the type names, the parameter prompts, the confirmation of
// action queries, the snapshot fall-back and the error reports.
#include "tests/settings/FakeQueryDatabase.h"
#include "tests/settings/SettingsTestSupport.h"

namespace morvane::test {
namespace {

class StoredQueryTest : public SettingsTest {
  protected:
    void SetUp() override {
        SettingsTest::SetUp();
        CreateSource({{"Name", dbText, 10}, {"City", dbText, 10}},
                     {{"Ann", "Berlin"}, {"Bob", "Bern"}, {"Cy", "Berlin"}});
    }

    void UseQueries(std::vector<FakeQueryDefinition> definitions) {
        session_->Source().SetDb(
            FakeQueryDatabase::Wrap(SourcePath(), std::move(definitions), &log_));
    }

    int CustomerCount() {
        auto rs = DBEngine::Instance().OpenDatabase(SourcePath())->OpenRecordset("Customers");
        rs->MoveLast();
        return static_cast<int>(rs->RecordCount());
    }

    static QString Report(const QString& details) {
        return QStringLiteral("The following Error Occured:\r\n\r\n") + details;
    }

    FakeQueryLog log_;
};

TEST_F(StoredQueryTest, ActionQueryTypeNames) {
    const std::pair<short, const char*> cases[] = {{0, ""},
                                                   {16, "Cross Tab"},
                                                   {32, "Delete"},
                                                   {48, "Update"},
                                                   {64, "Append"},
                                                   {80, "Make Table"},
                                                   {96, "DDL"},
                                                   {112, "SQLPassThrough"},
                                                   {128, "Set Operation"},
                                                   {144, "SPT Bulk"},
                                                   {8, ""},
                                                   {33, ""},
                                                   {160, ""},
                                                   {240, ""},
                                                   {-16, ""}};
    for (const auto& [type, name] : cases) {
        FakeQueryDef query({}, nullptr, FakeQueryDefinition{"Q", type}, &log_);
        EXPECT_EQ(ExportSession::ActionQueryType(query), QLatin1String(name)) << type;
    }
}

TEST_F(StoredQueryTest, SelectQueryAsksEveryParameterThenOpensASnapshot) {
    struct Case {
        short type;
        int options;
    };
    for (const Case& c : {Case{0, 0}, Case{16, 0}, Case{112, dbSQLPassThrough}}) {
        log_.calls.clear();
        prompter_.ClearRecords();
        UseQueries({{"ByCity", c.type, true, "", "Customers", {{"City"}, {"Min", dbLong}}}});
        prompter_.QueueInputAnswer(QStringLiteral("Berlin"));
        prompter_.QueueInputAnswer(QStringLiteral("5"));
        session_->OpenStoredQuery("bycity");
        const auto inputs = prompter_.RecordsOf(ScriptedPrompter::Kind::InputBox);
        ASSERT_EQ(inputs.size(), 2u) << c.type;
        EXPECT_EQ(inputs[0].text, "Enter Value for Parameter:");
        EXPECT_EQ(inputs[0].title, "'City':");
        EXPECT_EQ(inputs[0].defaultText, "");
        EXPECT_EQ(inputs[1].title, "'Min':");
        EXPECT_TRUE(Boxes().empty()) << "no question for a query that returns records";
        ASSERT_EQ(log_.calls.size(), 1u);
        EXPECT_FALSE(log_.calls[0].execute);
        EXPECT_EQ(log_.calls[0].type, dbOpenSnapshot);
        EXPECT_EQ(log_.calls[0].options, c.options) << c.type;
        EXPECT_EQ(log_.calls[0].values, QStringList({"Berlin", "5"}));
        ASSERT_TRUE(session_->Source().Rs());
        EXPECT_EQ(session_->Source().Rs()->Fields().Item(1).Name(), "City");
        EXPECT_EQ(prompter_.MousePointer(), PointerDefault);
    }
}

TEST_F(StoredQueryTest, ActionQueryRunsOnlyAfterYes) {
    struct Case {
        short type;
        bool returnsRecords;
        const char* question;  // "" when none is asked
        MsgResult answer;
        bool runs;
    };
    const Case cases[] = {
        {32, false, "Execute Delete Query?", MsgResult::Yes, true},
        {32, false, "Execute Delete Query?", MsgResult::No, false},
        {112, false, "Execute SQLPassThrough Query?", MsgResult::Yes, true},
        {80, false, "Execute Make Table Query?", MsgResult::No, false},
        {8, false, "", MsgResult::No, true},  // no name: counts as Yes
    };
    for (const Case& c : cases) {
        log_.calls.clear();
        prompter_.ClearRecords();
        const int before = CustomerCount();
        UseQueries({{"Purge",
                     c.type,
                     c.returnsRecords,
                     "DELETE FROM Customers WHERE City = [Town]",
                     "",
                     {{"Town"}}}});
        session_->Source().SetRs(session_->Source().Db()->OpenRecordset("Customers", dbOpenTable));
        const Recordset* previous = session_->Source().Rs();
        if (*c.question) prompter_.QueueMsgBoxAnswer(c.answer);
        prompter_.QueueInputAnswer(QStringLiteral("Berlin"));
        session_->OpenStoredQuery("Purge");

        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), *c.question ? 1u : 0u) << c.type;
        if (*c.question) {
            EXPECT_EQ(boxes[0].text, QLatin1String(c.question));
            EXPECT_EQ(boxes[0].buttons, MsgButtons::YesNo);
            EXPECT_EQ(boxes[0].icon, MsgIcon::Question);
            EXPECT_TRUE(boxes[0].title.isEmpty());
        }
        EXPECT_EQ(prompter_.RecordsOf(ScriptedPrompter::Kind::InputBox).size(), c.runs ? 1u : 0u);
        EXPECT_EQ(log_.calls.size(), c.runs ? 1u : 0u) << c.type;
        EXPECT_EQ(CustomerCount(), c.runs ? before - 2 : before) << c.type;
        EXPECT_EQ(session_->Source().Rs(), previous) << "an action leaves the source alone";
        // After a run the busy pointer is left for the caller.
        EXPECT_EQ(prompter_.MousePointer(), c.runs ? PointerHourglass : PointerDefault);
        prompter_.SetMousePointer(PointerDefault);
        if (c.runs)  // put the deleted rows back for the next case
            session_->Source().Db()->Execute(
                "INSERT INTO Customers (Name, City) VALUES ('Ann', 'Berlin'), ('Cy', 'Berlin')");
    }
}

TEST_F(StoredQueryTest, FailuresAreReportedAndLeaveTheSourceAlone) {
    struct Case {
        const char* what;
        FakeQueryDefinition definition;
        const char* name;
        std::vector<QString> inputs;
        QString report;  // empty: no report, the snapshot opened
    };
    const Case cases[] = {
        {"missing query",
         {"Q", 0, true, "", "Customers"},
         "Nope",
         {},
         Report("Item not found in this collection.\r\n")},
        // A select query typed as an action: executing it fails with 3065, so it opens.
        {"3065 falls back", {"Q", 32, true, "", "Customers"}, "Q", {}, QString()},
        // 3078 falls back too; this query returns no records, so opening it fails.
        {"3078 falls back",
         {"Q", 48, false, "UPDATE x", "", {}, ErrInputTableNotFound},
         "Q",
         {},
         Report("Invalid operation.\r\n")},
        {"other engine error",
         {"Q", 48, false, "UPDATE x", "", {}, ErrSqlError},
         "Q",
         {},
         Report("Query failed.\r\n")},
        {"parameter cannot convert",
         {"Q", 0, true, "", "Customers", {{"N", dbLong}}},
         "Q",
         {"abc"},
         Report("Data type conversion error.\r\n")},
        {"parameter cancelled",
         {"Q", 0, true, "", "Customers", {{"N", dbLong}}},
         "Q",
         {},
         Report("Data type conversion error.\r\n")},
    };
    for (const Case& c : cases) {
        prompter_.ClearRecords();
        UseQueries({c.definition});
        session_->Source().ReleaseRecordset();
        if (c.definition.type == 32 || c.definition.type == 48)
            prompter_.QueueMsgBoxAnswer(MsgResult::Yes);
        for (const QString& input : c.inputs) prompter_.QueueInputAnswer(input);
        session_->OpenStoredQuery(c.name);
        auto boxes = Boxes();
        if (!boxes.empty() && boxes[0].buttons == MsgButtons::YesNo) boxes.erase(boxes.begin());
        if (c.report.isEmpty()) {
            EXPECT_TRUE(boxes.empty()) << c.what;
            EXPECT_TRUE(session_->Source().Rs()) << c.what;
            continue;
        }
        ASSERT_EQ(boxes.size(), 1u) << c.what;
        EXPECT_EQ(boxes[0].text, c.report) << c.what;
        EXPECT_EQ(boxes[0].title, "Error");
        EXPECT_EQ(boxes[0].icon, MsgIcon::Exclamation);
        EXPECT_FALSE(session_->Source().Rs()) << c.what;
        EXPECT_EQ(prompter_.MousePointer(), PointerDefault) << c.what;
    }
}

TEST_F(StoredQueryTest, ViewOfTheNativeFormatOpensWithoutQuestions) {
    DBEngine::Instance()
        .OpenDatabase(SourcePath())
        ->Execute("CREATE VIEW InBerlin AS SELECT Name FROM Customers WHERE City = 'Berlin'");
    session_->Source().SetDb(DBEngine::Instance().OpenDatabase(SourcePath()));
    session_->OpenStoredQuery("InBerlin");
    EXPECT_TRUE(prompter_.Records().size() <= 2u);  // at most the busy pointer on and off
    EXPECT_TRUE(Boxes().empty());
    ASSERT_TRUE(session_->Source().Rs());
    session_->Source().Rs()->MoveLast();
    EXPECT_EQ(session_->Source().Rs()->RecordCount(), 2);
}

TEST_F(StoredQueryTest, NativeStoredQueriesWithParameters) {
    {
        auto db = DBEngine::Instance().OpenDatabase(SourcePath());
        db->CreateQueryDef("ByCity", 0, "SELECT Name FROM Customers WHERE City = :City");
        db->CreateQueryDef("Purge", 32, "DELETE FROM Customers WHERE City = :Town");
        db->Close();
    }
    session_->Source().SetDb(DBEngine::Instance().OpenDatabase(SourcePath()));
    prompter_.QueueInputAnswer(QStringLiteral("Berlin"));
    session_->OpenStoredQuery("ByCity");
    ASSERT_TRUE(session_->Source().Rs());
    session_->Source().Rs()->MoveLast();
    EXPECT_EQ(session_->Source().Rs()->RecordCount(), 2);
    EXPECT_EQ(prompter_.RecordsOf(ScriptedPrompter::Kind::InputBox)[0].title, "'City':");

    prompter_.ClearRecords();
    const Recordset* previous = session_->Source().Rs();
    prompter_.QueueMsgBoxAnswer(MsgResult::Yes);
    prompter_.QueueInputAnswer(QStringLiteral("Bern"));
    session_->OpenStoredQuery("Purge");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Execute Delete Query?");
    EXPECT_EQ(session_->Source().Rs(), previous);
    EXPECT_EQ(CustomerCount(), 2);
}

TEST_F(StoredQueryTest, NoDatabaseIsReported) {
    session_->Source().SetDb(nullptr);
    session_->OpenStoredQuery("Any");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, Report("Object variable or With block variable not set (91)"));
}

}  // namespace
}  // namespace morvane::test
