// ConsolePrompter: a Prompter for command-line tools that have no user at hand. Each
// message box is printed to the error stream as "TITLE: TEXT" (an empty title shows the
// application name; CR LF line ends print as plain line ends); questions are answered
// from an option; input boxes are answered from a table keyed by the box's title (a tool
// maps "--param NAME=VALUE" to the title "'NAME':"), unanswered ones with an empty text.
// Beeps do nothing; the pointer code is kept but shows nothing.
//
// Usage:
//   ConsolePrompter::Options options;
//   options.questions = ConsolePrompter::QuestionAnswer::AlwaysNo;
//   options.inputAnswers.insert(QStringLiteral("'Year':"), QStringLiteral("2024"));
//   ConsolePrompter prompter(options);
#pragma once

#include "export/common/Prompter.h"

#include <QHash>

class QIODevice;

namespace morvane {

class ConsolePrompter : public Prompter {
  public:
    //! How a box with a choice is answered. AlwaysYes picks Yes, OK or Ignore; AlwaysNo
    //! picks No, Cancel or Abort. A Retry button is never picked by either (a tool must not
    //! retry forever); a Retry/Cancel box answers Cancel.
    enum class QuestionAnswer { DefaultButton, AlwaysYes, AlwaysNo };

    struct Options {
        QuestionAnswer questions = QuestionAnswer::DefaultButton;
        QHash<QString, QString> inputAnswers;  //!< answer by input box title
        QString applicationName;      //!< shown for an empty title; empty: the application's
        QIODevice* output = nullptr;  //!< where boxes are printed; nullptr: stderr
    };

    ConsolePrompter() = default;
    explicit ConsolePrompter(Options options);

    MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                     int defaultButton = 1) override;
    std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    void Beep() override {}
    int MousePointer() const override { return pointer_; }
    void SetMousePointer(int code) override { pointer_ = code; }

  private:
    MsgResult Answer(MsgButtons buttons, int defaultButton) const;
    void Print(const QString& line) const;

    Options options_;
    int pointer_ = PointerDefault;
};

}  // namespace morvane
