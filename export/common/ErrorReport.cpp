#include "export/common/ErrorReport.h"

#include "export/common/Prompter.h"
#include "export/common/RuntimeError.h"
#include "export/data/EngineError.h"

#include <new>

namespace morvane {

namespace {

const QLatin1String kLineBreak("\r\n");

void AppendErrorDetails(QString& text, const std::exception& current) {
    if (dynamic_cast<const EngineError*>(&current) && DbErrors().Count() > 0) {
        const EngineErrors& errors = DbErrors();
        for (int index = 0; index < errors.Count(); ++index)
            text += errors.Item(index).Description + kLineBreak;
        return;
    }
    int number = ErrInternal;
    QString description;
    if (const auto* runtime = dynamic_cast<const RuntimeError*>(&current)) {
        number = runtime->Number();
        description = runtime->Description();
    } else if (dynamic_cast<const std::bad_alloc*>(&current)) {
        number = ErrOutOfMemory;
        description = QStringLiteral("Out of memory");
    } else {
        description = QString::fromUtf8(current.what());
        if (description.isEmpty()) description = QStringLiteral("Internal error");
    }
    text += description + QLatin1String(" (") + QString::number(number) + u')';
}

}  // namespace

QString& ErrorContext() {
    static QString context;
    return context;
}

void ShowError(Prompter& prompter, const std::exception& current) {
    prompter.SetMousePointer(PointerDefault);
    QString text =
        ErrorContext().isEmpty() ? QStringLiteral("The following Error Occured:") : ErrorContext();
    text += kLineBreak;
    text += kLineBreak;
    prompter.Beep();
    AppendErrorDetails(text, current);
    prompter.MsgBox(text, MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("Error"));
    ErrorContext().clear();
}

void SetHourglass(Prompter& prompter, bool on) {
    if (on)
        prompter.SetMousePointer(PointerHourglass);
    else if (prompter.MousePointer() == PointerHourglass)
        prompter.SetMousePointer(PointerDefault);
}

}  // namespace morvane
