#include "export/common/ScriptedPrompter.h"

#include "export/common/PromptButtons.h"

namespace morvane {

std::vector<ScriptedPrompter::Record> ScriptedPrompter::RecordsOf(Kind kind) const {
    std::vector<Record> matching;
    for (const Record& record : records_)
        if (record.kind == kind) matching.push_back(record);
    return matching;
}

MsgResult ScriptedPrompter::MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                                   const QString& title, int defaultButton) {
    Record record;
    record.kind = Kind::MessageBox;
    record.text = text;
    record.title = title;
    record.buttons = buttons;
    record.icon = icon;
    record.defaultButton = defaultButton;
    if (msgBoxAnswers_.empty()) {
        record.answer = DefaultButtonResult(buttons, defaultButton);
    } else {
        record.answer = msgBoxAnswers_.front();
        msgBoxAnswers_.pop_front();
    }
    records_.push_back(record);
    return record.answer;
}

std::optional<QString> ScriptedPrompter::InputBox(const QString& prompt, const QString& title,
                                                  const QString& defaultText) {
    Record record;
    record.kind = Kind::InputBox;
    record.text = prompt;
    record.title = title;
    record.defaultText = defaultText;
    if (!inputAnswers_.empty()) {
        record.inputAnswer = inputAnswers_.front();
        inputAnswers_.pop_front();
    }
    records_.push_back(record);
    return record.inputAnswer;
}

void ScriptedPrompter::Beep() {
    Record record;
    record.kind = Kind::Beep;
    records_.push_back(record);
}

void ScriptedPrompter::SetMousePointer(int code) {
    pointer_ = code;
    Record record;
    record.kind = Kind::Pointer;
    record.pointer = code;
    records_.push_back(record);
}

}  // namespace morvane
