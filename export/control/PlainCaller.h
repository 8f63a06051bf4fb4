// PlainCaller: an ExportCaller with plain property values and std::function hooks for the
// five events, for hosts with no widgets (the command-line tools, algorithm tests). It runs
// the very same session code as the Morvane widget.
//
// Usage:
//   PlainCaller caller;
//   caller.Properties.DataBaseName = "/data/sales.db";
//   caller.Properties.TableName = "Orders";
//   caller.Hooks.FilterField = [](const QString&, const QString& field, bool& hide) {
//       hide = field == "Secret";
//   };
//   caller.BatchExport(prompter, "Monthly");   // like the control's BatchExport
//
// A hook left empty leaves the by-reference arguments as the session passed them.
#pragma once

#include "export/control/ControlProperties.h"
#include "export/engine/ExportCaller.h"

#include <functional>

namespace morvane {

class Prompter;

//! Host handlers of the five events; by-reference arguments carry the host's changes back.
struct ExportEventHooks {
    std::function<void(const QString& TableName, const QString& fieldname, short FieldType,
                       short FieldSize, QString& bufField)>
        BeforeFieldExport;
    std::function<void(QString& bufRecord)> BeforeRecordExport;
    std::function<void(const QString& TableName, bool& Hide)> FilterTable;
    std::function<void(short FileType, bool& Hide)> FilterType;
    std::function<void(const QString& TableName, const QString& fieldname, bool& Hide)> FilterField;
};

class PlainCaller : public ExportCaller {
  public:
    ControlProperties Properties;
    ExportEventHooks Hooks;

    QString DataBaseName() const override { return Properties.DataBaseName; }
    QString Password() const override { return Properties.Password; }
    QString Username() const override { return Properties.Username; }
    int ConnectString() const override { return Properties.ConnectString; }
    QString ExportCaption() const override { return Properties.ExportCaption; }
    QString IniFile() const override { return Properties.IniFile; }
    QString ExportFile() const override { return Properties.ExportFile; }
    int HelpID() const override { return Properties.HelpID; }
    bool ShowProgress() const override { return Properties.ShowProgress; }
    bool ShowSummary() const override { return Properties.ShowSummary; }
    bool QuitAfterExport() const override { return Properties.QuitAfterExport; }
    bool MultiTable() const override { return Properties.MultiTable; }
    bool OverWrite() const override { return Properties.OverWrite; }
    QString TableName() const override { return Properties.TableName; }
    QString QueryName() const override { return Properties.QueryName; }
    void SetTableName(const QString& value) override { Properties.TableName = value; }

    QString SourceConnect() const override { return sourceConnect_; }
    //! Recomputes SourceConnect from ConnectString (unmapped values leave it as it was).
    void UpdateSourceConnect();

    void RaiseBeforeFieldExport(const QString& tableName, const QString& fieldName, short fieldType,
                                short fieldSize, QString& bufField) override;
    void RaiseBeforeRecordExport(QString& bufRecord) override;
    bool BeforeFieldExportHandled() const override { return bool(Hooks.BeforeFieldExport); }
    bool BeforeRecordExportHandled() const override { return bool(Hooks.BeforeRecordExport); }
    void RaiseFilterTable(const QString& tableName, bool& hide) override;
    void RaiseFilterType(short fileType, bool& hide) override;
    void RaiseFilterField(const QString& tableName, const QString& fieldName, bool& hide) override;

    //! Runs one batch export the way the control's BatchExport does: a new session with
    //! this caller, SourceConnect recomputed, DoBatchExport(setting), session released.
    void BatchExport(Prompter& prompter, const QString& setting);

  private:
    QString sourceConnect_;
};

}  // namespace morvane
