#include "export/engine/FastRecordFormat.h"

#include "export/common/CodePage.h"
#include "export/common/TextRoutines.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"
#include "export/engine/ByteSink.h"
#include "export/engine/FieldIndex.h"
#include "export/engine/HtmlTags.h"
#include "export/engine/RecordFormat.h"
#include "export/engine/ValueText.h"

#include <QDateTime>
#include <algorithm>
#include <charconv>

namespace morvane {
namespace {

//! Decodes the multi-byte UTF-8 sequence at `at` (its lead byte is 0x80 or above) into
//! `point` and answers its length in bytes; 0 when it is not well-formed (a bad lead or
//! continuation byte, a cut sequence, an overlong form, a surrogate, past U+10FFFF).
inline int DecodeSequence(const unsigned char* at, const unsigned char* end, char32_t& point) {
    const unsigned char lead = *at;
    int extra = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        point = lead & 0x1F;
        extra = 1;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        point = lead & 0x0F;
        extra = 2;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        point = lead & 0x07;
        extra = 3;
        least = 0x10000;
    } else {
        return 0;
    }
    if (end - at <= extra) return 0;
    for (int next = 1; next <= extra; ++next) {
        const unsigned char byte = at[next];
        if ((byte & 0xC0) != 0x80) return 0;
        point = (point << 6) | (byte & 0x3F);
    }
    if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
    return extra + 1;
}

enum Kind { kVariable = 0, kFixed = 1, kHtmlTags = 2, kHtmlPage = 3 };

QByteArray Ansi(const QString& text) {
    return CodePage::EncodeAnsi(text);
}

// What the routine makes of a text value's characters after the line ends are replaced:
// upper case, then OEM conversion, when the setting asks for them.
QString TextTreatment(QString text, const ExportSetting& setting) {
    if (setting.Upper) text = UpperCase(text);
    if (setting.OemConvert) text = ToOem(text);
    return text;
}

}  // namespace

std::unique_ptr<FastRecordFormat> FastRecordFormat::For(const ExportSetting& setting,
                                                        Recordset& source,
                                                        const QStringList& selectedFields,
                                                        bool recordHandled, FieldEvent fieldEvent) {
    // With no field selected the routine never reaches a record's end and writes nothing.
    if (recordHandled || setting.TypeFormat < kVariable || setting.TypeFormat > kHtmlPage ||
        selectedFields.isEmpty())
        return nullptr;
    const Fields& fields = source.Fields();
    std::vector<Column> columns;
    for (const QString& name : selectedFields) {
        Column column;
        column.ordinal = fields.IndexOf(name);
        if (column.ordinal < 0) return nullptr;  // reported on every record by the routine
        column.type = fields.Item(column.ordinal).Type();
        column.valueClass = ValueClassOf(column.type);
        column.width =
            setting.WidthFor(FieldIndex(fields, name), fields.Item(column.ordinal).Size());
        column.name = name;
        if (setting.TypeFormat == kFixed && column.width < 0 &&
            column.valueClass != ValueClass::NoValue)
            return nullptr;  // FormatString refuses a negative width on every record
        if (setting.TypeFormat == kHtmlTags) {
            column.openTag = Ansi(html::OpenTag(name));
            column.closeTag = Ansi(html::CloseTag(name));
        }
        columns.push_back(std::move(column));
    }
    return std::unique_ptr<FastRecordFormat>(
        new FastRecordFormat(setting, std::move(columns), std::move(fieldEvent)));
}

FastRecordFormat::FastRecordFormat(const ExportSetting& setting, std::vector<Column> columns,
                                   FieldEvent fieldEvent)
    : setting_(setting),
      columns_(std::move(columns)),
      kind_(setting.TypeFormat),
      delimited_((kind_ == kVariable || kind_ == kHtmlTags) && setting.UseDelimiter),
      fieldEvent_(std::move(fieldEvent)) {
    delimiter_ = Ansi(TextTreatment(QString(setting.DelimiterChar), setting));
    separator_ = Ansi(QString(setting.SeparatorChar));
    recordEnd_ = Ansi(setting.RecordSeparator());
    const QString point = RegionalDecimalPoint();
    decimalPoint_.assign(reinterpret_cast<const char16_t*>(point.utf16()),
                         static_cast<size_t>(point.size()));
    rowStart_ = Ansi(html::RowStart);
    textCell_ = Ansi(html::TextCellStart);
    numberCell_ = Ansi(html::NumberCellStart);
    cellEnd_ = Ansi(html::CellEnd);
    rowEnd_ = Ansi(html::RowEnd);
    textPad_ = TextByte(u' ');  // the routine pads first, then treats the text
    ansiPad_ = AnsiByte(u' ');
}

