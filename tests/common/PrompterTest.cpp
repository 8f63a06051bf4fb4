#include "export/common/ConsolePrompter.h"
#include "export/common/ScriptedPrompter.h"

#include <gtest/gtest.h>
#include <QBuffer>

namespace morvane {
namespace {

TEST(ScriptedPrompterTest, QueuedAnswersThenDefaults) {
    ScriptedPrompter prompter;
    prompter.QueueMsgBoxAnswer(MsgResult::No);
    prompter.QueueInputAnswer(QString("typed"));
    prompter.QueueInputAnswer(std::nullopt);
    EXPECT_EQ(prompter.MsgBox("q1", MsgButtons::YesNo, MsgIcon::Question, "T"), MsgResult::No);
    EXPECT_EQ(prompter.MsgBox("q2", MsgButtons::YesNo, MsgIcon::Question, "T", 2), MsgResult::No);
    EXPECT_EQ(prompter.MsgBox("q3", MsgButtons::OKCancel, MsgIcon::None, ""), MsgResult::OK);
    EXPECT_EQ(prompter.InputBox("p1", "'Year':", "2000"), QString("typed"));
    EXPECT_EQ(prompter.InputBox("p2", "t", ""), std::nullopt);
    EXPECT_EQ(prompter.InputBox("p3", "t", ""), std::nullopt);
    prompter.Beep();
    EXPECT_EQ(prompter.PendingMsgBoxAnswers(), 0u);
    const auto& records = prompter.Records();
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[1].text, "q2");
    EXPECT_EQ(records[1].defaultButton, 2);
    EXPECT_EQ(records[1].icon, MsgIcon::Question);
    EXPECT_EQ(records[3].kind, ScriptedPrompter::Kind::InputBox);
    EXPECT_EQ(records[3].title, "'Year':");
    EXPECT_EQ(records[3].defaultText, "2000");
    EXPECT_EQ(records[6].kind, ScriptedPrompter::Kind::Beep);
    EXPECT_EQ(prompter.RecordsOf(ScriptedPrompter::Kind::MessageBox).size(), 3u);
}

TEST(ConsolePrompterTest, PrintsBoxesAndAnswersFromOptions) {
    using Answer = ConsolePrompter::QuestionAnswer;
    struct Case {
        Answer answer;
        MsgButtons buttons;
        int defaultButton;
        MsgResult expected;
    };
    const Case cases[] = {
        {Answer::AlwaysYes, MsgButtons::YesNo, 2, MsgResult::Yes},
        {Answer::AlwaysYes, MsgButtons::OKCancel, 2, MsgResult::OK},
        {Answer::AlwaysYes, MsgButtons::AbortRetryIgnore, 1, MsgResult::Ignore},
        {Answer::AlwaysYes, MsgButtons::RetryCancel, 1, MsgResult::Cancel},
        {Answer::AlwaysNo, MsgButtons::YesNoCancel, 1, MsgResult::No},
        {Answer::AlwaysNo, MsgButtons::OK, 1, MsgResult::OK},
        {Answer::AlwaysNo, MsgButtons::AbortRetryIgnore, 3, MsgResult::Abort},
        {Answer::DefaultButton, MsgButtons::YesNo, 2, MsgResult::No},
        {Answer::DefaultButton, MsgButtons::RetryCancel, 1, MsgResult::Cancel},  // never retries
    };
    for (const auto& c : cases) {
        QBuffer output;
        output.open(QIODevice::WriteOnly);
        ConsolePrompter::Options options;
        options.questions = c.answer;
        options.output = &output;
        options.applicationName = "morvane-batch";
        ConsolePrompter prompter(options);
        EXPECT_EQ(prompter.MsgBox("Line 1\r\nLine 2", c.buttons, MsgIcon::Question, "Error",
                                  c.defaultButton),
                  c.expected);
        prompter.MsgBox("done", MsgButtons::OK, MsgIcon::None, "");
        EXPECT_EQ(output.data(), QByteArray("Error: Line 1\nLine 2\nmorvane-batch: done\n"));
    }
}

TEST(ConsolePrompterTest, InputAnswersByTitleAndPointerKept) {
    ConsolePrompter::Options options;
    options.inputAnswers.insert("'Year':", "2024");
    QBuffer output;
    output.open(QIODevice::WriteOnly);
    options.output = &output;
    ConsolePrompter prompter(options);
    EXPECT_EQ(prompter.InputBox("Enter", "'Year':", "1999"), QString("2024"));
    const auto unanswered = prompter.InputBox("Enter", "'Month':", "1");
    ASSERT_TRUE(unanswered.has_value());
    EXPECT_EQ(*unanswered, "");
    prompter.SetMousePointer(PointerHourglass);
    EXPECT_EQ(prompter.MousePointer(), PointerHourglass);
    prompter.Beep();
    EXPECT_TRUE(output.data().isEmpty());
}

}  // namespace
}  // namespace morvane
