// Text treatments of the export's text output: fixed widths, character-for-character upper
// case, and the field-name header line of delimited output. The export run and the previews
// share them, so a preview shows exactly the bytes a run writes.
#pragma once

#include "export/settings/ExportSetting.h"

#include <QString>
#include <QStringList>

namespace morvane {

//! Fits str to size characters: unchanged when as long, padded with trailing spaces when
//! shorter, cut to its first size characters when longer. Leaves the result in str and
//! returns it. A negative size raises error 5 (invalid procedure call or argument).
QString FormatString(QString& str, short size);

//! Upper case mapped character for character: the text keeps its length (a character whose
//! upper case is several characters, such as ß, stays as it is), so fixed widths hold. A
//! character of the ANSI page whose upper form the page lacks (µ) stays as it is too.
QString UpperCase(const QString& text);

//! The field-name header line: the names in list order, each enclosed in the delimiter when
//! the setting uses one, joined by the separator; no upper case or code page conversion.
QString HeaderLine(const QStringList& fieldNames, const ExportSetting& setting);

//! Encloses a text value in the setting's delimiter; the delimiter inside the text is
//! written as it is (never doubled or escaped).
QString Delimited(const QString& text, const ExportSetting& setting);

}  // namespace morvane
