#include "export/common/ConsolePrompter.h"

#include "export/common/PromptButtons.h"

#include <QCoreApplication>
#include <QIODevice>
#include <algorithm>
#include <cstdio>
#include <utility>

namespace morvane {

namespace {

bool Offers(const std::vector<MsgResult>& results, MsgResult result) {
    return std::find(results.begin(), results.end(), result) != results.end();
}

MsgResult FirstOffered(const std::vector<MsgResult>& results,
                       std::initializer_list<MsgResult> preferred) {
    for (const MsgResult result : preferred)
        if (Offers(results, result)) return result;
    return results.front();
}

}  // namespace

ConsolePrompter::ConsolePrompter(Options options) : options_(std::move(options)) {}

MsgResult ConsolePrompter::MsgBox(const QString& text, MsgButtons buttons, MsgIcon /*icon*/,
                                  const QString& title, int defaultButton) {
    QString shownTitle = title;
    if (shownTitle.isEmpty()) shownTitle = options_.applicationName;
    if (shownTitle.isEmpty()) shownTitle = QCoreApplication::applicationName();
    QString shownText = text;
    shownText.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Print(shownTitle + QLatin1String(": ") + shownText + u'\n');
    return Answer(buttons, defaultButton);
}

std::optional<QString> ConsolePrompter::InputBox(const QString& /*prompt*/, const QString& title,
                                                 const QString& /*defaultText*/) {
    return options_.inputAnswers.value(title);
}

MsgResult ConsolePrompter::Answer(MsgButtons buttons, int defaultButton) const {
    const std::vector<MsgResult> results = ButtonResults(buttons);
    switch (options_.questions) {
        case QuestionAnswer::AlwaysYes:
            return FirstOffered(
                results, {MsgResult::Yes, MsgResult::OK, MsgResult::Ignore, MsgResult::Cancel});
        case QuestionAnswer::AlwaysNo:
            return FirstOffered(results, {MsgResult::No, MsgResult::Cancel, MsgResult::Abort});
        case QuestionAnswer::DefaultButton:
            break;
    }
    const MsgResult chosen = DefaultButtonResult(buttons, defaultButton);
    if (chosen == MsgResult::Retry)
        return FirstOffered(results, {MsgResult::Cancel, MsgResult::Abort});
    return chosen;
}

void ConsolePrompter::Print(const QString& line) const {
    const QByteArray bytes = line.toLocal8Bit();
    if (options_.output) {
        options_.output->write(bytes);
        return;
    }
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

}  // namespace morvane
