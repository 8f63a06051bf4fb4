// ScriptedPrompter: a Prompter for tests. Answers come from queues filled beforehand;
// everything shown (message boxes, input boxes, beeps, pointer changes) is recorded in
// order with all its details and the answer given.
//
// An unanswered message box answers its default button; an unanswered input box answers
// cancel (nothing).
//
// Usage:
//   ScriptedPrompter prompter;
//   prompter.QueueMsgBoxAnswer(MsgResult::No);
//   session.Run(prompter);
//   ASSERT_EQ(prompter.Records().size(), 1u);
//   EXPECT_EQ(prompter.Records()[0].title, "Error");
#pragma once

#include "export/common/Prompter.h"

#include <deque>
#include <vector>

namespace morvane {

class ScriptedPrompter : public Prompter {
  public:
    enum class Kind { MessageBox, InputBox, Beep, Pointer };

    //! One thing shown. Fields that do not apply to the kind keep their defaults.
    struct Record {
        Kind kind = Kind::MessageBox;
        QString text;  //!< message text or input prompt
        QString title;
        MsgButtons buttons = MsgButtons::OK;
        MsgIcon icon = MsgIcon::None;
        int defaultButton = 1;
        QString defaultText;                 //!< input box default text
        MsgResult answer = MsgResult::OK;    //!< message box answer
        std::optional<QString> inputAnswer;  //!< input box answer
        int pointer = PointerDefault;        //!< new pointer code
    };

    void QueueMsgBoxAnswer(MsgResult answer) { msgBoxAnswers_.push_back(answer); }
    void QueueInputAnswer(std::optional<QString> answer) {
        inputAnswers_.push_back(std::move(answer));
    }

    const std::vector<Record>& Records() const { return records_; }
    //! The records of one kind, in order.
    std::vector<Record> RecordsOf(Kind kind) const;
    //! Answers still queued.
    size_t PendingMsgBoxAnswers() const { return msgBoxAnswers_.size(); }
    size_t PendingInputAnswers() const { return inputAnswers_.size(); }
    void ClearRecords() { records_.clear(); }

    MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                     int defaultButton = 1) override;
    std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    void Beep() override;
    int MousePointer() const override { return pointer_; }
    void SetMousePointer(int code) override;

  private:
    std::deque<MsgResult> msgBoxAnswers_;
    std::deque<std::optional<QString>> inputAnswers_;
    std::vector<Record> records_;
    int pointer_ = PointerDefault;
};

}  // namespace morvane
