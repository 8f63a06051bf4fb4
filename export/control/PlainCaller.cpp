#include "export/control/PlainCaller.h"

#include "export/engine/TypeConnect.h"
#include "export/wizard/ExportSession.h"

namespace morvane {

void PlainCaller::UpdateSourceConnect() {
    SourceConnectFor(Properties.ConnectString, sourceConnect_);
}

void PlainCaller::RaiseBeforeFieldExport(const QString& tableName, const QString& fieldName,
                                         short fieldType, short fieldSize, QString& bufField) {
    if (Hooks.BeforeFieldExport)
        Hooks.BeforeFieldExport(tableName, fieldName, fieldType, fieldSize, bufField);
}

void PlainCaller::RaiseBeforeRecordExport(QString& bufRecord) {
    if (Hooks.BeforeRecordExport) Hooks.BeforeRecordExport(bufRecord);
}

void PlainCaller::RaiseFilterTable(const QString& tableName, bool& hide) {
    if (Hooks.FilterTable) Hooks.FilterTable(tableName, hide);
}

void PlainCaller::RaiseFilterType(short fileType, bool& hide) {
    if (Hooks.FilterType) Hooks.FilterType(fileType, hide);
}

void PlainCaller::RaiseFilterField(const QString& tableName, const QString& fieldName, bool& hide) {
    if (Hooks.FilterField) Hooks.FilterField(tableName, fieldName, hide);
}

void PlainCaller::BatchExport(Prompter& prompter, const QString& setting) {
    ExportSession session(prompter);
    session.SetCaller(this);
    UpdateSourceConnect();
    session.DoBatchExport(setting);
}

}  // namespace morvane
