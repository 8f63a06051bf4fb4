// The fixed texts of HTML output. Nothing in HTML output is escaped: field names and values
// are written as they are, exactly like the tags below.
#pragma once

#include <QString>

namespace morvane::html {

inline const QString TableStart = QStringLiteral(
    "<TABLE BORDER=1 BGCOLOR=#ffffff CELLSPACING=0><FONT FACE=\"Arial\" COLOR=#000000>");
inline const QString HeaderCellStart = QStringLiteral(
    "<TH BGCOLOR=#c0c0c0 BORDERCOLOR=#000000 ><FONT SIZE=2 FACE=\"Arial\" COLOR=#000000>");
inline const QString HeaderCellEnd = QStringLiteral("</FONT></TH>");
inline const QString RowStart = QStringLiteral("<TR VALIGN=TOP>");
inline const QString TextCellStart =
    QStringLiteral("<TD BORDERCOLOR=#c0c0c0 ><FONT SIZE=2 FACE=\"Arial\" COLOR=#000000>");
inline const QString NumberCellStart = QStringLiteral(
    "<TD BORDERCOLOR=#c0c0c0  ALIGN=RIGHT><FONT SIZE=2 FACE=\"Arial\" COLOR=#000000>");
inline const QString CellEnd = QStringLiteral("</FONT></TD>");
inline const QString RowEnd = QStringLiteral("</TR>");

//! Opening and closing tag of a field in HtmlTags output.
inline QString OpenTag(const QString& fieldName) { return QLatin1Char('<') + fieldName + QLatin1Char('>'); }
inline QString CloseTag(const QString& fieldName) { return QStringLiteral("</") + fieldName + QLatin1Char('>'); }

}  // namespace morvane::html
