// ExportSession: the non-visual half of the export wizard. The control creates one for
// each Execute or BatchExport call, hands itself over with SetCaller, and calls ShowWizard
// (interactive run) or DoBatchExport (batch run); the session reads every property and
// raises every event through Caller(), and talks to the user only through its Prompter.
//
// The session holds what the wizard window holds: the source database and recordset, the
// current ExportSetting, the three field lists (the selected list's order is the export
// order everywhere), the run's stage marker and destination. The Qt wizard is a view over
// these members; the batch run and the algorithm tests use them with no widget at all.
//
// Usage:
//   ExportSession session(prompter);
//   session.SetCaller(&control);          // REQUIRES: before any other call
//   session.SetProgressDisplay(&window);  // optional: shown when ShowProgress is True
//   session.DoBatchExport("Monthly");
#pragma once

#include "export/settings/ExportSetting.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace morvane {

class Database;
class ExportCaller;
class ExportProgress;
class ProgressDisplay;
class Prompter;
class QueryDef;
class Recordset;

class ExportSession {
  public:
    explicit ExportSession(Prompter& prompter);
    virtual ~ExportSession();

    ExportSession(const ExportSession&) = delete;
    ExportSession& operator=(const ExportSession&) = delete;

    //! The control (or widget-free host) whose properties and events the session uses.
    //! Not owned; it must outlive the session's calls.
    void SetCaller(ExportCaller* aCaller);
    ExportCaller* Caller() const { return caller_; }

    Prompter& GetPrompter() const { return prompter_; }

    //! The display StartExport runs the export under when ShowProgress is True (the
    //! progress window, or a console bar). Not owned; null runs without progress display.
    void SetProgressDisplay(ProgressDisplay* display) { progressDisplay_ = display; }

    // --- Entry points --------------------------------------------------------------------

    //! Interactive opening: opens the source, prepares the wizard and shows it modally;
    //! returns when the wizard closes or opening failed. (Filled by the wizard: returns at
    //! once until then.)
    void ShowWizard();

    //! Batch run: opens the source named by the control, applies the named setting (the
    //! defaults when `setting` is empty) and exports to the control's ExportFile. Every
    //! failure is reported through the prompter; nothing is returned to the host.
    void DoBatchExport(const QString& setting);

    //! True when the last export run reached its end normally (the point where the summary
    //! is shown, and the destination closed cleanly); false after a stop, a declined
    //! overwrite, or when no run took place.
    bool LastRunCompleted() const { return lastRunCompleted_; }

    // --- Export setting and field lists --------------------------------------------------

    //! The ordinal of the source field named exactly `fieldname`, 0 when none matches.
    int FieldIndex(const QString& fieldname) const;

    //! Fills the setting with the defaults for the current source, raising FilterField for
    //! every source field. Errors are ignored statement by statement.
    void SetDefaultSetting();

    // --- Named settings in the settings file (bound to the control's IniFile) -----------

    //! Writes the current setting under SettingName, replacing a setting of that name.
    //! Errors are ignored statement by statement; a name the file cannot hold writes
    //! nothing (see SettingNameProblem).
    void SaveSetting();
    //! Reads the setting named SettingName for the current source. Answers false, after
    //! the incompatibility message and with the defaults applied, when it names a field
    //! the source lacks.
    bool ReadSetting();
    //! The names of the stored settings, in file order.
    static void ListSettings(QStringList& names);
    //! Removes a stored setting: its section and its entry in the list (for a name that
    //! SettingNameProblem refuses, such as "general", only the entry). Throws RuntimeError
    //! when the file cannot be written.
    static void DeleteSetting(const QString& name);
    //! Empty when name can be saved; otherwise the message refusing it. Refused: an empty
    //! name, "settings" and "general" in any case (the file's own sections), leading or
    //! trailing blanks, a leading "[" or ";", "]", "=", NUL or line breaks anywhere, and
    //! characters the settings file's code page lacks (they would be stored as "?").
    static QString SettingNameProblem(const QString& name);
    //! The key scrambling the ODBC password of the setting named settingName: 0x80 |
    //! ((ANSI code of its first character XOR 0x5A) AND 0x7F). Part of the file format.
    static qint16 PasswordKey(const QString& settingName);

    // --- Stored queries -------------------------------------------------------------------

    //! Opens the stored query `name` of SourceDb: one that returns records becomes
    //! SourceRs (a snapshot, its parameters asked first); an action query runs after the
    //! user confirms it and leaves SourceRs as it was. Failures are reported, not raised.
    void OpenStoredQuery(const QString& name);
    //! The display name of an action query's type ("Delete", "Make Table", ...), empty for
    //! a select query and for unknown codes.
    static QString ActionQueryType(const QueryDef& qdf);
    //! Asks the value of every parameter of rqdf in an input box.
    void SetQDFParams(QueryDef& rqdf);

    // --- The export run -------------------------------------------------------------------

    //! Runs DoExport under the progress display when ShowProgress is True, else directly.
    void StartExport();
    //! The export run of the current setting; never raises. `progress` may be null.
    void DoExport(ExportProgress* progress);
    //! Opens (or creates) the destination database of a database kind and creates the
    //! destination table of the selected fields: sets DestDb and DestTableName and answers
    //! true, or reports the failure (or the declined overwrite) and answers false.
    bool CreateExportTable(const QString& rsToDB);

    // --- State shared with the wizard view (the wizard window's fields) ------------------

    std::shared_ptr<Database> SourceDb;
    std::unique_ptr<Recordset> SourceRs;
    QString SourceName;
    QString SettingName;
    ExportSetting Setting;
    QStringList AvailFields;  //!< LBoxAvailFields: source fields not selected
    QStringList SelFields;    //!< LBoxSelFields: the selected fields in export order
    QStringList FixedFields;  //!< LBoxFixedFields: the fields listed for width editing
    QString ExportFile;
    short ErrorStep = 0;
    std::shared_ptr<Database> DestDb;
    QString DestTableName;
    QString DestConnect;

  private:
    //! Releases SourceRs and SourceDb, ignoring errors.
    void ReleaseSource();
    void ReadSettingOptions();
    void ReadSettingWidthsAndLists();
    void SaveSettingFields();
    //! The names of SourceRs's fields in ordinal order; none without a source.
    QStringList SourceFieldNames() const;
    void OpenQuerySnapshot(QueryDef& qdf);
    bool SettingFitsSource() const;
    void SaveOdbcLogon();
    void ReadOdbcLogon();

    Prompter& prompter_;
    ExportCaller* caller_ = nullptr;
    ProgressDisplay* progressDisplay_ = nullptr;
    bool lastRunCompleted_ = false;
};

}  // namespace morvane
