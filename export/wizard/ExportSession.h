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
#include "export/wizard/ExportSource.h"
#include "export/wizard/FieldLists.h"
#include "export/wizard/PreviewBuilder.h"
#include "export/wizard/SessionOutcome.h"
#include "export/wizard/WizardRules.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

namespace morvane {

class Database;
class ExportCaller;
class ExportProgress;
class OdbcLogon;
class ProgressDisplay;
class Prompter;
class QueryDef;
class Recordset;
class WizardView;

//! An entry of the wizard's source list: a table (Kind 0) or a stored query (Kind 1).
struct SourceEntry {
    QString Name;
    int Kind = 0;
};

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

    //! Interactive opening: opens the source, prepares the wizard and shows it modally
    //! through the view; returns when the wizard closes or opening failed.
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
    //! The names of the stored settings of the control's settings file, in file order.
    void ListSettings(QStringList& names);
    //! Removes a stored setting: its section and its entry in the list (for a name that
    //! SettingNameProblem refuses, such as "general", only the entry). Throws RuntimeError
    //! when the file cannot be written.
    void DeleteSetting(const QString& name);
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

    // --- The session's parts ---------------------------------------------------------

    //! The open source: database, recordset of the chosen table or query, its name.
    ExportSource& Source() { return source_; }
    const ExportSource& Source() const { return source_; }
    //! The three field lists (available, selected in export order, fixed widths).
    FieldLists& Lists() { return lists_; }
    const FieldLists& Lists() const { return lists_; }
    //! Where the run writes: file, destination database, table and ODBC connect string.
    SessionDestination& Destination() { return destination_; }
    const SessionDestination& Destination() const { return destination_; }
    //! The current export setting.
    ExportSetting& Setting() { return setting_; }
    const ExportSetting& Setting() const { return setting_; }

    //! The name the current setting was read or saved under.
    const QString& SettingName() const { return settingName_; }
    void SetSettingName(const QString& name) { settingName_ = name; }

    //! How far the running operation got (the stage its error report names).
    short ErrorStep() const { return errorStep_; }

    //! What the last Execute or BatchExport call came to.
    SessionOutcome Outcome() const;

    // --- The wizard ------------------------------------------------------------------------

    //! The window that shows the wizard. Not owned; ShowWizard does nothing without one.
    void SetView(WizardView* view) { view_ = view; }

    //! The entries of the source list (multi-table mode): tables first, then queries.
    const QVector<SourceEntry>& SourceEntries() const { return sourceEntries_; }
    //! The output kinds still offered, in list order (kind 0 is always there).
    const QVector<int>& OfferedKinds() const { return offeredKinds_; }

    //! 0 in multi-table mode (the source list step), else 1.
    int FirstStep() const { return firstStep_; }
    int CurrentStep() const { return currentStep_; }
    //! Moves to the step Next (Back) leads to from the current one for the current kind.
    void GoNext();
    void GoBack();
    //! The command buttons' states for the current step, selection and file name.
    StepButtons CurrentStepButtons() const;

    //! Asks the host whether it allows output kind `kind` (FilterType), afresh each call.
    bool IsTypeAllowed(int kind);

    //! The source list's choice of entry `index`: opens it (a table, or a stored query)
    //! and resets the setting for it, keeping the output kind. Nothing happens while no
    //! source is open yet or when the entry is the open source. Failures are reported.
    //! Answers true when the source changed (the view then shows the new setting).
    bool ChooseSource(int index);

    //! The output kind's choice: sets TypeFormat and fits the destination file name's
    //! extension to it. Answers the new file name.
    QString ChooseOutputKind(int kind);

    //! The delimiter list's choice: 0 a double quote, 1 an apostrophe, 2 none (the
    //! delimiter character is then kept; choosing a quote again turns quoting back on).
    void ChooseDelimiter(int position);
    //! Brings the setting's field count up to date with the selected list.
    void CountSelectedFields() {
        setting_.nbFields = static_cast<short>(lists_.Selected().Count());
    }

    //! The save dialog's filter for the offered kinds and the current kind.
    SaveFilter DestinationFilter() const;
    //! A file chosen in the save dialog with filter `entry` selected: the file becomes the
    //! destination and the filter's kind (within its group, the first the host allows) the
    //! output kind; the file name then gets the kind's extension.
    void ApplyBrowsedFile(const QString& fileName, int entry);

    //! The ODBC destination confirmed in the logon dialog: its connect string
    //! ("ODBC;DSN=...;UID=...;PWD=...;" and "Database=...;" when one was given).
    void UseOdbcLogon(const OdbcLogon& logon);

    // --- The preview ------------------------------------------------------------------------

    //! Counts the source's records (MoveLast) and answers how many records the grid
    //! preview shows for the current range. The count is kept for the later previews, so
    //! a refresh does not count again; call it when the source or the range changes.
    int AdjustPreviewGrid();
    //! The text preview of the text kinds.
    QString FilePreview();
    //! The grid preview of the other kinds, as many records as AdjustPreviewGrid answered.
    PreviewTable TablePreview();

    //! Finish: runs the export, remembers the file as "LastFile" in the control's settings
    //! file, and answers true when the wizard is to close (QuitAfterExport); otherwise the
    //! wizard goes back to its first step with the setting kept.
    bool Finish();

  private:
    //! Binds the settings-file primitives to this session's control's settings file, so a
    //! session never uses a file another control bound meanwhile.
    void BindIniFile() const;
    //! Opens the database named by the control with `password`.
    void OpenSourceDatabase(const QString& password);
    //! Opens source `name` by its kind (0 table, 1 stored query).
    void OpenSource(const QString& name, int kind);
    //! The opening sequence's table list and output kinds.
    void FillSourceEntries();
    void FilterOutputKinds();
    void OpenFirstSource();
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
    int errorReportsAtStart_ = 0;

    ExportSource source_;
    FieldLists lists_;
    SessionDestination destination_;
    ExportSetting setting_;
    QString settingName_;
    short errorStep_ = 0;

    WizardView* view_ = nullptr;
    QVector<SourceEntry> sourceEntries_;
    QVector<int> offeredKinds_;
    int previewRows_ = 0;
    int firstStep_ = 1;
    int currentStep_ = 1;
};

}  // namespace morvane
