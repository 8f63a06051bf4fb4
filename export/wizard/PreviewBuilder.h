// PreviewBuilder: what the wizard's preview shows for the current setting, with no widget:
// the text lines of the text kinds (Variable, Fixed, HtmlTags) and the cells of the grid
// of the other kinds. It reads the source from the record the setting starts at, raises
// the host's events on the previewed values as the export run does, and shares the run's
// value text and record treatments, so the preview shows the values a run writes.
//
// Differences from the written file, by design: at most MaxRecords records; each text line
// cut to MaxLineLength characters and lines joined by CR LF whatever the record separator;
// Upper and OEM conversion applied to the whole line; fixed widths applied after the
// host's field event for every type; no record event for the header line. Every failing
// operation is skipped silently: a preview never reports an error.
//
// Usage:
//   PreviewBuilder preview(caller, *recordset, sourceName, setting, selectedFields);
//   QString text = preview.TextPreview();
#pragma once

#include "export/settings/ExportSetting.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace morvane {

class ExportCaller;
class Recordset;

//! The grid preview: the field names, then one row of cells per previewed record.
struct PreviewTable {
    QStringList Header;
    QVector<QStringList> Rows;
};

class PreviewBuilder {
  public:
    static constexpr int MaxRecords = 20;
    static constexpr int MaxLineLength = 1024;

    //! `source` may be null (no source open): the previews are then empty. `setting` is
    //! the session's: its UseDelimiter is brought up to date by the text preview.
    PreviewBuilder(ExportCaller& caller, Recordset* source, const QString& sourceName,
                   ExportSetting& setting, const QStringList& selectedFields);

    //! The records the grid has rows for: the planned total of the run for recordCount
    //! source records, at most MaxRecords.
    static int PreviewRecordCount(qint64 recordCount, const ExportSetting& setting);

    //! The text preview of the text kinds (lines joined by CR LF).
    QString TextPreview();
    //! The grid preview, at most `rows` records (PreviewRecordCount).
    PreviewTable TablePreview(int rows);

  private:
    //! Moves to the first previewed record (StartingLine); false when that fails.
    bool PositionOnFirstRecord();
    //! The previewed record's line of the text kinds.
    QString TextLine();
    //! One field's part of a text line.
    void AppendTextField(QString& line, const QString& name, bool last);
    //! The field's value text: empty for Null and for a field that cannot be read.
    QString ValueOf(const QString& name, short& type) const;
    //! The field's width for fixed-width output (its source ordinal's entry).
    short WidthOf(const QString& name) const;
    //! True once the previewed count reaches MaxLines when only MaxLines are exported.
    bool RangeDone(int previewed) const;

    ExportCaller& caller_;
    Recordset* source_;
    const QString& sourceName_;
    ExportSetting& setting_;
    const QStringList& fields_;
};

}  // namespace morvane
