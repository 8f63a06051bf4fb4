// Prompter: the one door through which the export control talks to the user. Every message
// box, input box, beep and change of the busy pointer goes through it, with the texts,
// titles, icons and buttons exactly as the product defines them.
//
// Implementations: QtPrompter (real dialogs, export/common/ui), ScriptedPrompter (tests:
// queued answers and a record of everything shown), ConsolePrompter (command-line tools:
// prints to stderr and answers from options).
#pragma once

#include "export/common/MorvaneExport.h"

#include <QString>
#include <optional>

namespace morvane {

//! Buttons of a message box.
enum class MsgButtons {
    OK = 0,
    OKCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5
};

//! Icon of a message box. Critical is the stop icon.
enum class MsgIcon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };

//! The button that closed a message box.
enum class MsgResult { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

//! Mouse pointer codes of the busy pointer.
enum MousePointerCode { PointerDefault = 0, PointerHourglass = 11 };

class MORVANE_EXPORT Prompter {
  public:
    virtual ~Prompter() = default;

    //! Shows a message box and answers the button chosen. An empty title means "no title
    //! of its own" (the application's name is shown). defaultButton counts from 1.
    virtual MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                             const QString& title, int defaultButton = 1) = 0;

    //! Shows an input box; answers the text typed, or nothing when the user cancels.
    virtual std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;

    //! Sounds the system beep.
    virtual void Beep() = 0;

    //! The application's mouse pointer (MousePointerCode values).
    virtual int MousePointer() const = 0;
    virtual void SetMousePointer(int code) = 0;

    //! How many error reports went through this prompter (ShowError's box, the export
    //! run's continue question, the incompatible-setting message); the caller of a run
    //! compares the count before and after it.
    int ErrorReports() const { return errorReports_; }
    //! Called by the code that shows an error report, once per report.
    void NoteErrorReport() { ++errorReports_; }

  private:
    int errorReports_ = 0;
};

}  // namespace morvane