char FastRecordFormat::TextByte(char16_t unit) {
    short& known = textTable_.bytes[unit];
    if (known < 0) {
        const bool lineEnd = unit == u'\r' || unit == u'\n';
        const char16_t replaced = lineEnd && !fieldEvent_ ? u' ' : unit;
        known = static_cast<unsigned char>(
            Ansi(TextTreatment(QString(QChar(replaced)), setting_)).at(0));
    }
    return static_cast<char>(known);
}

char FastRecordFormat::AnsiByte(char16_t unit) {
    short& known = ansiTable_.bytes[unit];
    if (known < 0) known = static_cast<unsigned char>(Ansi(QString(QChar(unit))).at(0));
    return static_cast<char>(known);
}

void FastRecordFormat::Format(Recordset& source, QByteArray& buffer) {
    ByteSink out(buffer);
    if (kind_ == kHtmlPage) out.Append(rowStart_);
    RawValue raw;
    const size_t count = columns_.size();
    for (size_t position = 0; position < count; ++position) {
        const Column& column = columns_[position];
        if (kind_ == kHtmlTags) out.Append(column.openTag);
        switch (column.valueClass) {
            case ValueClass::Text:
                source.ReadRaw(column.ordinal, raw);
                FormatText(column, raw, out);
                break;
            case ValueClass::Scalar:
                source.ReadRaw(column.ordinal, raw);
                FormatScalar(column, raw, out);
                break;
            case ValueClass::NoValue:
                if (kind_ == kHtmlPage) out.Append(textCell_);
                break;
        }
        if (kind_ == kHtmlTags)
            out.Append(column.closeTag);
        else if (kind_ == kHtmlPage)
            out.Append(cellEnd_);
        if (position + 1 < count && kind_ == kVariable) out.Append(separator_);
    }
    if (kind_ == kHtmlPage) out.Append(rowEnd_);
    out.Append(recordEnd_);
}

void FastRecordFormat::FormatText(const Column& column, const RawValue& raw, ByteSink& out) {
    if (raw.kind == RawValue::Kind::Text && !fieldEvent_) {
        // The common case: UTF-8 from the driver, straight to bytes.
        const qsizetype start = out.Size();
        if (delimited_) {
            out.Append(delimiter_);
            if (EmitUtf8(raw.text, raw.size, -1, out)) {
                out.Append(delimiter_);
                return;
            }
        } else {
            if (kind_ == kHtmlPage) out.Append(textCell_);
            if (EmitUtf8(raw.text, raw.size, kind_ == kFixed ? column.width : -1, out)) return;
        }
        out.Truncate(start);
    }
    switch (raw.kind) {
        case RawValue::Kind::Null:
            units_.clear();
            break;
        case RawValue::Kind::Text:
            DecodeUtf8(raw.text, raw.size);
            break;
        case RawValue::Kind::Integer:
            UnitsOfString(QVariant(static_cast<qlonglong>(raw.integer)).toString());
            break;
        case RawValue::Kind::Real:
            UnitsOfString(QVariant(raw.real).toString());
            break;
        case RawValue::Kind::Date:
            UnitsOfString(QVariant(raw.date).toString());
            break;
        case RawValue::Kind::Time:
            UnitsOfString(QVariant(raw.time).toString());
            break;
        case RawValue::Kind::DateTime:
            UnitsOfString(QVariant(QDateTime(raw.date, raw.time)).toString());
            break;
        case RawValue::Kind::Variant:
            if (raw.variant->isNull())
                units_.clear();
            else
                UnitsOfString(raw.variant->toString());
            break;
    }
    if (fieldEvent_) {
        for (char16_t& unit : units_)
            if (unit == u'\r' || unit == u'\n') unit = u' ';
        RaiseFieldEvent(column);
    }
    if (delimited_) {
        out.Append(delimiter_);
        EmitUnits(textTable_, true, -1, textPad_, out);
        out.Append(delimiter_);
    } else if (kind_ == kFixed) {
        EmitUnits(textTable_, true, column.width, textPad_, out);
    } else {
        if (kind_ == kHtmlPage) out.Append(textCell_);
        EmitUnits(textTable_, true, -1, textPad_, out);
    }
}

