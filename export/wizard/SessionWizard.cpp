// The export session's wizard side: the opening sequence that prepares and shows the
// wizard view, the choice of source and output kind, navigation and Finish. The view only
// shows this state and calls these operations.
#include "export/wizard/ExportSession.h"

#include "export/common/ErrorReport.h"
#include "export/common/IniAccess.h"
#include "export/common/Prompter.h"
#include "export/common/RuntimeError.h"
#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/QueryDef.h"
#include "export/data/QueryDefs.h"
#include "export/data/Recordset.h"
#include "export/data/TableDef.h"
#include "export/data/TableDefs.h"
#include "export/data/odbc/OdbcLogon.h"
#include "export/engine/ExportCaller.h"
#include "export/engine/TypeConnect.h"
#include "export/wizard/WizardView.h"

namespace morvane {
namespace {

enum OpeningStage : short {
    StageDatabase = 0,
    StageList = 1,
    StageFirstSource = 2,
    StagePrepare = 3
};

bool IsPasswordError(const std::exception& error) {
    const int number = DescribeError(error).Number();
    return number == ErrNotValidPassword || number == ErrWrongPassword;
}

[[noreturn]] void RaiseNoSource() {
    throw RuntimeError(ErrObjectNotSet,
                       QStringLiteral("Object variable or With block variable not set"));
}

}  // namespace

void ExportSession::ShowWizard() {
    lastRunCompleted_ = false;
    errorReportsAtStart_ = prompter_.ErrorReports();
    if (!view_ || !caller_) return;
    QString password = caller_->Password();
    destination_.File.clear();
    sourceEntries_.clear();
    source_.Release();

    // Each stage runs once; a password error asks for the password and runs the stage
    // again. A password error while the first source opens reopens the database first,
    // since the source cannot open without it; the list is not built twice.
    bool listed = false;
    errorStep_ = StageDatabase;
    for (;;) {
        try {
            if (!source_.Db()) {
                errorStep_ = StageDatabase;
                OpenSourceDatabase(password);
            }
            if (!listed) {
                errorStep_ = StageList;
                FillSourceEntries();
                listed = true;
            }
            errorStep_ = StageFirstSource;
            OpenFirstSource();
            errorStep_ = StagePrepare;
            if (!source_.Rs()) RaiseNoSource();
            currentStep_ = firstStep_;
            FilterOutputKinds();
            BindIniFile();
            destination_.File = caller_->ExportFile();
            if (destination_.File.isEmpty())
                destination_.File =
                    GetIniString(QStringLiteral("general"), QStringLiteral("LastFile"), QString());
            SetDefaultSetting();
            view_->PrepareView();
            view_->RefreshFromSetting();
            break;
        } catch (const std::exception& error) {
            if (IsPasswordError(error) && errorStep_ <= StageFirstSource) {
                const QString answer =
                    prompter_
                        .InputBox(QStringLiteral("Table is protected by a password,\r\n"
                                                 "Type in the password:"),
                                  QStringLiteral("Security"), QString())
                        .value_or(QString());
                if (!answer.isEmpty()) {
                    password = answer;
                    source_.Release();
                    continue;
                }
            }
            if (errorStep_ == StageDatabase)
                ErrorContext() =
                    QStringLiteral("Error in opening DataBase ") + caller_->DataBaseName();
            else if (errorStep_ == StageFirstSource)
                ErrorContext() = QStringLiteral("Error in opening Table ") + source_.Name();
            ShowError(prompter_, error);
            source_.Release();
            return;
        }
    }
    view_->ShowModal(caller_->ExportCaption());
    // The window is closed: release the source, ignoring errors.
    source_.Release();
}

void ExportSession::FillSourceEntries() {
    if (!caller_->MultiTable()) {
        firstStep_ = 1;
        source_.SetName(!caller_->TableName().isEmpty() ? caller_->TableName()
                                                        : caller_->QueryName());
        return;
    }
    Database& db = *source_.Db();
    TableDefs& tables = db.TableDefs();
    for (int table_idx = 0; table_idx < tables.Count(); ++table_idx) {
        TableDef& table = tables.Item(table_idx);
        // System, hidden and attached tables are never listed.
        if (table.Attributes() != 0) continue;
        bool hide = false;
        caller_->RaiseFilterTable(table.Name(), hide);
        if (!hide) sourceEntries_.append(SourceEntry{table.Name(), 0});
    }
    QueryDefs& queries = db.QueryDefs();
    for (int query_idx = 0; query_idx < queries.Count(); ++query_idx) {
        const QString name = queries.Item(query_idx).Name();
        bool hide = false;
        caller_->RaiseFilterTable(name, hide);
        if (!hide) sourceEntries_.append(SourceEntry{name, 1});
    }
    // The list's first entry is selected: with no entry there is nothing to select.
    if (sourceEntries_.isEmpty())
        throw RuntimeError(ErrInvalidPropertyValue, QStringLiteral("Invalid property value"));
    firstStep_ = 0;
    source_.SetName(sourceEntries_.first().Name);
    caller_->SetTableName(source_.Name());
}

void ExportSession::OpenFirstSource() {
    if (caller_->MultiTable()) {
        const SourceEntry& first = sourceEntries_.first();
        OpenSource(first.Name, first.Kind);
    } else {
        OpenSource(source_.Name(), caller_->TableName().isEmpty() ? 1 : 0);
    }
}

void ExportSession::OpenSource(const QString& name, int kind) {
    if (kind == 0) {
        if (!source_.Db()) RaiseNoSource();
        source_.SetRs(source_.Db()->OpenRecordset(name, dbOpenTable));
    } else {
        OpenStoredQuery(name);
    }
}

void ExportSession::FilterOutputKinds() {
    offeredKinds_.clear();
    for (int kind = 0; kind < TypeConnectCount; ++kind) offeredKinds_.append(kind);
    // Kind 0 is never offered to the host. The list is in kind order, so a hidden kind
    // sits at its value less the number of kinds removed before it.
    int removed = 0;
    for (int kind = 1; kind < TypeConnectCount; ++kind) {
        bool hide = false;
        caller_->RaiseFilterType(static_cast<short>(kind), hide);
        if (!hide) continue;
        offeredKinds_.removeAt(kind - removed);
        ++removed;
    }
}

bool ExportSession::ChooseSource(int index) {
    if (index < 0 || index >= sourceEntries_.size()) return false;
    const SourceEntry entry = sourceEntries_.at(index);
    if (source_.Name().isEmpty() || entry.Name == source_.Name()) return false;
    SetHourglass(prompter_, true);
    try {
        source_.ReleaseRecordset();
        source_.SetName(entry.Name);
        OpenSource(entry.Name, entry.Kind);
        const int typeFormat = setting_.TypeFormat;
        SetDefaultSetting();
        setting_.TypeFormat = typeFormat;
    } catch (const std::exception& error) {
        SetHourglass(prompter_, false);
        ErrorContext() = QStringLiteral("Error in opening Table ") + source_.Name();
        ShowError(prompter_, error);
        return true;
    }
    SetHourglass(prompter_, false);
    return true;
}

bool ExportSession::IsTypeAllowed(int kind) {
    bool hide = false;
    caller_->RaiseFilterType(static_cast<short>(kind), hide);
    return !hide;
}

QString ExportSession::ChooseOutputKind(int kind) {
    setting_.TypeFormat = kind;
    setting_.RecomputeUseDelimiter();
    destination_.File = FileNameForKind(destination_.File, kind);
    return destination_.File;
}

void ExportSession::ChooseDelimiter(int position) {
    setting_.Delimiter = position;
    // "None" keeps the delimiter character, so choosing a quote again brings it back.
    if (position == 0 || position == 1)
        setting_.DelimiterChar = LookupChar(DelimiterChars, position);
    setting_.RecomputeUseDelimiter();
}

void ExportSession::GoNext() {
    currentStep_ = NextStep(currentStep_, setting_.TypeFormat);
}

void ExportSession::GoBack() {
    currentStep_ = PrevStep(currentStep_, setting_.TypeFormat);
}

StepButtons ExportSession::CurrentStepButtons() const {
    return ComputeStepButtons(currentStep_, firstStep_, lists_.Selected().Count(),
                              destination_.File.isEmpty());
}

SaveFilter ExportSession::DestinationFilter() const {
    return BuildSaveFilter(offeredKinds_, setting_.TypeFormat);
}

void ExportSession::ApplyBrowsedFile(const QString& fileName, int entry) {
    destination_.File = fileName;
    setting_.TypeFormat = KindForFilter(DestinationFilter(), entry, setting_.TypeFormat,
                                        [this](int kind) { return IsTypeAllowed(kind); });
}

void ExportSession::UseOdbcLogon(const OdbcLogon& logon) {
    destination_.Connect = logon.DestConnect();
}

bool ExportSession::Finish() {
    // Delimiting follows the kind and delimiter shown, as in every preview and batch run.
    setting_.RecomputeUseDelimiter();
    StartExport();
    try {
        BindIniFile();
        WriteIniString(QStringLiteral("general"), QStringLiteral("LastFile"), destination_.File);
    } catch (const std::exception& error) {
        // The export is done; a settings file that cannot be written only loses the
        // remembered name, which the user is told about.
        ShowError(prompter_, error);
    }
    if (caller_->QuitAfterExport()) return true;
    currentStep_ = firstStep_;
    return false;
}

}  // namespace morvane
