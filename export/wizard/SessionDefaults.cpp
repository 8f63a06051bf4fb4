// The export session's default setting and field lookup.
#include "export/wizard/ExportSession.h"

#include "export/common/IgnoringErrors.h"
#include "export/common/RuntimeError.h"
#include "export/data/Recordset.h"
#include "export/engine/ExportCaller.h"
#include "export/engine/FieldIndex.h"

#include <limits>

namespace morvane {
namespace {

Recordset& Existing(Recordset* recordset) {
    if (!recordset)
        throw RuntimeError(ErrObjectNotSet,
                           QStringLiteral("Object variable or With block variable not set"));
    return *recordset;
}

}  // namespace

int ExportSession::FieldIndex(const QString& fieldname) const {
    if (!source_.Rs()) return 0;
    return morvane::FieldIndex(source_.Rs()->Fields(), fieldname);
}

void ExportSession::SetDefaultSetting() {
    // The defaults are applied with errors ignored statement by statement: a database call
    // on a missing or closed recordset, or a field at an ordinal beyond the width table, is
    // skipped and the rest of the defaults still apply. Nothing is reported.
    ExportSetting& setting = setting_;
    setting.nbFields = 0;
    setting.TypeFormat = 0;
    setting.SetSeparator(0);
    setting.UseDelimiter = true;
    setting.SetDelimiter(0);
    setting.ExportFldNames = false;
    setting.ExportHtmlFldNames = true;
    setting.ExportHtmlTableName = false;
    setting.RecFieldSeparator = 0;
    setting.RecSepOther = QLatin1Char(' ');
    setting.Upper = false;
    setting.OemConvert = false;
    setting.StartingLine = 1;
    IgnoringErrors([&] {
        const qint64 count = Existing(source_.Rs()).RecordCount();
        if (count > std::numeric_limits<int>::max()) throw RuntimeError::Overflow();
        setting.MaxLines = static_cast<int>(count);
    });
    setting.ExportAll = true;
    setting.Size.fill(0);
    lists_.Available().Clear();
    lists_.Selected().Clear();
    lists_.Fixed().Clear();

    int fieldCount = 0;
    IgnoringErrors([&] { fieldCount = Existing(source_.Rs()).Fields().Count(); });
    for (int ordinal = 0; ordinal < fieldCount; ++ordinal) {
        QString name;
        int size = 0;
        IgnoringErrors([&] {
            const Field& field = source_.Rs()->Fields().Item(ordinal);
            name = field.Name();
            size = field.Size();
        });
        bool hide = false;
        if (caller_) IgnoringErrors([&] { caller_->RaiseFilterField(source_.Name(), name, hide); });
        if (hide) continue;
        lists_.Selected().Append(name);
        lists_.Fixed().Append(name);
        IgnoringErrors([&] {
            if (size <= 0) return;
            if (ordinal >= ExportSetting::SizeCount)
                throw RuntimeError(ErrSubscriptOutOfRange,
                                   QStringLiteral("Subscript out of range"));
            if (size > std::numeric_limits<short>::max()) throw RuntimeError::Overflow();
            setting.Size[static_cast<size_t>(ordinal)] = static_cast<short>(size);
        });
        ++setting.nbFields;
    }
}

}  // namespace morvane