void FastRecordFormat::FormatScalar(const Column& column, const RawValue& raw, ByteSink& out) {
    char number[kNumberChars];
    if (!fieldEvent_ && (raw.kind == RawValue::Kind::Integer || raw.kind == RawValue::Kind::Real)) {
        // The common case: a number formatted into the character buffer, straight to bytes.
        int size = -1;
        if (raw.kind == RawValue::Kind::Integer) {
            if (column.type == dbByte || column.type == dbInteger || column.type == dbLong ||
                column.type == dbBigInt)
                size = static_cast<int>(
                    std::to_chars(number, number + sizeof number, raw.integer).ptr - number);
        } else if (column.type == dbDouble || column.type == dbFloat) {
            size = FloatingChars(raw.real, 15, number);
        } else if (column.type == dbSingle) {
            size = FloatingChars(static_cast<float>(raw.real), 7, number);
        } else if (column.type == dbCurrency) {
            size = CurrencyChars(raw.real, number);
        }
        if (size >= 0) {
            if (kind_ == kHtmlPage) out.Append(numberCell_);
            const qsizetype start = out.Size();
            if (EmitNumber(number, size, kind_ == kFixed ? column.width : -1, out)) return;
            out.Truncate(start - (kind_ == kHtmlPage ? numberCell_.size() : 0));
        }
    }
    switch (raw.kind) {
        case RawValue::Kind::Null:
            units_.clear();
            break;
        case RawValue::Kind::Integer:
            if (column.type == dbBoolean) {
                UnitsOfNumber(raw.integer != 0 ? "True" : "False", raw.integer != 0 ? 4 : 5);
            } else if (column.type == dbByte || column.type == dbInteger || column.type == dbLong ||
                       column.type == dbBigInt) {
                const auto written = std::to_chars(number, number + sizeof number, raw.integer);
                UnitsOfNumber(number, static_cast<int>(written.ptr - number));
            } else {
                UnitsOfString(
                    ValueText(QVariant(static_cast<qlonglong>(raw.integer)), column.type));
            }
            break;
        case RawValue::Kind::Real:
            if (column.type == dbDouble || column.type == dbFloat)
                UnitsOfNumber(number, FloatingChars(raw.real, 15, number));
            else if (column.type == dbSingle)
                UnitsOfNumber(number, FloatingChars(static_cast<float>(raw.real), 7, number));
            else if (column.type == dbCurrency)
                UnitsOfNumber(number, CurrencyChars(raw.real, number));
            else
                UnitsOfString(ValueText(QVariant(raw.real), column.type));
            break;
        case RawValue::Kind::Text:
            if (column.type == dbChar)
                DecodeUtf8(raw.text, raw.size);
            else
                UnitsOfString(
                    ValueText(QVariant(QString::fromUtf8(raw.text, raw.size)), column.type));
            break;
        case RawValue::Kind::Date:
            units_.clear();
            if (!AppendDateTimeUnits(units_, raw.date, raw.time, DateTimeForm::DateOnly))
                UnitsOfString(DateOnlyText(raw.date));
            break;
        case RawValue::Kind::Time:
            units_.clear();
            if (!AppendDateTimeUnits(units_, raw.date, raw.time, DateTimeForm::TimeOnly))
                UnitsOfString(TimeOnlyText(raw.time));
            break;
        case RawValue::Kind::DateTime:
            units_.clear();
            if (!AppendDateTimeUnits(units_, raw.date, raw.time, DateTimeForm::Both))
                UnitsOfString(DateAndTimeText(raw.date, raw.time));
            break;
        case RawValue::Kind::Variant:
            UnitsOfString(ValueText(*raw.variant, column.type));
            break;
    }
    if (fieldEvent_) {
        // The routine fits the text to its width before the event, and writes what the
        // handler leaves as it is.
        if (kind_ == kFixed) {
            units_.resize(static_cast<size_t>(column.width), u' ');
        }
        RaiseFieldEvent(column);
        if (kind_ == kHtmlPage) out.Append(numberCell_);
        EmitUnits(ansiTable_, false, -1, ansiPad_, out);
    } else if (kind_ == kFixed) {
        EmitUnits(ansiTable_, false, column.width, ansiPad_, out);
    } else {
        if (kind_ == kHtmlPage) out.Append(numberCell_);
        EmitUnits(ansiTable_, false, -1, ansiPad_, out);
    }
}

bool FastRecordFormat::EmitNumber(const char* text, int size, int width, ByteSink& out) {
    if (decimalPoint_.size() != 1) return false;
    const int count = width >= 0 ? std::min(size, width) : size;
    const int padding = width >= 0 ? width - count : 0;
    char* target = out.Extend(count + padding);
    for (int at = 0; at < count; ++at) {
        const char16_t unit =
            text[at] == '.' ? decimalPoint_[0] : static_cast<unsigned char>(text[at]);
        const short known = ansiTable_.bytes[unit];
        *target++ = known >= 0 ? static_cast<char>(known) : AnsiByte(unit);
    }
    for (int at = 0; at < padding; ++at) *target++ = ansiPad_;
    return true;
}

