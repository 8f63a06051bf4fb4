#include "export/common/ErrorReport.h"

#include "export/common/ScriptedPrompter.h"
#include "export/data/EngineError.h"
#include "export/engine/FieldTypeName.h"

#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

namespace morvane {
namespace {

using Kind = ScriptedPrompter::Kind;

class ErrorReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DbErrors().Clear();
        ErrorContext().clear();
    }
    void TearDown() override { DbErrors().Clear(); }

    // Shows the error and answers the one message box's text after checking its frame.
    QString Report(const std::exception& error) {
        ScriptedPrompter prompter;
        prompter.SetMousePointer(PointerHourglass);
        prompter.ClearRecords();
        ShowError(prompter, error);
        const auto& records = prompter.Records();
        EXPECT_EQ(records.size(), 3u);
        if (records.size() != 3u) return QString();
        EXPECT_EQ(records[0].kind, Kind::Pointer);
        EXPECT_EQ(records[0].pointer, PointerDefault);
        EXPECT_EQ(records[1].kind, Kind::Beep);
        EXPECT_EQ(records[2].kind, Kind::MessageBox);
        EXPECT_EQ(records[2].title, "Error");
        EXPECT_EQ(records[2].buttons, MsgButtons::OK);
        EXPECT_EQ(records[2].icon, MsgIcon::Exclamation);
        EXPECT_TRUE(ErrorContext().isEmpty());
        return records[2].text;
    }
};

TEST_F(ErrorReportTest, RuntimeErrorsShowDescriptionAndNumber) {
    struct Case {
        QString context;
        QString expected;
    };
    const Case cases[] = {
        {"", "The following Error Occured:\r\n\r\nOverflow (6)"},
        {"Error in opening Table T", "Error in opening Table T\r\n\r\nOverflow (6)"},
    };
    for (const auto& c : cases) {
        ErrorContext() = c.context;
        EXPECT_EQ(Report(RuntimeError::Overflow()), c.expected);
    }
}

TEST_F(ErrorReportTest, EngineErrorsListTheWholeCollection) {
    const EngineError error = EngineError::Raise(
        {{3024, "Could not find file 'x.db'."}, {3051, "Cannot open the file."}});
    ErrorContext() = "Error in opening DataBase x.db";
    EXPECT_EQ(Report(error),
              "Error in opening DataBase x.db\r\n\r\nCould not find file 'x.db'.\r\n"
              "Cannot open the file.\r\n");
}

TEST_F(ErrorReportTest, StaleEngineErrorsAreNotReportedForOtherErrors) {
    EngineError::Raise(3024, "Could not find file 'old.db'.");
    EXPECT_EQ(Report(RuntimeError(ErrPermissionDenied, "Permission denied")),
              "The following Error Occured:\r\n\r\nPermission denied (70)");
    EXPECT_EQ(Report(std::bad_alloc()), "The following Error Occured:\r\n\r\nOut of memory (7)");
    EXPECT_EQ(Report(std::runtime_error("disk on fire")),
              "The following Error Occured:\r\n\r\ndisk on fire (51)");
    // An engine error reports the errors it carries, whatever the engine's collection
    // holds by the time it is reported.
    const EngineError first = EngineError::Raise(3170, "Could not find installable ISAM.");
    EngineError::Raise(3024, "Could not find file 'later.db'.");
    DbErrors().Clear();
    EXPECT_EQ(Report(first),
              "The following Error Occured:\r\n\r\nCould not find installable ISAM.\r\n");
}

TEST_F(ErrorReportTest, SetHourglass) {
    struct Case {
        int before;
        bool on;
        int after;
    };
    const Case cases[] = {{PointerDefault, true, PointerHourglass},
                          {5, true, PointerHourglass},
                          {PointerHourglass, false, PointerDefault},
                          {5, false, 5},
                          {PointerDefault, false, PointerDefault}};
    for (const auto& c : cases) {
        ScriptedPrompter prompter;
        prompter.SetMousePointer(c.before);
        SetHourglass(prompter, c.on);
        EXPECT_EQ(prompter.MousePointer(), c.after) << c.before << c.on;
    }
}

TEST(FieldTypeNameTest, Names) {
    struct Case {
        int code;
        const char* name;
    };
    const Case cases[] = {{1, "Boolean"},  {2, "Byte"},
                          {3, "Integer"},  {4, "Long"},
                          {5, "Currency"}, {6, "Single"},
                          {7, "Double"},   {8, "Date / Time"},
                          {10, "Text"},    {11, "OLE Object (Long Binary)"},
                          {12, "Memo"},    {15, "GUID (Replication ID)"},
                          {0, ""},         {9, ""},
                          {16, ""},        {23, ""},
                          {-1, ""}};
    for (const auto& c : cases) EXPECT_EQ(FieldTypeName(c.code), c.name) << c.code;
}

}  // namespace
}  // namespace morvane
