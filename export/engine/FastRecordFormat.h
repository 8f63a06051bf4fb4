// FastRecordFormat: the bytes of one text-kind output record, formatted straight from the
// source's current record into the output buffer. It writes exactly what the export run's
// field-by-field routine (ExportRun::ExportField with TextFileWriter) writes for the same
// setting, without a QVariant and a QString per value: columns are read raw
// (Recordset::ReadRaw), numbers formatted into a character buffer, and each UTF-16 unit of
// a text goes through one per-run table that folds the line-end replacement, upper case,
// OEM conversion and the ANSI page into a single byte. Values the raw forms do not cover
// (dates, GUIDs, a driver that offers no raw access) take ValueText as the routine does.
//
// It stands in for that routine only where nothing could see the difference: when no host
// handler listens to BeforeRecordExport (it receives the whole record's text), for the four
// text kinds, and when every selected field is in the source with its width entry in range
// (otherwise the routine reports a failure on each record). For() answers null otherwise,
// and the run takes the general routine. When a handler listens to BeforeFieldExport, each
// value is made a QString at the point where the routine raises the event, handed to
// fieldEvent, and the text that comes back is treated as the routine treats it.
//
// Usage:
//   auto fast = FastRecordFormat::For(setting, source, selectedFields, recordHandled, {});
//   if (fast) { fast->Format(source, writer.PendingBytes()); writer.FlushIfFull(); }
#pragma once

#include "export/data/RawValue.h"
#include "export/engine/ValueClass.h"
#include "export/settings/ExportSetting.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

class ByteSink;
class Recordset;

class FastRecordFormat {
  public:
    //! Raises BeforeFieldExport for the field's value text (by reference, as the event).
    using FieldEvent =
        std::function<void(const QString& name, short type, short width, QString& value)>;

    //! The formatter for this run, or null when the general routine must run. fieldEvent is
    //! empty when no handler listens to BeforeFieldExport.
    static std::unique_ptr<FastRecordFormat> For(const ExportSetting& setting, Recordset& source,
                                                 const QStringList& selectedFields,
                                                 bool recordHandled, FieldEvent fieldEvent);

    //! Appends the bytes of the source's current record, record separator included.
    void Format(Recordset& source, QByteArray& out);

  private:
    struct Column {
        int ordinal = 0;  //!< the source column read
        short type = 0;
        ValueClass valueClass = ValueClass::NoValue;
        int width = 0;
        QString name;
        QByteArray openTag, closeTag;  //!< HtmlTags kind
    };
    // Byte tables over UTF-16 units, filled as units are met: -1 not yet known.
    struct UnitTable {
        std::vector<short> bytes = std::vector<short>(65536, -1);
    };

    FastRecordFormat(const ExportSetting& setting, std::vector<Column> columns,
                     FieldEvent fieldEvent);

    void FormatText(const Column& column, const RawValue& raw, ByteSink& out);
    void FormatScalar(const Column& column, const RawValue& raw, ByteSink& out);
    //! units_ := the UTF-16 units of UTF-8 text, as QString::fromUtf8 gives them.
    void DecodeUtf8(const char* text, qsizetype size);
    void UnitsOfString(const QString& text);
    //! units_ := number text in ASCII, "." replaced by the regional decimal point.
    void UnitsOfNumber(const char* text, int size);
    //! Appends units_ through table; with width >= 0 cut or padded to width units.
    void EmitUnits(UnitTable& table, bool text, int width, char pad, ByteSink& out);
    //! Appends well-formed UTF-8 text straight through the text table, cut or padded to
    //! width when width >= 0; false (nothing appended) for text DecodeUtf8 must take.
    bool EmitUtf8(const char* text, qsizetype size, int width, ByteSink& out);
    //! Appends an ASCII number text through the ANSI table, "." as the decimal point; false
    //! (nothing appended) when the point is not a single unit.
    bool EmitNumber(const char* text, int size, int width, ByteSink& out);
    //! Hands units_ to the BeforeFieldExport handler and takes back what it leaves.
    void RaiseFieldEvent(const Column& column);
    //! The byte of a text value's unit: line ends become spaces unless a field handler
    //! listens (the routine replaces them before the event, so the handler's text keeps its
    //! own), then upper case and OEM conversion as set, then the ANSI page.
    char TextByte(char16_t unit);
    char AnsiByte(char16_t unit);

    const ExportSetting& setting_;
    std::vector<Column> columns_;
    int kind_;
    bool delimited_;  //!< text values enclosed in the delimiter
    QByteArray delimiter_, separator_, recordEnd_;
    std::u16string decimalPoint_;
    QByteArray rowStart_, textCell_, numberCell_, cellEnd_, rowEnd_;  //!< HtmlPage kind
    char textPad_ = ' ', ansiPad_ = ' ';
    UnitTable textTable_, ansiTable_;
    std::u16string units_;
    FieldEvent fieldEvent_;
    QString eventValue_;
};

}  // namespace morvane