bool FastRecordFormat::EmitUtf8(const char* text, qsizetype size, int width, ByteSink& out) {
    const auto* at = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = at + size;
    if (size >= 3 && at[0] == 0xEF && at[1] == 0xBB && at[2] == 0xBF) return false;
    const qsizetype start = out.Size();
    // Every unit gives one byte, and a UTF-8 text has at least as many bytes as units.
    const qsizetype most = width >= 0 ? std::max<qsizetype>(size, width) : size;
    char* const first = out.Extend(most);
    char* target = first;
    const short* bytes = textTable_.bytes.data();
    const auto put = [&](char16_t unit) {
        const short known = bytes[unit];
        *target++ = known >= 0 ? static_cast<char>(known) : TextByte(unit);
    };
    qsizetype units = 0;
    const qsizetype limit = width >= 0 ? width : size;
    while (at < end && units < limit) {
        const unsigned char lead = *at;
        if (lead < 0x80) {
            put(lead);
            ++units;
            ++at;
            continue;
        }
        char32_t point = 0;
        const int length = DecodeSequence(at, end, point);
        if (length == 0) {
            out.Truncate(start);
            return false;
        }
        if (point >= 0x10000) {
            point -= 0x10000;
            put(static_cast<char16_t>(0xD800 + (point >> 10)));
            ++units;
            if (units < limit) {
                put(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
                ++units;
            }
        } else {
            put(static_cast<char16_t>(point));
            ++units;
        }
        at += length;
    }
    // A text cut to its width may go on with bytes that are not well-formed: decoding them
    // (as the routine does) gives units behind the cut only, so they change nothing.
    while (width >= 0 && units < width) {
        *target++ = textPad_;
        ++units;
    }
    out.Truncate(start + (target - first));
    return true;
}

void FastRecordFormat::RaiseFieldEvent(const Column& column) {
    eventValue_.resize(0);
    eventValue_.append(reinterpret_cast<const QChar*>(units_.data()),
                       static_cast<qsizetype>(units_.size()));
    fieldEvent_(column.name, column.type, static_cast<short>(column.width), eventValue_);
    UnitsOfString(eventValue_);
}

void FastRecordFormat::UnitsOfString(const QString& text) {
    units_.assign(reinterpret_cast<const char16_t*>(text.utf16()),
                  static_cast<size_t>(text.size()));
}

void FastRecordFormat::UnitsOfNumber(const char* text, int size) {
    units_.clear();
    for (int at = 0; at < size; ++at) {
        if (text[at] == '.')
            units_ += decimalPoint_;
        else
            units_ += static_cast<char16_t>(static_cast<unsigned char>(text[at]));
    }
}

void FastRecordFormat::DecodeUtf8(const char* text, qsizetype size) {
    units_.clear();
    const auto* at = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = at + size;
    // Only well-formed UTF-8 is decoded here; anything else (and a leading byte-order mark)
    // goes to QString::fromUtf8 with its own replacement rules.
    if (size >= 3 && at[0] == 0xEF && at[1] == 0xBB && at[2] == 0xBF) {
        UnitsOfString(QString::fromUtf8(text, size));
        return;
    }
    while (at < end) {
        const unsigned char lead = *at;
        if (lead < 0x80) {
            units_ += static_cast<char16_t>(lead);
            ++at;
            continue;
        }
        char32_t point = 0;
        const int length = DecodeSequence(at, end, point);
        if (length == 0) {
            UnitsOfString(QString::fromUtf8(text, size));
            return;
        }
        if (point >= 0x10000) {
            point -= 0x10000;
            units_ += static_cast<char16_t>(0xD800 + (point >> 10));
            units_ += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
        } else {
            units_ += static_cast<char16_t>(point);
        }
        at += length;
    }
}

void FastRecordFormat::EmitUnits(UnitTable& table, bool text, int width, char pad, ByteSink& out) {
    size_t count = units_.size();
    if (width >= 0 && count > static_cast<size_t>(width)) count = static_cast<size_t>(width);
    const size_t padding = width >= 0 ? static_cast<size_t>(width) - count : 0;
    char* target = out.Extend(static_cast<qsizetype>(count + padding));
    const short* bytes = table.bytes.data();
    for (size_t index = 0; index < count; ++index) {
        const char16_t unit = units_[index];
        const short known = bytes[unit];
        *target++ = known >= 0 ? static_cast<char>(known) : text ? TextByte(unit) : AnsiByte(unit);
    }
    for (size_t index = 0; index < padding; ++index) *target++ = pad;
}

}  // namespace morvane
