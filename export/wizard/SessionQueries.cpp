// The export session's stored queries: a query that returns records becomes the source
// recordset (a snapshot); an action query runs after the user confirms it. Parameters are
// asked one by one, in batch runs too.
#include "export/wizard/ExportSession.h"

#include "export/common/ErrorReport.h"
#include "export/common/Prompter.h"
#include "export/common/RuntimeError.h"
#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/QueryDef.h"

namespace morvane {
namespace {

constexpr short kQueryPassThrough = 112;

}  // namespace

QString ExportSession::ActionQueryType(const QueryDef& qdf) {
    const short type = qdf.Type();
    if ((type & 240) == 0) return QString();
    switch (type) {
        case 16:
            return QStringLiteral("Cross Tab");
        case 32:
            return QStringLiteral("Delete");
        case 48:
            return QStringLiteral("Update");
        case 64:
            return QStringLiteral("Append");
        case 80:
            return QStringLiteral("Make Table");
        case 96:
            return QStringLiteral("DDL");
        case 112:
            return QStringLiteral("SQLPassThrough");
        case 128:
            return QStringLiteral("Set Operation");
        case 144:
            return QStringLiteral("SPT Bulk");
        default:
            return QString();
    }
}

void ExportSession::SetQDFParams(QueryDef& rqdf) {
    // Any failure is reported and the remaining parameters are not asked; the query then
    // fails for want of them, which its caller reports too.
    try {
        Parameters& parameters = rqdf.Parameters();
        for (int index = 0; index < parameters.Count(); ++index) {
            Parameter& parameter = parameters.Item(index);
            const std::optional<QString> answer = prompter_.InputBox(
                QStringLiteral("Enter Value for Parameter:"),
                QLatin1Char('\'') + parameter.Name() + QStringLiteral("':"), QString());
            parameter.SetValue(answer.value_or(QString()));
        }
    } catch (const std::exception& error) {
        ShowError(prompter_, error);
    }
}

void ExportSession::OpenQuerySnapshot(QueryDef& qdf) {
    SetHourglass(prompter_, true);
    source_.SetRs(
        qdf.OpenRecordset(dbOpenSnapshot, qdf.Type() == kQueryPassThrough ? dbSQLPassThrough : 0));
    prompter_.SetMousePointer(PointerDefault);
}

void ExportSession::OpenStoredQuery(const QString& name) {
    std::shared_ptr<QueryDef> qdf;
    bool executing = false;
    try {
        if (!source_.Db())
            throw RuntimeError(ErrObjectNotSet,
                               QStringLiteral("Object variable or With block variable not set"));
        // Held, not borrowed: an action query that changes the schema makes QueryDefs reload.
        qdf = source_.Db()->QueryDefs().ItemShared(name);
        const QString typeName = ActionQueryType(*qdf);
        const short type = qdf->Type();
        const bool returnsRecords =
            type == kQueryPassThrough ? qdf->ReturnsRecords() : (type == 0 || type == 16);
        if (returnsRecords) {
            SetQDFParams(*qdf);
            OpenQuerySnapshot(*qdf);
            return;
        }
        prompter_.SetMousePointer(PointerDefault);
        if (!typeName.isEmpty()) {
            const MsgResult answer =
                prompter_.MsgBox(QStringLiteral("Execute ") + typeName + QStringLiteral(" Query?"),
                                 MsgButtons::YesNo, MsgIcon::Question, QString());
            if (answer != MsgResult::Yes) return;
        }
        SetQDFParams(*qdf);
        SetHourglass(prompter_, true);
        executing = true;
        // The busy pointer stays for the caller to clear.
        qdf->Execute();
    } catch (const EngineError& error) {
        const bool selectQuery =
            error.Number() == ErrSelectQueryExecute || error.Number() == ErrInputTableNotFound;
        if (executing && selectQuery && qdf) {
            try {
                OpenQuerySnapshot(*qdf);
            } catch (const std::exception& snapshotError) {
                ShowError(prompter_, snapshotError);
            }
            return;
        }
        ShowError(prompter_, error);
    } catch (const std::exception& error) {
        ShowError(prompter_, error);
    }
}

}  // namespace morvane
