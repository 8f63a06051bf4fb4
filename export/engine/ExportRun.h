// ExportRun: one export of the open source into the destination its setting describes.
// It prepares the destination, writes the optional header lines, walks the records,
// builds each output record field by field while the host rewrites values through the
// BeforeFieldExport and BeforeRecordExport events, reports progress, closes the
// destination and shows the summary.
//
// Failures never leave the run: each one is reported by stage (ErrorStep). At the stages a
// user can recover from, "Continue the export ?" is asked and Yes resumes right after the
// one operation that failed; at the others the error report is shown and the run stops,
// closing what it opened. Records already written stay.
//
// Usage (the export session does this):
//   RunContext context{caller, prompter, SourceRs.get(), SourceName, Setting, SelFields,
//                      ExportFile, ErrorStep, progress};
//   bool reachedEnd = ExportRun(context).Run();
#pragma once

#include "export/engine/ExportDestination.h"
#include "export/engine/TextFileDestination.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace morvane {

class Database;
class ExportCaller;
class ExportProgress;
class FastRecordFormat;
class Field;
class Prompter;
class Recordset;
struct ExportSetting;

//! What a run reads and writes of its session.
struct RunContext {
    ExportCaller& caller;
    Prompter& prompter;
    Recordset* source;  //!< null when no source could be opened: the run fails at stage 0
    const QString& sourceName;
    const ExportSetting& setting;
    const QStringList& selectedFields;  //!< export order
    const QString& exportFile;
    short& errorStep;
    ExportProgress* progress = nullptr;  //!< null: no progress display, no cancellation
    // Database kinds only:
    //! CreateExportTable(ExportFile): false stops the run silently (it reported why).
    std::function<bool()> createExportTable;
    std::shared_ptr<Database>* destDb = nullptr;  //!< DestDb, set by createExportTable
    const QString* destTableName = nullptr;       //!< DestTableName, set likewise
    //! The source's database: a destination that is this very database is left open.
    const Database* sourceDb = nullptr;
};

class ExportRun {
  public:
    explicit ExportRun(RunContext context);

    //! Runs the export. Answers true when the run reached its end normally (the point
    //! where the summary is shown), false when it was declined or stopped by an error.
    bool Run();

  private:
    struct RunStopped {};  //!< thrown to leave the run after a stop was reported
    //! What one selected field needs on every record.
    struct FieldPlan {
        QString name;
        int ordinal = 0;               //!< source ordinal of the exact name (FieldIndex)
        const Field* field = nullptr;  //!< the source field; null when the lookup failed
        int fieldOrdinal = -1;         //!< field's ordinal in the source (ReadRaw)
    };

    bool PrepareTextFile();
    bool PrepareTable();
    void OpenTable();
    //! The field step of a database kind: value text, the host's event, delivery.
    void ExportTableField(int position);
    void FinishTableRecord();
    //! The current record into wholeValues_, converted for the destination; false (or an
    //! exception) where the field-by-field routine must do it.
    bool GatherWholeRecord();
    //! One record stored at once (StoresWholeRecords destinations, nobody rewriting values):
    //! the same values as the field-by-field routine stores, without its per-field calls.
    void ExportWholeTableRecord();
    void ReleaseTable() noexcept;
    void CountRecords();
    void WriteHeaderLine();
    void WriteHtmlHead();
    void PositionOnFirstRecord();
    void RecordLoop();
    void ExportRecord();
    //! Writes the current record through the fast formatter (FastRecordFormat).
    void ExportRecordFast(FastRecordFormat& fast);
    //! Starts a field's step: its name, type and width for the messages and the value;
    //! the source field, null when it cannot be found (reported through Guarded).
    const Field* BeginField(const FieldPlan& plan, short& width);
    //! A text-class value into value_ (empty for Null) with CR and LF made spaces, each a
    //! separate operation of the stage; sourceNull tells whether the source held Null.
    void ReadTextValue(const Field& field, bool& sourceNull);
    //! BeforeFieldExport on value_, one operation of the stage.
    void RaiseFieldEvent(const QString& name, short width);
    void ExportField(int position);
    void FinishTextRecord();
    void ReportProgress(bool force);
    //! Brings the counter up to date before a stop is reported (once the loop has begun).
    void ShowTrueCount() noexcept;
    void CloseDestination();
    ExportDestination& Destination();
    void ShowSummary();

    //! Runs one operation of the current stage; a failure goes to OnFailure.
    template <typename Operation>
    void Guarded(Operation&& operation);
    void OnFailure(const std::exception& error);
    bool AskContinue(const QString& message);
    [[noreturn]] void Stop(const QString& context, const std::exception& error);
    QString StageText() const;

    void BuildFieldPlans();
    //! The source recordset; raises error 91 when there is none.
    Recordset& Source() const;

    RunContext ctx_;
    TextFileDestination file_;
    std::unique_ptr<TableDestination> table_;  //!< the database kinds' destination
    std::vector<FieldPlan> plans_;
    QString record_;
    QString value_;  //!< the current field's value text
    //! The current field's name (stage-10 message), in the field plans or the fast
    //! formatter's event, which outlive its use.
    const QString* fieldName_ = &kNoName;
    static inline const QString kNoName;
    short fieldType_ = 0;                //!< the current field's type code (stage-10 message)
    bool fieldEventHandled_ = true;      //!< a host handles BeforeFieldExport (read per run)
    bool wholeRecords_ = false;          //!< records go to the table whole (see above)
    std::vector<QVariant> wholeValues_;  //!< the record ExportWholeTableRecord stores
    qint64 count_ = 0;
    qint64 total_ = 0;
    QElapsedTimer sinceRedraw_;
};

}  // namespace morvane
