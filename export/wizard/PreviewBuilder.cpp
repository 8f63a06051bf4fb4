#include "export/wizard/PreviewBuilder.h"

#include "export/common/CodePage.h"
#include "export/common/IgnoringErrors.h"
#include "export/common/TextRoutines.h"
#include "export/data/Field.h"
#include "export/data/Fields.h"
#include "export/data/Recordset.h"
#include "export/engine/ExportCaller.h"
#include "export/engine/FieldIndex.h"
#include "export/engine/HtmlTags.h"
#include "export/engine/RecordFormat.h"
#include "export/engine/RunPlan.h"
#include "export/engine/TypeConnect.h"
#include "export/engine/ValueClass.h"
#include "export/engine/ValueText.h"

#include <algorithm>

namespace morvane {
namespace {

//! The text as the OEM conversion writes it, shown decoded from the OEM code page: the
//! characters the file will hold ("?" for those the page lacks).
QString AsWrittenInOem(const QString& text) {
    return CodePage::DecodeOem(CodePage::EncodeAnsi(ToOem(text)));
}

}  // namespace

PreviewBuilder::PreviewBuilder(ExportCaller& caller, Recordset* source, const QString& sourceName,
                               ExportSetting& setting, const QStringList& selectedFields)
    : caller_(caller),
      source_(source),
      sourceName_(sourceName),
      setting_(setting),
      fields_(selectedFields) {}

int PreviewBuilder::PreviewRecordCount(qint64 recordCount, const ExportSetting& setting) {
    return static_cast<int>(std::min<qint64>(PlannedTotal(recordCount, setting), MaxRecords));
}

bool PreviewBuilder::PositionOnFirstRecord() {
    if (!source_) return false;
    bool positioned = false;
    IgnoringErrors([&] {
        source_->MoveFirst();
        if (setting_.StartingLine > 1) source_->Move(setting_.StartingLine - 1);
        positioned = true;
    });
    return positioned;
}

bool PreviewBuilder::RangeDone(int previewed) const {
    return !setting_.ExportAll && previewed == setting_.MaxLines;
}

QString PreviewBuilder::ValueOf(const QString& name, short& type) const {
    QString text;
    type = 0;
    IgnoringErrors([&] {
        const Field& field = source_->Fields().Item(name);
        type = field.Type();
        if (ValueClassOf(type) == ValueClass::NoValue) return;
        const QVariant value = field.Value();
        if (value.isNull()) return;
        text = ValueClassOf(type) == ValueClass::Text ? value.toString() : ValueText(value, type);
    });
    if (ValueClassOf(type) == ValueClass::Text) {
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    return text;
}

short PreviewBuilder::WidthOf(const QString& name) const {
    short width = 0;
    IgnoringErrors([&] {
        width = setting_.WidthFor(FieldIndex(source_->Fields(), name),
                                  source_->Fields().Item(name).Size());
    });
    return width;
}

void PreviewBuilder::AppendTextField(QString& line, const QString& name, bool last) {
    const int kind = setting_.TypeFormat;
    if (kind == TypeConnect::HtmlTags) line += html::OpenTag(name);
    short type = 0;
    QString value = ValueOf(name, type);
    const ValueClass valueClass = ValueClassOf(type);
    if (valueClass != ValueClass::NoValue) {
        const short width = WidthOf(name);
        IgnoringErrors(
            [&] { caller_.RaiseBeforeFieldExport(sourceName_, name, type, width, value); });
        if (valueClass == ValueClass::Text && setting_.UseDelimiter)
            value = Delimited(value, setting_);
        if (kind == TypeConnect::Fixed) IgnoringErrors([&] { FormatString(value, width); });
        line += value;
    }
    if (kind == TypeConnect::HtmlTags) line += html::CloseTag(name);
    if (kind == TypeConnect::Variable && !last) line += setting_.SeparatorChar;
}

QString PreviewBuilder::TextLine() {
    QString line;
    for (int position = 0; position < fields_.size(); ++position)
        AppendTextField(line, fields_.at(position), position == fields_.size() - 1);
    if (setting_.Upper) line = UpperCase(line);
    if (setting_.OemConvert) line = AsWrittenInOem(line);
    IgnoringErrors([&] { caller_.RaiseBeforeRecordExport(line); });
    return line.left(MaxLineLength);
}

QString PreviewBuilder::TextPreview() {
    setting_.RecomputeUseDelimiter();
    if (!PositionOnFirstRecord()) return QString();
    QStringList lines;
    if (setting_.TypeFormat == TypeConnect::Variable && setting_.ExportFldNames)
        lines << HeaderLine(fields_, setting_).left(MaxLineLength);
    int previewed = 0;
    bool more = true;
    IgnoringErrors([&] { more = !source_->Eof(); });
    while (more && previewed < MaxRecords) {
        lines << TextLine();
        ++previewed;
        more = false;
        IgnoringErrors([&] {
            source_->MoveNext();
            more = !source_->Eof();
        });
        if (RangeDone(previewed)) break;
    }
    return lines.join(QStringLiteral("\r\n"));
}

PreviewTable PreviewBuilder::TablePreview(int rows) {
    PreviewTable table;
    table.Header = fields_;
    if (!PositionOnFirstRecord()) return table;
    bool more = true;
    IgnoringErrors([&] { more = !source_->Eof(); });
    while (more && table.Rows.size() < rows) {
        QStringList cells;
        for (const QString& name : fields_) {
            short type = 0;
            QString value = ValueOf(name, type);
            if (ValueClassOf(type) != ValueClass::NoValue)
                IgnoringErrors([&] {
                    caller_.RaiseBeforeFieldExport(sourceName_, name, type, WidthOf(name), value);
                });
            if (setting_.Upper) value = UpperCase(value);
            if (setting_.OemConvert) value = AsWrittenInOem(value);
            cells << value;
        }
        table.Rows.append(cells);
        more = false;
        IgnoringErrors([&] {
            source_->MoveNext();
            more = !source_->Eof();
        });
        if (RangeDone(table.Rows.size())) break;
    }
    return table;
}

}  // namespace morvane
