// The export session's preview: what the wizard shows below its steps.
#include "export/wizard/ExportSession.h"

#include "export/data/Recordset.h"

namespace morvane {

int ExportSession::AdjustPreviewGrid() {
    qint64 count = 0;
    try {
        if (Recordset* rs = source_.Rs()) {
            rs->MoveLast();
            rs->MoveFirst();
            count = rs->RecordCount();
        }
    } catch (...) {
        // A source that cannot be counted previews nothing; the preview never reports.
        count = 0;
    }
    previewRows_ = PreviewBuilder::PreviewRecordCount(count, setting_);
    return previewRows_;
}

QString ExportSession::FilePreview() {
    if (!caller_) return QString();
    return PreviewBuilder(*caller_, source_.Rs(), source_.Name(), setting_,
                          lists_.Selected().Names())
        .TextPreview();
}

PreviewTable ExportSession::TablePreview() {
    if (!caller_) return PreviewTable{lists_.Selected().Names(), {}};
    return PreviewBuilder(*caller_, source_.Rs(), source_.Name(), setting_,
                          lists_.Selected().Names())
        .TablePreview(previewRows_);
}

}  // namespace morvane
