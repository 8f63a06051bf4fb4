// ExportCaller: what the export session sees of the control that started it. The session
// reads every property through it, writes TableName back (multi-table mode), and asks it
// to raise the control's five events. By-reference arguments are the session's own
// variables: whatever the host assigns to them is what the session goes on with.
//
// The Morvane widget implements it; so does PlainCaller (a host with no widgets, used by the
// command-line tools), which is how batch runs work without Qt Widgets or a display.
#pragma once

#include "export/common/MorvaneExport.h"

#include <QString>

namespace morvane {

class MORVANE_EXPORT ExportCaller {
  public:
    virtual ~ExportCaller() = default;

    // Properties, read each time the session needs them.
    virtual QString DataBaseName() const = 0;
    virtual QString Password() const = 0;
    virtual QString Username() const = 0;
    virtual int ConnectString() const = 0;
    virtual QString ExportCaption() const = 0;
    virtual QString IniFile() const = 0;
    virtual QString ExportFile() const = 0;
    virtual int HelpID() const = 0;
    virtual bool ShowProgress() const = 0;
    virtual bool ShowSummary() const = 0;
    virtual bool QuitAfterExport() const = 0;
    virtual bool MultiTable() const = 0;
    virtual bool OverWrite() const = 0;
    virtual QString TableName() const = 0;
    virtual QString QueryName() const = 0;

    //! The only property the session writes (the first listed source in multi-table mode).
    virtual void SetTableName(const QString& value) = 0;

    //! The engine type specifier computed from ConnectString when the run started.
    virtual QString SourceConnect() const = 0;

    // The five events, raised synchronously; by-reference arguments carry the host's changes.
    virtual void RaiseBeforeFieldExport(const QString& tableName, const QString& fieldName,
                                        short fieldType, short fieldSize, QString& bufField) = 0;
    virtual void RaiseBeforeRecordExport(QString& bufRecord) = 0;
    //! False when raising BeforeFieldExport (BeforeRecordExport) would reach no handler: the
    //! run may then skip building the texts the event carries. True when unsure.
    virtual bool BeforeFieldExportHandled() const { return true; }
    virtual bool BeforeRecordExportHandled() const { return true; }
    virtual void RaiseFilterTable(const QString& tableName, bool& hide) = 0;
    virtual void RaiseFilterType(short fileType, bool& hide) = 0;
    virtual void RaiseFilterField(const QString& tableName, const QString& fieldName,
                                  bool& hide) = 0;
};

}  // namespace morvane
