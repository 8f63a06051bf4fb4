#include "export/common/ErrorReport.h"

#include "export/common/Prompter.h"
#include "export/common/RuntimeError.h"

#include <new>

namespace morvane {

namespace {

const QLatin1String kLineBreak("\r\n");

void AppendErrorDetails(QString& text, const std::exception& current) {
    // An engine error lists every error of its failure, one per line, without numbers.
    if (const auto* runtime = dynamic_cast<const RuntimeError*>(&current)) {
        const QStringList listed = runtime->ListedDescriptions();
        if (!listed.isEmpty()) {
            for (const QString& description : listed) text += description + kLineBreak;
            return;
        }
    }
    const RuntimeError described = DescribeError(current);
    text +=
        described.Description() + QLatin1String(" (") + QString::number(described.Number()) + u')';
}

}  // namespace

RuntimeError DescribeError(const std::exception& error) {
    if (const auto* runtime = dynamic_cast<const RuntimeError*>(&error)) return *runtime;
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return RuntimeError(ErrOutOfMemory, QStringLiteral("Out of memory"));
    QString description = QString::fromUtf8(error.what());
    if (description.isEmpty()) description = QStringLiteral("Internal error");
    return RuntimeError(ErrInternal, description);
}

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
    prompter.NoteErrorReport();
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
