#include "export/engine/ExportRun.h"

#include "export/common/ErrorReport.h"
#include "export/common/Prompter.h"
#include "export/common/RuntimeError.h"
#include "export/common/TextRoutines.h"
#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/data/RawValue.h"
#include "export/data/Recordset.h"
#include "export/engine/ExportCaller.h"
#include "export/engine/ExportProgress.h"
#include "export/engine/FastRecordFormat.h"
#include "export/engine/FieldIndex.h"
#include "export/engine/FieldTypeName.h"
#include "export/engine/HtmlTags.h"
#include "export/engine/HtmlTemplate.h"
#include "export/engine/OdbcStatementDestination.h"
#include "export/engine/RecordFormat.h"
#include "export/engine/RecordsetDestination.h"
#include "export/engine/RunPlan.h"
#include "export/engine/ValueClass.h"
#include "export/engine/ValueText.h"
#include "export/settings/ExportSetting.h"

#include <sys/stat.h>
#include <QDateTime>
#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <limits>
#include <utility>

namespace morvane {
namespace {

const QString kLineEnd = QStringLiteral("\r\n");
constexpr qint64 kRedrawMilliseconds = 50;

enum Kind { kVariable = 0, kFixed = 1, kHtmlTags = 2, kHtmlPage = 3, kODBC = 15 };

void RemoveRegularFile(const QString& path) {
    // Only a regular file (or a link to one) is ever removed to make room for an export.
    if (TextFileWriter::IsSpecialPath(path))
        throw RuntimeError(ErrPathFileAccess, QStringLiteral("Path/File access error"));
    QFile file(path);
    if (!file.remove())
        throw RuntimeError(ErrPermissionDenied, QStringLiteral("Permission denied"));
}

//! Whether the export file itself exists, its name taken literally. The file-name routine's
//! wildcards would let a name holding "*" or "?" match other files, which the deletion
//! below must never reach; a dangling link counts as existing so that nothing is ever
//! written through it.
bool PathExists(const QString& path) {
    struct stat info;
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

}  // namespace

ExportRun::ExportRun(RunContext context) : ctx_(context) {}

template <typename Operation>
void ExportRun::Guarded(Operation&& operation) {
    try {
        operation();
    } catch (const RunStopped&) {
        throw;
    } catch (const std::exception& error) {
        OnFailure(error);
    }
}

bool ExportRun::Run() {
    bool completed = false;
    try {
        ctx_.errorStep = 1;
        if (IsTextKind(ctx_.setting.TypeFormat)) {
            if (!PrepareTextFile()) return false;
        } else if (!PrepareTable()) {
            return false;
        }
        BuildFieldPlans();
        ctx_.errorStep = 0;
        Guarded([&] { CountRecords(); });
        ctx_.errorStep = 4;
        if (ctx_.progress && ctx_.caller.ShowProgress())
            Guarded([&] { ctx_.progress->SetMaximum(ProgressUnits(total_, total_)); });
        ctx_.errorStep = 5;
        if (ctx_.setting.TypeFormat == kVariable && ctx_.setting.ExportFldNames) WriteHeaderLine();
        if (ctx_.setting.TypeFormat == kHtmlPage) {
            ctx_.errorStep = 5;
            WriteHtmlHead();
        }
        PositionOnFirstRecord();
        RecordLoop();
        // Records a destination held back are stored at the record stage, so that a
        // failure is reported like the record's own.
        if (table_) {
            ctx_.errorStep = table_->StoresAtFieldStage() ? 10 : 11;
            Guarded([&] { table_->StoreHeldRecords(); });
        }
        // Records still buffered reach the file before the summary reports them: a write
        // failure is reported at the record stage, never after a success message.
        ctx_.errorStep = 11;
        Guarded([&] { Destination().Flush(); });
        ShowSummary();
        ctx_.errorStep = 13;
        Guarded([&] { CloseDestination(); });
        completed = true;
    } catch (const RunStopped&) {
        file_.Abandon();
        ReleaseTable();
    }
    return completed;
}

ExportDestination& ExportRun::Destination() {
    if (table_) return *table_;
    return file_;
}

bool ExportRun::PrepareTable() {
    ctx_.errorStep = 2;
    bool created = false;
    Guarded([&] {
        if (!ctx_.createExportTable || !ctx_.destDb || !ctx_.destTableName)
            throw RuntimeError(ErrObjectNotSet,
                               QStringLiteral("Object variable or With block variable not set"));
        created = ctx_.createExportTable();
    });
    if (!created) return false;
    ctx_.errorStep = 3;
    Guarded([&] { OpenTable(); });
    return true;
}

void ExportRun::OpenTable() {
    const std::shared_ptr<Database>& database = *ctx_.destDb;
    if (!database)
        throw RuntimeError(ErrObjectNotSet,
                           QStringLiteral("Object variable or With block variable not set"));
    const bool odbc = ctx_.setting.TypeFormat == kODBC;
    // ODBC rows go in by statement: the recordset only proves that the table is there, so
    // it reads none of its rows (a data source's driver may fetch a whole result at once).
    std::unique_ptr<Recordset> table =
        database->OpenRecordset(*ctx_.destTableName, 0, odbc ? dbAppendOnly : 0);
    if (odbc) {
        table->Close();
        table_ = std::make_unique<OdbcStatementDestination>(database, *ctx_.destTableName);
        table_->AllowHeldRecords();
    } else {
        table_ = std::make_unique<RecordsetDestination>(database, std::move(table),
                                                        database.get() != ctx_.sourceDb);
        table_->AllowHeldRecords();
    }
}

void ExportRun::ReleaseTable() noexcept {
    if (table_) {
        table_->Abandon();
        table_.reset();
        return;
    }
    // The table was made but its recordset could not be opened: the database goes too.
    if (ctx_.destDb && *ctx_.destDb && ctx_.destDb->get() != ctx_.sourceDb) {
        try {
            (*ctx_.destDb)->Close();
        } catch (...) {
            // Already reporting the failure that stopped the run.
        }
    }
}

bool ExportRun::PrepareTextFile() {
    const QString& path = ctx_.exportFile;
    bool exists = false;
    Guarded([&] {
        exists = PathExists(path);
        if (exists && TextFileWriter::IsSpecialPath(path))
            throw RuntimeError(ErrPathFileAccess, QStringLiteral("Path/File access error"));
    });
    if (exists && !TextFileWriter::IsSpecialPath(path)) {
        if (!ctx_.caller.OverWrite()) {
            const MsgResult answer =
                ctx_.prompter.MsgBox(QStringLiteral("File already exists - overwrite?"),
                                     MsgButtons::OKCancel, MsgIcon::Question, QString(), 2);
            if (answer != MsgResult::OK) return false;
        }
        Guarded([&] { RemoveRegularFile(path); });
    }
    ctx_.errorStep = 2;
    Guarded([&] { file_.Open(path); });
    return true;
}

Recordset& ExportRun::Source() const {
    if (!ctx_.source)
        throw RuntimeError(ErrObjectNotSet,
                           QStringLiteral("Object variable or With block variable not set"));
    return *ctx_.source;
}

void ExportRun::BuildFieldPlans() {
    plans_.clear();
    plans_.reserve(static_cast<size_t>(ctx_.selectedFields.size()));
    for (const QString& name : ctx_.selectedFields) {
        FieldPlan plan{name, 0, nullptr, -1};
        // A name the source lacks is looked up again on every record, where its failure
        // is reported at the field's step like any other.
        if (ctx_.source) {
            plan.ordinal = FieldIndex(ctx_.source->Fields(), name);
            const int index = ctx_.source->Fields().IndexOf(name);
            if (index >= 0) {
                plan.field = &ctx_.source->Fields().Item(index);
                plan.fieldOrdinal = index;
            }
        }
        plans_.push_back(plan);
    }
}

void ExportRun::CountRecords() {
    Source().MoveLast();
    Source().MoveFirst();
    total_ = PlannedTotal(Source().RecordCount(), ctx_.setting);
}

void ExportRun::WriteHeaderLine() {
    QString line;
    Guarded([&] {
        line = HeaderLine(ctx_.selectedFields, ctx_.setting);
        ctx_.caller.RaiseBeforeRecordExport(line);
    });
    Guarded([&] { line += ctx_.setting.RecordSeparator(); });
    ctx_.errorStep = 6;
    Guarded([&] { file_.Write(line); });
}

void ExportRun::WriteHtmlHead() {
    const ExportSetting& setting = ctx_.setting;
    const auto write = [&](const QString& piece) { Guarded([&] { file_.Write(piece); }); };
    write(QStringLiteral("<HTML>"));
    write(QStringLiteral("<HEAD>"));
    write(QStringLiteral("<TITLE>") + setting.HtmlTitle + QStringLiteral("</TITLE>"));
    write(QStringLiteral("</HEAD>"));
    // The template is read by the same operation that writes the body tag: a template that
    // cannot be read skips the tag when the user continues.
    Guarded([&] {
        file_.Write(QStringLiteral("<BODY") + GetTemplate(setting.HtmlTemplate) + QLatin1Char('>'));
    });
    write(html::TableStart);
    if (setting.ExportHtmlTableName)
        write(QStringLiteral("<CAPTION><B>") + ctx_.sourceName + QStringLiteral("</B></CAPTION>"));
    if (setting.ExportHtmlFldNames) {
        write(QStringLiteral("<THEAD>"));
        write(QStringLiteral("<TR>"));
        for (const QString& name : ctx_.selectedFields)
            write(html::HeaderCellStart + name + html::HeaderCellEnd);
        write(QStringLiteral("</TR>"));
        write(QStringLiteral("</THEAD>"));
    }
    write(QStringLiteral("<TBODY>"));
}

void ExportRun::PositionOnFirstRecord() {
    ctx_.errorStep = 7;
    Guarded([&] { Source().MoveFirst(); });
    ctx_.errorStep = 8;
    if (ctx_.setting.StartingLine > 1)
        Guarded([&] { Source().Move(ctx_.setting.StartingLine - 1); });
}

void ExportRun::RecordLoop() {
    sinceRedraw_.start();
    fieldEventHandled_ = ctx_.caller.BeforeFieldExportHandled();
    // Nothing can rewrite a value: records go to a destination that takes them whole.
    wholeRecords_ = table_ && table_->StoresWholeRecords() && !fieldEventHandled_ &&
                    !ctx_.setting.Upper && !ctx_.setting.OemConvert &&
                    table_->FieldCount() == static_cast<int>(plans_.size()) &&
                    std::all_of(plans_.begin(), plans_.end(),
                                [](const FieldPlan& plan) { return plan.field != nullptr; });
    if (wholeRecords_) wholeValues_.resize(plans_.size());
    std::unique_ptr<FastRecordFormat> fast;
    if (ctx_.source) {
        FastRecordFormat::FieldEvent fieldEvent;
        if (ctx_.caller.BeforeFieldExportHandled())
            fieldEvent = [this](const QString& name, short type, short width, QString& value) {
                // As ExportField raises it: a failure is reported with this field and value.
                fieldName_ = &name;
                fieldType_ = type;
                value_.swap(value);
                Guarded([&] {
                    ctx_.caller.RaiseBeforeFieldExport(ctx_.sourceName, name, type, width, value_);
                });
                value.swap(value_);
            };
        fast = FastRecordFormat::For(ctx_.setting, *ctx_.source, ctx_.selectedFields,
                                     ctx_.caller.BeforeRecordExportHandled(), fieldEvent);
    }
    for (;;) {
        if (Source().Eof()) break;
        ctx_.errorStep = 9;
        if (table_ && !wholeRecords_) Guarded([&] { table_->BeginRecord(); });
        if (ctx_.progress && ctx_.caller.ShowProgress() && ctx_.progress->CancelRequested()) {
            if (table_) table_->DiscardRecord();
            break;
        }
        if (wholeRecords_)
            ExportWholeTableRecord();
        else if (fast)
            ExportRecordFast(*fast);
        else
            ExportRecord();
        ctx_.errorStep = 12;
        Guarded([&] { ++count_; });
        ReportProgress(false);
        Guarded([&] { Source().MoveNext(); });
        if (count_ == total_) break;
    }
    ReportProgress(true);
}

void ExportRun::ReportProgress(bool force) {
    if (!ctx_.progress || !ctx_.caller.ShowProgress()) return;
    // Redrawing and serving the event loop on every record would cost more than the
    // export itself; a few times a second keeps the window live and the stop button
    // answered before the next record once the user has confirmed.
    if (!force && sinceRedraw_.elapsed() < kRedrawMilliseconds && count_ != total_) return;
    sinceRedraw_.restart();
    Guarded([&] {
        ctx_.progress->SetValue(
            ProgressUnits(count_, total_),
            QString::number(count_) + QStringLiteral(" out of ") + QString::number(total_));
    });
    if (!force) Guarded([&] { ctx_.progress->ProcessEvents(); });
}

void ExportRun::ShowTrueCount() noexcept {
    // The counter may lag behind by up to the redraw interval; a run that stops in its
    // record loop shows the true count while the report is up.
    if (!sinceRedraw_.isValid() || !ctx_.progress || !ctx_.caller.ShowProgress()) return;
    try {
        ctx_.progress->SetValue(
            ProgressUnits(count_, total_),
            QString::number(count_) + QStringLiteral(" out of ") + QString::number(total_));
    } catch (...) {
        // A counter that cannot be drawn must not hide the error report.
    }
}

void ExportRun::ExportRecord() {
    if (table_) {
        ctx_.errorStep = 10;
        const int count = static_cast<int>(plans_.size());
        for (int position = 0; position < count; ++position) ExportTableField(position);
        FinishTableRecord();
        return;
    }
    record_.resize(0);
    if (ctx_.setting.TypeFormat == kHtmlPage) record_ += html::RowStart;
    ctx_.errorStep = 10;
    const int count = static_cast<int>(plans_.size());
    for (int position = 0; position < count; ++position) ExportField(position);
}

void ExportRun::ExportRecordFast(FastRecordFormat& fast) {
    ctx_.errorStep = 10;
    QByteArray& pending = file_.PendingBytes();
    const qsizetype recordStart = pending.size();
    try {
        fast.Format(Source(), pending);
    } catch (const std::exception&) {
        // Whatever failed is met again, and reported as usual, by the general routine.
        pending.truncate(recordStart);
        ExportRecord();
        return;
    }
    ctx_.errorStep = 11;
    Guarded([&] { file_.FlushIfFull(); });
    ctx_.errorStep = 10;
}

namespace {

// A non-empty text value without CR or LF: the value text the table path would build from
// it is the same text.
bool IsPlainText(const QVariant& value) {
    if (value.typeId() != QMetaType::QString) return false;
    const QString& text = *static_cast<const QString*>(value.constData());
    if (text.isEmpty()) return false;
    for (const QChar unit : text)
        if (unit == u'\r' || unit == u'\n') return false;
    return true;
}

// A text value with every CR and LF made a space, as the value text of a record is.
QVariant WithoutLineBreaks(const QVariant& value) {
    QString text = *static_cast<const QString*>(value.constData());
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

//! `value` becomes the text of the UTF-8 bytes, as QString::fromUtf8 makes it. A text
//! `value` already holds, and holds alone, is overwritten in place: a run that reuses its
//! values from record to record allocates nothing for its texts.
void AssignUtf8(const char* bytes, qsizetype size, QVariant& value) {
    if (value.typeId() != QMetaType::QString ||
        !static_cast<const QString*>(value.constData())->isDetached()) {
        value = QString::fromUtf8(bytes, size);
        return;
    }
    auto& text = *static_cast<QString*>(value.data());
    // UTF-8 never takes fewer bytes than UTF-16 takes units.
    text.resize(size);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    const QChar* end = decoder.appendToBuffer(text.data(), QByteArrayView(bytes, size));
    text.truncate(end - text.constData());
}

// The value Field::Value() holds for a column read raw (RawValue.h), into `value`: whole
// numbers of Byte, Integer and Long fields as int, as the drivers hold them, Booleans as
// bool, Single as float. With `dateTimeByParts` a date-time is built in UTC with the same
// date and time of day, for a destination that looks at nothing else: a local one costs a
// time-zone conversion (about 1,900 instructions) per value.
void ValueOfRaw(const RawValue& raw, short type, QVariant& value, bool dateTimeByParts) {
    switch (raw.kind) {
        case RawValue::Kind::Null:
            value = QVariant();
            break;
        case RawValue::Kind::Integer:
            if (type == dbBoolean)
                value = QVariant(raw.integer != 0);
            else if (type != dbBigInt && raw.integer >= std::numeric_limits<int>::min() &&
                     raw.integer <= std::numeric_limits<int>::max())
                value = QVariant(static_cast<int>(raw.integer));
            else
                value = QVariant(static_cast<qlonglong>(raw.integer));
            break;
        case RawValue::Kind::Real:
            if (type == dbSingle)
                value = QVariant(static_cast<float>(raw.real));
            else
                value = QVariant(raw.real);
            break;
        case RawValue::Kind::Text:
            AssignUtf8(raw.text, raw.size, value);
            break;
        case RawValue::Kind::Date:
            value = raw.date;
            break;
        case RawValue::Kind::Time:
            value = raw.time;
            break;
        case RawValue::Kind::DateTime:
            value = dateTimeByParts ? QDateTime(raw.date, raw.time, Qt::UTC)
                                    : QDateTime(raw.date, raw.time);
            break;
        case RawValue::Kind::Variant:
            value = *raw.variant;
            break;
    }
}

bool IsEmptyText(const QVariant& value) {
    return value.typeId() == QMetaType::QString &&
           static_cast<const QString*>(value.constData())->isEmpty();
}

}  // namespace

const Field* ExportRun::BeginField(const FieldPlan& plan, short& width) {
    fieldName_ = &plan.name;
    fieldType_ = 0;
    if (!value_.isEmpty()) value_.resize(0);  // left empty by typed deliveries: no call
    const Field* field = plan.field;
    Guarded([&] {
        if (!field) field = &Source().Fields().Item(plan.name);
        fieldType_ = field->Type();
    });
    // A field past the width table is written with the size the engine reports.
    Guarded([&] { width = ctx_.setting.WidthFor(plan.ordinal, field ? field->Size() : 0); });
    return field;
}

void ExportRun::ReadTextValue(const Field& field, bool& sourceNull) {
    Guarded([&] {
        const QVariant& value = field.Value();
        sourceNull = value.isNull();
        if (!value.isNull()) value_ = value.toString();
    });
    Guarded([&] { ReplaceChar(value_, QStringLiteral("\r"), QStringLiteral(" ")); });
    Guarded([&] { ReplaceChar(value_, QStringLiteral("\n"), QStringLiteral(" ")); });
}

void ExportRun::RaiseFieldEvent(const QString& name, short width) {
    Guarded([&] {
        ctx_.caller.RaiseBeforeFieldExport(ctx_.sourceName, name, fieldType_, width, value_);
    });
}

void ExportRun::ExportField(int position) {
    const ExportSetting& setting = ctx_.setting;
    const FieldPlan& plan = plans_[static_cast<size_t>(position)];
    const int kind = setting.TypeFormat;
    short width = 0;
    const Field* field = BeginField(plan, width);
    if (kind == kHtmlTags) record_ += html::OpenTag(plan.name);
    bool sourceNull = false;  // text output writes a Null as an empty text

    switch (field ? ValueClassOf(fieldType_) : ValueClass::NoValue) {
        case ValueClass::Text:
            ReadTextValue(*field, sourceNull);
            RaiseFieldEvent(plan.name, width);
            if ((kind == kVariable || kind == kHtmlTags) && setting.UseDelimiter) {
                if (!setting.Upper && !setting.OemConvert) {
                    // Nothing more changes the delimited text: append it to the record
                    // directly instead of building a delimited copy of every value.
                    record_ += setting.DelimiterChar;
                    record_ += value_;
                    record_ += setting.DelimiterChar;
                    break;
                }
                Guarded([&] { value_ = Delimited(value_, setting); });
            } else if (kind == kFixed)
                Guarded([&] { FormatString(value_, width); });
            if (setting.Upper) Guarded([&] { value_ = UpperCase(value_); });
            if (setting.OemConvert) Guarded([&] { value_ = ToOem(value_); });
            if (kind == kHtmlPage) record_ += html::TextCellStart;
            record_ += value_;
            break;
        case ValueClass::Scalar:
            Guarded([&] { value_ = ValueText(field->Value(), fieldType_); });
            if (kind == kFixed) Guarded([&] { FormatString(value_, width); });
            RaiseFieldEvent(plan.name, width);
            if (kind == kHtmlPage) record_ += html::NumberCellStart;
            record_ += value_;
            break;
        case ValueClass::NoValue:
            if (kind == kHtmlPage) record_ += html::TextCellStart;
            break;
    }

    if (kind == kHtmlTags)
        record_ += html::CloseTag(plan.name);
    else if (kind == kHtmlPage)
        record_ += html::CellEnd;
    if (position < static_cast<int>(plans_.size()) - 1) {
        if (kind == kVariable) record_ += setting.SeparatorChar;
    } else {
        FinishTextRecord();
    }
}

void ExportRun::ExportTableField(int position) {
    const ExportSetting& setting = ctx_.setting;
    const FieldPlan& plan = plans_[static_cast<size_t>(position)];
    short width = 0;
    const Field* field = BeginField(plan, width);
    FieldDelivery delivery;
    delivery.position = position;
    delivery.name = &plan.name;
    delivery.type = fieldType_;
    delivery.valueClass = field ? ValueClassOf(fieldType_) : ValueClass::NoValue;
    delivery.text = &value_;
    QString defaultText;
    switch (delivery.valueClass) {
        case ValueClass::Text:
            ReadTextValue(*field, delivery.sourceNull);
            RaiseFieldEvent(plan.name, width);
            if (setting.Upper) Guarded([&] { value_ = UpperCase(value_); });
            if (setting.OemConvert) Guarded([&] { value_ = ToOem(value_); });
            break;
        case ValueClass::Scalar:
            if (!fieldEventHandled_) {
                // Nobody sees the text: a value whose text is certainly not empty goes
                // to the destination typed, as it would with its text left alone,
                // without building that text.
                const QVariant* typed = nullptr;
                Guarded([&] {
                    const QVariant& value = field->Value();
                    delivery.sourceNull = value.isNull();
                    if (ValueTextNeverEmpty(value, fieldType_)) typed = &value;
                });
                if (typed) {
                    delivery.typedValue = typed;
                    break;
                }
            }
            Guarded([&] {
                delivery.sourceNull = field->Value().isNull();
                value_ = defaultText = ValueText(field->Value(), fieldType_);
            });
            RaiseFieldEvent(plan.name, width);
            // The host left the default text alone: the destination takes the typed value,
            // so numbers and dates never travel as regional text.
            if (value_ == defaultText && !value_.isEmpty() && !delivery.sourceNull)
                delivery.typedValue = &field->Value();
            break;
        case ValueClass::NoValue:
            return;
    }
    Guarded([&] {
        try {
            table_->Deliver(delivery);
        } catch (...) {
            // A typed value delivered without its text shows its text in the report.
            if (delivery.typedValue && value_.isEmpty())
                value_ = ValueText(*delivery.typedValue, fieldType_);
            throw;
        }
    });
}

bool ExportRun::GatherWholeRecord() {
    Recordset& source = Source();
    const int count = static_cast<int>(plans_.size());
    RawValue raw;
    for (int position = 0; position < count; ++position) {
        const FieldPlan& plan = plans_[static_cast<size_t>(position)];
        const short type = plan.field->Type();
        QVariant& value = wholeValues_[static_cast<size_t>(position)];
        const ValueClass valueClass = ValueClassOf(type);
        if (valueClass == ValueClass::NoValue) {
            value = QVariant();  // binary fields contribute nothing
            continue;
        }
        source.ReadRaw(plan.fieldOrdinal, raw);
        ValueOfRaw(raw, type, value,
                   raw.kind == RawValue::Kind::DateTime && table_->StoresDateTimeByParts(position));
        // Built values are Null exactly when invalid; a field's own value may be Null
        // otherwise too.
        if (!value.isValid() || (raw.kind == RawValue::Kind::Variant && value.isNull())) {
            value = QVariant();  // a Null source value stores Null
            continue;
        }
        switch (valueClass) {
            case ValueClass::Text:
                if (IsEmptyText(value)) {
                    value = QVariant();  // an empty value text stores Null
                    continue;
                }
                if (!IsPlainText(value)) {
                    if (value.typeId() != QMetaType::QString)
                        return false;  // not held as text: its text is the general routine's
                    value = WithoutLineBreaks(value);
                }
                break;
            case ValueClass::Scalar:
                if (!PresentValueTextNeverEmpty(value, type))
                    return false;  // its text decides: Null when it is empty
                break;
            case ValueClass::NoValue:
                break;
        }
        table_->Convert(position, value);
    }
    return true;
}

void ExportRun::ExportWholeTableRecord() {
    ctx_.errorStep = 10;
    bool gathered = false;
    try {
        gathered = GatherWholeRecord();
    } catch (const std::exception&) {
        // A value the destination refuses: the field-by-field routine meets it again and
        // reports it as usual.
    }
    if (!gathered) {
        // The records held before this one are stored first, and fail as their own.
        ctx_.errorStep = 11;
        Guarded([&] { table_->StoreHeldRecords(); });
        ctx_.errorStep = 9;
        Guarded([&] { table_->BeginRecord(); });
        ExportRecord();
        return;
    }
    ctx_.errorStep = 11;
    Guarded([&] { table_->StoreRecord(wholeValues_); });
    ctx_.errorStep = 10;
}

void ExportRun::FinishTableRecord() {
    if (table_->StoresAtFieldStage()) {
        Guarded([&] { table_->EndRecord(); });
        return;
    }
    ctx_.errorStep = 11;
    Guarded([&] { table_->EndRecord(); });
    ctx_.errorStep = 10;
}

void ExportRun::FinishTextRecord() {
    if (ctx_.setting.TypeFormat == kHtmlPage) record_ += html::RowEnd;
    ctx_.errorStep = 11;
    Guarded([&] {
        ctx_.caller.RaiseBeforeRecordExport(record_);
        record_ += ctx_.setting.RecordSeparator();
        file_.Write(record_);
    });
    ctx_.errorStep = 10;
}

void ExportRun::ShowSummary() {
    if (!ctx_.caller.ShowSummary() || count_ <= 0) return;
    ctx_.prompter.MsgBox(QStringLiteral("End of export") + kLineEnd +
                             QStringLiteral("Number of exported records : ") +
                             QString::number(count_) + kLineEnd,
                         MsgButtons::OK, MsgIcon::Information, QStringLiteral("Information"));
}

void ExportRun::CloseDestination() {
    if (table_) {
        table_->Close();
        return;
    }
    if (ctx_.setting.TypeFormat == kHtmlPage) {
        file_.Write(QStringLiteral("</TBODY>"));
        file_.Write(QStringLiteral("<TFOOT></TFOOT>"));
        file_.Write(QStringLiteral("</TABLE></BODY>"));
        file_.Write(QStringLiteral("</HTML>"));
    }
    file_.Close();
}

QString ExportRun::StageText() const {
    const bool textKind = IsTextKind(ctx_.setting.TypeFormat);
    const QString& file = ctx_.exportFile;
    switch (ctx_.errorStep) {
        case 1:
            return QStringLiteral("Error in accessing export file '") + file + QLatin1Char('\'');
        case 2:
            return textKind ? QStringLiteral("Error in openning export file '") + file +
                                  QLatin1Char('\'')
                            : QStringLiteral("Error in creating export table '") + file +
                                  QLatin1Char('\'');
        case 3:
            return QStringLiteral("Error in openning export table '") +
                   (ctx_.destTableName ? *ctx_.destTableName : QString()) + QLatin1Char('\'');
        case 4:
            return QStringLiteral("Error in accessing table fields ");
        case 5:
            return QStringLiteral("Error in exporting field names ");
        case 6:
            return QStringLiteral("Error in writing field names to export file");
        case 7:
            return QStringLiteral("Error in accessing first record of source table");
        case 8:
            return QStringLiteral("Error in moving cursor in source table");
        case 9:
            return QStringLiteral("Error in creating record in destination table");
        case 11:
            return textKind
                       ? QStringLiteral("Error in exporting a new record to the text file")
                       : QStringLiteral("Error in exporting a new record to the destination table");
        case 12:
            return QStringLiteral("Error in accessing next record of source table");
        case 13:
            return textKind ? QStringLiteral("Error in closing the export text file")
                            : QStringLiteral("Error in closing the export destination table");
        default:
            return QString();
    }
}

void ExportRun::OnFailure(const std::exception& error) {
    // A record held by the destination that fails meanwhile came first, and is reported
    // first, as it would have been had it been stored before this step.
    if (table_ && !table_->StoresAtFieldStage() && ctx_.errorStep != 11) {
        const int step = std::exchange(ctx_.errorStep, 11);
        Guarded([&] { table_->StoreHeldRecords(); });
        ctx_.errorStep = step;
    }
    const RuntimeError described = DescribeError(error);
    switch (ctx_.errorStep) {
        case 1:
        case 4:
        case 5:
        case 6:
            if (!AskContinue(StageText() + kLineEnd + kLineEnd + described.Description() +
                             QStringLiteral(" (") + QString::number(described.Number()) +
                             QStringLiteral(")") + kLineEnd + kLineEnd +
                             QStringLiteral("Continue the export ?")))
                throw RunStopped{};
            return;
        case 10:
            if (ctx_.setting.TypeFormat == kODBC) Stop(QString(), error);
            if (!AskContinue(QStringLiteral("Error in assigning a value to  a field") +
                             QStringLiteral(" at line ") +
                             QString::number(count_ + ctx_.setting.StartingLine) + kLineEnd +
                             kLineEnd + QStringLiteral("Cannot assign value '") + value_ +
                             QStringLiteral("' to field ") + *fieldName_ +
                             QStringLiteral(" of type ") + FieldTypeName(fieldType_) + kLineEnd +
                             QStringLiteral("Continue the export ?")))
                throw RunStopped{};
            return;
        default:
            Stop(StageText(), error);
    }
}

bool ExportRun::AskContinue(const QString& message) {
    // The question reports an error too, whatever the answer.
    ctx_.prompter.NoteErrorReport();
    return ctx_.prompter.MsgBox(message, MsgButtons::YesNo, MsgIcon::Exclamation,
                                QStringLiteral("Error")) == MsgResult::Yes;
}

void ExportRun::Stop(const QString& context, const std::exception& error) {
    ShowTrueCount();
    ErrorContext() = context;
    ShowError(ctx_.prompter, error);
    throw RunStopped{};
}

}  // namespace morvane
